#pragma once
// A folder's warnings as a member of the `pack` and `check` JSON summaries, one object each: what
// kind it is, the paths it names (readable back to their bytes, cli/JsonText.h) and why:
//
//   "warnings": [
//     {"kind": "letter-case twins", "path": "Samples:KICK.wav", "twin": "Samples:kick.wav", "cause": "..."},
//     {"kind": "link to nothing", "path": "Samples:gone.wav", "cause": "..."}
//   ]

#include <string>
#include <string_view>
#include <vector>

#include "pack/FolderWarning.h"

namespace cli {

std::string JsonWarnings(std::string_view key, const std::vector<CFolderWarning>& warnings);

}  // namespace cli

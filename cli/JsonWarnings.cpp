#include "cli/JsonWarnings.h"

#include "cli/JsonText.h"

namespace cli {

std::string JsonWarnings(std::string_view key, const std::vector<CFolderWarning>& warnings) {
  std::string out = "\"" + std::string(key) + "\": [";
  for (std::size_t i = 0; i < warnings.size(); ++i) {
    const CFolderWarning& w = warnings[i];
    out += (i ? ",\n    {" : "\n    {") + std::string("\"kind\": ") + JsonString(FolderWarningKindName(w.kind)) + ", " +
           JsonMember("path", w.path);
    if (w.kind == CFolderWarning::EKind::kNameTwins) out += ", " + JsonMember("twin", w.twin);
    out += ", " + JsonMember("cause", FolderWarningCause(w)) + "}";
  }
  return out + (warnings.empty() ? "]" : "\n  ]");
}

}  // namespace cli

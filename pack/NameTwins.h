#pragma once
// Names that differ only in letter case (or in characters a Hamper maps to "_") are distinct
// files here, and are packed as such; but a reader that looks items up ignoring case cannot tell
// them apart, so authors are warned.

#include <string>
#include <utility>
#include <vector>

#include "pack/FileEntry.h"

// Pairs of relative paths of entries in one folder whose portable names are equal (folders and
// files of a packable type), in walk order.
std::vector<std::pair<std::string, std::string>> FindNameTwins(const CFileEntryList& list);

#pragma once
// What a pack reads from its input folder, for refusing an output that would destroy it.

#include <optional>
#include <string>

#include "navigation/NavigationHolder.h"
#include "navigation/NavigationInterface.h"

// The relative path of the file that a pack of `inputFolder` would read and that is `target`
// (by any path or link): a file of a packable type anywhere in its tree, a description file or a
// splash picture. None when the pack reads no such file. The folder is walked as a pack walks it.
std::optional<std::string> FindPackInput(const CNavigationHolder& inputFolder, const CFileIdentity& target);

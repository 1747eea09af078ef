#pragma once
// Putting a finished file in place of its output name.

#include <string>

namespace NSFerryman {

// Renames `from` (relative to the folder descriptor `fromFolder`, or AT_FDCWD) to `to` (relative
// to `toFolder`). With `replace`, what stands at `to` is replaced in one step; without it, nothing
// that stands there is ever replaced, even when it appears at the last moment. Gives 0, or the
// errno of the failure: EEXIST when something stands at `to` and `replace` is false.
int RenameIntoPlace(int fromFolder, const std::string& from, int toFolder, const std::string& to, bool replace);

}  // namespace NSFerryman

#pragma once
// Placeholder substitution: "^N" in a template is replaced by argument N (numbered from 0).
//
// Where digits follow "^", the longest run of them that names a supplied argument is taken, so
// with eleven arguments "^10" is argument 10, and with two it is argument 1 followed by "0".
// Placeholders whose argument was not supplied stay as they are. The text of an argument is
// inserted as it is: a "^0" inside a file name is not replaced again.

#include <string>
#include <string_view>
#include <vector>

namespace NSFerryman {

std::string Substitute(std::string_view text, const std::vector<std::string>& arguments);

}  // namespace NSFerryman

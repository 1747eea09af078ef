#include "framework/resources/Substitute.h"

namespace NSFerryman {

// Replacing each index in turn, highest first, would give the same result on the template, but
// would also rewrite placeholders that an earlier argument brought in; one pass over the
// template does not.
std::string Substitute(std::string_view text, const std::vector<std::string>& arguments) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '^') {
      out.push_back(text[i++]);
      continue;
    }
    // Longest digit prefix that is an argument index; an index has no leading zero.
    std::size_t best_length = 0;
    std::size_t best_index = 0;
    std::size_t index = 0;
    for (std::size_t n = 1; i + n < text.size() && text[i + n] >= '0' && text[i + n] <= '9';
         ++n) {
      if (n > 1 && text[i + 1] == '0') break;
      index = index * 10 + static_cast<std::size_t>(text[i + n] - '0');
      if (index >= arguments.size()) break;
      best_length = n;
      best_index = index;
    }
    if (best_length == 0) {
      out.push_back(text[i++]);
    } else {
      out += arguments[best_index];
      i += 1 + best_length;
    }
  }
  return out;
}

}  // namespace NSFerryman


#include "framework/resources/FourCharCode.h"

namespace NSFerryman {

std::string CFourCharCode::ToString() const {
  std::string s(4, ' ');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((value_ >> (24 - 8 * i)) & 0xFF);
  return s;
}

}  // namespace NSFerryman

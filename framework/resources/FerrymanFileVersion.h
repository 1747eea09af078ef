#pragma once
// CFerrymanFileVersion: the framework's file version record, five 16-bit parts and a 32-bit
// value. No stored form of it is used by the packer.

#include <array>
#include <cstdint>

namespace NSFerryman {

struct CFerrymanFileVersion {
  std::array<std::uint16_t, 5> parts{};
  std::uint32_t value = 4;
  bool operator==(const CFerrymanFileVersion&) const = default;
};

}  // namespace NSFerryman

#include "framework/media/ByteOrder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

using namespace NSFerryman;

TEST(ByteOrder, LoadsAndStoresInBothOrders) {
  const std::uint8_t bytes[4] = {0x01, 0x82, 0x03, 0xF4};
  EXPECT_EQ(LoadBE16(bytes), 0x0182);
  EXPECT_EQ(LoadLE16(bytes), 0x8201);
  EXPECT_EQ(LoadBE32(bytes), 0x018203F4u);
  EXPECT_EQ(LoadLE32(bytes), 0xF4038201u);

  using Four = std::array<std::uint8_t, 4>;
  Four out{};
  StoreBE32(out.data(), 0x018203F4u);
  EXPECT_EQ(out, (Four{0x01, 0x82, 0x03, 0xF4}));
  StoreLE32(out.data(), 0x018203F4u);
  EXPECT_EQ(out, (Four{0xF4, 0x03, 0x82, 0x01}));
  out = {};
  StoreBE16(out.data(), 0xFE01);
  EXPECT_EQ(out, (Four{0xFE, 0x01, 0, 0}));
  StoreLE16(out.data() + 2, 0xFE01);
  EXPECT_EQ(out, (Four{0xFE, 0x01, 0x01, 0xFE}));
}

// Usable where a constant is needed, so formats can name fixed fields at compile time.
static_assert(LoadBE32(std::array<std::uint8_t, 4>{'R', 'I', 'F', 'F'}.data()) == 0x52494646u);

#include "pack/ItemOutput.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/media/HiddenFile.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using NSFerryman::CFileSpec;
using NSFerryman::COpenFile;

namespace {

constexpr std::uint64_t kDataStart = 1000;

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

std::size_t SpillFilesIn(const fs::path& folder) {
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) count += entry.path().extension() == ".spill";
  return count;
}

class ItemOutputTest : public ::testing::Test {
 protected:
  ItemOutputTest() : output(CFileSpec((dir / "out.hmp").string()), 0, 0), scratch(dir.Path().string(), "out.hmp") {}

  test::TempDir dir;
  COpenFile output;
  NSFerryman::CScratchFolder scratch;
};

}  // namespace

// An item's bytes end up at its place whenever its turn comes: before its first write (they go
// straight in), while it is written (what waited moves, the rest goes straight in), or once it is
// done (it all moves once); and when they waited beyond the memory they may hold, in a spill file
// beside the output that goes once they have moved. Sizes are rewritten in place as IFF writers
// do, and read back.
TEST_F(ItemOutputTest, TheBytesEndUpInPlaceWheneverTheirTurnComes) {
  struct Case {
    const char* name;
    int placedAfterChunk;  // -1: only when finished
    std::uint64_t parkingBytes;
    bool spills;
  };
  const Case cases[] = {
      {"the head of the order", 0, 1 << 20, false},
      {"its turn comes while it is written", 10, 1 << 20, false},
      {"its turn comes once it is done", -1, 1 << 20, false},
      {"it waits beyond the memory it may hold", -1, 100 * 1024, true},
      {"its turn comes while it waits in a file", 40, 100 * 1024, true},
  };
  const std::vector<std::uint8_t> pattern = Pattern(300 * 1024);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CParkingSpace space(c.parkingBytes, scratch);
    CItemPlace place;
    {
      CItemOutput item({&space, &output, &place, kDataStart, 0xFFFFFFFFu});
      bool spilled = false;
      constexpr std::size_t kChunk = 4096;
      for (std::size_t at = 0, chunk = 0; at < pattern.size(); at += kChunk, ++chunk) {
        if (static_cast<int>(chunk) == c.placedAfterChunk) place.Set(kDataStart);
        item.Write(std::min(kChunk, pattern.size() - at), pattern.data() + at);
        spilled = spilled || item.IsSpilled();
      }
      item.WriteAt(4, 4, "SIZE");
      std::uint8_t head[8];
      item.ReadAt(0, sizeof head, head);
      EXPECT_EQ(std::string(reinterpret_cast<char*>(head) + 4, 4), "SIZE");
      EXPECT_EQ(spilled, c.spills);
      EXPECT_EQ(SpillFilesIn(dir.Path()), item.IsSpilled() ? 1u : 0u);
      EXPECT_EQ(item.Finish(kDataStart), pattern.size());
      EXPECT_TRUE(item.IsPlaced());
      EXPECT_FALSE(item.OutputFailure());
    }
    EXPECT_EQ(space.Used(), 0u) << "memory given back";
    EXPECT_EQ(SpillFilesIn(dir.Path()), 0u);
    std::vector<std::uint8_t> expected = pattern;
    std::copy_n("SIZE", 4, expected.begin() + 4);
    std::vector<std::uint8_t> written(pattern.size());
    output.ReadAt(kDataStart, written.size(), written.data());
    EXPECT_TRUE(written == expected);
  }
}

// Items that wait share the parking space: what one holds, another cannot.
TEST_F(ItemOutputTest, WaitingItemsShareTheirMemory) {
  CParkingSpace space(256 * 1024, scratch);
  CItemPlace first, second;
  CItemOutput a({&space, &output, &first, kDataStart, 0xFFFFFFFFu});
  CItemOutput b({&space, &output, &second, kDataStart, 0xFFFFFFFFu});
  const std::vector<std::uint8_t> bytes = Pattern(150 * 1024);
  a.Write(bytes.size(), bytes.data());
  b.Write(bytes.size(), bytes.data());
  EXPECT_FALSE(a.IsSpilled());
  EXPECT_TRUE(b.IsSpilled());
  EXPECT_EQ(a.Finish(kDataStart), bytes.size());
  EXPECT_EQ(space.Used(), 0u);
  EXPECT_EQ(b.Finish(kDataStart + bytes.size()), bytes.size());
}

// The Hamper's failures are kept apart from the packed file's: a write past the size a Hamper may
// have, at once, even while the item waits; and a write the output refuses.
TEST_F(ItemOutputTest, FailuresOfTheOutputAreKept) {
  CParkingSpace space(1 << 20, scratch);
  const std::vector<std::uint8_t> bytes = Pattern(5000);
  for (const bool placed : {false, true}) {
    SCOPED_TRACE(placed ? "in place" : "waiting");
    CItemPlace place;
    if (placed) place.Set(kDataStart);
    CItemOutput item({&space, &output, &place, kDataStart, kDataStart + 4096});
    item.Write(4096, bytes.data());
    EXPECT_THROW(item.Write(1, bytes.data()), NSFerryman::XWrite);
    ASSERT_TRUE(item.OutputFailure());
    EXPECT_THROW(std::rethrow_exception(item.OutputFailure()), NSFerryman::XWrite);
  }
  COpenFile readOnly{CFileSpec((dir / "out.hmp").string())};
  CItemPlace place;
  place.Set(kDataStart);
  CItemOutput item({&space, &readOnly, &place, kDataStart, 0xFFFFFFFFu});
  EXPECT_ANY_THROW(item.Write(10, bytes.data()));
  EXPECT_TRUE(item.OutputFailure());
}

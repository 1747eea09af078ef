#include "container/HamperIndex.h"

#include <gtest/gtest.h>

#include <memory>

#include "container/HamperHeader.h"
#include "framework/media/MemoryMedia.h"

using NSFerryman::CMemoryMedia;

namespace {

const std::vector<CHamperIndexEntry> kEntries = {
    CHamperIndexEntry(9, 30, 0, true, "Splash.jpg"), CHamperIndexEntry(11, 1000, 30, false, "Kits:Kick.wav"),
    CHamperIndexEntry(14, 0, 1030, false, ""), CHamperIndexEntry(255, 0xFFFFFFFFu, 0xFFFFFFFEu, false, "x\xFF:y")};

// A description and its index at offset 0 of a media, then `tail`.
std::unique_ptr<CMemoryMedia> Stored(const std::vector<CHamperIndexEntry>& entries, CHamperDescription& description,
                                     const std::vector<std::uint8_t>& tail = {}) {
  auto stored = std::make_unique<CMemoryMedia>();
  CMemoryMedia& media = *stored;
  for (const CHamperIndexEntry& e : entries) e.Write(media);
  description.SetEntryCount(static_cast<std::uint32_t>(entries.size()));
  description.SetIndexOffset(0);
  description.SetDataOffset(static_cast<std::uint32_t>(media.GetSize()));
  if (!tail.empty()) media.Write(tail.size(), tail.data());
  return stored;
}

// Held compactly, each record reads back as stored, and as the entry-by-entry reader reads it.
TEST(HamperIndex, HoldsEveryRecordAsStored) {
  CHamperDescription description("Kit", "", "", "");
  const auto stored = Stored(kEntries, description);
  CMemoryMedia& media = *stored;
  const CHamperIndex index = ReadHamperIndexRecords(media, description);
  ASSERT_EQ(index.Size(), kEntries.size());
  for (std::size_t r = 0; r < kEntries.size(); ++r) {
    EXPECT_EQ(index.Entry(r), kEntries[r]);
    EXPECT_EQ(index.Path(r), kEntries[r].GetPath());
    EXPECT_EQ(index.ItemSize(r), kEntries[r].GetSize());
  }
  media.SetPosition(0);
  EXPECT_EQ(ReadHamperIndex(media, description), kEntries);
  EXPECT_EQ(CHamperIndex::FromEntries(kEntries).Entry(3), kEntries[3]);

  // Only the byte 1 marks a hidden item.
  std::vector<std::uint8_t> bytes(14, 0);
  bytes[13] = 2;
  CMemoryMedia two;
  two.Write(bytes.size(), bytes.data());
  two.SetPosition(0);
  CHamperIndex odd;
  odd.ReadRecord(two);
  EXPECT_FALSE(odd.IsHidden(0));
}

// A damaged index: the strict reader names the record; the other keeps the records before it.
TEST(HamperIndex, DamageIsNamedAndWhatCameBeforeIsKept) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> tail;  // what follows the three good records
    std::uint32_t claimed;           // records the description claims
    std::string strict;              // part of the strict reader's failure
    std::string asFarAsItGoes;       // the other's problem
  };
  const Case cases[] = {
      {"a Path that runs past the end", {0, 0, 1, 0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm'}, 4, "index record 4: string of 256 bytes runs past the end",
       "string of 256 bytes runs past"},
      {"numbers cut short", {0, 0, 0, 1, 'a', 11, 0, 0, 0, 0, 0}, 4, "index record 4 runs past the end",
       "the file ends"},
      {"a zero byte in a Path", {0, 0, 0, 1, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 4,
       "index record 4: string holds a zero byte", "string holds a zero byte"},
      {"a count the file cannot hold", {}, 0xFFFFFFFFu, "4294967295 index records do not fit", "the file ends"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CHamperDescription description("Kit", "", "", "");
    const auto stored = Stored({kEntries[0], kEntries[1], kEntries[2]}, description, c.tail);
    CMemoryMedia& media = *stored;
    description.SetEntryCount(c.claimed);
    try {
      ReadHamperIndexRecords(media, description);
      ADD_FAILURE() << "read";
    } catch (const NSFerryman::XBadFormat& e) {
      EXPECT_NE(std::string(e.what()).find("damaged Hamper: " + c.strict), std::string::npos) << e.what();
    }
    const CHamperIndexReading reading = ReadHamperIndexAsFarAsItGoes(media, description);
    EXPECT_EQ(reading.index.Size(), 3u);
    EXPECT_EQ(reading.index.Entry(2), kEntries[2]);
    EXPECT_NE(reading.problem.find(c.asFarAsItGoes), std::string::npos) << reading.problem;
    EXPECT_FALSE(reading.limited);
  }
  // Reading may stop at a limit, which is no damage.
  CHamperDescription description("Kit", "", "", "");
  const auto stored = Stored(kEntries, description);
  CMemoryMedia& media = *stored;
  const CHamperIndexReading limited = ReadHamperIndexAsFarAsItGoes(media, description, 2);
  EXPECT_EQ(limited.index.Size(), 2u);
  EXPECT_TRUE(limited.limited);
  EXPECT_EQ(limited.problem, "");
}

}  // namespace

#include "codec/OutputBitStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/media/MemoryMedia.h"

using NSFerryman::CMemoryMedia;

namespace {

std::vector<std::uint8_t> Bytes(CMemoryMedia& m) { return {m.Data(), m.Data() + m.GetSize()}; }

// Counts the media's writes and their sizes.
class CCountingMedia : public CMemoryMedia {
 public:
  void WriteAt(NSFerryman::MediaSize position, std::size_t count, const void* buffer) override {
    writes.push_back(count);
    CMemoryMedia::WriteAt(position, count, buffer);
  }
  std::vector<std::size_t> writes;
};

}  // namespace

TEST(OutputBitStream, EmptyStreamIsTwoZeroWords) {
  CMemoryMedia media;
  {
    COutputBitStream s(media);
    s.Finish();
  }
  EXPECT_EQ(Bytes(media), std::vector<std::uint8_t>(8, 0));
}

TEST(OutputBitStream, BitsGoMostSignificantFirstAndLastWordIsPadded) {
  CMemoryMedia media;
  COutputBitStream s(media);
  s.AppendOne();           // 1
  s.AppendZeros(2);        // 100
  s.AppendBits(0x5, 3);    // 100101
  s.Finish();
  s.Close();
  EXPECT_EQ(Bytes(media), (std::vector<std::uint8_t>{0x94, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(OutputBitStream, FullWordIsStoredUnshiftedAndCloseAddsOneZeroWord) {
  CMemoryMedia media;
  COutputBitStream s(media);
  s.AppendBits(0x7ABCDEF1, 31);
  s.AppendOne();
  EXPECT_EQ(s.GetFreeBits(), 0u);
  EXPECT_EQ(media.GetSize(), 0u);  // the full word waits for a bit beyond it
  s.Finish();
  s.Close();
  EXPECT_EQ(Bytes(media), (std::vector<std::uint8_t>{0xF5, 0x79, 0xBD, 0xE3, 0, 0, 0, 0}));
}

TEST(OutputBitStream, CodeStraddlingTwoWordsIsSplit) {
  CMemoryMedia media;
  COutputBitStream s(media);
  s.AppendBits(0, 28);
  s.AppendBits(0x1ABC, 13);  // 1 1010 1011 1100: four bits end word one, nine begin word two
  s.Finish();
  s.Close();
  EXPECT_EQ(Bytes(media), (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x0D, 0x5E, 0x00, 0x00, 0x00, 0, 0, 0, 0}));
}

TEST(OutputBitStream, BufferIsWrittenWhenThe1025thWordIsStored) {
  CCountingMedia media;
  COutputBitStream s(media);
  for (int i = 0; i < 1024 * 32; ++i) s.AppendOne();  // 1024 words; the last stays current
  EXPECT_TRUE(media.writes.empty());
  s.AppendOne();  // stores word 1024: the buffer is full but not yet written
  EXPECT_TRUE(media.writes.empty());
  for (int i = 0; i < 32; ++i) s.AppendOne();  // stores word 1025
  EXPECT_EQ(media.writes, std::vector<std::size_t>{4096});
  s.Finish();
  s.Close();
  EXPECT_EQ(media.writes, (std::vector<std::size_t>{4096, 8, 4}));
  EXPECT_EQ(media.GetSize(), 4096u + 12u);
}

TEST(OutputBitStream, AbandonedStreamStillWritesWhatItHolds) {
  CMemoryMedia media;
  {
    COutputBitStream s(media);
    s.AppendBits(0x3, 2);
  }
  EXPECT_EQ(Bytes(media), (std::vector<std::uint8_t>{0xC0, 0, 0, 0}));
}

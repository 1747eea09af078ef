#include "codec/VORPSampleHeader.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/media/MemoryMedia.h"

using NSFerryman::CMemoryMedia;

TEST(VORPSampleHeader, WritesTheTwentySixBytesBigEndian) {
  CVORPSampleHeader h;
  h.frameCount = 0x01020304;
  h.rootKey = 61;
  h.fineTune = -12;
  h.loopMode = kVORPLoopAlternating;
  h.channelCount = 2;
  h.loopStart = 0x10;
  h.loopEnd = 0x0A0B0C0D;
  h.sampleRate = 44100;
  CMemoryMedia m;
  h.Write(m);
  const std::vector<std::uint8_t> expected = {0xBC, 1, 0, 0, 0, 1, 2, 3, 4, 61, 0xF4, 2, 2, 0, 0, 0, 0x10,
                                              0x0A, 0x0B, 0x0C, 0x0D, 0, 0, 0xAC, 0x44, 16};
  EXPECT_EQ(std::vector<std::uint8_t>(m.Data(), m.Data() + m.GetSize()), expected);
  m.SetPosition(0);
  EXPECT_EQ(CVORPSampleHeader::Read(m), h);
  EXPECT_EQ(m.GetPosition(), 26u);
}

TEST(VORPSampleHeader, ReadRejectsWhatNoEncoderWrites) {
  struct Case {
    std::size_t offset;
    std::uint8_t value;
  };
  for (const Case c : {Case{0, 0xBD}, Case{1, 2}, Case{1, 0}, Case{12, 0}, Case{12, 3}}) {
    CMemoryMedia m;
    CVORPSampleHeader{}.Write(m);
    m.Data()[c.offset] = c.value;
    m.SetPosition(0);
    EXPECT_THROW(CVORPSampleHeader::Read(m), NSFerryman::XBadFormat) << "byte " << c.offset;
  }
  CMemoryMedia shortMedia;
  CVORPSampleHeader{}.Write(shortMedia);
  NSFerryman::CMemoryMedia cut;
  cut.WriteAt(0, 20, shortMedia.Data());
  cut.SetPosition(0);
  EXPECT_THROW(CVORPSampleHeader::Read(cut), NSFerryman::XRead);
}

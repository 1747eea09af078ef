// The checks and the copy of items that are stored as they are: MIDI files, the readability
// test, the copy.

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "ProbeMedia.h"
#include "framework/media/MemoryMedia.h"
#include "items/CopyItem.h"
#include "items/MIDIHeader.h"
#include "items/ReadabilityTest.h"

using namespace NSFerryman;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes MIDIHeader(const char* id, std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
  Bytes b(id, id + 4);
  for (std::uint8_t v : {0, 0, 0, 6}) b.push_back(v);
  for (std::uint16_t v : {format, tracks, division}) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
  }
  return b;
}

Bytes Counting(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return b;
}

}  // namespace

TEST(CheckMIDIHeader, AcceptsValidHeadersOnly) {
  struct Case {
    const char* what;
    Bytes file;
    bool passes;
  };
  const Bytes valid = MIDIHeader("MThd", 0, 1, 96);
  Bytes withTrack = MIDIHeader("MThd", 1, 2, 480);
  for (char c : std::string("MTrk\0\0\0\0", 8)) withTrack.push_back(static_cast<std::uint8_t>(c));
  const Case cases[] = {
      {"format 0, 96 ticks", MIDIHeader("MThd", 0, 1, 96), true},
      {"format 2, 1 tick", MIDIHeader("MThd", 2, 5, 1), true},
      {"followed by a track", withTrack, true},
      {"ticks at the top of the range", MIDIHeader("MThd", 1, 1, 0x7FFF), true},
      {"SMPTE 24 fps", MIDIHeader("MThd", 1, 1, 0xE804), true},
      {"SMPTE 25 fps", MIDIHeader("MThd", 1, 1, 0xE728), true},
      {"SMPTE 29 fps (drop frame)", MIDIHeader("MThd", 1, 1, 0xE350), true},
      {"SMPTE 30 fps", MIDIHeader("MThd", 1, 1, 0xE2FF), true},
      {"division 0", MIDIHeader("MThd", 1, 1, 0), false},
      {"SMPTE 0 ticks per frame", MIDIHeader("MThd", 1, 1, 0xE800), false},
      {"SMPTE 23 fps", MIDIHeader("MThd", 1, 1, 0xE904), false},
      {"SMPTE 26 fps", MIDIHeader("MThd", 1, 1, 0xE604), false},
      {"SMPTE high byte 0x80", MIDIHeader("MThd", 1, 1, 0x8004), false},
      {"format 3", MIDIHeader("MThd", 3, 1, 96), false},
      {"no tracks", MIDIHeader("MThd", 1, 0, 96), false},
      {"wrong ID", MIDIHeader("MThD", 0, 1, 96), false},
      {"RIFF-wrapped", MIDIHeader("RIFF", 0, 1, 96), false},
      {"13 bytes", Bytes(valid.begin(), valid.end() - 1), false},
      {"empty", {}, false},
  };
  for (const auto& c : cases) {
    CProbeMedia media(c.file);
    if (c.passes) {
      EXPECT_NO_THROW(CheckMIDIHeader(media)) << c.what;
    } else {
      EXPECT_THROW(CheckMIDIHeader(media), XBadFormat) << c.what;
    }
  }
}

TEST(ReadabilityTest, ReadsTheStartTheMiddleAndTheEnd) {
  using Reads = std::vector<std::pair<MediaSize, std::size_t>>;
  struct Case {
    std::size_t length;
    Reads expected;
  };
  const Case cases[] = {
      {0, {}},
      {1, {{0, 1}}},
      {4096, {{0, 4096}}},
      {4097, {{0, 4096}, {2048, 2049}, {1, 4096}}},
      {8192, {{0, 4096}, {4096, 4096}, {4096, 4096}}},
      {1000001, {{0, 4096}, {500000, 4096}, {995905, 4096}}},
  };
  for (const auto& c : cases) {
    CProbeMedia media(Bytes(c.length, 0));
    ReadabilityTest(media);
    EXPECT_EQ(media.reads, c.expected) << c.length << " bytes";
  }
}

TEST(ReadabilityTest, ReadFailuresPassOn) {
  for (MediaSize failFrom : {MediaSize{100}, MediaSize{5000}, MediaSize{9999}}) {
    CProbeMedia media(Bytes(10000, 0));
    media.failFrom = failFrom;
    EXPECT_THROW(ReadabilityTest(media), XRead) << failFrom;
  }
}

TEST(CopyItem, CopiesTheWholeSourceBehindTheOutputsPosition) {
  for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{65536}, std::size_t{65537}, std::size_t{200000}}) {
    const Bytes bytes = Counting(length);
    CProbeMedia source(bytes);
    source.SetPosition(length / 2);  // the copy starts at 0 whatever the source's position
    CMemoryMedia output;
    output.WriteAt(0, 3, "abc");
    EXPECT_EQ(CopyItem(source, output), length);
    EXPECT_EQ(output.GetPosition(), 3 + length);
    ASSERT_EQ(output.GetSize(), 3 + length);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), output.Data() + 3)) << length;
    for (const auto& read : source.reads) EXPECT_LE(read.second, 65536u);
  }
}

TEST(CopyItem, ReadFailuresPassOn) {
  CProbeMedia source(Counting(100000));
  source.failFrom = 70000;
  CMemoryMedia output;
  EXPECT_THROW(CopyItem(source, output), XRead);
}

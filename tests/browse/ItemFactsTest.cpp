// The facts the browser shows of MIDI files and pictures come from their headers alone: a MIDI
// file's format, tracks and division; a picture's width and height, read without decoding it.

#include <gtest/gtest.h>

#include <array>

#include "browse/BrowseFixtures.h"
#include "browse/MidiFacts.h"
#include "browse/PictureFacts.h"
#include "framework/media/MemoryMedia.h"

using namespace browsetest;

namespace {

void BE(Bytes& b, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void LE(Bytes& b, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes MidiHeader(const char* id, std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
  Bytes b(id, id + 4);
  BE(b, 6, 4);
  for (std::uint16_t v : {format, tracks, division}) BE(b, v, 2);
  return b;
}

TEST(MidiFacts, FormatTracksAndDivisionOfGoodHeadersOnly) {
  struct CCase {
    const char* name;
    Bytes bytes;
    bool good;
    CMidiFacts facts;
    const char* division;
  };
  Bytes withTrack = MidiHeader("MThd", 1, 2, 480);
  for (char v : {'M', 'T', 'r', 'k', '\0', '\0', '\0', '\0'}) withTrack.push_back(static_cast<std::uint8_t>(v));
  const std::vector<CCase> cases = {
      {"format 0", MidiHeader("MThd", 0, 1, 96), true, {0, 1, 96}, "96 ticks per quarter note"},
      {"format 1 and a track", withTrack, true, {1, 2, 480}, "480 ticks per quarter note"},
      {"format 2", MidiHeader("MThd", 2, 16, 0x7FFF), true, {2, 16, 0x7FFF}, "32767 ticks per quarter note"},
      {"SMPTE 25 frames", MidiHeader("MThd", 1, 3, 0xE728), true, {1, 3, 0xE728}, "25 frames per second, 40 ticks per frame"},
      {"SMPTE 29 frames", MidiHeader("MThd", 0, 1, 0xE350), true, {0, 1, 0xE350}, "29 frames per second, 80 ticks per frame"},
      {"short file", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}, false, {}, ""},
      {"empty file", Bytes{}, false, {}, ""},
      {"wrong magic", MidiHeader("RIFF", 0, 1, 96), false, {}, ""},
      {"zero tracks", MidiHeader("MThd", 1, 0, 96), false, {}, ""},
      {"format 3", MidiHeader("MThd", 3, 1, 96), false, {}, ""},
      {"zero ticks", MidiHeader("MThd", 0, 1, 0), false, {}, ""},
      {"SMPTE 26 frames", MidiHeader("MThd", 0, 1, 0xE628), false, {}, ""},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto media = sampletest::MediaOf(c.bytes);
    if (!c.good) {
      EXPECT_THROW(ReadMidiFacts(*media), NSFerryman::XBadFormat);
      continue;
    }
    const CMidiFacts facts = ReadMidiFacts(*media);
    EXPECT_EQ(facts.format, c.facts.format);
    EXPECT_EQ(facts.tracks, c.facts.tracks);
    EXPECT_EQ(facts.division, c.facts.division);
    EXPECT_EQ(MidiDivisionText(facts), c.division);
  }
}

// A JPEG picture's start, the segments given, then picture data that would take long to decode.
Bytes Jpeg(const std::vector<Bytes>& segments) {
  Bytes b{0xFF, 0xD8};
  for (const Bytes& s : segments) b.insert(b.end(), s.begin(), s.end());
  return b;
}
Bytes Segment(std::uint8_t marker, Bytes body) {
  Bytes b{0xFF, marker};
  BE(b, body.size() + 2, 2);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}
Bytes Frame(std::uint8_t marker, std::uint16_t width, std::uint16_t height) {
  Bytes body{8};
  BE(body, height, 2);
  BE(body, width, 2);
  for (std::uint8_t v : {1, 1, 0x11, 0}) body.push_back(v);
  return Segment(marker, body);
}

// A TIFF header and its first directory, of the entries given (tag, type, value).
Bytes Tiff(bool little, bool big, const std::vector<std::array<std::uint64_t, 3>>& entries) {
  const auto put = [&](Bytes& b, std::uint64_t v, int bytes) { little ? LE(b, v, bytes) : BE(b, v, bytes); };
  Bytes b{little ? std::uint8_t{'I'} : std::uint8_t{'M'}, little ? std::uint8_t{'I'} : std::uint8_t{'M'}};
  put(b, big ? 43 : 42, 2);
  if (big) {
    put(b, 8, 2);
    put(b, 0, 2);
    put(b, 16, 8);
  } else {
    put(b, 8, 4);
  }
  put(b, entries.size(), big ? 8 : 2);
  for (const auto& [tag, type, value] : entries) {
    put(b, tag, 2);
    put(b, type, 2);
    put(b, 1, big ? 8 : 4);
    // A value smaller than its field sits at the field's start.
    const int bytes = type == 3 ? 2 : type == 4 ? 4 : 8;
    put(b, value, bytes);
    for (int i = bytes; i < (big ? 8 : 4); ++i) b.push_back(0);
  }
  put(b, 0, big ? 8 : 4);
  return b;
}

TEST(PictureFacts, TheSizeComesFromTheHeader) {
  struct CCase {
    const char* name;
    int type;
    Bytes bytes;
    std::uint64_t width, height;  // 0: XBadFormat
  };
  const Bytes app0 = Segment(0xE0, Bytes{'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, 0, 0});
  const Bytes huffman = Segment(0xC4, Bytes(20, 0));
  const Bytes scan = Segment(0xDA, Bytes(10, 0));
  const std::vector<CCase> cases = {
      {"JPEG baseline", 9, Jpeg({app0, Frame(0xC0, 640, 480), huffman, scan}), 640, 480},
      {"JPEG progressive behind tables and fill bytes", 9,
       Jpeg({app0, huffman, Bytes{0xFF, 0xFF}, Frame(0xC2, 60000, 3), scan}), 60000, 3},
      {"JPEG, not a JPEG", 9, Bytes{'G', 'I', 'F', '8', '9', 'a'}, 0, 0},
      {"JPEG cut short in a segment", 9, Jpeg({Bytes{0xFF, 0xE0, 0x01, 0x00, 'J'}}), 0, 0},
      {"JPEG scan before any frame", 9, Jpeg({app0, scan, Frame(0xC0, 1, 1)}), 0, 0},
      {"JPEG, garbage between segments", 9, Jpeg({app0, Bytes{0x12, 0x34}, Frame(0xC0, 1, 1)}), 0, 0},
      {"TIFF little-endian, SHORT and LONG", 8, Tiff(true, false, {{254, 4, 0}, {256, 3, 1024}, {257, 4, 70000}}), 1024,
       70000},
      {"TIFF big-endian", 8, Tiff(false, false, {{256, 4, 17}, {257, 3, 9}}), 17, 9},
      {"BigTIFF", 8, Tiff(true, true, {{256, 16, 5000000000}, {257, 3, 2}}), 5000000000, 2},
      {"TIFF without a height", 8, Tiff(true, false, {{256, 3, 10}}), 0, 0},
      {"TIFF directory past the end", 8, Bytes{'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}, 0, 0},
      {"TIFF of another version", 8, Bytes{'I', 'I', 41, 0, 8, 0, 0, 0}, 0, 0},
      {"not a picture type", 10, MidiHeader("MThd", 0, 1, 96), 0, 0},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto media = sampletest::MediaOf(c.bytes);
    if (c.width == 0) {
      EXPECT_THROW(ReadPictureSize(*media, c.type), NSFerryman::XBadFormat);
      continue;
    }
    const CPictureSize size = ReadPictureSize(*media, c.type);
    EXPECT_EQ(size.width, c.width);
    EXPECT_EQ(size.height, c.height);
  }
}

TEST(PictureFacts, TheDemoPicturesAndMidiFile) {
  const auto demo = CHamperContents::Open(PackedHampers::Get().Demo().string());
  const auto record = [&](const std::string& path) {
    for (std::size_t r = 0; r < demo->Index().Size(); ++r) {
      if (demo->Record(r).GetPath() == path) return r;
    }
    ADD_FAILURE() << path;
    return std::size_t{0};
  };
  const CPictureSize cover = ReadPictureSize(*demo->OpenItem(record("Art:Cover.tif")), 8);
  EXPECT_EQ(cover.width, 32u);
  EXPECT_EQ(cover.height, 32u);
  const CMidiFacts midi = ReadMidiFacts(*demo->OpenItem(record("MIDI:Harbor Groove.mid")));
  EXPECT_EQ(midi.format, 1);
  EXPECT_EQ(midi.tracks, 2);
  EXPECT_EQ(MidiDivisionText(midi), "96 ticks per quarter note");
  auto splash = sampletest::MediaOf(test::ReadFileBytes(kDemo / "Splash.jpg"));
  const CPictureSize size = ReadPictureSize(*splash, 9);
  EXPECT_EQ(size.width, 64u);
  EXPECT_EQ(size.height, 64u);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/iff/IFFFileReader.h"
#include "framework/iff/IFFFileWriter.h"
#include "framework/iff/IFFWriter2.h"
#include "framework/media/MemoryMedia.h"

using namespace NSFerryman;

namespace {

std::uint32_t BE32(const CMemoryMedia& m, std::size_t at) {
  const std::uint8_t* p = m.Data() + at;
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::uint32_t LE32(const CMemoryMedia& m, std::size_t at) {
  const std::uint8_t* p = m.Data() + at;
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

std::string Text(const CMemoryMedia& m, std::size_t at, std::size_t n) {
  return std::string(reinterpret_cast<const char*>(m.Data()) + at, n);
}

void WriteText(CMedia& media, const std::string& s) { media.Write(s.size(), s.data()); }

// A media over memory whose writes fail once `failWrites` is set: the media under a writer that
// is being unwound is often the thing that failed.
class CFailingMedia : public CMedia {
 public:
  bool failWrites = false;
  CMemoryMedia memory;

  MediaSize GetSize() override { return memory.GetSize(); }
  MediaSize GetPosition() override { return memory.GetPosition(); }
  void SetPosition(MediaSize p) override { memory.SetPosition(p); }
  void ReadAt(MediaSize p, std::size_t n, void* b) override { memory.ReadAt(p, n, b); }
  void WriteAt(MediaSize p, std::size_t n, const void* b) override {
    if (failWrites) throw XWrite("disk on fire");
    memory.WriteAt(p, n, b);
  }
};

}  // namespace

TEST(IFFWriter2, OddChunksGetAPadByteThatTheSizeDoesNotCount) {
  CMemoryMedia m;
  CIFFWriter2 writer(m, EIFFByteOrder::kBigEndian);
  CIFFChunk odd = writer.BeginChunk("ODD ");
  WriteText(m, "abc");
  writer.EndChunk(odd);
  CIFFChunk next = writer.BeginChunk("NEXT");
  writer.EndChunk(next);

  ASSERT_EQ(m.GetSize(), 8u + 3 + 1 + 8);
  EXPECT_EQ(BE32(m, 4), 3u);
  EXPECT_EQ(m.Data()[11], 0);  // the pad byte
  EXPECT_EQ(next.start, 12u);
  EXPECT_EQ(Text(m, 12, 4), "NEXT");
  EXPECT_EQ(BE32(m, 16), 0u);
  EXPECT_EQ(m.GetPosition(), m.GetSize());
}

TEST(IFFWriter2, RefusesInvalidIDsAndChunksThatEndInsideTheirHeader) {
  CMemoryMedia m;
  CIFFWriter2 writer(m, EIFFByteOrder::kBigEndian);
  EXPECT_THROW(writer.BeginChunk(" ABC"), XBadFormat);
  EXPECT_THROW(writer.BeginForm("AB\x7F" "C"), XBadFormat);
  EXPECT_THROW(writer.BeginChunk("FORM"), XBadFormat);
  EXPECT_EQ(m.GetSize(), 0u);
  CIFFChunk form = writer.BeginForm("TEST");
  m.SetPosition(8);
  EXPECT_THROW(writer.EndChunk(form), XPosition);
}

TEST(IFFFileWriter, AGroupSizeIsItsTypePlusItsChunksWithHeadersAndPads) {
  CMemoryMedia m;
  {
    CIFFFileWriter writer(m, EIFFByteOrder::kBigEndian);
    writer.BeginForm("PTCH");
    writer.BeginChunk("NAME");
    WriteText(writer.GetCurrentMedia(), "Piano");
    writer.EndLevel();
    writer.BeginChunk("DATA");
    WriteText(writer.GetCurrentMedia(), "xy");
    writer.EndLevel();
    writer.BeginChunk("ODD ");
    WriteText(writer.GetCurrentMedia(), "z");
    writer.EndLevel();
    writer.EndLevel();
    EXPECT_EQ(writer.GetDepth(), 0u);
  }
  EXPECT_EQ(Text(m, 0, 4), "FORM");
  EXPECT_EQ(BE32(m, 4), 4u + (8 + 5 + 1) + (8 + 2) + (8 + 1 + 1));
  EXPECT_EQ(m.GetSize(), 8u + BE32(m, 4));

  // What the writer made reads back through the file reader.
  CIFFFileReader reader(m, EIFFByteOrder::kBigEndian);
  reader.EnterForm("PTCH");
  std::vector<std::string> ids;
  ASSERT_TRUE(reader.EnterFirst());
  do {
    ids.push_back(reader.GetCurrentChunk().chars.ToString());
  } while (reader.Next());
  EXPECT_EQ(ids, (std::vector<std::string>{"NAME", "DATA", "ODD "}));
}

TEST(IFFFileWriter, NestedLevelsEndInReverseOrderEachPatchingItsOwnSize) {
  CMemoryMedia m;
  CIFFFileWriter writer(m, EIFFByteOrder::kBigEndian);
  writer.BeginCAT("TS10");      // at 0
  writer.BeginCAT("REFS");      // at 12
  writer.BeginChunk("REFE");    // at 24
  WriteText(writer.GetCurrentMedia(), "abcde");
  EXPECT_EQ(writer.GetCurrentChunk().start, 0u);  // in the "REFS" window, which starts at 24
  writer.EndLevel();            // 5 + pad
  writer.EndLevel();
  writer.BeginChunk("TAIL");    // at 12 + 8 + 4 + 14 = 38
  writer.EndLevel();
  writer.EndLevel();
  EXPECT_EQ(BE32(m, 28), 5u);
  EXPECT_EQ(BE32(m, 16), 4u + 14);
  EXPECT_EQ(Text(m, 38, 4), "TAIL");
  EXPECT_EQ(BE32(m, 4), 4u + 26 + 8);
  EXPECT_EQ(m.GetSize(), 46u);
  EXPECT_THROW(writer.EndLevel(), XBase);
}

TEST(IFFFileWriter, DestroyingAWriterEndsEveryOpenLevel) {
  CMemoryMedia m;
  try {
    CIFFFileWriter writer(m, EIFFByteOrder::kBigEndian);
    writer.BeginForm("OUTR");
    writer.BeginForm("INNR");
    writer.BeginChunk("BODY");
    WriteText(writer.GetCurrentMedia(), "abc");
    throw std::runtime_error("stopped half-way");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(BE32(m, 28), 3u);                 // BODY
  EXPECT_EQ(BE32(m, 16), 4u + 8 + 3 + 1);     // INNR, counting BODY's pad byte
  EXPECT_EQ(BE32(m, 4), 4u + 8 + 16);         // OUTR: its type and all of INNR
  EXPECT_EQ(m.GetSize(), 8u + BE32(m, 4));
}

TEST(IFFFileWriter, DestructionOverAFailingMediaNeverThrows) {
  CFailingMedia m;
  bool reached = false;
  try {
    CIFFFileWriter writer(m, EIFFByteOrder::kBigEndian);
    writer.BeginForm("OUTR");
    writer.BeginChunk("BODY");
    WriteText(writer.GetCurrentMedia(), "abc");
    m.failWrites = true;
    WriteText(writer.GetCurrentMedia(), "d");  // throws; the destructor runs during unwinding
  } catch (const XWrite&) {
    reached = true;
  }
  EXPECT_TRUE(reached);

  // Close reports what the destructor swallows.
  CFailingMedia closing;
  CIFFFileWriter writer(closing, EIFFByteOrder::kBigEndian);
  writer.BeginChunk("BODY");
  closing.failWrites = true;
  EXPECT_THROW(writer.Close(), XWrite);
  EXPECT_EQ(writer.GetDepth(), 0u);
}

TEST(IFFFileWriter, LittleEndianSizesForRiff) {
  // To the writer "RIFF" is a plain chunk; its contents begin with the form type.
  CMemoryMedia wave;
  {
    CIFFFileWriter writer(wave, EIFFByteOrder::kLittleEndian);
    writer.BeginChunk("RIFF");
    WriteText(writer.GetCurrentMedia(), "WAVE");
    writer.BeginChunk("data");
    WriteText(writer.GetCurrentMedia(), std::string(0x0123, 'x'));
  }
  EXPECT_EQ(LE32(wave, 4), 4u + 8 + 0x0123 + 1);
  EXPECT_EQ(LE32(wave, 16), 0x0123u);
  EXPECT_EQ(wave.GetSize(), 8u + LE32(wave, 4));
}

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/iff/IFFFileReader.h"
#include "framework/iff/IFFReader.h"
#include "framework/iff/IFFReader2.h"
#include "framework/media/MemoryMedia.h"

using namespace NSFerryman;

namespace {

// Builds chunked bytes by hand, so that the readers are tested against bytes no writer of ours made.
struct Bytes {
  std::vector<std::uint8_t> v;
  bool littleEndian = false;

  Bytes& Code(const std::string& c) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(c[i]));
    return *this;
  }
  Bytes& Size(std::uint32_t n) {
    for (int i = 0; i < 4; ++i) {
      const int shift = littleEndian ? 8 * i : 24 - 8 * i;
      v.push_back(static_cast<std::uint8_t>(n >> shift));
    }
    return *this;
  }
  Bytes& Fill(std::size_t n, std::uint8_t value) {
    v.insert(v.end(), n, value);
    return *this;
  }
  // A plain chunk with `n` data bytes of `value`, and its pad byte when n is odd.
  Bytes& Chunk(const std::string& id, std::uint32_t n, std::uint8_t value = 0xAB) {
    Code(id).Size(n).Fill(n, value);
    if (n & 1) v.push_back(0);
    return *this;
  }
  std::unique_ptr<CMemoryMedia> Media() const {
    auto m = std::make_unique<CMemoryMedia>();
    if (!v.empty()) m->WriteAt(0, v.size(), v.data());
    m->SetPosition(0);
    return m;
  }
};

// A container header whose size field covers everything after it.
Bytes Container(const std::string& id, const std::string& type, const Bytes& body, bool littleEndian = false) {
  Bytes b;
  b.littleEndian = littleEndian;
  b.Code(id).Size(static_cast<std::uint32_t>(4 + body.v.size())).Code(type);
  b.v.insert(b.v.end(), body.v.begin(), body.v.end());
  return b;
}

}  // namespace

// ---- First generation ----

TEST(IFFReader, StepsOverOddChunksAndTheirPadBytes) {
  Bytes body;
  body.Chunk("COMM", 3).Chunk("odd ", 5).Chunk("SSND", 4, 0x11);
  auto m = Container("FORM", "AIFF", body).Media();
  CIFFReader reader(*m, "FORM");
  std::uint32_t size = 0;
  ASSERT_TRUE(reader.FindChunk("SSND", size));
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(m->GetPosition(), 12u + 12 + 14 + 8);
  std::uint8_t data[2] = {};
  ASSERT_TRUE(reader.ReadChunk("SSND", data, 2, 2));
  EXPECT_EQ(data[0], 0x11);
  EXPECT_FALSE(reader.FindChunk("MARK", size));
}

TEST(IFFReader, WithoutPaddingStepsByTheSizeAlone) {
  Bytes body;
  body.Code("odd ").Size(3).Fill(3, 1).Chunk("next", 2);  // no pad byte after "odd "
  auto m = Container("FORM", "TEST", body).Media();
  CIFFReader padded(*m, "FORM");
  std::uint32_t size;
  EXPECT_FALSE(padded.FindChunk("next", size));
  CIFFReader unpadded(*m, "FORM");
  unpadded.SetNoPad();
  EXPECT_TRUE(unpadded.FindChunk("next", size));
}

TEST(IFFReader, RiffSizesAreLittleEndian) {
  Bytes body;
  body.littleEndian = true;
  body.Chunk("fmt ", 16).Chunk("data", 0x0103, 7);
  auto m = Container("RIFF", "WAVE", body, true).Media();
  RIFF_READER reader(*m);
  std::uint32_t size = 0;
  ASSERT_TRUE(reader.FindChunk("data", size));
  EXPECT_EQ(size, 0x0103u);
  // The same bytes read big-endian are not a "FORM", and a big-endian "RIFF" reader sees absurd sizes.
  CIFFReader wrongOrder(*m, "RIFF");
  EXPECT_FALSE(wrongOrder.FindChunk("data", size));
  CIFFReader notForm(*m, "FORM");
  EXPECT_THROW(notForm.FindChunk("data", size), XBadFormat);
}

TEST(IFFReader, RejectsAWrongContainerHeader) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  Bytes wrongID = Container("RIFX", "WAVE", Bytes{}.Chunk("fmt ", 2));
  Bytes sizeBelow4;
  sizeBelow4.Code("FORM").Size(3).Code("AIFF").Chunk("COMM", 2);
  Bytes tooShort;
  tooShort.Code("FORM").Size(4);
  const Case cases[] = {{"wrong container ID", wrongID}, {"size below 4", sizeBelow4}, {"shorter than a header", tooShort}};
  for (const auto& c : cases) {
    auto m = c.bytes.Media();
    CIFFReader reader(*m, "FORM");
    std::uint32_t size;
    EXPECT_THROW(reader.FindChunk("COMM", size), XBadFormat) << c.what;
  }
}

TEST(IFFReader, NeverFindsAChunkThatStartsExactlyAtTheContainerSize) {
  // Header 12 bytes, "AAAA" with 4 data bytes at 12, then an empty "LAST" at 24. The true
  // container size is 4 + 12 + 8 = 24, which is also the offset of "LAST".
  Bytes body;
  body.Chunk("AAAA", 4).Chunk("LAST", 0);
  auto m = Container("FORM", "TEST", body).Media();
  CIFFReader reader(*m, "FORM");
  std::uint32_t size;
  EXPECT_TRUE(reader.FindChunk("AAAA", size));
  EXPECT_FALSE(reader.FindChunk("LAST", size));
}

TEST(IFFReader, AHugeChunkSizeEndsTheSearchAsNotFound) {
  for (bool littleEndian : {false, true}) {
    for (std::uint32_t junk : {0xFFFFFFFFu, 0xFFFFFFF8u, 0xFFFFFFF7u, 0x80000000u, 0x7FFFFFFFu}) {
      Bytes body;
      body.littleEndian = littleEndian;
      body.Chunk("fmt ", 16).Code("JUNK").Size(junk).Fill(8, 0).Chunk("data", 4);
      auto m = Container(littleEndian ? "RIFF" : "FORM", "WAVE", body, littleEndian).Media();
      CIFFReader reader(*m, littleEndian ? "RIFF" : "FORM");
      if (littleEndian) reader.SetLittleEndian();
      std::uint32_t size = 0;
      bool found = true;
      EXPECT_NO_THROW(found = reader.FindChunk("data", size)) << std::hex << junk;
      EXPECT_FALSE(found) << std::hex << junk;
      EXPECT_TRUE(reader.FindChunk("fmt ", size));
    }
  }
}

TEST(IFFReader, AContainerSizeNear2To32StopsAtTheEndOfTheMedia) {
  // Streaming writers leave 0xFFFFFFFF in the container size; as a signed number it would be -1
  // and end every search at once. Chunks that are there are found; the rest are not, without a
  // read past the end.
  Bytes b;
  b.Code("FORM").Size(0xFFFFFFFF).Code("AIFF").Chunk("COMM", 18).Chunk("SSND", 9).Code("CUT!").Fill(2, 0);
  auto m = b.Media();
  CIFFReader reader(*m, "FORM");
  std::uint32_t size;
  EXPECT_TRUE(reader.FindChunk("SSND", size));
  EXPECT_EQ(size, 9u);
  EXPECT_FALSE(reader.FindChunk("CUT!", size));  // its header is cut short
  EXPECT_FALSE(reader.FindChunk("MARK", size));
}

TEST(IFFReader, MidiFilesAreAPlainListOfUnpaddedChunks) {
  Bytes b;
  b.Code("MThd").Size(6).Fill(6, 0).Code("MTrk").Size(3).Fill(3, 0x90).Code("MTrk").Size(1).Fill(1, 0xFF);
  auto m = b.Media();
  CMIDIFileReader reader(*m);
  std::uint32_t size;
  ASSERT_TRUE(reader.FindChunk("MThd", size));
  EXPECT_EQ(size, 6u);
  std::uint8_t first[1];
  ASSERT_TRUE(reader.ReadChunk("MTrk", first, 0, 1));
  EXPECT_EQ(first[0], 0x90);
  EXPECT_FALSE(reader.FindChunk("XXXX", size));
}

// ---- Second generation ----

TEST(IFFReader2, WalksChunksAndGroupsAtEvenOffsets) {
  Bytes inner;
  inner.Chunk("NAME", 5, 'n').Chunk("DATA", 2);
  Bytes top = Container("FORM", "PTCH", inner);
  top.Chunk("TAIL", 1);
  auto m = top.Media();
  CIFFReader2 reader(*m, EIFFByteOrder::kBigEndian);

  auto form = reader.FirstChunk();
  ASSERT_TRUE(form);
  EXPECT_EQ(form->kind, CIFFChunk::kForm);
  EXPECT_EQ(form->chars, CFourCharCode("PTCH"));
  EXPECT_EQ(form->HeaderLength(), 12u);
  EXPECT_EQ(form->size, 4u + 14 + 10);
  auto tail = reader.NextChunk(*form);
  ASSERT_TRUE(tail);
  EXPECT_EQ(tail->chars, CFourCharCode("TAIL"));
  EXPECT_EQ(tail->start, 8u + form->size);
  EXPECT_FALSE(reader.NextChunk(*tail));  // ends at the media's end, pad byte included

  auto nested = reader.OpenNested(*form);
  EXPECT_EQ(nested->GetMedia().GetSize(), form->size - 4u);
  auto name = nested->FirstChunk();
  ASSERT_TRUE(name);
  EXPECT_EQ(name->size, 5u);
  EXPECT_EQ(nested->GetMedia().ReadByte(), 'n');
  auto data = nested->NextChunk(*name);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->start, 14u);  // 8 + 5 + pad
  EXPECT_FALSE(nested->NextChunk(*data));

  EXPECT_TRUE(reader.FindForm("PTCH"));
  EXPECT_FALSE(reader.FindCAT("PTCH"));
  EXPECT_FALSE(reader.FindChunk("PTCH"));  // a group's type is not a chunk ID
  EXPECT_TRUE(nested->FindChunk("DATA"));
}

TEST(IFFReader2, LittleEndianSizes) {
  Bytes b;
  b.littleEndian = true;
  b.Chunk("fmt ", 0x0110).Chunk("data", 3);
  auto m = b.Media();
  CIFFReader2 reader(*m, EIFFByteOrder::kLittleEndian);
  auto data = reader.FindChunk("data");
  ASSERT_TRUE(data);
  EXPECT_EQ(data->start, 8u + 0x0110);
}

TEST(IFFReader2, RejectsInvalidIDsAndTypes) {
  struct Case {
    const char* what;
    std::string id;
    std::string type;  // for groups
  };
  const Case cases[] = {
      {"leading space", " ABC", ""},     {"byte 127", "AB\x7F" "C", ""},   {"byte 128", "\x80" "ABC", ""},
      {"control byte", "AB\x1F" "C", ""}, {"zero byte", std::string("AB\0C", 4), ""},
      {"FORM with leading-space type", "FORM", "  AB"}, {"CAT with byte 200 in its type", "CAT ", "TS1\xC8"},
  };
  for (const auto& c : cases) {
    Bytes b;
    if (c.type.empty()) {
      b.Chunk(c.id, 4);
    } else {
      b.Code(c.id).Size(12).Code(c.type).Chunk("ABCD", 0);
    }
    auto m = b.Media();
    CIFFReader2 reader(*m, EIFFByteOrder::kBigEndian);
    EXPECT_THROW(reader.FirstChunk(), XBadFormat) << c.what;
  }
  for (const char* valid : {"CAT ", "A B ", "    ", "~!09"}) {
    EXPECT_TRUE(CIFFChunk::IsValidID(valid)) << valid;
  }
}

TEST(IFFReader2, RejectsASizeLargerThanTheMediaWhenTheHeaderIsRead) {
  for (std::uint32_t claimed : {13u, 1000u, 0x7FFFFFFFu, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
    Bytes b;
    b.Chunk("GOOD", 2).Code("JUNK").Size(claimed).Fill(4, 0).Chunk("LATE", 0);
    auto m = b.Media();
    CIFFReader2 reader(*m, EIFFByteOrder::kBigEndian);
    auto good = reader.FirstChunk();
    ASSERT_TRUE(good);
    EXPECT_THROW(reader.NextChunk(*good), XBadFormat) << claimed;
    EXPECT_THROW(reader.FindChunk("LATE"), XBadFormat) << claimed;
  }
  // Exactly the bytes that are left is fine, even without the final pad byte.
  Bytes exact;
  exact.Code("LAST").Size(3).Fill(3, 0);
  auto m = exact.Media();
  CIFFReader2 reader(*m, EIFFByteOrder::kBigEndian);
  EXPECT_TRUE(reader.FindChunk("LAST"));
}

TEST(IFFReader2, AGroupTooSmallForItsTypeIsBadFormat) {
  Bytes b;
  b.Code("LIST").Size(2).Fill(2, 'x');
  auto m = b.Media();
  CIFFReader2 reader(*m, EIFFByteOrder::kBigEndian);
  EXPECT_THROW(reader.FirstChunk(), XBadFormat);
}

TEST(IFFReader2, ShortOrTrailingBytesEndTheLevel) {
  Bytes shortMedia;
  shortMedia.Fill(7, 'A');
  auto m = shortMedia.Media();
  EXPECT_FALSE(CIFFReader2(*m, EIFFByteOrder::kBigEndian).FirstChunk());

  Bytes trailing;
  trailing.Chunk("ONE ", 2).Fill(5, 0);
  auto t = trailing.Media();
  CIFFReader2 reader(*t, EIFFByteOrder::kBigEndian);
  auto one = reader.FirstChunk();
  ASSERT_TRUE(one);
  EXPECT_FALSE(reader.NextChunk(*one));
}

TEST(IFFChunk, HeaderLengthOfAnUnknownKindIsAnInternalError) {
  CIFFChunk chunk;
  chunk.kind = static_cast<CIFFChunk::Kind>(4);
  EXPECT_THROW(chunk.HeaderLength(), XBase);
}

TEST(IFFFileReader, EntersLevelsAndWalksThem) {
  Bytes refs;
  refs.Chunk("REFE", 3, 'a').Chunk("REFE", 2, 'b');
  Bytes catBody;
  catBody.Chunk("HEAD", 1);
  Bytes refsGroup = Container("CAT ", "REFS", refs);
  catBody.v.insert(catBody.v.end(), refsGroup.v.begin(), refsGroup.v.end());
  auto m = Container("CAT ", "TS10", catBody).Media();

  CIFFFileReader reader(*m, EIFFByteOrder::kBigEndian);
  EXPECT_THROW(reader.EnterForm("TS10"), XBadFormat);
  EXPECT_FALSE(reader.TryEnterForm("TS10"));
  EXPECT_EQ(reader.GetDepth(), 0u);
  reader.EnterCAT("TS10");
  EXPECT_THROW(reader.EnterChunk("NONE"), XBadFormat);
  reader.EnterCAT("REFS");
  EXPECT_EQ(reader.GetDepth(), 2u);

  std::string seen;
  ASSERT_TRUE(reader.EnterFirst());
  do {
    const CIFFChunk& c = reader.GetCurrentChunk();
    EXPECT_EQ(c.chars, CFourCharCode("REFE"));
    CMedia& contents = reader.GetCurrentMedia();
    EXPECT_EQ(contents.GetSize(), c.size);
    seen += static_cast<char>(contents.ReadByte());
  } while (reader.Next());
  EXPECT_EQ(seen, "ab");
  EXPECT_EQ(reader.GetDepth(), 2u);  // back at the "REFS" level
  reader.Leave();
  EXPECT_TRUE(reader.TryEnterChunk("HEAD"));
  EXPECT_EQ(reader.GetCurrentMedia().GetSize(), 1u);
  reader.Leave();
  reader.Leave();
  EXPECT_THROW(reader.Leave(), XBase);
}

TEST(IFFFileReader, AnEmptyLevelHasNoFirstChunk) {
  auto m = Container("FORM", "EMPT", Bytes{}).Media();
  CIFFFileReader reader(*m, EIFFByteOrder::kBigEndian);
  reader.EnterForm("EMPT");
  EXPECT_FALSE(reader.EnterFirst());
  EXPECT_EQ(reader.GetDepth(), 1u);
}

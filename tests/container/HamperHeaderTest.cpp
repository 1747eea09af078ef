#include "container/HamperHeader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "container/FormatSignature.h"
#include "framework/media/MemoryMedia.h"

using NSFerryman::CMemoryMedia;

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 24);
  b[at + 1] = static_cast<std::uint8_t>(v >> 16);
  b[at + 2] = static_cast<std::uint8_t>(v >> 8);
  b[at + 3] = static_cast<std::uint8_t>(v);
}

// A header with no items, as the writer lays it out: the index and the data begin where the
// description record ends, and so does the file.
Bytes BuildHeader(const CHamperDescription& base) {
  CHamperDescription d = base;
  const auto end = static_cast<std::uint32_t>(kHamperDescriptionPosition + d.GetStoredSize());
  d.SetIndexOffset(end);
  d.SetDataOffset(end);
  CMemoryMedia media;
  media.WriteU32(kHamperMagic.GetValue());
  media.WriteU32(end);
  CFormatSignature::Hamper().Write(media);
  d.Write(media);
  return Bytes(media.Data(), media.Data() + media.GetSize());
}

CHamperDescription ReadHeader(const Bytes& bytes) {
  CMemoryMedia media;
  media.Write(bytes.size(), bytes.data());
  media.SetPosition(0);
  return ReadAndCheckHamperHeader(media);
}

const CHamperDescription kDescription("Kit", "c", "u", "(c)");

TEST(HamperHeader, WellFormedHeaderReadsBack) {
  const Bytes bytes = BuildHeader(kDescription);
  ASSERT_EQ(bytes.size(), 264u + kDescription.GetStoredSize());
  const CHamperDescription d = ReadHeader(bytes);
  EXPECT_EQ(d.GetName(), "Kit");
  EXPECT_EQ(d.GetCopyright(), "(c)");
  EXPECT_EQ(d.GetIndexOffset(), bytes.size());
  // The signature block as stored.
  EXPECT_EQ(bytes[8], 0x41);
  EXPECT_EQ(bytes[11], 0x09);
  EXPECT_EQ(bytes[12], 0xBC);
  EXPECT_EQ(bytes[13], 1);
  EXPECT_EQ(std::string(bytes.begin() + 17, bytes.begin() + 57), "Hamper container file, format 1.0 (2000)");
  EXPECT_EQ(bytes[57], 0);
}

TEST(HamperHeader, OtherMinorVersionsAreAccepted) {
  Bytes bytes = BuildHeader(kDescription);
  bytes[13] = 1;
  bytes[14] = 7;
  bytes[15] = 3;
  EXPECT_NO_THROW(ReadHeader(bytes));
}

struct Damage {
  const char* what;
  const char* reason;  // part of the detail text, so that each case fails for its own reason
  std::function<void(Bytes&)> apply;
};

class HamperHeaderRejects : public ::testing::TestWithParam<Damage> {};

TEST_P(HamperHeaderRejects, WithBadFormat) {
  Bytes bytes = BuildHeader(kDescription);
  GetParam().apply(bytes);
  try {
    ReadHeader(bytes);
    ADD_FAILURE() << "accepted";
  } catch (const NSFerryman::XBadFormat& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
  }
}

// Where the numbers of the description record lie in BuildHeader's output.
const std::size_t kEnd = 264 + kDescription.GetStoredSize();
const std::size_t kIndexOffsetAt = kEnd - 8;
const std::size_t kDataOffsetAt = kEnd - 4;

INSTANTIATE_TEST_SUITE_P(
    Cases, HamperHeaderRejects,
    ::testing::Values(
        Damage{"magic", "does not start with", [](Bytes& b) { b[3] = 'P'; }},
        Damage{"size one less than the file", "gives a size", [](Bytes& b) { PutU32(b, 4, static_cast<std::uint32_t>(b.size() - 1)); }},
        Damage{"size one more than the file", "gives a size", [](Bytes& b) { PutU32(b, 4, static_cast<std::uint32_t>(b.size() + 1)); }},
        Damage{"file one byte longer than its size", "gives a size", [](Bytes& b) { b.push_back(0); }},
        Damage{"signature magic", "signature magic", [](Bytes& b) { b[11] ^= 1; }},
        Damage{"version 2.0.0", "format version 2.0.0", [](Bytes& b) { b[13] = 2; }},
        Damage{"version marker", "format version 0.0.0", [](Bytes& b) { b[12] = 0xBD; }},
        Damage{"signature text letter case", "signature text", [](Bytes& b) { b[17] = 'h'; }},
        Damage{"signature text longer", "signature text", [](Bytes& b) { b[57] = 'x'; }},
        Damage{"signature text shorter", "signature text", [](Bytes& b) { b[56] = 0; }},
        Damage{"empty name", "name is empty",
               [](Bytes& b) { b = BuildHeader(CHamperDescription("", "c", "u", "(c)")); }},
        Damage{"name runs past the end", "runs past the end", [](Bytes& b) { PutU32(b, 264, 0x7FFFFFFF); }},
        Damage{"name holds a zero byte", "zero byte", [](Bytes& b) { b[268] = 0; }},
        Damage{"data offset past the end", "data offset",
               [](Bytes& b) { PutU32(b, kDataOffsetAt, static_cast<std::uint32_t>(b.size() + 1)); }},
        Damage{"index offset past the end", "index offset",
               [](Bytes& b) {
                 PutU32(b, kIndexOffsetAt, static_cast<std::uint32_t>(b.size() + 1));
               }},
        Damage{"index behind the data", "index lies behind",
               [](Bytes& b) {
                 PutU32(b, kIndexOffsetAt, static_cast<std::uint32_t>(b.size()));
                 PutU32(b, kDataOffsetAt, static_cast<std::uint32_t>(b.size() - 1));
               }},
        Damage{"description cut short", "description record runs past",
               [](Bytes& b) {
                 b.resize(b.size() - 2);
                 PutU32(b, 4, static_cast<std::uint32_t>(b.size()));
               }},
        Damage{"shorter than the signature", "too short",
               [](Bytes& b) {
                 b.resize(100);
                 PutU32(b, 4, 100);
               }},
        Damage{"empty file", "too short", [](Bytes& b) { b.clear(); }}),
    [](const auto& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

TEST(HamperIndex, CountThatCannotFitIsRefusedBeforeReading) {
  CHamperDescription d = kDescription;
  Bytes bytes = BuildHeader(d);
  CMemoryMedia media;
  media.Write(bytes.size(), bytes.data());
  d.SetIndexOffset(static_cast<std::uint32_t>(bytes.size()));
  d.SetDataOffset(static_cast<std::uint32_t>(bytes.size()));
  d.SetEntryCount(0xFFFFFFFFu);
  EXPECT_THROW(ReadHamperIndex(media, d), NSFerryman::XBadFormat);
}

TEST(HamperIndex, ItemRangeIsCheckedWithoutWrapping) {
  CHamperDescription d = kDescription;
  d.SetDataOffset(1000);
  EXPECT_TRUE(ItemLiesInsideHamper(d, CHamperIndexEntry(9, 24, 0, false, "a"), 1024));
  EXPECT_FALSE(ItemLiesInsideHamper(d, CHamperIndexEntry(9, 25, 0, false, "a"), 1024));
  EXPECT_FALSE(ItemLiesInsideHamper(d, CHamperIndexEntry(9, 0xFFFFFFFFu, 0xFFFFFFFFu, false, "a"), 1024));
  EXPECT_FALSE(ItemLiesInsideHamper(d, CHamperIndexEntry(9, 1, 0xFFFFFFFFu, false, "a"), 1024));
}

TEST(FormatSignature, LineBreaksAndLongTexts) {
  CMemoryMedia media;
  CFormatSignature(1, NSFerryman::CVersion(1, 2, 3), "a\r\nb\nc").Write(media);
  CFormatSignature(2, NSFerryman::CVersion(1, 0, 0), std::string(200, 'x')).Write(media);
  EXPECT_EQ(media.GetSize(), 512u);
  media.SetPosition(0);
  const CFormatSignature first = CFormatSignature::Read(media);
  EXPECT_EQ(first.GetText(), "a\r\nbc");  // line feeds dropped, one put back after the return
  EXPECT_EQ(first.GetVersion(), NSFerryman::CVersion(1, 2, 3));
  EXPECT_EQ(CFormatSignature::Read(media).GetText(), std::string(128, 'x'));
}

}  // namespace

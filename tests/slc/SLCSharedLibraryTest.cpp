#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SLCSharedLibrary.h"
#include "support/SLCTestFiles.h"

using slctest::Bytes;
namespace header = NSSLC::header;

namespace {

// What the library answers for one file, step by step as a caller goes through them.
struct CAnswers {
  SLCResult create = 0;
  SLCResult creator = 0;
  SLCResult info = 0;
  SLCResult fromBuffer = 0;
  SLCInfo fields{};
};

class SLCLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Open(), 1); }
  void TearDown() override { Close(); }

  static CAnswers Ask(const Bytes& file) {
    CAnswers a;
    SLCInfo fromBuffer{};
    a.fromBuffer = SLCGetInfoFromBuffer(file.data(), static_cast<std::uint32_t>(file.size()), sizeof fromBuffer,
                                        &fromBuffer);
    SLCHandle handle = nullptr;
    a.create = SLCCreate(&handle, file.data(), static_cast<std::uint32_t>(file.size()), 0, 0);
    if (a.create != kSLCOK) {
      EXPECT_EQ(handle, nullptr);
      return a;
    }
    char text[1280];
    a.creator = SLCGetCreatorInfo(handle, sizeof text, text);
    a.info = SLCGetInfo(handle, sizeof a.fields, &a.fields);
    EXPECT_EQ(SLCDelete(&handle), kSLCOK);
    EXPECT_EQ(handle, nullptr);
    return a;
  }

  // A handle over the file; the test deletes it.
  static SLCHandle Create(const Bytes& file) {
    SLCHandle handle = nullptr;
    EXPECT_EQ(SLCCreate(&handle, file.data(), static_cast<std::uint32_t>(file.size()), 0, 0), kSLCOK);
    return handle;
  }
};

TEST_F(SLCLibraryTest, SoundFileAnswersWhatItHolds) {
  for (const std::uint16_t channels : {1, 2}) {
    const Bytes file = NSSLC::BuildFile(slctest::LoopContents(channels, NSSLC::kKindSlivver1));
    const CAnswers a = Ask(file);
    EXPECT_EQ(a.create, kSLCOK);
    EXPECT_EQ(a.creator, kSLCOK);
    EXPECT_EQ(a.info, kSLCOK);
    EXPECT_EQ(a.fromBuffer, kSLCOK);
    EXPECT_EQ(a.fields.kind, NSSLC::kKindSlivver1);
    EXPECT_EQ(a.fields.frameCount, 400u);
    EXPECT_EQ(a.fields.sliceCount, 4u);
    EXPECT_EQ(a.fields.sampleRate, 44100u);
    EXPECT_EQ(a.fields.channels, channels);
    EXPECT_EQ(a.fields.bitsPerSample, 16u);
    EXPECT_EQ(a.fields.tempo, 120000u);
    EXPECT_EQ(a.fields.formatVersion, 0x10000u);
  }

  SLCHandle handle = Create(slctest::LoopFile());
  char text[1280];
  EXPECT_EQ(SLCGetCreatorInfo(handle, sizeof text, text), kSLCOK);
  EXPECT_STREQ(text, "slc tests");
  EXPECT_EQ(SLCGetCreatorInfo(handle, 9, text), kSLCBufferTooSmall);  // no room for the terminating zero
  SLCSliceInfo slice{};
  EXPECT_EQ(SLCGetSliceInfo(handle, 3, sizeof slice, &slice), kSLCOK);
  EXPECT_EQ(slice.startFrame, 300u);
  EXPECT_EQ(slice.frameCount, 100u);
  EXPECT_EQ(SLCGetSliceInfo(handle, 4, sizeof slice, &slice), kSLCBadArgument);
  EXPECT_EQ(SLCGetSliceInfo(handle, 0, 7, &slice), kSLCBufferTooSmall);
  SLCInfo info{};
  EXPECT_EQ(SLCGetInfo(handle, 31, &info), kSLCBufferTooSmall);
  SLCDelete(&handle);
}

TEST_F(SLCLibraryTest, FileWithoutCreatorAnswersThree) {
  NSSLC::CFileContents contents = slctest::LoopContents();
  contents.creator.reset();
  SLCHandle handle = Create(NSSLC::BuildFile(contents));
  char text[8] = "garbage";
  EXPECT_EQ(SLCGetCreatorInfo(handle, sizeof text, text), kSLCNoCreatorInfo);
  EXPECT_STREQ(text, "");
  SLCDelete(&handle);
}

struct CDamage {
  std::string name;
  std::function<void(Bytes&)> damage;
  // Which answer is the first to fail, and with what.
  SLCResult create = kSLCOK;
  SLCResult creator = kSLCOK;
  SLCResult info = kSLCOK;
};

Bytes Built(std::vector<NSSLC::CSlice> slices) {
  NSSLC::CFileContents contents = slctest::LoopContents();
  contents.slices = std::move(slices);
  return NSSLC::BuildFile(contents);
}

TEST_F(SLCLibraryTest, EachDamageIsFoundByItsStep) {
  const std::size_t creatorText = header::kMinimumSize + 8;
  const std::vector<CDamage> cases = {
      {"bad magic", [](Bytes& f) { f[0] = 'X'; }, kSLCNotSlicedLoop},
      {"shorter than a header", [](Bytes& f) { f.resize(40); }, kSLCTruncated},
      {"cut in the audio", [](Bytes& f) { f.pop_back(); }, kSLCTruncated},
      {"header size beyond the buffer",
       [](Bytes& f) { slctest::SetU32(f, header::kHeaderSize, static_cast<std::uint32_t>(f.size() / 4 + 1) * 4); },
       kSLCTruncated},
      {"header size not whole words", [](Bytes& f) { slctest::SetU32(f, header::kHeaderSize, 66); }, kSLCBadFormat},
      {"format major 2", [](Bytes& f) { f[header::kFormatMajor + 1] = 2; }, kSLCUnsupportedVersion},
      {"header byte changed", [](Bytes& f) { f[header::kSampleRate + 3] ^= 1; }, kSLCChecksumMismatch},
      {"three channels, resealed",
       [](Bytes& f) {
         f[header::kChannels + 1] = 3;
         slctest::ResealHeader(f);
       },
       kSLCBadFormat},
      {"unknown kind, resealed",
       [](Bytes& f) {
         slctest::SetU32(f, header::kKind, NSSLC::FourCC("SLC3"));
         slctest::ResealHeader(f);
       },
       kSLCBadFormat},
      {"slice table inside the header, resealed",
       [](Bytes& f) {
         slctest::SetU32(f, header::kSliceTableOffset, 16);
         slctest::ResealHeader(f);
       },
       kSLCBadFormat},
      {"slice count above the frame count, resealed",
       [](Bytes& f) {
         slctest::SetU32(f, header::kSliceCount, 401);
         slctest::ResealHeader(f);
       },
       kSLCBadFormat},
      {"audio overlapping the slice table, as many bytes free at the end, resealed",
       [](Bytes& f) {
         slctest::SetU32(f, header::kAudioOffset, slctest::HeaderField(f, header::kAudioOffset) - 8);
         slctest::ResealHeader(f);
       },
       kSLCBadFormat},
      {"a byte behind the audio", [](Bytes& f) { f.push_back(0); }, kSLCBadFormat},
      {"creator text changed", [=](Bytes& f) { f[creatorText] ^= 0x20; }, kSLCOK, kSLCChecksumMismatch},
      {"creator tag changed, resealed",
       [](Bytes& f) {
         f[header::kMinimumSize] = 'X';
         slctest::ResealCreator(f);
       },
       kSLCOK, kSLCBadFormat},
      {"creator text with a zero byte, resealed",
       [=](Bytes& f) {
         f[creatorText] = 0;
         slctest::ResealCreator(f);
       },
       kSLCOK, kSLCBadFormat},
      {"slice table changed",
       [](Bytes& f) { f[slctest::HeaderField(f, header::kSliceTableOffset) + 5] ^= 1; }, kSLCOK, kSLCOK,
       kSLCChecksumMismatch},
      {"overlapping slices, sealed", [](Bytes& f) { f = Built({{0, 100}, {50, 100}}); }, kSLCOK, kSLCOK,
       kSLCBadFormat},
      {"slice past the audio, sealed", [](Bytes& f) { f = Built({{0, 100}, {350, 100}}); }, kSLCOK, kSLCOK,
       kSLCBadFormat},
      {"empty slice, sealed", [](Bytes& f) { f = Built({{0, 0}}); }, kSLCOK, kSLCOK, kSLCBadFormat},
      {"audio changed", [](Bytes& f) { f.back() ^= 0x80; }, kSLCOK, kSLCOK, kSLCChecksumMismatch},
  };
  for (const CDamage& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = slctest::LoopFile();
    c.damage(file);
    const CAnswers a = Ask(file);
    EXPECT_EQ(a.create, c.create);
    if (c.create == kSLCOK) {
      EXPECT_EQ(a.creator, c.creator);
      EXPECT_EQ(a.info, c.info);
    }
    // The one-call check finds the same damage, except the creator's, which it does not look at.
    EXPECT_EQ(a.fromBuffer, c.create != kSLCOK ? c.create : c.info);
  }
}

// Every byte of a file is guarded, and no cut leaves a readable file: whatever byte is changed or
// wherever the file ends, some step fails, and nothing is read outside the buffer on the way.
TEST_F(SLCLibraryTest, NoChangedByteOrCutGoesUnnoticed) {
  const Bytes sound = NSSLC::BuildFile(slctest::LoopContents(2));
  for (std::size_t i = 0; i < sound.size(); ++i) {
    Bytes file = sound;
    file[i] ^= 0x01;
    const CAnswers a = Ask(file);
    EXPECT_TRUE(a.create != kSLCOK || a.creator != kSLCOK || a.info != kSLCOK) << "byte " << i;
    EXPECT_EQ(a.fromBuffer, a.create != kSLCOK ? a.create : a.info) << "byte " << i;
  }
  for (std::size_t length = 0; length < sound.size(); ++length) {
    const Bytes file(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(Ask(file).create, kSLCTruncated) << "length " << length;
  }
}

TEST_F(SLCLibraryTest, BadArgumentsAreRefused) {
  const Bytes file = slctest::LoopFile();
  const auto size = static_cast<std::uint32_t>(file.size());
  SLCHandle handle = reinterpret_cast<SLCHandle>(&handle);
  EXPECT_EQ(SLCCreate(&handle, file.data(), size, 1, 0), kSLCBadArgument);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(SLCCreate(&handle, file.data(), size, 0, 7), kSLCBadArgument);
  EXPECT_EQ(SLCCreate(&handle, nullptr, size, 0, 0), kSLCBadArgument);
  EXPECT_EQ(SLCCreate(nullptr, file.data(), size, 0, 0), kSLCBadArgument);
  EXPECT_EQ(SLCGetInfo(nullptr, sizeof(SLCInfo), &handle), kSLCBadArgument);
  EXPECT_EQ(SLCDelete(&handle), kSLCOK);  // a null handle is allowed

  handle = Create(file);
  EXPECT_EQ(SLCSetOutputSampleRate(handle, 0), kSLCBadArgument);
  EXPECT_EQ(SLCSetOutputSampleRate(handle, NSSLC::kMaxSampleRate + 1), kSLCBadArgument);
  EXPECT_EQ(SLCSetPreviewTempo(handle, 999), kSLCBadArgument);
  EXPECT_EQ(SLCSetPreviewTempo(handle, 1000001), kSLCBadArgument);
  SLCDelete(&handle);
}

TEST(SLCLibraryOpenTest, CreateNeedsAnOpenLibrary) {
  const Bytes file = slctest::LoopFile();
  SLCHandle handle = nullptr;
  EXPECT_EQ(SLCCreate(&handle, file.data(), static_cast<std::uint32_t>(file.size()), 0, 0), kSLCNotOpen);
  ASSERT_EQ(Open(), 1);
  ASSERT_EQ(Open(), 1);
  Close();
  EXPECT_EQ(SLCCreate(&handle, file.data(), static_cast<std::uint32_t>(file.size()), 0, 0), kSLCOK);
  Close();
  // A live handle outlasts the last Close.
  SLCInfo info{};
  EXPECT_EQ(SLCGetInfo(handle, sizeof info, &info), kSLCOK);
  SLCDelete(&handle);
}

// The handle keeps its own copy: the caller's buffer may go before the handle does.
TEST_F(SLCLibraryTest, HandleOutlivesTheCallersBuffer) {
  auto file = std::make_unique<Bytes>(slctest::LoopFile());
  SLCHandle handle = Create(*file);
  std::fill(file->begin(), file->end(), 0xEE);
  file.reset();
  SLCInfo info{};
  EXPECT_EQ(SLCGetInfo(handle, sizeof info, &info), kSLCOK);
  EXPECT_EQ(info.sliceCount, 4u);
  SLCDelete(&handle);
}

std::vector<std::int16_t> RenderSlice(SLCHandle handle, std::uint32_t index) {
  std::uint32_t needed = 0;
  EXPECT_EQ(SLCRenderSlice(handle, index, nullptr, 0, &needed), kSLCOK);
  std::vector<std::int16_t> frames(needed * 2);
  std::uint32_t written = 0;
  EXPECT_EQ(SLCRenderSlice(handle, index, frames.data(), needed, &written), kSLCOK);
  EXPECT_EQ(written, needed);
  return frames;
}

TEST_F(SLCLibraryTest, SlicesRenderAtTheOutputRate) {
  SLCHandle handle = Create(NSSLC::BuildFile(slctest::LoopContents(2)));
  std::vector<std::int16_t> same = RenderSlice(handle, 1);
  ASSERT_EQ(same.size(), 200u);
  for (std::uint32_t j = 0; j < 100; ++j) {
    EXPECT_EQ(same[2 * j], (100 + j) * 10);
    EXPECT_EQ(same[2 * j + 1], (100 + j) * 10 + 1);
  }

  // At twice the rate, every other frame lies halfway between two stored ones; the slice's last
  // frame is held rather than mixed with the next slice.
  ASSERT_EQ(SLCSetOutputSampleRate(handle, 88200), kSLCOK);
  std::vector<std::int16_t> twice = RenderSlice(handle, 1);
  ASSERT_EQ(twice.size(), 400u);
  EXPECT_EQ(twice[0], 1000);
  EXPECT_EQ(twice[2], 1005);
  EXPECT_EQ(twice[3], 1006);
  EXPECT_EQ(twice[396], 1990);
  EXPECT_EQ(twice[398], 1990);

  std::vector<std::int16_t> small(2 * 199);
  std::uint32_t written = 0;
  EXPECT_EQ(SLCRenderSlice(handle, 1, small.data(), 199, &written), kSLCBufferTooSmall);
  EXPECT_EQ(written, 200u);
  EXPECT_EQ(SLCRenderSlice(handle, 4, small.data(), 199, &written), kSLCBadArgument);
  SLCDelete(&handle);
}

TEST_F(SLCLibraryTest, PreviewMovesSlicesWithTheTempo) {
  SLCHandle handle = Create(slctest::LoopFile());
  std::vector<std::int16_t> frames(1000);
  std::uint32_t written = 0;
  EXPECT_EQ(SLCRenderPreviewBatch(handle, frames.data(), 10, &written), kSLCPreviewStopped);

  // The stored tempo plays the audio as stored, round and round, over several batches.
  ASSERT_EQ(SLCStartPreview(handle), kSLCOK);
  ASSERT_EQ(SLCRenderPreviewBatch(handle, frames.data(), 300, &written), kSLCOK);
  ASSERT_EQ(SLCRenderPreviewBatch(handle, frames.data() + 300, 200, &written), kSLCOK);
  EXPECT_EQ(written, 200u);
  for (std::uint32_t t = 0; t < 500; ++t) EXPECT_EQ(frames[t], (t % 400) * 10) << t;

  // Twice as fast: each slice starts twice as early and is cut off after half of it.
  ASSERT_EQ(SLCSetPreviewTempo(handle, 240000), kSLCOK);
  ASSERT_EQ(SLCStartPreview(handle), kSLCOK);
  ASSERT_EQ(SLCRenderPreviewBatch(handle, frames.data(), 200, &written), kSLCOK);
  for (std::uint32_t t = 0; t < 200; ++t) EXPECT_EQ(frames[t], ((t / 50) * 100 + t % 50) * 10) << t;

  // Half as fast: each slice plays whole, then silence until the next.
  ASSERT_EQ(SLCSetPreviewTempo(handle, 60000), kSLCOK);
  ASSERT_EQ(SLCStartPreview(handle), kSLCOK);
  ASSERT_EQ(SLCRenderPreviewBatch(handle, frames.data(), 800, &written), kSLCOK);
  for (std::uint32_t t = 0; t < 800; ++t) {
    EXPECT_EQ(frames[t], t % 200 < 100 ? ((t / 200) * 100 + t % 200) * 10 : 0) << t;
  }

  ASSERT_EQ(SLCStopPreview(handle), kSLCOK);
  EXPECT_EQ(SLCRenderPreviewBatch(handle, frames.data(), 10, &written), kSLCPreviewStopped);
  SLCDelete(&handle);
}

TEST_F(SLCLibraryTest, DamagedAudioIsNeitherRenderedNorPreviewed) {
  Bytes file = slctest::LoopFile();
  file.back() ^= 1;
  SLCHandle handle = Create(file);
  std::uint32_t written = 0;
  EXPECT_EQ(SLCRenderSlice(handle, 0, nullptr, 0, &written), kSLCChecksumMismatch);
  EXPECT_EQ(SLCStartPreview(handle), kSLCChecksumMismatch);
  SLCDelete(&handle);
}

}  // namespace

// A looped sample plays as a sampler holds a note: to the loop's end, then the loop over and over,
// forward or back and forth; a sample without a loop, or with one it cannot keep, plays once.

#include <gtest/gtest.h>

#include "browse/BrowseFixtures.h"
#include "browse/LoopedSampleStream.h"
#include "framework/media/MemoryMedia.h"

using namespace browsetest;

namespace {

// The item of a sample of `frames` frames whose value is the frame's number (the right channel
// its negative), with the loop given.
std::unique_ptr<NSFerryman::CMemoryMedia> RampItem(std::uint16_t channels, std::uint8_t loopMode, std::uint32_t loopStart,
                                                   std::uint32_t loopEnd, int frames = 10) {
  using namespace sampletest;
  std::vector<std::int32_t> values;
  for (int f = 0; f < frames; ++f) {
    values.push_back(f);
    if (channels == 2) values.push_back(-f);
  }
  auto item = MediaOf(packedtest::AudioItemOf(
      Container("RIFF", "WAVE", {{"fmt ", Fmt(1, channels, 8000, 16)}, {"data", packedtest::Frames(values, 16, true)}})));
  item->SetPosition(0);
  CVORPSampleHeader header = CVORPSampleHeader::Read(*item);
  header.loopMode = loopMode;
  header.loopStart = loopStart;
  header.loopEnd = loopEnd;
  item->SetPosition(0);
  header.Write(*item);
  return item;
}

// The left channel of the first `count` frames played (fewer when the sample ends), read in
// blocks of `block`.
std::vector<int> Played(CLoopedSampleStream& stream, std::uint32_t block, std::size_t count = 24) {
  const unsigned channels = stream.Header().channelCount;
  std::vector<std::int16_t> frames(std::size_t{block} * channels);
  std::vector<int> played;
  while (played.size() < count) {
    const std::uint32_t n = stream.Read(frames.data(), block);
    if (n == 0) break;
    for (std::uint32_t i = 0; i < n && played.size() < count; ++i) {
      played.push_back(frames[std::size_t{i} * channels]);
      if (channels == 2) {
        EXPECT_EQ(frames[std::size_t{i} * 2 + 1], -frames[std::size_t{i} * 2]) << "frame " << i;
      }
    }
  }
  return played;
}

TEST(LoopedSampleStream, PlaysToTheLoopEndThenRepeatsTheLoop) {
  struct CCase {
    const char* name;
    std::uint16_t channels;
    std::uint8_t mode;
    std::uint32_t start, end;
    std::size_t maxLoopBytes;
    bool loops;
    std::vector<int> played;
  };
  const std::size_t big = CLoopedSampleStream::kMaxLoopBytes;
  const std::vector<CCase> cases = {
      {"no loop plays once", 1, kVORPLoopNone, 0, 10, big, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"forward", 1, kVORPLoopForward, 3, 7, big, true,
       {0, 1, 2, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3}},
      {"forward, stereo", 2, kVORPLoopForward, 3, 7, big, true,
       {0, 1, 2, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3}},
      {"alternating turns at each end, playing it once", 1, kVORPLoopAlternating, 3, 7, big, true,
       {0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 4, 5, 6, 5, 4, 3, 4, 5, 6, 5, 4, 3, 4, 5}},
      {"alternating, stereo", 2, kVORPLoopAlternating, 3, 7, big, true,
       {0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 4, 5, 6, 5, 4, 3, 4, 5, 6, 5, 4, 3, 4, 5}},
      {"the whole sample", 1, kVORPLoopForward, 0, 10, big, true,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3}},
      {"one frame", 1, kVORPLoopAlternating, 5, 6, big, true,
       {0, 1, 2, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}},
      {"two frames at the end, alternating", 1, kVORPLoopAlternating, 8, 10, big, true,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 9, 8, 9, 8, 9, 8, 9, 8, 9, 8, 9, 8, 9}},
      {"an end past the frames plays once", 1, kVORPLoopForward, 0, 11, big, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"an empty loop plays once", 1, kVORPLoopForward, 4, 4, big, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"an unknown mode plays once", 1, 7, 3, 7, big, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"a loop larger than the memory allowed plays once", 1, kVORPLoopForward, 3, 7, 7, false,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"a loop as large as the memory allowed repeats", 1, kVORPLoopForward, 3, 7, 8, true,
       {0, 1, 2, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3, 4, 5, 6, 3}},
  };
  for (const CCase& c : cases) {
    for (std::uint32_t block : {1u, 3u, 7u, 64u}) {
      SCOPED_TRACE(std::string(c.name) + ", in blocks of " + std::to_string(block));
      CLoopedSampleStream stream(RampItem(c.channels, c.mode, c.start, c.end), c.maxLoopBytes);
      EXPECT_EQ(stream.Loops(), c.loops);
      EXPECT_EQ(Played(stream, block), c.played);
    }
  }
}

TEST(LoopedSampleStream, ALoopRepeatsFromMemoryWithoutDecodingAgain) {
  // Once the first pass is over, the item's bytes are gone and the loop still plays.
  auto item = RampItem(1, kVORPLoopForward, 2, 5);
  NSFerryman::CMemoryMedia* bytes = item.get();
  CLoopedSampleStream stream(std::move(item));
  EXPECT_EQ(Played(stream, 4, 5), (std::vector<int>{0, 1, 2, 3, 4}));
  const std::vector<std::uint8_t> zeros(bytes->GetSize(), 0);
  bytes->WriteAt(0, zeros.size(), zeros.data());
  EXPECT_EQ(Played(stream, 4, 7), (std::vector<int>{2, 3, 4, 2, 3, 4, 2}));
}

TEST(LoopedSampleStream, AFailureInTheFirstPassEndsIt) {
  // Noise, looped over its middle, its stream overwritten from half way.
  std::vector<std::int32_t> noise;
  std::uint32_t x = 1;
  for (int f = 0; f < 100000; ++f) noise.push_back(static_cast<std::int16_t>((x = x * 1103515245 + 12345) >> 16));
  using namespace sampletest;
  Bytes bytes = packedtest::AudioItemOf(
      Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 1, 8000, 16)}, {"data", packedtest::Frames(noise, 16, true)}}));
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2), bytes.end(), 0xFF);
  auto item = MediaOf(bytes);
  item->SetPosition(0);
  CVORPSampleHeader header = CVORPSampleHeader::Read(*item);
  header.loopMode = kVORPLoopForward;
  header.loopStart = 20000;
  header.loopEnd = 90000;
  item->SetPosition(0);
  header.Write(*item);

  CLoopedSampleStream stream(std::move(item));
  std::vector<std::int16_t> frames(4096);
  EXPECT_THROW(
      while (stream.Read(frames.data(), 4096)) {}, NSFerryman::XBase);
  EXPECT_FALSE(stream.Loops());
  EXPECT_EQ(stream.Read(frames.data(), 4096), 0u);
}

}  // namespace

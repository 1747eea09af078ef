// The decode stream gives exactly the frames `hamper extract` writes, in any block sizes, and the
// waveform's peaks are those of the frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "browse/BrowseFixtures.h"
#include "browse/ItemKind.h"
#include "browse/SampleStream.h"
#include "browse/WaveformPeaks.h"
#include "framework/media/MemoryMedia.h"

using namespace browsetest;

namespace {

// The frames of a 16-bit WAV or AIFF file as little-endian bytes: the WAV file's "data" chunk, or
// the AIFF file's "SSND" data (behind its offset and block size) with each value's bytes swapped.
Bytes AudioData(const Bytes& file) {
  const bool aiff = std::memcmp(file.data(), "FORM", 4) == 0;
  const auto size32 = [&](std::size_t at) {
    return aiff ? (std::uint32_t{file[at]} << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3])
                : (file[at] | file[at + 1] << 8 | file[at + 2] << 16 | static_cast<std::uint32_t>(file[at + 3]) << 24);
  };
  for (std::size_t at = 12; at + 8 <= file.size();) {
    const std::uint32_t size = size32(at + 4);
    if (std::memcmp(&file[at], aiff ? "SSND" : "data", 4) == 0) {
      Bytes data(file.begin() + at + 8 + (aiff ? 8 : 0), file.begin() + at + 8 + size);
      for (std::size_t i = 0; aiff && i + 1 < data.size(); i += 2) std::swap(data[i], data[i + 1]);
      return data;
    }
    at += 8 + size + (size & 1);
  }
  ADD_FAILURE() << "no audio chunk";
  return {};
}

Bytes StreamBytes(CSampleStream& stream, std::uint32_t block) {
  Bytes bytes;
  std::vector<std::int16_t> frames(std::size_t{block} * stream.Header().channelCount);
  stream.Rewind();
  while (const std::uint32_t n = stream.Read(frames.data(), block)) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(frames.data());
    bytes.insert(bytes.end(), first, first + std::size_t{n} * stream.Header().channelCount * 2);
  }
  return bytes;
}

TEST(SampleStream, GivesTheFramesExtractWrites) {
  const PackedHampers& packed = PackedHampers::Get();
  const fs::path out = packed.Scratch() / "extracted";
  fs::remove_all(out);
  const packedtest::CommandRun r = packedtest::Hamper("extract " + Q(packed.Demo()) + " " + Q(out), packed.Scratch());
  ASSERT_EQ(r.code, 0) << r.err;
  const auto demo = CHamperContents::Open(packed.Demo().string());
  int samples = 0;
  for (std::size_t record = 0; record < demo->Index().Size(); ++record) {
    const CHamperIndexEntry& e = demo->Record(record);
    if (!IsSampleItemType(e.GetItemType())) continue;
    SCOPED_TRACE(e.GetPath());
    ++samples;
    std::string relative = e.GetPath();
    std::replace(relative.begin(), relative.end(), ':', '/');
    const Bytes frames = AudioData(test::ReadFileBytes(out / relative));
    CSampleStream stream(demo->OpenItem(record));
    for (std::uint32_t block : {1u, 333u, 4096u, 1u << 20}) {
      EXPECT_EQ(StreamBytes(stream, block), frames) << "in blocks of " << block;
      EXPECT_EQ(stream.Position(), stream.FrameCount());
    }
  }
  EXPECT_EQ(samples, 7);
}

// A Hamper of one sample of the given frames, opened.
std::unique_ptr<CHamperContents> OneSample(const fs::path& path, std::uint16_t channels,
                                           const std::vector<std::int32_t>& values) {
  using namespace sampletest;
  const Bytes item = packedtest::AudioItemOf(Container(
      "RIFF", "WAVE", {{"fmt ", Fmt(1, channels, 8000, 16)}, {"data", packedtest::Frames(values, 16, true)}}));
  hampertest::FakeTree tree;
  tree.Add(hampertest::FakeEntry::File("s.wav", 11, item));
  packedtest::WriteTree(path, tree);
  return CHamperContents::Open(path.string());
}

TEST(WaveformPeaks, EachColumnHoldsTheLowestAndHighestOfItsFrames) {
  // A ramp from -500 up, one value a frame; in stereo the right channel is the ramp upside down.
  std::vector<std::int32_t> mono, stereo;
  for (int f = 0; f < 1000; ++f) {
    mono.push_back(f - 500);
    stereo.push_back(f - 500);
    stereo.push_back(500 - f);
  }
  const fs::path scratch = PackedHampers::Get().Scratch();
  struct CCase {
    const char* name;
    std::vector<std::int32_t> values;
    std::uint16_t channels;
    std::uint32_t columns;
    std::vector<std::int16_t> low, high;
  };
  const std::vector<CCase> cases = {
      {"four even columns", mono, 1, 4, {-500, -250, 0, 250}, {-251, -1, 249, 499}},
      {"three columns share 1000 frames", mono, 1, 3, {-500, -166, 167}, {-167, 166, 499}},
      {"stereo takes both channels", stereo, 2, 2, {-500, -499}, {500, 499}},
      {"one column", mono, 1, 1, {-500}, {499}},
      {"more columns than frames leaves some flat", {-7, 3, 9, -2, 5}, 1, 8, {-7, 3, 0, 9, -2, 0, 5, 0},
       {-7, 3, 0, 9, -2, 0, 5, 0}},
      {"no frames", {}, 1, 3, {0, 0, 0}, {0, 0, 0}},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto hamper = OneSample(scratch / "peaks.hmp", c.channels, c.values);
    CSampleStream stream(hamper->OpenItem(0));
    std::uint64_t lastDone = 0;
    const CWaveformPeaks peaks = ComputeWaveformPeaks(stream, c.columns, [&](std::uint64_t done, std::uint64_t all) {
      EXPECT_EQ(all, c.values.size() / c.channels);
      lastDone = done;
      return true;
    });
    EXPECT_EQ(peaks.low, c.low);
    EXPECT_EQ(peaks.high, c.high);
    EXPECT_EQ(lastDone, c.values.size() / c.channels);
  }
}

TEST(WaveformPeaks, AStopEndsTheWorkAndACorruptStreamFails) {
  std::vector<std::int32_t> noise;
  std::uint32_t x = 1;
  for (int f = 0; f < 100000; ++f) noise.push_back(static_cast<std::int16_t>((x = x * 1103515245 + 12345) >> 16));
  const fs::path scratch = PackedHampers::Get().Scratch();
  const auto hamper = OneSample(scratch / "noise.hmp", 1, noise);
  CSampleStream stream(hamper->OpenItem(0));
  EXPECT_THROW(ComputeWaveformPeaks(stream, 10, [](std::uint64_t, std::uint64_t) { return false; }),
               NSFerryman::XUserCancelled);

  // Half the stream gone: the header's frames cannot all come.
  Bytes bytes = test::ReadFileBytes(scratch / "noise.hmp");
  const packedtest::CRecordPlace item = packedtest::Find(bytes, "s.wav");
  std::fill(bytes.begin() + item.item + 26 + item.entry.GetSize() / 2, bytes.end(), 0xFF);
  test::WriteFileBytes(scratch / "noise.hmp", bytes);
  const auto damaged = CHamperContents::Open((scratch / "noise.hmp").string());
  CSampleStream broken(damaged->OpenItem(0));
  EXPECT_THROW(ComputeWaveformPeaks(broken, 10), NSFerryman::XBase);
  std::int16_t frame;
  EXPECT_EQ(broken.Read(&frame, 1), 0u) << "a failed stream says it is at its end";
}

}  // namespace

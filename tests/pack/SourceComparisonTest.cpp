#include "pack/SourceComparison.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/media/MemoryMedia.h"
#include "items/AudioPacker.h"
#include "items/SampleTestFiles.h"
#include "support/TestSupport.h"

using namespace NSFerryman;
using namespace sampletest;

namespace {

Bytes Wave(std::uint32_t frames, std::uint32_t rate = 22050) {
  Bytes data;
  for (const std::int32_t v : TestSignal(16, 2, frames)) PutLE(data, static_cast<std::uint16_t>(v), 2);
  return Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, rate, 16)}, {"data", data}});
}

Bytes AudioItem(const Bytes& wave) {
  const auto source = MediaOf(wave);
  CMemoryMedia item;
  PackAudioItem(*source, item);
  return Bytes(item.Data(), item.Data() + item.GetSize());
}

// "" when the item matches its source, else the failure's text.
std::string Compare(const std::string& path, int itemType, const Bytes& item, const std::string& folder) {
  const auto media = MediaOf(item);
  try {
    CompareItemWithSource(CHamperIndexEntry(itemType, static_cast<std::uint32_t>(item.size()), 0, false, path), *media,
                          CHamperDescription("Kit", "", "", ""), CSourceFolder{folder, nullptr});
    return "";
  } catch (const std::exception& e) {
    return e.what();
  }
}

TEST(SourceComparison, FindsTheFirstDifferenceAndFollowsOnlyPlainPaths) {
  test::TempDir dir;
  const std::string content = (dir / "Content").string();
  test::WriteFileText(dir / "Content/Midi/a.mid", "MThd-and-more");
  test::WriteFileText(dir / "secret.mid", "MThd-and-more");
  test::WriteFileBytes(dir / "Content/Samples/loop.wav", Wave(3000));
  const Bytes item = AudioItem(Wave(3000));

  struct Case {
    std::string path;
    int itemType;
    Bytes item;
    std::string failure;  // a part of it; "" for a match
  };
  const Case cases[] = {
      {"Midi:a.mid", 10, Bytes{'M', 'T', 'h', 'd', '-', 'a', 'n', 'd', '-', 'm', 'o', 'r', 'e'}, ""},
      {"Midi:a.mid", 10, Bytes{'M', 'T', 'h', 'd', '-', 'a', 'n', 'd', '-', 'M', 'o', 'r', 'e'}, "byte 9 is 77, where 109 was expected"},
      {"Midi:a.mid", 10, Bytes{'M', 'T', 'h', 'd'}, "the item has 4 bytes, where 13 were expected"},
      {"Midi:b.mid", 10, Bytes{'M'}, "b.mid"},
      {"..:secret.mid", 10, Bytes{'M', 'T', 'h', 'd', '-', 'a', 'n', 'd', '-', 'm', 'o', 'r', 'e'}, "cannot be compared"},
      {"Midi::a.mid", 10, Bytes{'M'}, "cannot be compared"},
      {"Samples:loop.wav", 11, item, ""},
      {"Samples:loop.wav", 11, AudioItem(Wave(2999)), "its frame count is 2999, the source's 3000"},
      {"Samples:loop.wav", 11, AudioItem(Wave(3000, 44100)), "its sample rate is 44100, the source's 22050"},
  };
  for (const Case& c : cases) {
    const std::string failure = Compare(c.path, c.itemType, c.item, content);
    if (c.failure.empty()) {
      EXPECT_EQ(failure, "") << c.path;
    } else {
      EXPECT_NE(failure.find(c.failure), std::string::npos) << c.path << ": " << failure;
    }
  }
}

// Frames are compared as decoded, block by block: a difference deep in a long item is found and
// named by frame and channel.
TEST(SourceComparison, NamesTheFirstFrameThatDiffers) {
  test::TempDir dir;
  const std::vector<std::int32_t> signal = TestSignal(16, 2, 100000);
  Bytes data;
  for (const std::int32_t v : signal) PutLE(data, static_cast<std::uint16_t>(v), 2);
  const Bytes wave = Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 22050, 16)}, {"data", data}});
  const Bytes item = AudioItem(wave);
  const std::size_t value = 2 * 70001 + 1;  // frame 70001, second channel
  data[2 * value] ^= 1;
  test::WriteFileBytes(dir / "loop.wav", Container("RIFF", "WAVE", {{"fmt ", Fmt(1, 2, 22050, 16)}, {"data", data}}));
  const std::string failure = Compare("loop.wav", 11, item, dir.Path().string());
  EXPECT_NE(failure.find("frame 70001, channel 2: the item holds " + std::to_string(static_cast<std::int16_t>(signal[value])) +
                         ", the source " + std::to_string(static_cast<std::int16_t>(signal[value] ^ 1))),
            std::string::npos)
      << failure;
}

}  // namespace

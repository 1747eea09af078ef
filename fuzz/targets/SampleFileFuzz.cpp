// The sample file readers: the WAV and AIFF/AIFC descriptions, their layouts, the whole-sample
// loaders and the streaming frame reader over every frame.
//
// The roads must agree: a layout describes the file as the description reader does, and the
// streaming reader gives the frames the whole-sample loader gives.

#include <algorithm>
#include <memory>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "items/AIFFInfo.h"
#include "items/LoadSample.h"
#include "items/SampleFileAccessor.h"
#include "items/SampleFileLayout.h"
#include "items/WaveInfo.h"

using namespace NSFerryman;

namespace {

bool SameInfo(const CSampleInfo& a, const CSampleInfo& b) {
  return a.channels == b.channels && a.bits == b.bits && a.sampleRate == b.sampleRate &&
         a.frameCount == b.frameCount && a.loopKind == b.loopKind && a.loopType == b.loopType &&
         a.loopStart == b.loopStart && a.loopEnd == b.loopEnd && a.instrumentPresent == b.instrumentPresent &&
         a.rootKey == b.rootKey && a.fineTune == b.fineTune && a.lowKey == b.lowKey && a.highKey == b.highKey;
}

void CheckInfo(const CSampleInfo& info) {
  fuzz::Expect(info.channels == 1 || info.channels == 2, "a sample of neither one nor two channels");
  fuzz::Expect(info.loopKind == kLoopKindNone || (info.loopStart >= 0 && info.loopStart < info.loopEnd &&
                                                  static_cast<std::uint32_t>(info.loopEnd) <= info.frameCount),
               "a loop outside the frames");
}

// The frames of the streaming reader, read in uneven portions.
std::vector<std::int16_t> StreamedFrames(CMedia& media, const CSampleFileLayout& layout) {
  CSampleFileAccessor accessor(media, layout);
  const std::uint32_t frames = layout.info.frameCount;
  std::vector<std::int16_t> out(std::size_t{frames} * layout.info.channels);
  for (std::uint32_t first = 0, step = 1; first < frames; first += step, step = step * 3 + 1) {
    if (step > frames - first) step = frames - first;
    accessor.Read16Stereo(first, step, out.data() + std::size_t{first} * layout.info.channels);
  }
  return out;
}

template <class ReadInfo, class ReadLayout, class Load>
void ReadSampleFile(CMedia& media, ReadInfo readInfo, ReadLayout readLayout, Load load) {
  CSampleInfo info;
  if (!fuzz::Tolerate([&] { info = readInfo(media); })) return;
  CheckInfo(info);
  CSampleFileLayout layout;
  if (!fuzz::Tolerate([&] { layout = readLayout(media); })) return;
  fuzz::Expect(SameInfo(info, layout.info), "the layout's description differs from the description");
  fuzz::Expect(layout.FrameOffset(info.frameCount) <= media.GetSize(), "the layout's frames lie past the end");
  const std::vector<std::int16_t> streamed = StreamedFrames(media, layout);

  media.SetPosition(0);
  std::unique_ptr<CWaveSample> sample;
  if (!fuzz::Tolerate([&] { sample = load(media); })) return;
  fuzz::Expect(sample->GetFrameCount() == info.frameCount && sample->GetChannelCount() == info.channels,
               "the loaded sample's format differs from the description");
  fuzz::Expect(std::equal(streamed.begin(), streamed.end(), sample->Frames()),
               "the streaming reader and the loader give different frames");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto media = fuzz::MediaOf(data, size);
  fuzz::Tolerate([&] { (void)SampleFileKindOf(*media); });
  ReadSampleFile(
      *media, [](CMedia& m) { return ReadWaveInfo(m); }, [](CMedia& m) { return ReadWaveLayout(m); },
      [](CMedia& m) { return LoadWaveSample(m, 16); });
  ReadSampleFile(
      *media, [](CMedia& m) { return ReadAIFFInfo(m); }, [](CMedia& m) { return ReadAIFFLayout(m); },
      [](CMedia& m) { return LoadAIFFSample(m, 16); });
  return 0;
}

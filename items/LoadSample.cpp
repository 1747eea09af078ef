#include "items/LoadSample.h"

#include <algorithm>
#include <string>
#include <vector>

#include "items/SampleFileLayout.h"

using namespace NSFerryman;

namespace {

// Frames converted per media read.
constexpr std::uint32_t kPortionFrames = 2048;

// The layout's frames into a new sample, one media read per portion. The layout readers have
// checked that every frame is in the media, so the sample's memory is never taken for a length
// the file does not hold.
std::unique_ptr<CWaveSample> LoadFrames(CMedia& media, const CSampleFileLayout& layout, std::uint32_t bits) {
  const CSampleInfo& info = layout.info;
  auto sample = std::make_unique<CWaveSample>(CSampleFormat{info.channels, bits, info.sampleRate, info.frameCount});
  const std::uint32_t frames = info.frameCount;
  const std::size_t bytesPerFrame = layout.BytesPerFrame();
  std::vector<std::uint8_t> raw(frames == 0 ? 0 : std::size_t{kPortionFrames} * bytesPerFrame);
  std::int16_t* out = sample->Frames();
  for (std::uint32_t done = 0; done < frames;) {
    const std::uint32_t n = std::min(kPortionFrames, frames - done);
    media.ReadAt(layout.FrameOffset(done), n * bytesPerFrame, raw.data());
    ConvertSampleValues(layout.format, raw.data(), std::size_t{n} * info.channels, out + std::size_t{done} * info.channels);
    done += n;
  }
  return sample;
}

}  // namespace

std::unique_ptr<CWaveSample> LoadWaveSample(CMedia& media, std::uint32_t bits) {
  return LoadFrames(media, ReadWaveLayout(media), bits);
}

std::unique_ptr<CWaveSample> LoadAIFFSample(CMedia& media, std::uint32_t bits) {
  return LoadFrames(media, ReadAIFFLayout(media), bits);
}

ESampleFileKind SampleFileKindOf(CMedia& media) {
  const MediaSize saved = media.GetPosition();
  ESampleFileKind kind = ESampleFileKind::kUnknown;
  if (media.GetSize() >= 4) {
    std::uint8_t magic[4];
    media.ReadAt(0, 4, magic);
    const std::string m(reinterpret_cast<const char*>(magic), 4);
    if (m == "RIFF") kind = ESampleFileKind::kWave;
    if (m == "FORM") kind = ESampleFileKind::kAIFF;
  }
  media.SetPosition(saved);
  return kind;
}

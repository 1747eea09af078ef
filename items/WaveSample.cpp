#include "items/WaveSample.h"

#include <cstring>
#include <string>

using namespace NSFerryman;

namespace {

// The frames live in one memory media; its size is computed in 64 bits so that no frame count
// can wrap it.
std::unique_ptr<CMemoryMedia> MakeFrameMedia(const CSampleFormat& format) {
  if (format.channels != 1 && format.channels != 2) {
    throw XUnsupportedFormat("a sample of " + std::to_string(format.channels) + " channels");
  }
  const std::uint64_t bytes = std::uint64_t{format.frameCount} * format.channels * 2;
  auto media = std::make_unique<CMemoryMedia>(bytes);
  if (bytes > 0) {
    // Silence; the reservation makes the media's size cover every frame.
    std::memset(media->Reserve(bytes), 0, bytes);
  }
  return media;
}

}  // namespace

CWaveSample::CWaveSample(const CSampleFormat& format)
    : CABCAudioAccessor(nullptr, format.frameCount, format.channels),
      media_(MakeFrameMedia(format)),
      accessor_(std::make_unique<CNative16BitAccessor>(*media_, format.frameCount, format.channels)),
      sampleRate_(format.sampleRate),
      bits_(format.bits) {}

CSampleFormat CWaveSample::GetFormat() const { return {GetChannelCount(), bits_, sampleRate_, GetFrameCount()}; }

void CWaveSample::ReadFloatChannel(std::uint32_t first, std::uint32_t count, float* data, std::int32_t selector) {
  accessor_->ReadFloatChannel(first, count, data, selector);
}
void CWaveSample::WriteFloatChannel(std::uint32_t first, std::uint32_t count, const float* data,
                                    std::int32_t selector) {
  accessor_->WriteFloatChannel(first, count, data, selector);
}
void CWaveSample::ReadFloatStereo(std::uint32_t first, std::uint32_t count, float* data) {
  accessor_->ReadFloatStereo(first, count, data);
}
void CWaveSample::WriteFloatStereo(std::uint32_t first, std::uint32_t count, const float* data) {
  accessor_->WriteFloatStereo(first, count, data);
}
void CWaveSample::Read24Channel(std::uint32_t first, std::uint32_t count, std::int32_t* data, std::int32_t selector) {
  accessor_->Read24Channel(first, count, data, selector);
}
void CWaveSample::Write24Channel(std::uint32_t first, std::uint32_t count, const std::int32_t* data,
                                 std::int32_t selector) {
  accessor_->Write24Channel(first, count, data, selector);
}
void CWaveSample::Read24Stereo(std::uint32_t first, std::uint32_t count, std::int32_t* data) {
  accessor_->Read24Stereo(first, count, data);
}
void CWaveSample::Write24Stereo(std::uint32_t first, std::uint32_t count, const std::int32_t* data) {
  accessor_->Write24Stereo(first, count, data);
}
void CWaveSample::Read16Channel(std::uint32_t first, std::uint32_t count, std::int16_t* data, std::int32_t selector) {
  accessor_->Read16Channel(first, count, data, selector);
}
void CWaveSample::Write16Channel(std::uint32_t first, std::uint32_t count, const std::int16_t* data,
                                 std::int32_t selector) {
  accessor_->Write16Channel(first, count, data, selector);
}
void CWaveSample::Read16Stereo(std::uint32_t first, std::uint32_t count, std::int16_t* data) {
  accessor_->Read16Stereo(first, count, data);
}
void CWaveSample::Write16Stereo(std::uint32_t first, std::uint32_t count, const std::int16_t* data) {
  accessor_->Write16Stereo(first, count, data);
}

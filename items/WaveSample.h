#pragma once
// A 16-bit sample held in memory as interleaved host-order frames. Whatever bits the format
// names, the frames are 16-bit; the format's bits are only remembered. All twelve accessor
// operations work on it; bulk users take the frames directly through Frames().

#include <cstdint>
#include <memory>

#include "framework/media/AudioAccessor.h"
#include "framework/media/MemoryMedia.h"
#include "items/SampleInfo.h"

class CWaveSample : public NSFerryman::CABCAudioAccessor {
 public:
  // Frames start as silence. One or two channels (XUnsupportedFormat otherwise).
  explicit CWaveSample(const CSampleFormat& format);

  void ReadFloatChannel(std::uint32_t first, std::uint32_t count, float* data, std::int32_t selector) override;
  void WriteFloatChannel(std::uint32_t first, std::uint32_t count, const float* data, std::int32_t selector) override;
  void ReadFloatStereo(std::uint32_t first, std::uint32_t count, float* data) override;
  void WriteFloatStereo(std::uint32_t first, std::uint32_t count, const float* data) override;
  void Read24Channel(std::uint32_t first, std::uint32_t count, std::int32_t* data, std::int32_t selector) override;
  void Write24Channel(std::uint32_t first, std::uint32_t count, const std::int32_t* data,
                      std::int32_t selector) override;
  void Read24Stereo(std::uint32_t first, std::uint32_t count, std::int32_t* data) override;
  void Write24Stereo(std::uint32_t first, std::uint32_t count, const std::int32_t* data) override;
  void Read16Channel(std::uint32_t first, std::uint32_t count, std::int16_t* data, std::int32_t selector) override;
  void Write16Channel(std::uint32_t first, std::uint32_t count, const std::int16_t* data,
                      std::int32_t selector) override;
  void Read16Stereo(std::uint32_t first, std::uint32_t count, std::int16_t* data) override;
  void Write16Stereo(std::uint32_t first, std::uint32_t count, const std::int16_t* data) override;

  const std::int16_t* Interleaved16() override { return Frames(); }
  std::int16_t* MutableInterleaved16() override { return Frames(); }

  // Frame f, channel c is Frames()[f * channels + c]. Valid as long as the sample lives.
  std::int16_t* Frames() { return reinterpret_cast<std::int16_t*>(media_->Data()); }
  const std::int16_t* Frames() const { return reinterpret_cast<const std::int16_t*>(media_->Data()); }
  std::uint64_t ByteCount() const { return media_->GetSize(); }

  std::uint32_t GetSampleRate() const { return sampleRate_; }
  std::uint32_t GetBits() const { return bits_; }
  CSampleFormat GetFormat() const;

 private:
  std::unique_ptr<NSFerryman::CMemoryMedia> media_;
  std::unique_ptr<NSFerryman::CNative16BitAccessor> accessor_;
  std::uint32_t sampleRate_;
  std::uint32_t bits_;
};

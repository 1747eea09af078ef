#pragma once
// Access to the sample frames of a piece of audio, by channel or as interleaved stereo frames,
// in three number formats: floats (value / 32768), 24-in-32-bit integers (value << 8) and 16-bit
// integers. Every operation takes the first frame and a frame count; the range must lie within
// the accessor's frame count (XPosition otherwise).
//
// The channel selector names the channel: kFirstChannel (99) is the first (left) channel, any
// other value (the program uses kSecondChannel, 100) the second. A mono accessor ignores it.
// The stereo operations take or give interleaved frames of the accessor's channel count.

#include <cstdint>

#include "framework/media/Media.h"

namespace NSFerryman {

inline constexpr std::int32_t kFirstChannel = 99;
inline constexpr std::int32_t kSecondChannel = 100;

class CABCAudioAccessor {
 public:
  // `media` is not owned and may be null for an accessor that delegates.
  CABCAudioAccessor(CMedia* media, std::uint32_t frameCount, std::uint16_t channelCount)
      : media_(media), frameCount_(frameCount), channelCount_(channelCount) {}
  virtual ~CABCAudioAccessor() = default;
  CABCAudioAccessor(const CABCAudioAccessor&) = delete;
  CABCAudioAccessor& operator=(const CABCAudioAccessor&) = delete;

  virtual void ReadFloatChannel(std::uint32_t first, std::uint32_t count, float* data, std::int32_t selector) = 0;
  virtual void WriteFloatChannel(std::uint32_t first, std::uint32_t count, const float* data, std::int32_t selector) = 0;
  virtual void ReadFloatStereo(std::uint32_t first, std::uint32_t count, float* data) = 0;
  virtual void WriteFloatStereo(std::uint32_t first, std::uint32_t count, const float* data) = 0;
  virtual void Read24Channel(std::uint32_t first, std::uint32_t count, std::int32_t* data, std::int32_t selector) = 0;
  virtual void Write24Channel(std::uint32_t first, std::uint32_t count, const std::int32_t* data,
                              std::int32_t selector) = 0;
  virtual void Read24Stereo(std::uint32_t first, std::uint32_t count, std::int32_t* data) = 0;
  virtual void Write24Stereo(std::uint32_t first, std::uint32_t count, const std::int32_t* data) = 0;
  virtual void Read16Channel(std::uint32_t first, std::uint32_t count, std::int16_t* data, std::int32_t selector) = 0;
  virtual void Write16Channel(std::uint32_t first, std::uint32_t count, const std::int16_t* data,
                              std::int32_t selector) = 0;
  virtual void Read16Stereo(std::uint32_t first, std::uint32_t count, std::int16_t* data) = 0;
  virtual void Write16Stereo(std::uint32_t first, std::uint32_t count, const std::int16_t* data) = 0;

  // The interleaved host-order 16-bit frames when they sit in memory, else null. Lets bulk users
  // (codec, file writers) skip the per-block copies; the twelve operations stay the reference.
  virtual const std::int16_t* Interleaved16() { return nullptr; }
  // The same frames for writing in place, else null.
  virtual std::int16_t* MutableInterleaved16() { return nullptr; }

  CMedia* GetMedia() const { return media_; }
  std::uint32_t GetFrameCount() const { return frameCount_; }
  std::uint16_t GetChannelCount() const { return channelCount_; }

 protected:
  // XPosition unless [first, first + count) lies within the frames.
  void CheckRange(std::uint32_t first, std::uint32_t count) const;

 private:
  CMedia* media_;
  std::uint32_t frameCount_;
  std::uint16_t channelCount_;
};

// Audio of one or two channels (XUnsupportedFormat otherwise) whose frames are 16-bit values: a
// kind gives Read16Stereo and Write16Stereo, and the ten other operations are made of those two,
// converting in portions of 1024 values (per channel) or 512 frames (stereo). Values written in
// float or 24-bit form that fall outside the 16-bit range are clamped to it.
class CABC16BitAccessor : public CABCAudioAccessor {
 public:
  CABC16BitAccessor(CMedia* media, std::uint32_t frameCount, std::uint16_t channelCount);

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
};

// Interleaved 16-bit frames in host byte order on a media, frame f at byte f * bytes-per-frame.
class CNative16BitAccessor : public CABC16BitAccessor {
 public:
  // `inMemory`, when given, is where the media's frames can be read directly.
  CNative16BitAccessor(CMedia& media, std::uint32_t frameCount, std::uint16_t channelCount,
                       const std::int16_t* inMemory = nullptr);

  void Read16Stereo(std::uint32_t first, std::uint32_t count, std::int16_t* data) override;
  void Write16Stereo(std::uint32_t first, std::uint32_t count, const std::int16_t* data) override;

  std::uint32_t GetBytesPerFrame() const { return bytesPerFrame_; }
  const std::int16_t* Interleaved16() override { return inMemory_; }

 private:
  CMedia& Media() const { return *GetMedia(); }

  std::uint32_t bytesPerFrame_;
  const std::int16_t* inMemory_;
};

}  // namespace NSFerryman

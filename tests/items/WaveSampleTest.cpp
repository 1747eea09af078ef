// The in-memory sample and its accessor operations, and the item header built from a sample
// description.
#include "items/WaveSample.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/media/MemoryMedia.h"
#include "items/VORPHeaderFromInfo.h"
#include "items/VORPWaveSampleDecoder.h"

using namespace NSFerryman;

namespace {

CWaveSample Stereo(std::uint32_t frames) { return CWaveSample(CSampleFormat{2, 24, 48000, frames}); }

}  // namespace

TEST(WaveSample, StartsSilentAndKeepsItsFormat) {
  CWaveSample s(CSampleFormat{2, 24, 48000, 1000});
  EXPECT_EQ(s.GetFrameCount(), 1000u);
  EXPECT_EQ(s.GetChannelCount(), 2);
  EXPECT_EQ(s.GetBits(), 24u);  // remembered, though the frames are 16-bit
  EXPECT_EQ(s.GetSampleRate(), 48000u);
  EXPECT_EQ(s.ByteCount(), 4000u);
  EXPECT_EQ(s.Interleaved16(), s.Frames());
  for (std::uint32_t i = 0; i < 2000; ++i) ASSERT_EQ(s.Frames()[i], 0);
  EXPECT_THROW(CWaveSample(CSampleFormat{3, 16, 44100, 10}), XUnsupportedFormat);
  EXPECT_THROW(CWaveSample(CSampleFormat{0, 16, 44100, 10}), XUnsupportedFormat);
  CWaveSample empty(CSampleFormat{1, 16, 44100, 0});
  EXPECT_EQ(empty.ByteCount(), 0u);
}

TEST(WaveSample, ChannelOperationsPickAndReplaceOneChannel) {
  // More than the 512-frame scratch, so the portions meet.
  const std::uint32_t n = 1300;
  CWaveSample s = Stereo(n);
  std::vector<std::int16_t> frames(2 * n);
  for (std::uint32_t i = 0; i < 2 * n; ++i) frames[i] = static_cast<std::int16_t>(i * 13 - 9000);
  s.Write16Stereo(0, n, frames.data());

  std::vector<std::int16_t> right(n);
  s.Read16Channel(0, n, right.data(), kSecondChannel);
  for (std::uint32_t i = 0; i < n; ++i) ASSERT_EQ(right[i], frames[2 * i + 1]);

  std::vector<std::int16_t> left(n - 7, 555);
  s.Write16Channel(7, n - 7, left.data(), kFirstChannel);
  for (std::uint32_t i = 0; i < n; ++i) {
    ASSERT_EQ(s.Frames()[2 * i], i < 7 ? frames[2 * i] : 555);
    ASSERT_EQ(s.Frames()[2 * i + 1], frames[2 * i + 1]) << "the other channel stays";
  }
}

TEST(WaveSample, ConversionsScaleTruncateAndClamp) {
  CWaveSample s = Stereo(2);
  const std::int32_t in24[] = {-32768 * 256, 32767 * 256 + 255, -1, 0x7FFFFFFF};
  s.Write24Stereo(0, 2, in24);
  EXPECT_EQ(s.Frames()[0], -32768);
  EXPECT_EQ(s.Frames()[1], 32767);
  EXPECT_EQ(s.Frames()[2], -1);      // shifted right keeping the sign: toward minus infinity
  EXPECT_EQ(s.Frames()[3], 32767);   // out of range: clamped, not wrapped

  std::int32_t out24[4];
  s.Read24Stereo(0, 2, out24);
  EXPECT_EQ(out24[0], -32768 * 256);
  EXPECT_EQ(out24[2], -256);

  const float f[] = {0.5f, -1.0f, 0.99999f, -0.00002f};
  s.WriteFloatStereo(0, 2, f);
  EXPECT_EQ(s.Frames()[0], 16384);
  EXPECT_EQ(s.Frames()[1], -32768);
  EXPECT_EQ(s.Frames()[2], 32767);
  EXPECT_EQ(s.Frames()[3], 0);  // truncated toward zero
  const float loud[] = {3.0f, -3.0f};
  s.WriteFloatChannel(0, 1, loud, kFirstChannel);
  s.WriteFloatChannel(1, 1, loud + 1, kFirstChannel);
  EXPECT_EQ(s.Frames()[0], 32767);
  EXPECT_EQ(s.Frames()[2], -32768);

  float back[2];
  s.ReadFloatChannel(0, 2, back, kSecondChannel);
  EXPECT_FLOAT_EQ(back[0], -1.0f);
  EXPECT_FLOAT_EQ(back[1], 0.0f);
}

TEST(WaveSample, MonoIgnoresTheSelectorAndRangesAreChecked) {
  CWaveSample s(CSampleFormat{1, 16, 22050, 4});
  const std::int16_t v[] = {1, 2, 3, 4};
  s.Write16Channel(0, 4, v, kSecondChannel);
  std::int16_t out[4];
  s.Read16Channel(0, 4, out, kFirstChannel);
  EXPECT_EQ(std::vector<std::int16_t>(out, out + 4), std::vector<std::int16_t>(v, v + 4));
  EXPECT_THROW(s.Read16Channel(2, 3, out, kFirstChannel), XPosition);
  EXPECT_THROW(s.Write16Stereo(0xFFFFFFFFu, 2, v), XPosition);  // the end would wrap in 32 bits
  EXPECT_NO_THROW(s.Read16Stereo(4, 0, out));
}

TEST(VORPHeaderFromInfo, LoopKindsAndInstrumentData) {
  struct Case {
    std::int32_t kind;
    std::int32_t type;
    std::uint8_t mode;
  };
  for (const Case c : {Case{kLoopKindLoop, kLoopTypeForward, kVORPLoopForward},
                       Case{kLoopKindLoop, kLoopTypeAlternating, kVORPLoopAlternating},
                       Case{kLoopKindNotKept, kLoopTypeAlternating, kVORPLoopNone},
                       Case{kLoopKindNone, kLoopTypeForward, kVORPLoopNone}}) {
    CSampleInfo info;
    info.channels = 2;
    info.bits = 24;
    info.sampleRate = 96000;
    info.frameCount = 5000;
    info.loopKind = c.kind;
    info.loopType = c.type;
    info.loopStart = 100;
    info.loopEnd = 4000;
    const CVORPSampleHeader h = VORPHeaderFromInfo(info, 16);
    EXPECT_EQ(h.loopMode, c.mode);
    EXPECT_EQ(h.loopStart, c.mode ? 100u : 0u);
    EXPECT_EQ(h.loopEnd, c.mode ? 4000u : 5000u);
    EXPECT_EQ(h.frameCount, 5000u);
    EXPECT_EQ(h.sampleRate, 96000u);
    EXPECT_EQ(h.channelCount, 2);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.rootKey, 60);  // no instrument data
    EXPECT_EQ(h.fineTune, 0);
  }
  CSampleInfo info;
  info.channels = 1;
  info.instrumentPresent = 1;
  info.rootKey = 72;
  info.fineTune = -33;
  const CVORPSampleHeader h = VORPHeaderFromInfo(info, 16);
  EXPECT_EQ(h.rootKey, 72);
  EXPECT_EQ(h.fineTune, -33);
  for (std::uint16_t channels : {0, 3}) {
    info.channels = channels;
    EXPECT_THROW(VORPHeaderFromInfo(info, 16), XBadFormat);
  }
}

TEST(VORPWaveSampleDecoder, RejectsFrameCountsTheDataCannotHoldBeforeAllocating) {
  CMemoryMedia media;
  const std::uint8_t word[8] = {};
  media.WriteAt(0, 8, word);
  media.SetPosition(0);
  CVORPSampleHeader h;
  h.channelCount = 2;
  h.frameCount = 0xFFFFFFF0u;  // 32 GB of frames claimed by 8 bytes
  EXPECT_THROW(DecodeVORPWaveSample(h, media), XBadFormat);
}

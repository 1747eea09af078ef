// Encoder paths against each other, and the decoder against the encoder.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "VORPTestSignals.h"
#include "codec/OptimizedVORPDecompressor.h"
#include "codec/OptimizedVORPDecompressorFromMedia.h"
#include "codec/VORPDecoder.h"

using namespace vorptest;
using NSFerryman::CMemoryMedia;

namespace {

const EVORPPath kPaths[] = {EVORPPath::kReference, EVORPPath::kPortable, EVORPPath::kAVX2};

// Decodes a whole stream from memory in blocks of `block` frames.
std::vector<std::int16_t> DecodeFromWords(const std::vector<std::uint32_t>& words, std::uint16_t channels,
                                          std::uint32_t frames, EVORPPath path, std::uint32_t block) {
  COptimizedVORPDecompressor d(path);
  d.SetBuffer(static_cast<std::uint32_t>(words.size()), words.data());
  std::vector<std::int16_t> out(std::size_t{frames} * channels);
  for (std::uint32_t done = 0; done < frames;) {
    const std::uint32_t n = std::min(block, frames - done);
    if (channels == 1) {
      d.DecodeMono(n, out.data() + done);
    } else {
      d.DecodeStereo(n, out.data() + 2 * std::size_t{done});
    }
    done += n;
  }
  return out;
}

// Fails on any read: shows that nothing is read.
class CUnreadableMedia : public CMemoryMedia {
 public:
  void ReadAt(NSFerryman::MediaSize, std::size_t, void*) override { throw NSFerryman::XRead("read"); }
};

}  // namespace

class VORPSignal : public ::testing::TestWithParam<CSignal> {};

TEST_P(VORPSignal, EveryEncoderPathWritesTheSameBytes) {
  const CSignal& s = GetParam();
  const auto reference = Encode(s, EVORPPath::kReference, false);
  for (EVORPPath p : {EVORPPath::kPortable, EVORPPath::kAVX2}) {
    EXPECT_EQ(Encode(s, p, true), reference) << VORPPathName(p) << " from interleaved frames";
    EXPECT_EQ(Encode(s, p, false), reference) << VORPPathName(p) << " from channel buffers";
  }
  ASSERT_GE(reference.size(), 8u);
  EXPECT_EQ(reference.size() % 4, 0u);
  const std::vector<std::uint8_t> zeros(4, 0);
  EXPECT_TRUE(std::equal(reference.end() - 4, reference.end(), zeros.begin())) << "closing zero word";
}

TEST_P(VORPSignal, EveryDecoderPathRestoresTheFramesInAnyBlockSize) {
  const CSignal& s = GetParam();
  const auto words = HostWords(Encode(s, EVORPPath::kAuto));
  for (EVORPPath p : kPaths) {
    for (std::uint32_t block : {4096u, 1u, 333u}) {
      EXPECT_EQ(DecodeFromWords(words, s.channels, s.FrameCount(), p, block), s.frames)
          << VORPPathName(p) << " in blocks of " << block;
    }
  }
}

TEST_P(VORPSignal, MediaDecoderRestoresTheFramesAndLeavesTheClosingWordUnread) {
  const CSignal& s = GetParam();
  const auto bytes = Encode(s, EVORPPath::kAuto);
  for (EVORPPath p : kPaths) {
    for (bool direct : {false, true}) {
      CMemoryMedia in;
      in.WriteAt(0, bytes.size(), bytes.data());
      in.SetPosition(0);
      CMemoryAccessor target(std::vector<std::int16_t>(s.frames.size()), s.channels, s.FrameCount(), direct);
      DecodeVORPStream(HeaderFor(s.channels, s.FrameCount()), in, target, p);
      EXPECT_EQ(target.Frames(), s.frames) << VORPPathName(p) << (direct ? " into memory" : " through the accessor");
    }

    // Without its closing zero word the stream still decodes: that word is never needed.
    COptimizedVORPDecompressor d(p);
    const auto words = HostWords(bytes);
    d.SetBuffer(static_cast<std::uint32_t>(words.size() - 1), words.data());
    std::vector<std::int16_t> out(s.frames.size());
    if (s.channels == 1) {
      d.DecodeMono(s.FrameCount(), out.data());
    } else {
      d.DecodeStereo(s.FrameCount(), out.data());
    }
    EXPECT_EQ(out, s.frames) << VORPPathName(p);
  }
}

TEST_P(VORPSignal, StreamCutBeforeItsLastWordIsAnError) {
  const CSignal& s = GetParam();
  if (s.FrameCount() == 0) return;
  auto bytes = Encode(s, EVORPPath::kAuto);
  bytes.resize(bytes.size() - 8);  // the closing zero word and the padded last data word
  const auto words = HostWords(bytes);
  for (EVORPPath p : kPaths) {
    EXPECT_THROW(DecodeFromWords(words, s.channels, s.FrameCount(), p, 4096), XUnderflowOnInputBitStream) << VORPPathName(p);
    CMemoryMedia in;
    if (!bytes.empty()) in.WriteAt(0, bytes.size(), bytes.data());
    in.SetPosition(0);
    CMemoryAccessor target(std::vector<std::int16_t>(s.frames.size()), s.channels, s.FrameCount(), false);
    EXPECT_THROW(DecodeVORPStream(HeaderFor(s.channels, s.FrameCount()), in, target, p), XUnderflowOnInputBitStream)
        << VORPPathName(p);
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, VORPSignal, ::testing::ValuesIn(Signals()),
                         [](const auto& info) { return info.param.name; });

TEST(VORPStream, ZeroFramesWriteTwoZeroWordsAndReadNothing) {
  for (std::uint16_t channels : {1, 2}) {
    const CSignal s{"empty", channels, {}};
    for (EVORPPath p : kPaths) {
      EXPECT_EQ(Encode(s, p), std::vector<std::uint8_t>(8, 0));
      CUnreadableMedia in;
      CMemoryAccessor target(std::vector<std::int16_t>(), channels, 0, false);
      EXPECT_NO_THROW(DecodeVORPStream(HeaderFor(channels, 0), in, target, p));
    }
  }
}

TEST(VORPStream, FrontEndsCheckChannelsAndFrames) {
  const CSignal mono{"m", 1, std::vector<std::int16_t>(10, 5)};
  CMemoryMedia out;
  CMemoryAccessor audio(mono, true);
  EXPECT_THROW(EncodeVORPStream(HeaderFor(2, 10), out, audio), NSFerryman::XBadFormat);
  EXPECT_THROW(EncodeVORPStream(HeaderFor(1, 11), out, audio), NSFerryman::XPosition);
  EXPECT_THROW(DecodeVORPStream(HeaderFor(3, 10), out, audio), NSFerryman::XBadFormat);
  EXPECT_THROW(DecodeVORPStream(HeaderFor(1, 11), out, audio), NSFerryman::XPosition);
}

// Streams no encoder wrote: every path fails cleanly (or yields 16-bit values), and all agree.
TEST(VORPStream, CorruptStreamsFailCleanlyAndAlikeOnEveryPath) {
  // Nothing but zero bits: an endless unary run.
  const std::vector<std::uint32_t> zeros(64, 0);
  for (EVORPPath p : kPaths) {
    EXPECT_THROW(DecodeFromWords(zeros, 1, 10, p, 4096), NSFerryman::XBadFormat) << VORPPathName(p);
    EXPECT_THROW(DecodeFromWords(zeros, 2, 10, p, 4096), NSFerryman::XBadFormat) << VORPPathName(p);
  }
  std::mt19937 rng(99);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<std::uint32_t> words(1 + rng() % 40);
    for (auto& w : words) w = rng() & (trial % 3 == 0 ? 0x0F0F0F0Fu : 0xFFFFFFFFu);
    const std::uint16_t channels = 1 + trial % 2;
    const std::uint32_t frames = 1 + rng() % 200;
    std::vector<std::string> outcomes;
    for (EVORPPath p : kPaths) {
      try {
        const auto out = DecodeFromWords(words, channels, frames, p, 64);
        outcomes.push_back("ok " + std::to_string(std::hash<std::string>()(
                                       std::string(reinterpret_cast<const char*>(out.data()), out.size() * 2))));
      } catch (const XUnderflowOnInputBitStream&) {
        outcomes.push_back("underflow");
      } catch (const NSFerryman::XBadFormat&) {
        outcomes.push_back("bad format");
      }
    }
    EXPECT_EQ(outcomes[1], outcomes[0]) << "trial " << trial;
    EXPECT_EQ(outcomes[2], outcomes[0]) << "trial " << trial;
  }
}

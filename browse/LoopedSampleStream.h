#pragma once
// A stored sample as a sampler plays a held note: from its first frame to its loop's end, then
// the loop again and again (a forward loop from its start to its end; an alternating loop back
// and forth, each end played once per turn) until the reader stops asking. A sample without a
// loop, or with one its header places outside its frames, plays once and ends.
//
//   CLoopedSampleStream stream(contents.OpenItem(record));
//   while (std::uint32_t n = stream.Read(frames, 4096)) play(frames, n);   // endless when Loops()
//
// The sample is decoded once, as CSampleStream decodes it; the loop's frames are kept as they
// first play, so that the repeats cost no decoding. A loop of more than `maxLoopBytes` of 16-bit
// frames is not kept: such a sample plays once, as if unlooped, and memory stays bounded.
// Failures: as CSampleStream's (browse/SampleStream.h); after one the stream is at its end and
// the loop does not repeat.

#include <cstdint>
#include <memory>
#include <vector>

#include "browse/SampleStream.h"

class CLoopedSampleStream {
 public:
  static constexpr std::size_t kMaxLoopBytes = std::size_t{32} << 20;

  explicit CLoopedSampleStream(std::unique_ptr<NSFerryman::CMedia> item, std::size_t maxLoopBytes = kMaxLoopBytes);

  const CVORPSampleHeader& Header() const { return stream_.Header(); }
  // Whether the loop repeats: Read then never ends (but at a failure).
  bool Loops() const { return loops_; }
  // Decodes or repeats at most `maxFrames` frames into `frames` (room for maxFrames times the
  // channel count); returns how many, 0 only at the end of a sample that does not loop.
  std::uint32_t Read(std::int16_t* frames, std::uint32_t maxFrames);

 private:
  std::uint32_t Repeat(std::int16_t* frames, std::uint32_t maxFrames);

  CSampleStream stream_;
  bool loops_ = false;
  std::uint32_t loopStart_ = 0, loopEnd_ = 0;
  unsigned channels_ = 1;
  std::vector<std::int16_t> loop_;  // the loop's frames, once they have played
  // While repeating: the next frame of the loop (an index into loop_) and the direction.
  std::uint32_t next_ = 0;
  bool backwards_ = false;
};

#include "browse/LoopedSampleStream.h"

#include <algorithm>

#include "browse/SampleFacts.h"

CLoopedSampleStream::CLoopedSampleStream(std::unique_ptr<NSFerryman::CMedia> item, std::size_t maxLoopBytes)
    : stream_(std::move(item)) {
  const CVORPSampleHeader& h = stream_.Header();
  channels_ = h.channelCount;
  const bool validLoop = SampleHasLoop(h);
  const std::uint64_t loopBytes = std::uint64_t{validLoop ? h.loopEnd - h.loopStart : 0} * channels_ * 2;
  loops_ = validLoop && loopBytes <= maxLoopBytes;
  if (!loops_) return;
  loopStart_ = h.loopStart;
  loopEnd_ = h.loopEnd;
  loop_.reserve(loopBytes / 2);
}

std::uint32_t CLoopedSampleStream::Read(std::int16_t* frames, std::uint32_t maxFrames) {
  if (!loops_) return stream_.Read(frames, maxFrames);
  const std::uint32_t position = stream_.Position();
  if (position >= loopEnd_) return Repeat(frames, maxFrames);
  // The first pass, decoded: up to the loop's end, the loop's frames kept on the way.
  std::uint32_t n = 0;
  try {
    n = stream_.Read(frames, std::min(maxFrames, loopEnd_ - position));
  } catch (...) {
    // What was kept of the loop is not the loop: nothing more comes, as from a failed stream.
    loops_ = false;
    loop_ = {};
    throw;
  }
  const std::uint32_t keepFrom = std::max(position, loopStart_);
  if (position + n > keepFrom) {
    const std::int16_t* first = frames + std::size_t{keepFrom - position} * channels_;
    const std::int16_t* last = frames + std::size_t{n} * channels_;
    loop_.insert(loop_.end(), first, last);
  }
  if (n == 0) return 0;
  if (stream_.Position() == loopEnd_) {
    // The first pass went forward to the loop's last frame: an alternating loop turns there.
    const auto length = static_cast<std::uint32_t>(loop_.size() / channels_);
    backwards_ = stream_.Header().loopMode == kVORPLoopAlternating && length > 1;
    next_ = backwards_ ? length - 2 : 0;
  }
  return n;
}

std::uint32_t CLoopedSampleStream::Repeat(std::int16_t* frames, std::uint32_t maxFrames) {
  const auto length = static_cast<std::uint32_t>(loop_.size() / channels_);
  std::uint32_t done = 0;
  while (done < maxFrames) {
    if (!backwards_) {
      const std::uint32_t n = std::min(maxFrames - done, length - next_);
      std::copy_n(loop_.data() + std::size_t{next_} * channels_, std::size_t{n} * channels_,
                  frames + std::size_t{done} * channels_);
      done += n;
      next_ += n;
      if (next_ == length) {
        const bool alternating = stream_.Header().loopMode == kVORPLoopAlternating && length > 1;
        backwards_ = alternating;
        next_ = alternating ? length - 2 : 0;
      }
    } else {
      // Backwards a frame at a time, down to the loop's first frame, then forward from its second.
      std::copy_n(loop_.data() + std::size_t{next_} * channels_, channels_, frames + std::size_t{done} * channels_);
      ++done;
      if (next_ == 0) {
        backwards_ = false;
        next_ = 1;
      } else {
        --next_;
      }
    }
  }
  return done;
}

#pragma once
// A window onto another media: bytes [start, start + size) of the base, or everything from start
// on when open-ended. The base is not owned and must outlive the window.
//
// The window keeps its own position, starting at 0: other windows onto the same base, or the base
// itself, may move the base's position between two reads of this one. Each read and write names
// its place in the base, and SetPosition also moves the base there, so that a writer that
// continues on the base behind a window's last byte finds its position where it expects it.

#include <cstdint>

#include "framework/media/Media.h"

namespace NSFerryman {

class CPartialMedia : public CMedia {
 public:
  static constexpr std::int64_t kOpenEnded = -1;

  CPartialMedia(CMedia& base, MediaSize start, std::int64_t size = kOpenEnded)
      : base_(base), start_(start), size_(size) {}

  MediaSize GetSize() override;
  MediaSize GetPosition() override;
  void SetPosition(MediaSize position) override;
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override;
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override;

  // Positions are unsigned; this is the signed form for callers that compute one that may fall
  // below 0, which is XPosition.
  void SetPositionSigned(std::int64_t position);

  MediaSize GetStart() const { return start_; }
  CMedia& GetBase() const { return base_; }

 private:
  bool Bounded() const { return size_ >= 0; }

  CMedia& base_;
  MediaSize start_;
  std::int64_t size_;
  MediaSize position_ = 0;
};

}  // namespace NSFerryman

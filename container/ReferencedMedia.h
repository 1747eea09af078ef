#pragma once
// A media that reads and writes through another media it does not own. Its size is the
// referenced media's; its position is its own, so that several referenced media over one
// underlying media can be read in turns without disturbing each other. Every read or write first
// sets the referenced media's position and then reads or writes there.
//
// When the referenced media is shared between threads, pass the mutex that guards it; each read
// and write then holds it.

#include <mutex>

#include "framework/media/Media.h"

class CReferencedMedia : public NSFerryman::CMedia {
 public:
  explicit CReferencedMedia(NSFerryman::CMedia& referenced, std::mutex* guard = nullptr)
      : referenced_(&referenced), guard_(guard) {}

  NSFerryman::MediaSize GetSize() override;
  NSFerryman::MediaSize GetPosition() override { return position_; }
  void SetPosition(NSFerryman::MediaSize position) override;
  void ReadAt(NSFerryman::MediaSize position, std::size_t count, void* buffer) override;
  void WriteAt(NSFerryman::MediaSize position, std::size_t count, const void* buffer) override;

 protected:
  // For kinds that make the referenced media in their own constructor; they call
  // SetReferencedMedia before the media is used.
  CReferencedMedia() = default;
  void SetReferencedMedia(NSFerryman::CMedia& referenced, std::mutex* guard) {
    referenced_ = &referenced;
    guard_ = guard;
  }

 private:
  std::unique_lock<std::mutex> Lock();

  NSFerryman::CMedia* referenced_ = nullptr;
  std::mutex* guard_ = nullptr;
  NSFerryman::MediaSize position_ = 0;
};

#pragma once
// CHamperItemMedia: the bytes of one item of a Hamper, a window of `size` bytes at `start` on the
// file item's shared open file. It holds the file item while it lives.

#include <cstdint>
#include <memory>

#include "container/ReferencedMedia.h"
#include "framework/media/PartialMedia.h"
#include "navigation/NavigationHolder.h"

class MINIHamperFile;

class CHamperItemMedia : public CReferencedMedia {
 public:
  CHamperItemMedia(const MINIHamperFile& file, std::uint64_t start, std::uint32_t size);
  ~CHamperItemMedia() override;

 private:
  CNavigationHolder fileHolder_;
  const MINIHamperFile& file_;
  std::unique_ptr<NSFerryman::CPartialMedia> window_;
};

#include "container/HamperItemMedia.h"

#include "container/HamperFile.h"

CHamperItemMedia::CHamperItemMedia(const MINIHamperFile& file, std::uint64_t start, std::uint32_t size)
    : fileHolder_(CNavigationHolder::Share(const_cast<MINIHamperFile*>(&file))), file_(file) {
  NSFerryman::CMedia& shared = file.AcquireMedia();
  try {
    window_ = std::make_unique<NSFerryman::CPartialMedia>(shared, start, size);
  } catch (...) {
    file.ReleaseMedia();
    throw;
  }
  SetReferencedMedia(*window_, &file.GetMediaMutex());
}

CHamperItemMedia::~CHamperItemMedia() {
  window_.reset();
  file_.ReleaseMedia();
}

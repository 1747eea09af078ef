#include "container/HamperMedia.h"

#include "container/HamperFile.h"

CHamperMedia::CHamperMedia(const MINIHamperFile& file)
    : fileHolder_(CNavigationHolder::Share(const_cast<MINIHamperFile*>(&file))), file_(file) {
  SetReferencedMedia(file.AcquireMedia(), &file.GetMediaMutex());
}

CHamperMedia::~CHamperMedia() { file_.ReleaseMedia(); }

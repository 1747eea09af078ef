#pragma once
// CHamperMedia: the whole of a Hamper file, read through the file item's shared open file. It
// holds the file item (and so its shared media) while it lives; deleting it gives both back.

#include "container/ReferencedMedia.h"
#include "navigation/NavigationHolder.h"

class MINIHamperFile;

class CHamperMedia : public CReferencedMedia {
 public:
  explicit CHamperMedia(const MINIHamperFile& file);
  ~CHamperMedia() override;

 private:
  CNavigationHolder fileHolder_;
  const MINIHamperFile& file_;
};

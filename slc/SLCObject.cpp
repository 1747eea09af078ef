#include "SLCObject.h"

SLCResult SLCObject::SliceTableResult() {
  if (sliceTableResult_ == 0) sliceTableResult_ = view.CheckSliceTable();
  return sliceTableResult_;
}

SLCResult SLCObject::ContentsResult() {
  if (const SLCResult r = SliceTableResult(); r != kSLCOK) return r;
  if (audioResult_ == 0) audioResult_ = view.CheckAudio();
  return audioResult_;
}

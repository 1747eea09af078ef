#pragma once
// The object behind an SLCHandle: the file's bytes (a copy, so the caller may free its buffer as
// soon as SLCCreate returns), their view, the remembered results of the slow checks, and the
// render and preview settings. One handle serves one thread at a time.

#include <cstdint>
#include <memory>

#include "SLCFileView.h"
#include "SLCSharedLibrary.h"

struct SLCObject {
  std::unique_ptr<std::uint8_t[]> bytes;
  NSSLC::CFileView view;
  std::uint32_t outputRate = 0;
  std::uint32_t previewTempo = 0;
  bool previewing = false;
  std::uint64_t previewPosition = 0;

  // The slice table's check, made once.
  SLCResult SliceTableResult();
  // The slice table's and then the audio's check, made once each.
  SLCResult ContentsResult();

 private:
  SLCResult sliceTableResult_ = 0;  // 0: not checked yet
  SLCResult audioResult_ = 0;
};

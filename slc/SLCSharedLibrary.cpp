// The entry points: argument checks, then the file view, the handle object and the renderer do
// the work. Nothing here throws: allocation uses nothrow new and reports kSLCOutOfMemory.

#include "SLCSharedLibrary.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "SLCObject.h"
#include "SLCRender.h"

// Loaders refuse versions below 1.1.1 and majors above 1.
extern "C" const SLCVersion SLCFileVersion = {1, 2, 0, 0};

namespace {

// The only state shared by all handles.
std::atomic<std::uint32_t> gOpenCount{0};

void FillInfo(const NSSLC::CLayout& layout, void* info) {
  const SLCInfo answer = {layout.kind,     layout.frameCount,    layout.sliceCount, layout.sampleRate,
                          layout.channels, layout.bitsPerSample, layout.tempo,
                          std::uint32_t{layout.formatMajor} << 16 | layout.formatMinor};
  std::memcpy(info, &answer, sizeof answer);
}

}  // namespace

extern "C" {

int32_t Open(void) {
  std::uint32_t count = gOpenCount.load();
  do {
    if (count == std::numeric_limits<std::uint32_t>::max()) return 0;
  } while (!gOpenCount.compare_exchange_weak(count, count + 1));
  return 1;
}

void Close(void) {
  std::uint32_t count = gOpenCount.load();
  while (count > 0 && !gOpenCount.compare_exchange_weak(count, count - 1)) {
  }
}

SLCResult SLCCreate(SLCHandle* handle, const void* bytes, uint32_t byteCount, uint32_t flags, uint32_t reserved) {
  if (handle == nullptr) return kSLCBadArgument;
  *handle = nullptr;
  if ((bytes == nullptr && byteCount != 0) || flags != 0 || reserved != 0) return kSLCBadArgument;
  if (gOpenCount.load() == 0) return kSLCNotOpen;
  // Check before copying, so that a buffer of rubbish costs no allocation.
  NSSLC::CFileView probe;
  if (const SLCResult r = probe.Open(static_cast<const std::uint8_t*>(bytes), byteCount); r != kSLCOK) return r;

  std::unique_ptr<SLCObject> object(new (std::nothrow) SLCObject);
  if (!object) return kSLCOutOfMemory;
  object->bytes.reset(new (std::nothrow) std::uint8_t[byteCount]);
  if (!object->bytes) return kSLCOutOfMemory;
  std::memcpy(object->bytes.get(), bytes, byteCount);
  if (const SLCResult r = object->view.Open(object->bytes.get(), byteCount); r != kSLCOK) return r;
  object->outputRate = object->view.Layout().sampleRate;
  object->previewTempo = object->view.Layout().tempo;
  *handle = object.release();
  return kSLCOK;
}

SLCResult SLCDelete(SLCHandle* handle) {
  if (handle == nullptr) return kSLCBadArgument;
  delete *handle;
  *handle = nullptr;
  return kSLCOK;
}

SLCResult SLCGetInfo(SLCHandle handle, uint32_t size, void* info) {
  if (handle == nullptr || info == nullptr) return kSLCBadArgument;
  if (size < sizeof(SLCInfo)) return kSLCBufferTooSmall;
  if (const SLCResult r = handle->ContentsResult(); r != kSLCOK) return r;
  FillInfo(handle->view.Layout(), info);
  return kSLCOK;
}

SLCResult SLCGetInfoFromBuffer(const void* bytes, uint32_t byteCount, uint32_t size, void* info) {
  if ((bytes == nullptr && byteCount != 0) || info == nullptr) return kSLCBadArgument;
  if (size < sizeof(SLCInfo)) return kSLCBufferTooSmall;
  NSSLC::CFileView view;
  if (const SLCResult r = view.Open(static_cast<const std::uint8_t*>(bytes), byteCount); r != kSLCOK) return r;
  if (const SLCResult r = view.CheckSliceTable(); r != kSLCOK) return r;
  if (const SLCResult r = view.CheckAudio(); r != kSLCOK) return r;
  FillInfo(view.Layout(), info);
  return kSLCOK;
}

SLCResult SLCGetCreatorInfo(SLCHandle handle, uint32_t size, void* buffer) {
  if (handle == nullptr || buffer == nullptr) return kSLCBadArgument;
  if (size == 0) return kSLCBufferTooSmall;
  char* text = static_cast<char*>(buffer);
  text[0] = '\0';
  std::string_view creator;
  const SLCResult r = handle->view.ReadCreator(creator);
  if (r != kSLCOK) return r;
  if (creator.size() >= size) return kSLCBufferTooSmall;
  std::memcpy(text, creator.data(), creator.size());
  text[creator.size()] = '\0';
  return kSLCOK;
}

SLCResult SLCGetSliceInfo(SLCHandle handle, uint32_t index, uint32_t size, void* buffer) {
  if (handle == nullptr || buffer == nullptr) return kSLCBadArgument;
  if (size < sizeof(SLCSliceInfo)) return kSLCBufferTooSmall;
  if (const SLCResult r = handle->SliceTableResult(); r != kSLCOK) return r;
  if (index >= handle->view.Layout().sliceCount) return kSLCBadArgument;
  const NSSLC::CSlice slice = handle->view.Slice(index);
  const SLCSliceInfo answer = {slice.startFrame, slice.frameCount};
  std::memcpy(buffer, &answer, sizeof answer);
  return kSLCOK;
}

SLCResult SLCSetOutputSampleRate(SLCHandle handle, uint32_t sampleRate) {
  if (handle == nullptr || sampleRate == 0 || sampleRate > NSSLC::kMaxSampleRate) return kSLCBadArgument;
  handle->outputRate = sampleRate;
  return kSLCOK;
}

SLCResult SLCRenderSlice(SLCHandle handle, uint32_t index, int16_t* frames, uint32_t capacity, uint32_t* written) {
  if (handle == nullptr || written == nullptr) return kSLCBadArgument;
  *written = 0;
  if (const SLCResult r = handle->ContentsResult(); r != kSLCOK) return r;
  if (index >= handle->view.Layout().sliceCount) return kSLCBadArgument;
  const NSSLC::CSlice slice = handle->view.Slice(index);
  const std::uint64_t needed = NSSLC::RenderedFrames(handle->view.Layout(), handle->outputRate, slice);
  // A count the caller cannot be told: the output rate is too high for this slice.
  if (needed > std::numeric_limits<std::uint32_t>::max()) return kSLCBadArgument;
  *written = static_cast<std::uint32_t>(needed);
  if (frames == nullptr) return kSLCOK;
  if (capacity < needed) return kSLCBufferTooSmall;
  NSSLC::RenderSliceFrames(handle->view, handle->outputRate, slice, 0, needed, frames);
  return kSLCOK;
}

SLCResult SLCStartPreview(SLCHandle handle) {
  if (handle == nullptr) return kSLCBadArgument;
  if (const SLCResult r = handle->ContentsResult(); r != kSLCOK) return r;
  handle->previewing = true;
  handle->previewPosition = 0;
  return kSLCOK;
}

SLCResult SLCStopPreview(SLCHandle handle) {
  if (handle == nullptr) return kSLCBadArgument;
  handle->previewing = false;
  return kSLCOK;
}

SLCResult SLCRenderPreviewBatch(SLCHandle handle, int16_t* frames, uint32_t frameCount, uint32_t* written) {
  if (handle == nullptr || written == nullptr || (frames == nullptr && frameCount != 0)) return kSLCBadArgument;
  *written = 0;
  if (!handle->previewing) return kSLCPreviewStopped;
  const NSSLC::CLayout& layout = handle->view.Layout();
  NSSLC::RenderPreviewFrames(handle->view, handle->outputRate, handle->previewTempo, handle->previewPosition,
                             frameCount, frames);
  const std::uint64_t loop = NSSLC::PreviewLoopFrames(layout, handle->outputRate, handle->previewTempo);
  handle->previewPosition = (handle->previewPosition % loop + frameCount) % loop;
  *written = frameCount;
  return kSLCOK;
}

SLCResult SLCSetPreviewTempo(SLCHandle handle, uint32_t tempo) {
  if (handle == nullptr || tempo < NSSLC::kMinTempo || tempo > NSSLC::kMaxTempo) return kSLCBadArgument;
  handle->previewTempo = tempo;
  return kSLCOK;
}

}  // extern "C"

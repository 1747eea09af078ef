// A stand-in sliced-loop library for the loader's tests, built once per outcome of loading:
//   FAKE_VERSION=major,minor,revision   the exported version (left out: no version at all)
//   FAKE_OPEN_RESULT=0                  "Open" refuses
//   FAKE_WITHOUT_PREVIEW_TEMPO          the entry point "SLCSetPreviewTempo" is missing
// When FAKE_SLC_LOG names a file, "Open" and "Close" append a line to it, so that a test can see
// which calls were made even after the library is released.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Log(const char* line) {
  if (const char* path = std::getenv("FAKE_SLC_LOG")) {
    if (std::FILE* file = std::fopen(path, "a")) {
      std::fprintf(file, "%s\n", line);
      std::fclose(file);
    }
  }
}

#ifndef FAKE_OPEN_RESULT
#define FAKE_OPEN_RESULT 1
#endif

}  // namespace

extern "C" {

#ifdef FAKE_VERSION
struct FakeVersion {
  std::uint32_t major, minor, revision, build;
};
extern const FakeVersion SLCFileVersion;
const FakeVersion SLCFileVersion = {FAKE_VERSION, 0};
#endif

std::int32_t Open() {
  Log("Open");
  return FAKE_OPEN_RESULT;
}
void Close() { Log("Close"); }
std::int32_t SLCCreate(void**, const void*, std::uint32_t, std::uint32_t, std::uint32_t) { return 1; }
std::int32_t SLCDelete(void**) { return 1; }
std::int32_t SLCGetInfo(void*, std::uint32_t, void*) { return 1; }
std::int32_t SLCGetInfoFromBuffer(const void*, std::uint32_t, std::uint32_t, void*) { return 1; }
std::int32_t SLCGetCreatorInfo(void*, std::uint32_t, void*) { return 1; }
std::int32_t SLCGetSliceInfo(void*, std::uint32_t, std::uint32_t, void*) { return 1; }
std::int32_t SLCSetOutputSampleRate(void*, std::uint32_t) { return 1; }
std::int32_t SLCRenderSlice(void*, std::uint32_t, std::int16_t*, std::uint32_t, std::uint32_t*) { return 1; }
std::int32_t SLCStartPreview(void*) { return 1; }
std::int32_t SLCStopPreview(void*) { return 1; }
std::int32_t SLCRenderPreviewBatch(void*, std::int16_t*, std::uint32_t, std::uint32_t*) { return 1; }
#ifndef FAKE_WITHOUT_PREVIEW_TEMPO
std::int32_t SLCSetPreviewTempo(void*, std::uint32_t) { return 1; }
#endif

}  // extern "C"

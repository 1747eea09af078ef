#include "items/SLCFileCheck.h"

#include <array>
#include <memory>
#include <string>

#include "framework/media/Exceptions.h"

namespace {

// Sizes of the answer buffers the packer hands the library.
constexpr std::uint32_t kCreatorInfoBytes = 1280;
constexpr std::uint32_t kInfoBytes = 32;
constexpr std::uint32_t kSliceInfoBytes = 8;
// Results of "SLCGetCreatorInfo" that pass: stored creator info, and none stored.
constexpr int kCreatorInfoNone = 3;

[[noreturn]] void Refused(const char* step, int result) {
  throw NSFerryman::XBadFormat("the sliced-loop library refuses the file: " + std::string(step) + " gives result " +
                               std::to_string(result));
}

// Deletes the library's handle on every path out of the check.
class CHandleGuard {
 public:
  explicit CHandleGuard(CSLCLibrary& library) : library_(library) {}
  ~CHandleGuard() { Release(); }
  CHandleGuard(const CHandleGuard&) = delete;
  CHandleGuard& operator=(const CHandleGuard&) = delete;
  void** Address() { return &handle_; }
  void* Get() const { return handle_; }
  void Release() {
    if (handle_) library_.SLCDelete(&handle_);
    handle_ = nullptr;
  }

 private:
  CSLCLibrary& library_;
  void* handle_ = nullptr;
};

}  // namespace

void CheckSLCFile(CSLCLibrary& library, NSFerryman::CMedia& file) {
  if (!library.IsLoaded()) throw NSFerryman::XUnrecoverableCommandError("the sliced-loop library is not loaded");
  const NSFerryman::MediaSize size = file.GetSize();
  if (size == 0) throw NSFerryman::XBadFormat("empty sliced-loop file");
  if (size > kMaxSLCFileBytes) {
    throw NSFerryman::XBadFormat("sliced-loop file of " + std::to_string(size) + " bytes, above the " +
                                 std::to_string(kMaxSLCFileBytes) + " accepted");
  }
  auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
  file.ReadAt(0, size, buffer.get());

  CHandleGuard handle(library);
  if (const int r = library.SLCCreate(handle.Address(), buffer.get(), static_cast<std::uint32_t>(size), 0, 0);
      r != kSLCLibSuccess) {
    Refused("SLCCreate", r);
  }
  std::array<std::uint8_t, kCreatorInfoBytes> creator{};
  if (const int r = library.SLCGetCreatorInfo(handle.Get(), kCreatorInfoBytes, creator.data());
      r != kSLCLibSuccess && r != kCreatorInfoNone) {
    Refused("SLCGetCreatorInfo", r);
  }
  std::array<std::uint32_t, kInfoBytes / 4> info{};
  if (const int r = library.SLCGetInfo(handle.Get(), kInfoBytes, info.data()); r != kSLCLibSuccess) {
    Refused("SLCGetInfo", r);
  }
  const std::uint32_t sliceCount = info[2];
  std::array<std::uint32_t, kSliceInfoBytes / 4> slice{};
  for (std::uint32_t i = 0; i < sliceCount; ++i) library.SLCGetSliceInfo(handle.Get(), i, kSliceInfoBytes, slice.data());
  buffer.reset();
  handle.Release();
}

#include "items/SLCLibrary.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>

namespace {

// Every entry point the library must have, whether or not the packer calls it: a library that
// lacks one is not the product the packer was made for.
constexpr std::array<const char*, 14> kEntryPointNames = {
    "Open", "Close", "SLCCreate", "SLCDelete", "SLCGetInfo", "SLCGetInfoFromBuffer", "SLCGetCreatorInfo",
    "SLCGetSliceInfo", "SLCSetOutputSampleRate", "SLCRenderSlice", "SLCStartPreview", "SLCStopPreview",
    "SLCRenderPreviewBatch", "SLCSetPreviewTempo"};

// The library carries its version as an exported constant of four 32-bit numbers (major, minor,
// revision, build), read without running any of its code.
constexpr char kVersionSymbol[] = "SLCFileVersion";

struct CLibraryVersion {
  std::uint32_t major;
  std::uint32_t minor;
  std::uint32_t revision;
};

int VersionResult(const CLibraryVersion& v) {
  if (v.major == 0) return kSLCLibTooOld;
  if (v.major > 1) return kSLCLibTooNew;
  if (v.minor < 1 || (v.minor == 1 && v.revision < 1)) return kSLCLibTooOld;
  return kSLCLibSuccess;
}

template <typename Function>
Function Resolve(void* library, const char* name) {
  return reinterpret_cast<Function>(::dlsym(library, name));
}

}  // namespace

CSLCLibrary::~CSLCLibrary() {
  std::lock_guard lock(mutex_);
  if (library_) Release();
}

int CSLCLibrary::Load(const std::string& path) {
  std::lock_guard lock(mutex_);
  if (library_) {
    ++useCount_;
    return kSLCLibAlreadyLoaded;
  }
  struct stat status {};
  if (path.empty() || (::stat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR))) {
    return kSLCLibNotFound;
  }
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* error = ::dlerror();
    return error && std::strstr(error, std::strerror(ENOMEM)) ? kSLCLibOutOfMemory : kSLCLibGeneralFailure;
  }
  const auto fail = [library](int result) {
    ::dlclose(library);
    return result;
  };

  const auto* version = static_cast<const CLibraryVersion*>(::dlsym(library, kVersionSymbol));
  if (!version) return fail(kSLCLibGeneralFailure);
  if (const int result = VersionResult(*version); result != kSLCLibSuccess) return fail(result);
  for (const char* name : kEntryPointNames) {
    if (!::dlsym(library, name)) return fail(kSLCLibGeneralFailure);
  }

  CEntryPoints entry;
  entry.open = Resolve<decltype(entry.open)>(library, "Open");
  entry.close = Resolve<decltype(entry.close)>(library, "Close");
  entry.create = Resolve<decltype(entry.create)>(library, "SLCCreate");
  entry.destroy = Resolve<decltype(entry.destroy)>(library, "SLCDelete");
  entry.getCreatorInfo = Resolve<decltype(entry.getCreatorInfo)>(library, "SLCGetCreatorInfo");
  entry.getInfo = Resolve<decltype(entry.getInfo)>(library, "SLCGetInfo");
  entry.getSliceInfo = Resolve<decltype(entry.getSliceInfo)>(library, "SLCGetSliceInfo");
  // A library that will not open is released without "Close": it never opened.
  if (!entry.open()) return fail(kSLCLibGeneralFailure);

  library_ = library;
  entry_ = entry;
  useCount_ = 1;
  return kSLCLibSuccess;
}

void CSLCLibrary::Unload() {
  std::lock_guard lock(mutex_);
  if (!library_) return;
  if (--useCount_ > 0) return;
  Release();
}

void CSLCLibrary::Release() {
  entry_.close();
  ::dlclose(library_);
  library_ = nullptr;
  entry_ = CEntryPoints{};
  useCount_ = 0;
}

bool CSLCLibrary::IsLoaded() const {
  std::lock_guard lock(mutex_);
  return library_ != nullptr;
}

int CSLCLibrary::UseCount() const {
  std::lock_guard lock(mutex_);
  return useCount_;
}

// The wrappers read the entry points without the lock: they stay fixed while the library is
// loaded, and unloading during a call is the caller's error (see the header).
int CSLCLibrary::SLCCreate(void** handle, const void* bytes, std::uint32_t byteCount, std::uint32_t flags,
                           std::uint32_t reserved) const {
  return entry_.create ? entry_.create(handle, bytes, byteCount, flags, reserved) : kSLCLibAbsent;
}

int CSLCLibrary::SLCDelete(void** handle) const {
  return entry_.destroy ? entry_.destroy(handle) : kSLCLibAbsent;
}

int CSLCLibrary::SLCGetCreatorInfo(void* handle, std::uint32_t size, void* buffer) const {
  return entry_.getCreatorInfo ? entry_.getCreatorInfo(handle, size, buffer) : kSLCLibAbsent;
}

int CSLCLibrary::SLCGetInfo(void* handle, std::uint32_t size, void* buffer) const {
  return entry_.getInfo ? entry_.getInfo(handle, size, buffer) : kSLCLibAbsent;
}

int CSLCLibrary::SLCGetSliceInfo(void* handle, std::uint32_t index, std::uint32_t size, void* buffer) const {
  return entry_.getSliceInfo ? entry_.getSliceInfo(handle, index, size, buffer) : kSLCLibAbsent;
}

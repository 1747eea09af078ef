#pragma once
// The packer's side of the sliced-loop library ("SLC Shared Library.so"): loading it with its
// version check, its use count, and the calls the packer makes.
//
//   CSLCLibrary slc;                                   usually one per run, owned by the application
//   const int result = slc.Load(FindSLCLibrary(optionPath));     see items/SLCLibrarySearch.h
//   if (result != kSLCLibSuccess) ... alert 16 ...; a later Load may try again
//   CheckSLCFile(slc, media);                          see items/SLCFileCheck.h
//   slc.Unload();                                      at exit; the destructor unloads too
//
// Loading and unloading are serialised; CheckSLCFile may run on several threads at once while
// the library stays loaded. Unload only when no check is running.

#include <cstdint>
#include <mutex>
#include <string>

// Results of Load, and the wrappers' result when the library or an entry point is absent.
inline constexpr int kSLCLibSuccess = 1;
inline constexpr int kSLCLibOutOfMemory = 100;
inline constexpr int kSLCLibGeneralFailure = 101;  // not loadable, an entry point missing, or "Open" refused
inline constexpr int kSLCLibTooOld = 102;          // major version 0, or below 1.1.1
inline constexpr int kSLCLibNotFound = 103;
inline constexpr int kSLCLibTooNew = 104;          // major version above 1
// 109 (operating system not supported) is never given: every Linux the program runs on can load it.
inline constexpr int kSLCLibAbsent = 200;
inline constexpr int kSLCLibAlreadyLoaded = 201;   // only the use count was raised

class CSLCLibrary {
 public:
  CSLCLibrary() = default;
  // Releases the library whatever the use count.
  ~CSLCLibrary();
  CSLCLibrary(const CSLCLibrary&) = delete;
  CSLCLibrary& operator=(const CSLCLibrary&) = delete;

  // Loads the library at `path`: 1, or 100, 101, 102, 103, 104 (and nothing stays loaded), or
  // 201 when one is loaded already, whatever its path (the use count is raised).
  int Load(const std::string& path);
  // Lowers the use count; at zero calls "Close" and releases the library. Nothing when unloaded.
  void Unload();
  bool IsLoaded() const;
  int UseCount() const;

  // The calls the packer makes: the library's result, or kSLCLibAbsent when it is not loaded.
  int SLCCreate(void** handle, const void* bytes, std::uint32_t byteCount, std::uint32_t flags,
                std::uint32_t reserved) const;
  int SLCDelete(void** handle) const;
  int SLCGetCreatorInfo(void* handle, std::uint32_t size, void* buffer) const;
  int SLCGetInfo(void* handle, std::uint32_t size, void* buffer) const;
  int SLCGetSliceInfo(void* handle, std::uint32_t index, std::uint32_t size, void* buffer) const;

 private:
  void Release();

  struct CEntryPoints {
    std::int32_t (*open)() = nullptr;
    void (*close)() = nullptr;
    std::int32_t (*create)(void**, const void*, std::uint32_t, std::uint32_t, std::uint32_t) = nullptr;
    std::int32_t (*destroy)(void**) = nullptr;
    std::int32_t (*getCreatorInfo)(void*, std::uint32_t, void*) = nullptr;
    std::int32_t (*getInfo)(void*, std::uint32_t, void*) = nullptr;
    std::int32_t (*getSliceInfo)(void*, std::uint32_t, std::uint32_t, void*) = nullptr;
  };

  mutable std::mutex mutex_;
  void* library_ = nullptr;
  int useCount_ = 0;
  CEntryPoints entry_;
};

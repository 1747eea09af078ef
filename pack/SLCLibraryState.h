#pragma once
// The sliced-loop library as the application holds it: loaded once per run, before the first
// pack job, and tried again on the next job after a failure.

#include <string>

#include "framework/resources/AlertHost.h"
#include "items/SLCLibrary.h"

class CSLCLibraryState {
 public:
  // `explicitPath` is where the user said the library is ("" to search; items/SLCLibrarySearch.h).
  explicit CSLCLibraryState(std::string explicitPath = {}) : explicitPath_(std::move(explicitPath)) {}
  ~CSLCLibraryState() { Unload(); }
  CSLCLibraryState(const CSLCLibraryState&) = delete;
  CSLCLibraryState& operator=(const CSLCLibraryState&) = delete;

  // Loads the library unless it is loaded; when it cannot be, shows "Unable to load SLC DLL" and
  // throws XAlertAlreadyShown (naming the library and the result in its detail).
  void EnsureSLCLibrary(NSFerryman::MAlertHost& alerts);
  void Unload();
  bool IsLoaded() const { return loaded_; }
  CSLCLibrary& Library() { return library_; }
  // The result of the last attempt to load, and where it looked.
  int GetLastResult() const { return lastResult_; }
  const std::string& GetLastPath() const { return lastPath_; }

 private:
  std::string explicitPath_;
  CSLCLibrary library_;
  bool loaded_ = false;
  int lastResult_ = 0;
  std::string lastPath_;
};

#include "pack/SLCLibraryState.h"

#include "framework/media/Exceptions.h"
#include "items/SLCLibrarySearch.h"

namespace {

const char* ResultText(int result) {
  switch (result) {
    case kSLCLibOutOfMemory: return "out of memory";
    case kSLCLibTooOld: return "the library is too old";
    case kSLCLibNotFound: return "the library was not found";
    case kSLCLibTooNew: return "the library is too new";
    default: return "the library could not be loaded";
  }
}

}  // namespace

void CSLCLibraryState::EnsureSLCLibrary(NSFerryman::MAlertHost& alerts) {
  if (loaded_) return;
  lastPath_ = FindSLCLibrary(explicitPath_);
  lastResult_ = library_.Load(lastPath_);
  if (lastResult_ == kSLCLibSuccess || lastResult_ == kSLCLibAlreadyLoaded) {
    loaded_ = true;
    return;
  }
  NSFerryman::ShowAlert(alerts, NSFerryman::AlertId(NSFerryman::kApplicationResources, 16));
  throw NSFerryman::XAlertAlreadyShown(std::string(ResultText(lastResult_)) +
                                       (lastPath_.empty() ? "" : " (" + lastPath_ + ")"));
}

void CSLCLibraryState::Unload() {
  if (!loaded_) return;
  library_.Unload();
  loaded_ = false;
}

#pragma once
// CABCCallbackInterface: what a long walk over the input folder calls at each step, so that the
// caller can show where the walk is and stop it.

#include <string>

class CABCCallbackInterface {
 public:
  virtual ~CABCCallbackInterface() = default;
  // Called with the name of the folder being walked; true stops the walk with XUserCancelled.
  virtual bool Callback(const std::string& folderName) = 0;
};

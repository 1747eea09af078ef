#pragma once
// MVolumeSearchHost: how a front end waits for a volume the user has to insert. The host shows
// the alert (the "insert the CD" message, with a Cancel button) and, while it is up, calls
// `isMounted` about every `pollMilliseconds`; as soon as that answers true the host takes the
// alert down and answers true. Cancel answers false.

#include <functional>

#include "framework/resources/Alert.h"

class MVolumeSearchHost {
 public:
  virtual ~MVolumeSearchHost() = default;
  virtual bool WaitForVolume(const NSFerryman::CAlert& alert, int pollMilliseconds,
                             const std::function<bool()>& isMounted) = 0;
};

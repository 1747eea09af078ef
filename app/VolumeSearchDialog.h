#pragma once
// CVolumeSearchDialog: how the desktop application waits for a volume the user has to insert
// (a CD that holds an installed Hamper): the alert stays up, with its Cancel button, while the
// volumes are tested again every poll interval; it goes away by itself once the volume is there.

#include "references/VolumeSearchHost.h"

class CVolumeSearchDialog : public MVolumeSearchHost {
 public:
  bool WaitForVolume(const NSFerryman::CAlert& alert, int pollMilliseconds,
                     const std::function<bool()>& isMounted) override;
};

#pragma once
// MAlertHost: what a front end (a window, the command line) does to show an alert. The host
// presents the alert modally and gives back the result code of the button chosen
// (kAlertButton1..3), or kAlertClosed when the alert was closed without one. The name differs
// from ShowAlert below so that a host's own members can call ShowAlert(*this, ...).
//
//   if (ShowAlert(host, AlertId(kApplicationResources, 19), {name}) != kAlertButton1) ...

#include <string>
#include <vector>

#include "framework/resources/Alert.h"
#include "framework/resources/ResourceId.h"

namespace NSFerryman {

class MAlertHost {
 public:
  virtual ~MAlertHost() = default;
  virtual int PresentAlert(const CAlert& alert) = 0;
};

// Fetches the alert script of `id` from the program's resources, fills its placeholders and lets
// the host show it. XBadFormat when the resource has no such alert.
int ShowAlert(MAlertHost& host, ResourceId id, const std::vector<std::string>& arguments = {},
              const std::string& details = "");

// The same for a question whose default, the answer Return gives, is its first button in
// script order: the one that changes nothing ([No] of [No][Yes]), for questions where a
// hurried Return must not destroy anything.
int ShowAlertDefaultingToFirst(MAlertHost& host, ResourceId id, const std::vector<std::string>& arguments = {});

}  // namespace NSFerryman

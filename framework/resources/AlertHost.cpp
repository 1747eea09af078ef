#include "framework/resources/AlertHost.h"

#include "framework/resources/ResourceCache.h"

namespace NSFerryman {

namespace {

CAlert LoadAlert(ResourceId id, const std::vector<std::string>& arguments) {
  // A missing script would otherwise be an alert without buttons that the user cannot answer.
  const std::string script = GetAlertScript(id);
  if (script.empty()) throw XBadFormat("no alert script with id " + std::to_string(id));
  CAlert alert = ParseAlert(script, arguments);
  alert.id = id;
  return alert;
}

}  // namespace

int ShowAlert(MAlertHost& host, ResourceId id, const std::vector<std::string>& arguments, const std::string& details) {
  CAlert alert = LoadAlert(id, arguments);
  alert.details = details;
  return host.PresentAlert(alert);
}

int ShowAlertDefaultingToFirst(MAlertHost& host, ResourceId id, const std::vector<std::string>& arguments) {
  CAlert alert = LoadAlert(id, arguments);
  alert.defaultResult = alert.buttons.front().result;
  return host.PresentAlert(alert);
}

}  // namespace NSFerryman

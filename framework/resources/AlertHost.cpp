#include "framework/resources/AlertHost.h"

#include "framework/resources/ResourceCache.h"

namespace NSFerryman {

int ShowAlert(MAlertHost& host, ResourceId id, const std::vector<std::string>& arguments, const std::string& details) {
  // A missing script would otherwise be an alert without buttons that the user cannot answer.
  const std::string script = GetAlertScript(id);
  if (script.empty()) throw XBadFormat("no alert script with id " + std::to_string(id));
  CAlert alert = ParseAlert(script, arguments);
  alert.id = id;
  alert.details = details;
  return host.PresentAlert(alert);
}

}  // namespace NSFerryman

#pragma once
// Web pages through the desktop. A browser counts as registered when the desktop names a handler
// for http: the BROWSER variable, or the default xdg-mime gives for x-scheme-handler/http. The
// answer is found once per run (it asks a program).
//
//   if (!OpenWebPageOnDesktop(address)) ShowAlert(alerts, cannotOpenWebPage, {address});

#include <string>

bool DesktopHasWebBrowser();
// Hands the address to the desktop's browser; false when that failed.
bool OpenWebPageOnDesktop(const std::string& address);

#pragma once
// The outermost handler of the desktop application. Qt's event loop must never see an exception,
// so every command, button, key and drop handler runs its work through ReportFailures: a failure
// the user was told about (XAlertAlreadyShown) or asked for (XUserCancelled) ends quietly, any
// other is shown once as the framework's alert for it.
//
//   ReportFailures(alerts, [&] { window.SelectInputFolder(); });

#include <functional>

#include "framework/resources/AlertHost.h"

// True when the work ended normally.
bool ReportFailures(NSFerryman::MAlertHost& alerts, const std::function<void()>& work);

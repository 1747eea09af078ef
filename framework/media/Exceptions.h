#pragma once
// The framework's failure vocabulary. Every failure travels as one of these; the outermost
// handler turns each class into one alert (see framework/resources/ExceptionAlerts.h). The text
// given at construction carries the detail a user or a log needs: which file, item or chunk.

#include <exception>
#include <string>
#include <utility>

namespace NSFerryman {

class XBase : public std::exception {
 public:
  XBase() = default;
  explicit XBase(std::string detail) : detail_(std::move(detail)) {}
  const char* what() const noexcept override { return detail_.empty() ? "XBase" : detail_.c_str(); }
  const std::string& Detail() const noexcept { return detail_; }

 private:
  std::string detail_;
};

#define NSFERRYMAN_EXCEPTION(Name, Base) \
  class Name : public Base {             \
   public:                               \
    using Base::Base;                    \
    Name() = default;                    \
  }

// Media failures.
NSFERRYMAN_EXCEPTION(XMedia, XBase);
NSFERRYMAN_EXCEPTION(XRead, XMedia);
NSFERRYMAN_EXCEPTION(XWrite, XMedia);
NSFERRYMAN_EXCEPTION(XPosition, XMedia);
NSFERRYMAN_EXCEPTION(XBadFormat, XMedia);
NSFERRYMAN_EXCEPTION(XUnsupportedFormat, XMedia);

// File-system failures.
NSFERRYMAN_EXCEPTION(XFile, XBase);
NSFERRYMAN_EXCEPTION(XFileNotFound, XFile);
NSFERRYMAN_EXCEPTION(XFileLocked, XFile);
// The system refused access (permissions, a read-only file system): a kind of XFileLocked that is
// worded as what it is.
NSFERRYMAN_EXCEPTION(XPermissionDenied, XFileLocked);
NSFERRYMAN_EXCEPTION(XDiskFull, XFile);
NSFERRYMAN_EXCEPTION(XOpenFailed, XFile);
NSFERRYMAN_EXCEPTION(XCreateFailed, XFile);

// Folder browsing failures.
NSFERRYMAN_EXCEPTION(XShell, XBase);
NSFERRYMAN_EXCEPTION(XShellUnableToResolveAlias, XShell);
NSFERRYMAN_EXCEPTION(XShellUnableToOpenContainer, XShell);
NSFERRYMAN_EXCEPTION(XShellDeviceNotReady, XShell);
NSFERRYMAN_EXCEPTION(XShellAccessDenied, XShell);
NSFERRYMAN_EXCEPTION(XShellNetworkPathNotFound, XShell);
NSFERRYMAN_EXCEPTION(XShellItemNotFound, XShell);
NSFERRYMAN_EXCEPTION(XShellFileSystemObjectNotFound, XShell);

// Command-level outcomes.
NSFERRYMAN_EXCEPTION(XCannotOpenHelpWindow, XBase);
NSFERRYMAN_EXCEPTION(XUnrecoverableCommandError, XBase);
// The user has been shown an alert for this failure already; handlers show nothing more.
NSFERRYMAN_EXCEPTION(XAlertAlreadyShown, XBase);
// The user asked to stop.
NSFERRYMAN_EXCEPTION(XUserCancelled, XBase);

#undef NSFERRYMAN_EXCEPTION

}  // namespace NSFerryman

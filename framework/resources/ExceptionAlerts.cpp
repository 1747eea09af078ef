#include "framework/resources/ExceptionAlerts.h"

#include <array>
#include <new>

#include "framework/media/Exceptions.h"
#include "framework/resources/ResourceCache.h"
#include "framework/resources/ResourceId.h"

namespace NSFerryman {

namespace {

constexpr std::uint32_t kUnknownProblem = 11;
constexpr std::uint32_t kNoAlert = 0xFFFFFFFF;

template <typename T>
bool Is(const std::exception& e) {
  return dynamic_cast<const T*>(&e) != nullptr;
}

struct CRow {
  bool (*matches)(const std::exception&);
  std::uint32_t alert;
};

// Tested in order, the first match wins: each derived class stands before its base.
constexpr std::array kRows = {
    CRow{Is<XCannotOpenHelpWindow>, 22},
    CRow{Is<XShellUnableToResolveAlias>, 14},
    CRow{Is<XShellUnableToOpenContainer>, 15},
    CRow{Is<XShellDeviceNotReady>, 16},
    CRow{Is<XShellAccessDenied>, 17},
    CRow{Is<XShellNetworkPathNotFound>, 18},
    CRow{Is<XShellItemNotFound>, 19},
    CRow{Is<XShellFileSystemObjectNotFound>, 20},
    CRow{Is<XShell>, 21},
    CRow{Is<std::bad_alloc>, 0},
    CRow{Is<XDiskFull>, 3},
    CRow{Is<XFileNotFound>, 4},
    CRow{Is<XPermissionDenied>, 23},
    CRow{Is<XFileLocked>, 13},
    // Refusals the program makes itself (an output that is an input, a description file that is a
    // FIFO) and files the system would not open: no disk is at fault.
    CRow{Is<XCreateFailed>, 24},
    CRow{Is<XOpenFailed>, 25},
    CRow{Is<XFile>, 5},
    CRow{Is<XBadFormat>, 6},
    CRow{Is<XUnsupportedFormat>, 7},
    CRow{Is<XRead>, 8},
    CRow{Is<XWrite>, 9},
    CRow{Is<XMedia>, 10},
    CRow{Is<XUnrecoverableCommandError>, 12},
    CRow{Is<XAlertAlreadyShown>, kNoAlert},
    // A stop the user asked for is no problem to report.
    CRow{Is<XUserCancelled>, kNoAlert},
};

}  // namespace

std::optional<std::uint32_t> FrameworkAlertFor(const std::exception& failure) {
  for (const CRow& row : kRows) {
    if (row.matches(failure)) {
      if (row.alert == kNoAlert) return std::nullopt;
      return row.alert;
    }
  }
  return kUnknownProblem;
}

std::optional<std::uint32_t> FrameworkAlertFor(const std::exception_ptr& failure) {
  if (!failure) return std::nullopt;
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return FrameworkAlertFor(e);
  } catch (...) {
    return kUnknownProblem;
  }
}

std::string FrameworkAlertText(const std::exception& failure) {
  const std::optional<std::uint32_t> alert = FrameworkAlertFor(failure);
  if (!alert) return "";
  try {
    const CAlert parsed = ParseAlert(GetAlertScript(AlertId(kFrameworkResources, *alert)));
    return parsed.title.empty() ? parsed.MessageWithLineBreaks(" ") : parsed.title + ": " + parsed.MessageWithLineBreaks(" ");
  } catch (const std::exception&) {
    return "";
  }
}

std::string OutOfMemoryText() { return FrameworkAlertText(std::bad_alloc()); }

int ShowAlertForException(MAlertHost& host, const std::exception_ptr& failure) {
  const std::optional<std::uint32_t> alert = FrameworkAlertFor(failure);
  if (!alert) return kAlertClosed;
  // The failure's own words (which file, which item) go with the alert; memory running out has
  // none worth showing.
  std::string details;
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
  } catch (const std::exception& e) {
    details = e.what();
  } catch (...) {
  }
  return ShowAlert(host, AlertId(kFrameworkResources, *alert), {}, details);
}

}  // namespace NSFerryman

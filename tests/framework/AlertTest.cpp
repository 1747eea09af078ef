// Alert scripts, showing an alert through a host, and which framework alert a failure gets.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/media/Exceptions.h"
#include "framework/resources/Alert.h"
#include "framework/resources/AlertHost.h"
#include "framework/resources/ExceptionAlerts.h"
#include "framework/resources/ResourceCache.h"

using namespace NSFerryman;

namespace {

// Remembers what it was asked to show and answers with a fixed code.
class CRecordingHost : public MAlertHost {
 public:
  explicit CRecordingHost(int answer) : answer_(answer) {}
  int PresentAlert(const CAlert& alert) override {
    shown.push_back(alert);
    return answer_;
  }
  std::vector<CAlert> shown;

 private:
  int answer_;
};

}  // namespace

TEST(AlertScript, Parsing) {
  struct Case {
    std::string_view script;
    std::vector<std::string> arguments;
    EAlertIcon icon;
    std::string title, message;
    std::vector<CAlertButton> buttons;
  };
  const Case cases[] = {
      {"[STOP]Not enough memory for dialog or window![OK]",
       {},
       EAlertIcon::kStop,
       "",
       "Not enough memory for dialog or window!",
       {{"OK", 33}}},
      {"[WARN][File already exists]The file '^0' already exists, do you want to replace it?[No][Yes]",
       {"Out.hmp"},
       EAlertIcon::kWarning,
       "File already exists",
       "The file 'Out.hmp' already exists, do you want to replace it?",
       {{"No", 34}, {"Yes", 33}}},
      {"[NOTE][A][B][C]", {}, EAlertIcon::kNote, "A", "", {{"B", 34}, {"C", 33}}},
      {"Plain text[Three][Two][One]",
       {},
       EAlertIcon::kNone,
       "",
       "Plain text",
       {{"Three", 35}, {"Two", 34}, {"One", 33}}},
      {"[NONE][Pack complete]^0 files.[OK]", {"12"}, EAlertIcon::kNone, "Pack complete",
       "12 files.", {{"OK", 33}}},
      // An unknown or lower-case icon tag is the title.
      {"[stop]Hm[OK]", {}, EAlertIcon::kNone, "stop", "Hm", {{"OK", 33}}},
      // The title takes one argument per "^"; the message numbers the rest from 0 again.
      {"[STOP][Find ^0 on ^1]Insert '^0', not ^1.[Cancel]",
       {"Drums", "CD", "DISC1"},
       EAlertIcon::kStop,
       "Find Drums on CD",
       "Insert 'DISC1', not ^1.",
       {{"Cancel", 33}}},
      // Fewer arguments than title placeholders: the rest stay, the message gets none.
      {"[STOP][^0 and ^1]Msg ^0[OK]", {"x"}, EAlertIcon::kStop, "x and ^1", "Msg ^0",
       {{"OK", 33}}},
  };
  for (const Case& c : cases) {
    const CAlert alert = ParseAlert(c.script, c.arguments);
    EXPECT_EQ(alert.icon, c.icon) << c.script;
    EXPECT_EQ(alert.title, c.title) << c.script;
    EXPECT_EQ(alert.message, c.message) << c.script;
    EXPECT_EQ(alert.buttons, c.buttons) << c.script;
  }
}

TEST(AlertScript, MalformedScriptsAreRejected) {
  for (std::string_view script : {"[STOP]No button at all", "[STOP][Title]Message",
                                  "[STOP]Four[A][B][C][D]", "[STOP][Title never closed",
                                  "[STOP]Msg[OK"}) {
    EXPECT_THROW(ParseAlert(script), XBadFormat) << script;
  }
}

TEST(AlertScript, EveryEmbeddedAlertParses) {
  for (std::uint32_t resource : {kApplicationResources, kFrameworkResources}) {
    const CStringResource* r = CResourceCache::Program().GetResource(kAlertResourceType, resource);
    ASSERT_NE(r, nullptr);
    for (const auto& entry : r->GetEntries()) {
      EXPECT_NO_THROW(ParseAlert(entry.text)) << resource << " " << entry.item;
    }
  }
}

TEST(AlertShow, ApplicationAlertsReachTheHostFilledIn) {
  CRecordingHost host(kAlertButton1);
  EXPECT_EQ(ShowAlert(host, AlertId(128, 17), {"Songs/Demo.sng", "'Drums', 'Bass'"}),
            kAlertButton1);
  ASSERT_EQ(host.shown.size(), 1u);
  const CAlert& external = host.shown[0];
  EXPECT_EQ(external.icon, EAlertIcon::kWarning);
  EXPECT_EQ(external.title, "External Hampers referenced");
  EXPECT_EQ(external.message,
            "The file 'Songs/Demo.sng' refers to the Hamper(s): 'Drums', 'Bass'. This Hamper will "
            "be required when using Songs/Demo.sng.\rContinue anyway?");
  EXPECT_EQ(external.MessageWithLineBreaks(),
            "The file 'Songs/Demo.sng' refers to the Hamper(s): 'Drums', 'Bass'. This Hamper will "
            "be required when using Songs/Demo.sng.\nContinue anyway?");
  EXPECT_EQ(external.buttons, (std::vector<CAlertButton>{{"No", 34}, {"Yes", 33}}));

  ShowAlert(host, AlertId(128, 11), {"64", "64"});
  EXPECT_EQ(host.shown[1].message,
            "The splash image (Splash.jpg) must be a JPEG with the size 64x64 pixels. Cancelling.");
  ShowAlert(host, AlertId(128, 92), {"SAMPLES_1"});
  EXPECT_EQ(host.shown[2].title, "");
  EXPECT_EQ(host.shown[2].message, "Please insert the CD labeled 'SAMPLES_1' into the CD-Rom drive.");
  EXPECT_EQ(host.shown[2].buttons, (std::vector<CAlertButton>{{"Cancel", 33}}));

  EXPECT_EQ(host.shown[0].defaultResult, kAlertButton1);
  // A question that must not destroy anything on a hurried Return defaults to its first button.
  ShowAlertDefaultingToFirst(host, AlertId(128, 19), {"Kit.hmp"});
  EXPECT_EQ(host.shown[3].defaultResult, kAlertButton2);
  EXPECT_EQ(host.shown[3].buttons, (std::vector<CAlertButton>{{"No", 34}, {"Yes", 33}}));

  CRecordingHost closing(kAlertClosed);
  EXPECT_EQ(ShowAlert(closing, AlertId(128, 18)), kAlertClosed);
  EXPECT_THROW(ShowAlert(closing, AlertId(128, 3)), XBadFormat);  // no such alert
}

TEST(ExceptionAlerts, FirstMatchingClassDecides) {
  struct Case {
    const char* name;
    std::exception_ptr failure;
    std::optional<std::uint32_t> alert;
  };
  const auto p = [](auto e) { return std::make_exception_ptr(e); };
  const Case cases[] = {
      {"XCannotOpenHelpWindow", p(XCannotOpenHelpWindow()), 22},
      {"XShellUnableToResolveAlias", p(XShellUnableToResolveAlias()), 14},
      {"XShellUnableToOpenContainer", p(XShellUnableToOpenContainer()), 15},
      {"XShellDeviceNotReady", p(XShellDeviceNotReady()), 16},
      {"XShellAccessDenied", p(XShellAccessDenied()), 17},
      {"XShellNetworkPathNotFound", p(XShellNetworkPathNotFound()), 18},
      {"XShellItemNotFound", p(XShellItemNotFound()), 19},
      {"XShellFileSystemObjectNotFound", p(XShellFileSystemObjectNotFound()), 20},
      {"XShell", p(XShell("other shell failure")), 21},
      {"std::bad_alloc", p(std::bad_alloc()), 0},
      {"std::bad_array_new_length", p(std::bad_array_new_length()), 0},
      {"XDiskFull", p(XDiskFull("/out/x.hmp")), 3},
      {"XFileNotFound", p(XFileNotFound()), 4},
      {"XPermissionDenied", p(XPermissionDenied()), 23},
      {"XFileLocked", p(XFileLocked()), 13},
      {"XOpenFailed", p(XOpenFailed()), 25},
      {"XCreateFailed", p(XCreateFailed()), 24},
      {"XFile", p(XFile()), 5},
      {"XBadFormat", p(XBadFormat()), 6},
      {"XUnsupportedFormat", p(XUnsupportedFormat()), 7},
      {"XRead", p(XRead()), 8},
      {"XWrite", p(XWrite()), 9},
      {"XPosition", p(XPosition()), 10},
      {"XMedia", p(XMedia()), 10},
      {"XUnrecoverableCommandError", p(XUnrecoverableCommandError()), 12},
      {"XAlertAlreadyShown", p(XAlertAlreadyShown()), std::nullopt},
      {"XUserCancelled", p(XUserCancelled()), std::nullopt},
      {"XBase", p(XBase()), 11},
      {"std::runtime_error", p(std::runtime_error("x")), 11},
      {"not a std::exception", p(42), 11},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FrameworkAlertFor(c.failure), c.alert) << c.name;
  }
  EXPECT_EQ(FrameworkAlertFor(XFileLocked()), 13u);
  EXPECT_EQ(FrameworkAlertFor(std::exception_ptr()), std::nullopt);
}

TEST(ExceptionAlerts, ShowsTheFrameworkAlertOrNothing) {
  CRecordingHost host(kAlertButton1);
  EXPECT_EQ(ShowAlertForException(host, std::make_exception_ptr(XDiskFull())), kAlertButton1);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].title, "Disk Full");
  EXPECT_EQ(host.shown[0].message,
            "The Operation could not be completed because not enough space available on the disk.");
  EXPECT_EQ(ShowAlertForException(host, std::make_exception_ptr(XAlertAlreadyShown())),
            kAlertClosed);
  EXPECT_EQ(host.shown.size(), 1u);
}

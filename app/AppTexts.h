#pragma once
// The texts of the desktop application, by their ids in the application's resources, and the
// numbers of its menu commands.

#include <cstdint>

#include "framework/resources/ResourceId.h"

namespace apptext {

using NSFerryman::AlertId;
using NSFerryman::kApplicationResources;
using NSFerryman::MenuId;
using NSFerryman::ResourceId;
using NSFerryman::StringId;

inline constexpr ResourceId kSelectSourceFolder = StringId(kApplicationResources, 2);
inline constexpr ResourceId kSelectDestinationFolder = StringId(kApplicationResources, 3);
inline constexpr ResourceId kAboutTitle = StringId(kApplicationResources, 15);
inline constexpr ResourceId kApplicationVersion = StringId(kApplicationResources, 17);
inline constexpr ResourceId kApplicationName = StringId(kApplicationResources, 18);
inline constexpr ResourceId kHomePageAddress = StringId(kApplicationResources, 34);
inline constexpr ResourceId kSupportPageAddress = StringId(kApplicationResources, 35);
inline constexpr ResourceId kBrowseInput = StringId(kApplicationResources, 41);
inline constexpr ResourceId kBrowseOutput = StringId(kApplicationResources, 42);
inline constexpr ResourceId kCreateHamper = StringId(kApplicationResources, 43);
inline constexpr ResourceId kInputFolderLabel = StringId(kApplicationResources, 49);
inline constexpr ResourceId kOutputFileLabel = StringId(kApplicationResources, 50);
inline constexpr ResourceId kCommentsLabel = StringId(kApplicationResources, 51);
inline constexpr ResourceId kCopyrightLabel = StringId(kApplicationResources, 52);
inline constexpr ResourceId kURLLabel = StringId(kApplicationResources, 53);
inline constexpr ResourceId kFileCountLabel = StringId(kApplicationResources, 54);
inline constexpr ResourceId kNameLabel = StringId(kApplicationResources, 55);
inline constexpr ResourceId kExternalHampersLabel = StringId(kApplicationResources, 57);
inline constexpr ResourceId kSplashImageLabel = StringId(kApplicationResources, 59);
inline constexpr ResourceId kPackReportTitle = StringId(kApplicationResources, 69);
inline constexpr ResourceId kFolderCheckTitle = StringId(kApplicationResources, 70);
inline constexpr ResourceId kShowInFolder = StringId(kApplicationResources, 71);
inline constexpr ResourceId kSaveAs = StringId(kApplicationResources, 72);
inline constexpr ResourceId kClose = StringId(kApplicationResources, 73);
inline constexpr ResourceId kRecentInputFolders = StringId(kApplicationResources, 74);
inline constexpr ResourceId kClearList = StringId(kApplicationResources, 75);
inline constexpr ResourceId kSaveReportTitle = StringId(kApplicationResources, 76);
inline constexpr ResourceId kReportHamperFrom = StringId(kApplicationResources, 77);
inline constexpr ResourceId kReportWrittenTo = StringId(kApplicationResources, 78);
inline constexpr ResourceId kReportComplete = StringId(kApplicationResources, 79);
inline constexpr ResourceId kReportCompleteSkipped = StringId(kApplicationResources, 80);
inline constexpr ResourceId kReportStopped = StringId(kApplicationResources, 81);
inline constexpr ResourceId kReportEnded = StringId(kApplicationResources, 82);
inline constexpr ResourceId kReportFailed = StringId(kApplicationResources, 83);
inline constexpr ResourceId kReportCause = StringId(kApplicationResources, 84);
inline constexpr ResourceId kReportTime = StringId(kApplicationResources, 85);
inline constexpr ResourceId kReportSize = StringId(kApplicationResources, 86);
inline constexpr ResourceId kReportLeftOut = StringId(kApplicationResources, 87);
inline constexpr ResourceId kReportWarnings = StringId(kApplicationResources, 88);
inline constexpr ResourceId kReportExternalHampers = StringId(kApplicationResources, 89);
inline constexpr ResourceId kReportNothingToSay = StringId(kApplicationResources, 90);
inline constexpr ResourceId kCheckProblems = StringId(kApplicationResources, 91);
inline constexpr ResourceId kCheckNoProblems = StringId(kApplicationResources, 92);
inline constexpr ResourceId kCheckPackableFiles = StringId(kApplicationResources, 93);
inline constexpr ResourceId kCheckExternalHampers = StringId(kApplicationResources, 94);
inline constexpr ResourceId kCheckingFile = StringId(kApplicationResources, 95);
inline constexpr ResourceId kPackEnded = StringId(kApplicationResources, 96);
inline constexpr ResourceId kShowDetails = StringId(kApplicationResources, 97);
inline constexpr ResourceId kHideDetails = StringId(kApplicationResources, 98);
inline constexpr ResourceId kCopy = StringId(kApplicationResources, 99);
// The report window's list: its column titles (Kind, File, Cause), the kind and cause of a file
// that refers to other Hampers, the counts above the list, and its buttons.
inline constexpr ResourceId kFirstReportColumnTitle = StringId(kApplicationResources, 300);
inline constexpr ResourceId kRowOtherHampers = StringId(kApplicationResources, 303);
inline constexpr ResourceId kRowRefersTo = StringId(kApplicationResources, 304);
inline constexpr ResourceId kSummaryLeftOut = StringId(kApplicationResources, 305);
inline constexpr ResourceId kSummaryProblems = StringId(kApplicationResources, 306);
inline constexpr ResourceId kSummaryWarnings = StringId(kApplicationResources, 307);
inline constexpr ResourceId kShowHamperInFolder = StringId(kApplicationResources, 308);
inline constexpr ResourceId kShowFileInFolder = StringId(kApplicationResources, 309);

// The framework's "OK".
inline constexpr ResourceId kOK = StringId(NSFerryman::kFrameworkResources, 12);

inline constexpr ResourceId kCannotOpenWebPageAlert = AlertId(kApplicationResources, 21);
inline constexpr ResourceId kNoFileManagerAlert = AlertId(kApplicationResources, 22);
inline constexpr ResourceId kInsertCDAlert = AlertId(kApplicationResources, 92);

// The menus installed, in order: File, Hamper, Help.
inline constexpr ResourceId kFileMenu = MenuId(kApplicationResources, 1);
inline constexpr ResourceId kHamperMenu = MenuId(kApplicationResources, 2);
inline constexpr ResourceId kHelpMenu = MenuId(kApplicationResources, 5);

}  // namespace apptext

// Menu commands, as the menu scripts number them.
namespace command {

inline constexpr std::uint32_t kQuit = 25;
inline constexpr std::uint32_t kSelectInputFolder = 101;
inline constexpr std::uint32_t kSelectOutputFile = 102;
inline constexpr std::uint32_t kCreateHamper = 103;
inline constexpr std::uint32_t kWarnForExternalReferences = 104;
inline constexpr std::uint32_t kCheckFolder = 105;
inline constexpr std::uint32_t kAbout = 400;
inline constexpr std::uint32_t kHomePage = 800;
inline constexpr std::uint32_t kSupportPage = 804;

}  // namespace command

#pragma once
// The texts of the pack job, by their ids in the application's resources.

#include "framework/resources/ResourceId.h"

namespace jobtext {

using NSFerryman::AlertId;
using NSFerryman::kApplicationResources;
using NSFerryman::ResourceId;
using NSFerryman::StringId;

inline constexpr ResourceId kStop = StringId(kApplicationResources, 5);
inline constexpr ResourceId kPackingTitle = StringId(kApplicationResources, 6);
inline constexpr ResourceId kVerifyingFinalTitle = StringId(kApplicationResources, 9);
inline constexpr ResourceId kPackingItem = StringId(kApplicationResources, 10);
inline constexpr ResourceId kVerifyingFinalItem = StringId(kApplicationResources, 12);
inline constexpr ResourceId kVerifyingTitle = StringId(kApplicationResources, 13);
inline constexpr ResourceId kVerifyingItem = StringId(kApplicationResources, 14);
inline constexpr ResourceId kSkip = StringId(kApplicationResources, 16);
inline constexpr ResourceId kScanningFolder = StringId(kApplicationResources, 22);
inline constexpr ResourceId kVerifyingContents = StringId(kApplicationResources, 29);
inline constexpr ResourceId kPackingFiles = StringId(kApplicationResources, 30);
inline constexpr ResourceId kVerifyingFinal = StringId(kApplicationResources, 33);
inline constexpr ResourceId kCheckingReferences = StringId(kApplicationResources, 36);
inline constexpr ResourceId kScanningStructure = StringId(kApplicationResources, 48);
inline constexpr ResourceId kScanningFolderOf = StringId(kApplicationResources, 58);
inline constexpr ResourceId kCountingFiles = StringId(kApplicationResources, 65);
inline constexpr ResourceId kCountingFilesOf = StringId(kApplicationResources, 66);
inline constexpr ResourceId kCheckingReferencesOf = StringId(kApplicationResources, 67);

inline constexpr ResourceId kNoNameAlert = AlertId(kApplicationResources, 4);
inline constexpr ResourceId kPackCompleteAlert = AlertId(kApplicationResources, 5);
inline constexpr ResourceId kCannotPackAlert = AlertId(kApplicationResources, 7);
inline constexpr ResourceId kBadFormatSkipAlert = AlertId(kApplicationResources, 8);
inline constexpr ResourceId kCannotVerifyAlert = AlertId(kApplicationResources, 9);
inline constexpr ResourceId kExternalHampersAlert = AlertId(kApplicationResources, 17);
inline constexpr ResourceId kStopPackAlert = AlertId(kApplicationResources, 18);
inline constexpr ResourceId kFileExistsAlert = AlertId(kApplicationResources, 19);
inline constexpr ResourceId kUnsupportedFormatSkipAlert = AlertId(kApplicationResources, 20);

}  // namespace jobtext

#pragma once
// The texts of the Hamper browser windows, by their ids in the application's resources, and the
// menu command that opens a Hamper.

#include <cstdint>

#include "framework/resources/ResourceId.h"

namespace browsertext {

using NSFerryman::AlertId;
using NSFerryman::kApplicationResources;
using NSFerryman::ResourceId;
using NSFerryman::StringId;

inline constexpr ResourceId kOpenHamperTitle = StringId(kApplicationResources, 200);
inline constexpr ResourceId kFilterPlaceholder = StringId(kApplicationResources, 201);
inline constexpr ResourceId kShowHidden = StringId(kApplicationResources, 202);
inline constexpr ResourceId kPlay = StringId(kApplicationResources, 203);
inline constexpr ResourceId kStop = StringId(kApplicationResources, 204);
inline constexpr ResourceId kVerify = StringId(kApplicationResources, 205);
inline constexpr ResourceId kVerifyAgainstSource = StringId(kApplicationResources, 206);
inline constexpr ResourceId kExtractSelected = StringId(kApplicationResources, 207);
inline constexpr ResourceId kExtractAll = StringId(kApplicationResources, 208);
inline constexpr ResourceId kChooseExtractFolder = StringId(kApplicationResources, 209);
inline constexpr ResourceId kChooseSourceFolder = StringId(kApplicationResources, 210);
// Column titles: Name, Kind, Size, Length, Channels, Rate, Loop, Root key.
inline constexpr ResourceId kFirstColumnTitle = StringId(kApplicationResources, 211);
inline constexpr ResourceId kNoAudioOutput = StringId(kApplicationResources, 219);
inline constexpr ResourceId kAudioFormatUnplayable = StringId(kApplicationResources, 220);
inline constexpr ResourceId kVerifyingItem = StringId(kApplicationResources, 221);
inline constexpr ResourceId kAllSound = StringId(kApplicationResources, 222);
inline constexpr ResourceId kAllSoundWithSource = StringId(kApplicationResources, 223);
inline constexpr ResourceId kSomeFailed = StringId(kApplicationResources, 224);
inline constexpr ResourceId kVerifyStopped = StringId(kApplicationResources, 225);
inline constexpr ResourceId kExtracted = StringId(kApplicationResources, 226);
inline constexpr ResourceId kVerifyFailed = StringId(kApplicationResources, 227);
inline constexpr ResourceId kSampleFacts = StringId(kApplicationResources, 228);
inline constexpr ResourceId kInThisHamper = StringId(kApplicationResources, 230);
inline constexpr ResourceId kInInstalledHamper = StringId(kApplicationResources, 231);
inline constexpr ResourceId kUnresolved = StringId(kApplicationResources, 232);
inline constexpr ResourceId kReferenceCount = StringId(kApplicationResources, 233);
inline constexpr ResourceId kCannotPlay = StringId(kApplicationResources, 234);
inline constexpr ResourceId kComputingWaveform = StringId(kApplicationResources, 235);
inline constexpr ResourceId kFolderFacts = StringId(kApplicationResources, 236);
inline constexpr ResourceId kFailedBelow = StringId(kApplicationResources, 237);
inline constexpr ResourceId kExtractingItem = StringId(kApplicationResources, 238);
inline constexpr ResourceId kExtractionStopped = StringId(kApplicationResources, 239);
inline constexpr ResourceId kExtractionFailed = StringId(kApplicationResources, 240);
inline constexpr ResourceId kChangedOnDisk = StringId(kApplicationResources, 241);
inline constexpr ResourceId kReload = StringId(kApplicationResources, 242);
inline constexpr ResourceId kChangedOnDiskRefused = StringId(kApplicationResources, 243);
inline constexpr ResourceId kPackerWindow = StringId(kApplicationResources, 244);
inline constexpr ResourceId kItemsInAll = StringId(kApplicationResources, 250);
inline constexpr ResourceId kItemsShown = StringId(kApplicationResources, 251);
inline constexpr ResourceId kSelectionSize = StringId(kApplicationResources, 252);
inline constexpr ResourceId kAudioRatio = StringId(kApplicationResources, 253);
inline constexpr ResourceId kNoItemMatches = StringId(kApplicationResources, 254);
inline constexpr ResourceId kItemsMatch = StringId(kApplicationResources, 255);
inline constexpr ResourceId kOpenRecent = StringId(kApplicationResources, 256);
inline constexpr ResourceId kSizeWithBytes = StringId(kApplicationResources, 257);
inline constexpr ResourceId kExactBytes = StringId(kApplicationResources, 258);
inline constexpr ResourceId kPropertiesTitle = StringId(kApplicationResources, 259);
// The labels of Properties: Path, Kind, Size, As 16-bit PCM, Folder (a kind), File, File size,
// Name, Comments, URL, Copyright, Items, then Audio and Problem.
inline constexpr ResourceId kPropertyPath = StringId(kApplicationResources, 260);
inline constexpr ResourceId kPropertyKind = StringId(kApplicationResources, 261);
inline constexpr ResourceId kPropertySize = StringId(kApplicationResources, 262);
inline constexpr ResourceId kPropertyPCM = StringId(kApplicationResources, 263);
inline constexpr ResourceId kFolderKind = StringId(kApplicationResources, 264);
inline constexpr ResourceId kPropertyFile = StringId(kApplicationResources, 265);
inline constexpr ResourceId kPropertyFileSize = StringId(kApplicationResources, 266);
inline constexpr ResourceId kPropertyName = StringId(kApplicationResources, 267);
inline constexpr ResourceId kPropertyComments = StringId(kApplicationResources, 268);
inline constexpr ResourceId kPropertyURL = StringId(kApplicationResources, 269);
inline constexpr ResourceId kPropertyCopyright = StringId(kApplicationResources, 270);
inline constexpr ResourceId kPropertyItems = StringId(kApplicationResources, 271);
inline constexpr ResourceId kItemsOfHamper = StringId(kApplicationResources, 272);
inline constexpr ResourceId kPropertyAudio = StringId(kApplicationResources, 273);
inline constexpr ResourceId kAudioOfHamper = StringId(kApplicationResources, 274);
inline constexpr ResourceId kPropertyProblem = StringId(kApplicationResources, 275);
inline constexpr ResourceId kItemsAndSize = StringId(kApplicationResources, 276);
inline constexpr ResourceId kPCMOfSample = StringId(kApplicationResources, 277);
// kItemsMatch and kItemsAndSize of one item.
inline constexpr ResourceId kOneItemMatches = StringId(kApplicationResources, 278);
inline constexpr ResourceId kOneItemAndSize = StringId(kApplicationResources, 279);
inline constexpr ResourceId kSelectAnItem = StringId(kApplicationResources, 280);
inline constexpr ResourceId kPlayOnSelect = StringId(kApplicationResources, 281);
inline constexpr ResourceId kPictureSize = StringId(kApplicationResources, 282);
inline constexpr ResourceId kMidiFacts = StringId(kApplicationResources, 283);
// kItemsInAll, kFolderFacts and kFailedBelow of one item.
inline constexpr ResourceId kOneItem = StringId(kApplicationResources, 284);
inline constexpr ResourceId kOneItemFolderFacts = StringId(kApplicationResources, 285);
inline constexpr ResourceId kOneFailedBelow = StringId(kApplicationResources, 286);

inline constexpr ResourceId kBrowserFileMenu = NSFerryman::MenuId(kApplicationResources, 3);
inline constexpr ResourceId kBrowserEditMenu = NSFerryman::MenuId(kApplicationResources, 6);
inline constexpr ResourceId kBrowserViewMenu = NSFerryman::MenuId(kApplicationResources, 7);
inline constexpr ResourceId kBrowserItemMenu = NSFerryman::MenuId(kApplicationResources, 8);
inline constexpr ResourceId kBrowserContextMenu = NSFerryman::MenuId(kApplicationResources, 9);

inline constexpr ResourceId kReplaceExtractedAlert = AlertId(kApplicationResources, 200);
inline constexpr ResourceId kNotExtractedAlert = AlertId(kApplicationResources, 201);
inline constexpr ResourceId kNotAHamperAlert = AlertId(kApplicationResources, 202);

}  // namespace browsertext

namespace command {

inline constexpr std::uint32_t kOpenHamper = 20;
// The packer window, shown (made when there is none) and raised.
inline constexpr std::uint32_t kPackerWindow = 21;
// Closes the browser window it is chosen in.
inline constexpr std::uint32_t kCloseWindow = 26;
// The browser's own: File, Edit, View, Item and the items' context menu.
inline constexpr std::uint32_t kExtractSelected = 30;
inline constexpr std::uint32_t kExtractAll = 31;
inline constexpr std::uint32_t kFind = 32;
inline constexpr std::uint32_t kCopyPath = 33;
inline constexpr std::uint32_t kShowHiddenItems = 34;
inline constexpr std::uint32_t kFailuresOnly = 35;
inline constexpr std::uint32_t kPlay = 36;
inline constexpr std::uint32_t kVerify = 37;
inline constexpr std::uint32_t kVerifyAgainstSource = 38;
inline constexpr std::uint32_t kProperties = 39;

}  // namespace command

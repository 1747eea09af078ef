#pragma once
// The input folder's description: the four texts of a Hamper (Name, Comments, URL, Copyright)
// read from description files at the top level of the input folder, and the check of its splash.
//
// Description files are files of the top level only, recognised by their name with a-z
// upper-cased (Info.txt is INFO.TXT); folders of those names are left alone:
//   INFO.TXT         key/value text (ParseInfoText); each of the four texts whose value is not
//                    empty is set from it
//   NAME.TXT, COMMENTS.TXT, URL.TXT, COPYRIGHT.TXT
//                    the whole text, normalised (NormaliseDescriptionText), sets that text, even
//                    when it is empty
//   SPLASH.JPG       a JPEG of 64 x 64 pixels; shown through splashPreview and left in the list;
//                    every file of that name is checked
// The text files are removed from the list (they are not packed). The list is sorted, so they
// are met as COMMENTS, COPYRIGHT, INFO, NAME, SPLASH, URL and a later one wins:
//   Name       NAME.TXT when present (even empty), else INFO.TXT's NAME value
//   URL        URL.TXT when present (even empty), else INFO.TXT's URL value
//   Comments   a non-empty COMMENTS value of INFO.TXT, else COMMENTS.TXT
//   Copyright  a non-empty COPYRIGHT value of INFO.TXT, else COPYRIGHT.TXT
//
// Failures:
// - a splash that does not decode as a JPEG, or is not 64 x 64 pixels: alert 11, then
//   XAlertAlreadyShown. A larger picture is refused from its header, never decoded.
// - no splash at the top level: alert 10 once every description file has been read, then
//   XAlertAlreadyShown.
// - a text file larger than kMaxDescriptionTextSize: XBadFormat naming the file.
// - read failures pass on as the media's exceptions.
// Malformed INFO.TXT content is never an error: what does not parse into pairs is skipped.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "container/HamperDescription.h"
#include "framework/media/FileSpec.h"
#include "framework/resources/AlertHost.h"
#include "items/Bitmap32.h"
#include "pack/FileEntry.h"

class CDatabase;

// A description text is a few lines; a file far beyond that is not one.
inline constexpr std::uint64_t kMaxDescriptionTextSize = std::uint64_t{1} << 20;
inline constexpr std::uint32_t kSplashWidth = 64;
inline constexpr std::uint32_t kSplashHeight = 64;

CHamperDescription ReadFolderDescription(CFileEntryList& topLevel, NSFerryman::MAlertHost& alerts,
                                         const std::function<void(const CBitmap32&)>& splashPreview);

// The texts alone: the text files are read and removed as above, and the splash is found but not
// checked (for tools that only want to know a folder's Name).
struct CDescriptionFiles {
  CHamperDescription description;
  // The top-level SPLASH.JPG entry, which stays in the list; null when there is none.
  const CFileEntry* splash = nullptr;
  // Every top-level entry of that name, in list order (names that differ in letter case only are
  // distinct files, and each is packed as the splash).
  std::vector<const CFileEntry*> splashes;
};
CDescriptionFiles ReadDescriptionFiles(CFileEntryList& topLevel);

// The description of the input folder `folder`, read as a pack reads it: with `alerts`, by
// ReadFolderDescription (the splash is checked and shown through `splashPreview`), without, by
// ReadDescriptionFiles (the texts alone). XFileNotFound, naming the folder, when it is not one.
// For the window and the command line, which want the description before any job.
CHamperDescription ReadInputFolderDescription(CDatabase& database, const NSFerryman::CDirSpec& folder,
                                              NSFerryman::MAlertHost* alerts,
                                              const std::function<void(const CBitmap32&)>& splashPreview = {});

// A splash picture decoded, or why it is not a JPEG of 64 x 64 pixels (`problem` not empty). A
// larger picture is refused from its header. Failures to read it pass on.
struct CSplashPicture {
  CBitmap32 bitmap;
  std::string problem;
};
CSplashPicture ReadSplashPicture(const CFileEntry& entry);

// Whether a top-level file of this name (a-z upper-cased) is one of the files above.
bool IsDescriptionFileName(const std::string& upperName);

// The (key, value) pairs of an INFO.TXT text, in the order written, each key and value
// normalised; keys keep their letter case. An entry is a key, then anything up to a double quote,
// then the value up to the next double quote:
//   - between entries, tabs, spaces and line breaks are skipped; any other byte starts a key;
//   - a key ends at a space, a line break or "=" (a tab or ":" belongs to the key);
//   - line breaks inside a value are dropped, so a value may span lines;
//   - there is no escape for a double quote; a value still open at the end is discarded.
std::vector<std::pair<std::string, std::string>> ParseInfoText(std::string_view text);

// The text up to its first zero byte, without the line breaks at its end (spaces and tabs stay).
// A text with carriage returns but no line feed has each carriage return widened to carriage
// return plus line feed.
std::string NormaliseDescriptionText(std::string_view text);

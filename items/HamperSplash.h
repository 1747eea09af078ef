#pragma once
// The splash picture of a finished Hamper: the hidden top-level item "Splash.jpg", 64 x 64 pixels.
//
//   COpenFile hamper{CFileSpec(path)};
//   const CBitmap32 splash = ReadHamperSplash(hamper);
//
// Reads the header, the index up to the splash's record and the splash item's bytes, nothing
// else, and holds one index record at a time: a file manager asks for the splash of every Hamper
// it shows, however large they are. The splash is the first record in index order whose Path is
// "SPLASH.JPG" in any letter case and that is hidden, as the writer marks it (a Path with ":"
// lies in a folder and never matches).
//
// Failures, all XBadFormat with the reason as detail unless the media fails first:
// - the header does not pass its check, or the index ends before the splash's record (a damaged
//   file, or not a Hamper);
// - there is no splash item ("the Hamper has no splash picture");
// - the splash item lies outside the file, does not decode as JPEG, or is not 64 x 64 pixels.

#include <cstdint>

#include "framework/media/Media.h"
#include "items/Bitmap32.h"

inline constexpr std::uint32_t kHamperSplashSize = 64;

CBitmap32 ReadHamperSplash(NSFerryman::CMedia& hamper);

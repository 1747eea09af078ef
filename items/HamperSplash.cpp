#include "items/HamperSplash.h"

#include <string>

#include "container/HamperHeader.h"
#include "container/HamperIndexEntry.h"
#include "framework/media/AsciiCase.h"
#include "framework/media/PartialMedia.h"
#include "items/JPEGImage.h"

using NSFerryman::XBadFormat;

CBitmap32 ReadHamperSplash(NSFerryman::CMedia& hamper) {
  const CHamperDescription description = ReadAndCheckHamperHeader(hamper);
  // The records are read one at a time and only up to the splash: a file manager hands over any
  // file that looks like a Hamper, and an index of millions of records need not be held.
  hamper.SetPosition(description.GetIndexOffset());
  for (std::uint64_t i = 0; i < description.GetEntryCount(); ++i) {
    CHamperIndexEntry record;
    try {
      record = CHamperIndexEntry::Read(hamper);
    } catch (const NSFerryman::XRead&) {
      throw XBadFormat("damaged Hamper: index record " + std::to_string(i + 1) + " runs past the end");
    }
    if (!record.IsHidden() || !NSFerryman::AsciiEqualsIgnoringCase(record.GetPath(), "SPLASH.JPG")) continue;
    if (!ItemLiesInsideHamper(description, record, hamper.GetSize())) {
      throw XBadFormat("damaged Hamper: the splash picture lies outside the file");
    }
    NSFerryman::CPartialMedia item(hamper, std::uint64_t{description.GetDataOffset()} + record.GetOffset(),
                                   record.GetSize());
    CBitmap32 splash;
    try {
      // The limit refuses a larger picture from its header, before any pixel memory is taken.
      splash = DecodeJPEGBitmap(item, kHamperSplashSize, kHamperSplashSize);
    } catch (const XBadFormat& e) {
      throw XBadFormat(std::string("the splash picture: ") + e.what());
    }
    if (splash.width != kHamperSplashSize || splash.height != kHamperSplashSize) {
      throw XBadFormat("the splash picture is " + std::to_string(splash.width) + " x " + std::to_string(splash.height) +
                       " pixels, not 64 x 64");
    }
    return splash;
  }
  throw XBadFormat("the Hamper has no splash picture");
}

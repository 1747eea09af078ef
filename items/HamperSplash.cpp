#include "items/HamperSplash.h"

#include <string>
#include <vector>

#include "container/HamperHeader.h"
#include "framework/media/AsciiCase.h"
#include "framework/media/PartialMedia.h"
#include "items/JPEGImage.h"

using NSFerryman::XBadFormat;

CBitmap32 ReadHamperSplash(NSFerryman::CMedia& hamper) {
  const CHamperDescription description = ReadAndCheckHamperHeader(hamper);
  const std::vector<CHamperIndexEntry> index = ReadHamperIndex(hamper, description);
  for (const CHamperIndexEntry& record : index) {
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

// The picture checks: JPEG items and the splash (decoded to a bitmap of at most 64 x 64 pixels),
// and TIFF items.

#include "fuzz/FuzzInput.h"
#include "items/JPEGImage.h"
#include "items/TIFFImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto media = fuzz::MediaOf(data, size);
  fuzz::Tolerate([&] { CheckJPEGImage(*media); });
  fuzz::Tolerate([&] {
    const CBitmap32 splash = DecodeJPEGBitmap(*media, 64, 64);
    fuzz::Expect(splash.width <= 64 && splash.height <= 64, "a splash larger than its bound");
  });
  fuzz::Tolerate([&] { CheckTIFFImage(*media); });
  return 0;
}

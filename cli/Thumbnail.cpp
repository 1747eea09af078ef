// `hamper thumbnail FILE.hmp OUT.png [SIZE]`: writes a Hamper's splash picture as a PNG of SIZE x
// SIZE pixels, for file managers (the freedesktop thumbnailer entry runs it). Only the header,
// the index and the splash item are read, so a large Hamper costs no more than a small one. A
// Hamper without a splash, or a damaged one, writes nothing and exits with 1.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "framework/media/AtomicOutputFile.h"
#include "framework/media/OpenFile.h"
#include "framework/media/PartialOutputRegistry.h"
#include "items/HamperSplash.h"
#include "items/PNGImage.h"
#include "items/ScaleBitmap.h"

namespace cli {
namespace {

// Covers the freedesktop sizes, from "normal" (128) to "xx-large" (1024).
constexpr std::uint32_t kMaxThumbnailSize = 1024;

// Why SIZE is no size ("" when it is one): a word or a sign is not a number of pixels, whatever
// number a parser might read into it.
std::string SizeProblem(const std::string& text) {
  const bool digits = !text.empty() && text.size() <= 4 && text.find_first_not_of("0123456789") == std::string::npos;
  const unsigned long size = digits ? std::stoul(text) : 0;
  if (size >= 1 && size <= kMaxThumbnailSize) return "";
  return "must be a number of pixels from 1 to " + std::to_string(kMaxThumbnailSize) + ", not \"" + text + "\"";
}

struct ThumbnailOptions {
  std::string file;
  std::string output;
  std::uint32_t size = kHamperSplashSize;
};

int WriteThumbnail(const ThumbnailOptions& options) {
  std::vector<std::uint8_t> png;
  {
    NSFerryman::COpenFile hamper{NSFerryman::CFileSpec(options.file)};
    png = EncodePNG(ScaleBitmap(ReadHamperSplash(hamper), options.size, options.size));
  }
  // The output is made only once the picture is whole.
  NSFerryman::CAtomicOutputFile output(options.output, {options.file});
  output.Media().Write(png.size(), png.data());
  output.Commit();
  return kExitOk;
}

const CommandRegistrar kThumbnail(
    "thumbnail", "Write a Hamper's splash picture as a PNG thumbnail",
    [](CLI::App& sub) -> std::function<int(Streams&)> {
      auto options = std::make_shared<ThumbnailOptions>();
      sub.add_option("FILE", options->file, "The Hamper (.hmp)")->required();
      sub.add_option("OUTPUT", options->output, "The PNG file to write (replaced if it exists)")->required();
      sub.add_option("SIZE", options->size,
                     "Width and height in pixels (default: 64, the splash as it is; other sizes are scaled smoothly)")
          ->check(CLI::Validator(SizeProblem, "1 to 1024", "size"));
      return [options](Streams& streams) {
        NSFerryman::InstallPartialOutputRemoval();
        return ReportingFailures(streams, options->file, [&] { return WriteThumbnail(*options); });
      };
    });

}  // namespace
}  // namespace cli

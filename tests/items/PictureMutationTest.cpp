// Damaged pictures: the checks reject them with our exceptions (or find them decodable), quietly,
// in bounded time and memory.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <typeinfo>

#include "PictureTestFiles.h"
#include "ProbeMedia.h"
#include "items/JPEGImage.h"
#include "items/TIFFImage.h"
#include "support/TestSupport.h"

using namespace NSFerryman;
using namespace picturetest;

namespace {

using Check = std::function<void(CMedia&)>;

void CheckQuietly(const Check& check, const Bytes& bytes, const std::string& what) {
  CProbeMedia media(bytes);
  testing::internal::CaptureStderr();
  try {
    check(media);
  } catch (const XMedia&) {
    // a clear rejection
  } catch (const std::exception& e) {
    testing::internal::GetCapturedStderr();
    FAIL() << what << ": " << typeid(e).name() << ": " << e.what();
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << what;
}

void Mutate(Bytes& b, std::mt19937& random) {
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits && !b.empty(); ++e) {
    // Headers and directories are where the trouble is: most edits land in the first 400 bytes.
    const std::size_t span = (random() % 4) ? std::min<std::size_t>(400, b.size()) : b.size();
    const std::size_t at = random() % span;
    switch (random() % 4) {
      case 0: b[at] = static_cast<std::uint8_t>(random()); break;
      case 1: b[at] = 0xFF; break;
      case 2: b[at] = 0x00; break;
      default: b.resize(at); break;
    }
  }
}

}  // namespace

TEST(PictureMutation, DamagedPicturesAreRejectedCleanly) {
  test::TempDir dir;
  const std::vector<Bytes> jpegs = {
      MakeJPEG({.width = 40, .height = 24, .components = 3}),
      MakeJPEG({.width = 24, .height = 40, .components = 1, .progressive = true}),
  };
  const std::vector<Bytes> tiffs = {
      HandMadeTIFF(20, 10, COMPRESSION_NONE, Bytes(200, 0x80), 200),
      MakeTIFF({.width = 20, .height = 12, .samples = 3, .photometric = PHOTOMETRIC_RGB,
                .compression = COMPRESSION_LZW, .rowsPerStrip = 4}, dir / "lzw.tif"),
      MakeTIFF({.width = 40, .height = 20, .compression = COMPRESSION_ADOBE_DEFLATE, .tileSize = 16}, dir / "tiles.tif"),
      MakeTIFF({.width = 16, .height = 8, .photometric = PHOTOMETRIC_PALETTE}, dir / "palette.tif"),
  };
  const Check splash = [](CMedia& m) { DecodeJPEGBitmap(m, 64, 64); };
  const std::pair<const std::vector<Bytes>*, std::vector<Check>> groups[] = {
      {&jpegs, {CheckJPEGImage, splash}},
      {&tiffs, {CheckTIFFImage}},
  };
  std::mt19937 random(20240611);
  for (const auto& [seeds, checks] : groups) {
    for (std::size_t s = 0; s < seeds->size(); ++s) {
      for (int round = 0; round < 600; ++round) {
        Bytes b = (*seeds)[s];
        Mutate(b, random);
        for (const Check& check : checks) {
          CheckQuietly(check, b, "seed " + std::to_string(s) + " round " + std::to_string(round));
          if (HasFailure()) return;
        }
      }
    }
  }
}

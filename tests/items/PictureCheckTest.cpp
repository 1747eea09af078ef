// Decoding JPEG and TIFF pictures as the checks of picture items and the splash do.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "ProbeMedia.h"
#include "PictureTestFiles.h"
#include "items/JPEGImage.h"
#include "items/TIFFImage.h"
#include "support/TestSupport.h"

using namespace NSFerryman;
using namespace picturetest;

namespace {

using Check = std::function<void(CMedia&)>;

struct CPictureCase {
  std::string what;
  Bytes file;
  bool decodes;
};

// The checks never print: a program that checks thousands of files keeps its output for itself.
void ExpectOutcomes(const Check& check, const std::vector<CPictureCase>& cases) {
  for (const auto& c : cases) {
    CProbeMedia media(c.file);
    testing::internal::CaptureStderr();
    std::string failure;
    bool badFormat = false;
    try {
      check(media);
    } catch (const XBadFormat& e) {
      badFormat = true;
      failure = e.Detail();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
    EXPECT_EQ(!badFormat, c.decodes) << c.what << ": " << failure;
    if (badFormat) {
      EXPECT_FALSE(failure.empty()) << c.what;
    }
  }
}

Bytes Truncated(Bytes b, std::size_t keep) {
  b.resize(keep);
  return b;
}

Bytes Damaged(Bytes b, std::size_t from, std::size_t count) {
  for (std::size_t i = from; i < from + count && i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(b[i] ^ 0x5A);
  return b;
}

// The high-water mark of this process's memory, in MiB.
long PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

TEST(CheckJPEGImage, DecodesWholePicturesAndRefusesDamagedOnes) {
  const Bytes rgb = MakeJPEG({.width = 100, .height = 75, .components = 3});
  const Bytes progressive = MakeJPEG({.width = 100, .height = 75, .components = 3, .progressive = true});
  ExpectOutcomes(CheckJPEGImage, {
                                     {"baseline RGB", rgb, true},
                                     {"baseline gray", MakeJPEG({.width = 33, .height = 17, .components = 1}), true},
                                     {"progressive RGB", progressive, true},
                                     {"1 x 1", MakeJPEG({.width = 1, .height = 1}), true},
                                     {"empty file", {}, false},
                                     {"not a JPEG", Bytes(300, 'x'), false},
                                     {"header only", Truncated(rgb, 300), false},
                                     {"baseline cut in the picture data", Truncated(rgb, rgb.size() * 2 / 3), false},
                                     {"baseline without its end marker", Truncated(rgb, rgb.size() - 2), false},
                                     {"progressive cut between scans", Truncated(progressive, progressive.size() / 2), false},
                                     // Damage inside the picture data often decodes to other pixels; a
                                     // damaged header never decodes.
                                     {"frame header damaged", Damaged(rgb, FrameHeaderOffset(rgb) + 4, 1), false},
                                 });
}

TEST(CheckTIFFImage, DecodesWholePicturesOfManyKindsAndRefusesDamagedOnes) {
  test::TempDir dir;
  int n = 0;
  auto make = [&](const TIFFPicture& picture) { return MakeTIFF(picture, dir / ("p" + std::to_string(n++) + ".tif")); };
  const Bytes gray = make({});
  const Bytes deflated = make({.compression = COMPRESSION_ADOBE_DEFLATE});
  const Bytes tiled = make({.width = 70, .height = 50, .samples = 3, .photometric = PHOTOMETRIC_RGB,
                            .compression = COMPRESSION_ADOBE_DEFLATE, .tileSize = 32});
  // More pixels in its one strip than are decoded at a time: decoded line by line.
  const Bytes bigStrip = make({.width = 4200, .height = 4000, .compression = COMPRESSION_ADOBE_DEFLATE,
                               .rowsPerStrip = 4000});
  // Directory first, then the data, so that a cut leaves the directory whole.
  const Bytes handMade = HandMadeTIFF(40, 30, COMPRESSION_NONE, Bytes(1200, 0x80), 1200);

  ExpectOutcomes(CheckTIFFImage,
                 {
                     {"8-bit gray strips", gray, true},
                     {"16-bit gray strips", make({.bits = 16}), true},
                     {"RGB strips, LZW", make({.samples = 3, .photometric = PHOTOMETRIC_RGB, .compression = COMPRESSION_LZW}), true},
                     {"RGB planes apart", make({.samples = 3, .photometric = PHOTOMETRIC_RGB, .planar = PLANARCONFIG_SEPARATE}), true},
                     {"palette", make({.photometric = PHOTOMETRIC_PALETTE, .compression = COMPRESSION_PACKBITS}), true},
                     {"YCbCr in JPEG strips", make({.width = 64, .height = 48, .samples = 3, .photometric = PHOTOMETRIC_YCBCR,
                                                   .compression = COMPRESSION_JPEG, .rowsPerStrip = 16}), true},
                     {"RGB tiles, deflate", tiled, true},
                     {"one strip larger than the decode buffer", bigStrip, true},
                     {"hand-made gray", handMade, true},
                     {"empty file", {}, false},
                     {"not a TIFF", Bytes(300, 'x'), false},
                     {"cut before its directory", Truncated(gray, gray.size() / 2), false},
                     {"cut in the picture data", Truncated(handMade, 800), false},
                     {"deflated data damaged", Damaged(deflated, 20, 40), false},
                     {"tiles damaged", Damaged(tiled, 20, 200), false},
                     {"large strip cut short", HandMadeTIFF(4200, 4000, COMPRESSION_ADOBE_DEFLATE,
                                                            DeflatedZeroRows(4200, 10), 43), false},
                     {"large strip damaged", Damaged(bigStrip, 2000, 100), false},
                 });
}

// A small file that claims a huge picture is refused, or checked, in little memory.
TEST(PictureChecks, HugeClaimsCostLittleMemory) {
  const long before = PeakMiB();
  const Bytes small = MakeJPEG({.width = 16, .height = 16});
  const Bytes smallProgressive = MakeJPEG({.width = 16, .height = 16, .progressive = true});
  ExpectOutcomes(CheckJPEGImage, {
                                     {"baseline claiming 60000 x 60000", WithClaimedSize(small, 60000, 60000), false},
                                     {"progressive claiming 60000 x 60000", WithClaimedSize(smallProgressive, 60000, 60000), false},
                                 });
  const Bytes zeros = DeflatedZeroRows(60000, 4);
  ExpectOutcomes(CheckTIFFImage,
                 {
                     {"uncompressed claiming 60000 x 60000", HandMadeTIFF(60000, 60000, COMPRESSION_NONE, Bytes(1000, 0), 3600000000u), false},
                     {"deflated claiming 60000 x 60000", HandMadeTIFF(60000, 60000, COMPRESSION_ADOBE_DEFLATE, zeros,
                                                                      static_cast<std::uint32_t>(zeros.size())), false},
                 });
  // A loose bound: the pictures claim gigabytes.
  EXPECT_LT(PeakMiB() - before, 300);
}

TEST(PictureChecks, ReadFailuresOfTheMediaPassOnUnchanged) {
  test::TempDir dir;
  const Bytes jpeg = MakeJPEG({.width = 64, .height = 64});
  const Bytes tiff = MakeTIFF({}, dir / "a.tif");
  const std::pair<Check, const Bytes*> checks[] = {{CheckJPEGImage, &jpeg}, {CheckTIFFImage, &tiff}};
  for (const auto& [check, bytes] : checks) {
    CProbeMedia media(*bytes);
    media.failFrom = bytes->size() / 2;
    EXPECT_THROW(check(media), XRead);
  }
}

// Checks share nothing: on several threads at once each gives the answer it gives alone, with
// its own file's message.
TEST(PictureChecks, ChecksOnSeveralThreadsGiveTheirOwnAnswers) {
  test::TempDir dir;
  const Bytes jpeg = MakeJPEG({.width = 48, .height = 48});
  const Bytes tiff = MakeTIFF({.compression = COMPRESSION_ADOBE_DEFLATE}, dir / "a.tif");
  const std::vector<std::pair<Check, Bytes>> work = {
      {CheckJPEGImage, jpeg}, {CheckJPEGImage, Truncated(jpeg, jpeg.size() / 2)}, {CheckJPEGImage, Bytes(50, 'x')},
      {CheckTIFFImage, tiff}, {CheckTIFFImage, Damaged(tiff, 20, 40)},          {CheckTIFFImage, Bytes(50, 'x')},
  };
  auto outcome = [](const Check& check, const Bytes& bytes) {
    CProbeMedia media(bytes);
    try {
      check(media);
      return std::string("decodes");
    } catch (const XBadFormat& e) {
      return e.Detail();
    }
  };
  std::vector<std::string> alone;
  for (const auto& [check, bytes] : work) alone.push_back(outcome(check, bytes));

  std::vector<std::vector<std::string>> seen(4);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < seen.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 30; ++round) {
        for (std::size_t i = 0; i < work.size(); ++i) {
          const std::size_t w = (i + t) % work.size();
          if (outcome(work[w].first, work[w].second) != alone[w]) seen[t].push_back(std::to_string(w));
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& differences : seen) EXPECT_TRUE(differences.empty()) << differences.front();
}

TEST(DecodeJPEGBitmap, GivesOpaquePixelsOfThePicture) {
  struct Case {
    const char* what;
    JPEGPicture picture;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"RGB", {.width = 24, .height = 8, .components = 3, .solid = true, .colour = {200, 40, 90}}, 0xFFC8285A},
      {"gray", {.width = 8, .height = 24, .components = 1, .solid = true, .colour = {128}}, 0xFF808080},
      {"progressive", {.width = 9, .height = 9, .progressive = true, .solid = true, .colour = {10, 250, 130}}, 0xFF0AFA82},
      // Adobe's CMYK is stored inverted: 255 is no ink.
      {"CMYK", {.width = 8, .height = 8, .components = 4, .solid = true, .colour = {255, 0, 255, 255}}, 0xFFFF00FF},
  };
  for (const auto& c : cases) {
    CProbeMedia media(MakeJPEG(c.picture));
    const CBitmap32 bitmap = DecodeJPEGBitmap(media, 64, 64);
    EXPECT_EQ(bitmap.width, c.picture.width) << c.what;
    EXPECT_EQ(bitmap.height, c.picture.height) << c.what;
    ASSERT_EQ(bitmap.pixels.size(), std::size_t{c.picture.width} * c.picture.height) << c.what;
    for (std::uint32_t p : bitmap.pixels) {
      ASSERT_EQ(p >> 24, 0xFFu) << c.what;
      for (int shift : {16, 8, 0}) {
        ASSERT_NEAR(static_cast<int>((p >> shift) & 0xFF), static_cast<int>((c.expected >> shift) & 0xFF), 3) << c.what;
      }
    }
  }
}

TEST(DecodeJPEGBitmap, RefusesPicturesAboveTheLimitFromTheirHeader) {
  const Bytes wide = MakeJPEG({.width = 65, .height = 64});
  const Bytes tall = MakeJPEG({.width = 64, .height = 65});
  for (const Bytes* b : {&wide, &tall}) {
    CProbeMedia media(*b);
    EXPECT_THROW(DecodeJPEGBitmap(media, 64, 64), XBadFormat);
  }
  // A claim of 60000 x 60000 is refused from the header, not by the decoder running out of data.
  CProbeMedia huge(WithClaimedSize(MakeJPEG({.width = 64, .height = 64}), 60000, 60000));
  try {
    DecodeJPEGBitmap(huge, 64, 64);
    ADD_FAILURE() << "a picture claiming 60000 x 60000 pixels was decoded";
  } catch (const XBadFormat& e) {
    EXPECT_NE(e.Detail().find("60000 x 60000"), std::string::npos) << e.Detail();
  }

  CProbeMedia exact(MakeJPEG({.width = 64, .height = 64}));
  EXPECT_EQ(DecodeJPEGBitmap(exact, 64, 64).pixels.size(), 64u * 64u);
}

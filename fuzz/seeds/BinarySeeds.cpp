// Sliced loops of the three kinds made by the format's builder (with and without a creator text,
// mono and stereo, damaged copies), and pictures written by libjpeg and libtiff through the picture
// tests' helpers.

#include <filesystem>
#include <unistd.h>

#include "fuzz/seeds/SeedWriter.h"
#include "items/PictureTestFiles.h"
#include "support/SLCTestFiles.h"

namespace seeds {

void WriteSLCSeeds(CSeedFolder& folder) {
  const Bytes loop = slctest::LoopFile();
  folder.Add("loop-sl2.slc", loop);
  NSSLC::CFileContents stereo = slctest::LoopContents(2, NSSLC::kKindSLC);
  stereo.creator.reset();
  folder.Add("stereo-no-creator.slc", NSSLC::BuildFile(stereo));
  NSSLC::CFileContents slivver = slctest::LoopContents(1, NSSLC::kKindSlivver1);
  slivver.frames.resize(60);
  slivver.slices = {{0, 10}, {20, 40}};
  folder.Add("slivver1.slc", NSSLC::BuildFile(slivver));
  folder.AddCut("loop-cut.slc", loop, loop.size() - 3);
  folder.AddChanged("loop-bad-crc.slc", loop, 100, 0x55);
  Bytes slices = loop;
  slctest::SetU32(slices, NSSLC::header::kSliceCount, 400);
  slctest::ResealHeader(slices);
  folder.Add("loop-slice-count.slc", slices);
}

void WritePictureSeeds(CSeedFolder& folder) {
  using namespace picturetest;
  folder.Add("splash64.jpg", MakeJPEG({64, 64, 3}));
  folder.Add("gray-progressive.jpg", MakeJPEG({20, 12, 1, true}));
  folder.Add("cmyk.jpg", MakeJPEG({8, 8, 4}));
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("fuzz-seed-" + std::to_string(::getpid()) + ".tif");
  TIFFPicture rgb;
  rgb.samples = 3;
  rgb.photometric = PHOTOMETRIC_RGB;
  rgb.compression = COMPRESSION_ADOBE_DEFLATE;
  folder.Add("rgb-deflate.tif", MakeTIFF(rgb, scratch));
  TIFFPicture tiled;
  tiled.tileSize = 16;
  tiled.compression = COMPRESSION_LZW;
  folder.Add("gray-tiled-lzw.tif", MakeTIFF(tiled, scratch));
  std::filesystem::remove(scratch);
  folder.Add("hand-made-claims-large.tif", HandMadeTIFF(60000, 60000, COMPRESSION_NONE, Bytes(64, 7), 3600000000u));
}

}  // namespace seeds

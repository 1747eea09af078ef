#pragma once
// Real Hampers for the browser's model, packed with the program itself: the demo folder, a drum
// kit whose samples sox writes in several depths, rates and channel counts, and Hampers of
// hand-made items.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "browse/HamperContents.h"
#include "cli/PackedContent.h"

namespace browsetest {

namespace fs = std::filesystem;
using packedtest::Bytes;
using packedtest::Q;

inline const fs::path kDemo = fs::path(HAMPER_SOURCE_DIR) / "examples" / "Harbor Drums";

// The drum kit's samples: the sox command that makes each (a synthesised sound, written as the
// file name says) below Kit/.
struct CKitSample {
  std::string path;
  std::string sox;  // output options and effects, around the output file
};
inline const std::vector<CKitSample> kKitSamples = {
    {"Drums/Kick.wav", "-r 44100 -c 1 -b 16 {} synth 0.35 sine 120-40 fade 0 0.35 0.3"},
    {"Drums/Snare.aif", "-r 48000 -c 2 -b 24 {} synth 0.2 noise fade 0 0.2 0.18"},
    {"Drums/Hat.wav", "-r 22050 -c 1 -b 8 {} synth 0.05 noise highpass 6000"},
    {"Toms/Low Tom.aiff", "-r 32000 -c 2 -b 16 {} synth 0.4 sine 90-60 fade 0 0.4 0.35"},
};

// Writes the kit folder with sox; false when sox is not there.
inline bool WriteDrumKit(const fs::path& kit) {
  if (!test::HaveProgram("sox")) return false;
  test::WriteFileText(kit / "INFO.TXT", "NAME \"Drum Kit\"\nCOMMENTS \"Made by sox\"\n");
  test::WriteFileBytes(kit / "Splash.jpg", picturetest::MakeJPEG({.width = 64, .height = 64}));
  for (const CKitSample& sample : kKitSamples) {
    fs::create_directories((kit / sample.path).parent_path());
    std::string args = sample.sox;
    args.replace(args.find("{}"), 2, Q(kit / sample.path));
    std::string out;
    EXPECT_EQ(test::RunCommand("sox -n " + args, &out, true), 0) << out;
  }
  return true;
}

// Every regular file below a folder, by its path below it.
inline std::map<std::string, Bytes> FilesBelow(const fs::path& root) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = test::ReadFileBytes(entry.path());
  }
  return files;
}

// The record of a Path, which the test expects to be there.
inline std::size_t RecordOf(const CHamperContents& contents, const std::string& path) {
  const CHamperIndex& index = contents.Index();
  for (std::size_t r = 0; r < index.Size(); ++r) {
    if (index.Path(r) == path) return r;
  }
  ADD_FAILURE() << "no item " << path;
  return 0;
}

// Packed once for all the tests of a program: packing the demo takes a while.
class PackedHampers {
 public:
  static PackedHampers& Get() {
    static PackedHampers hampers;
    return hampers;
  }
  const fs::path& Demo() const { return demo_; }
  // Empty when sox is not there.
  const fs::path& Kit() const { return kit_; }
  const fs::path& KitFolder() const { return kitFolder_; }
  const fs::path& Scratch() const { return dir_.Path(); }

 private:
  PackedHampers() {
    demo_ = dir_ / "Harbor Drums.hmp";
    packedtest::Pack(kDemo, demo_);
    kitFolder_ = dir_ / "Kit";
    if (WriteDrumKit(kitFolder_)) {
      kit_ = dir_ / "Drum Kit.hmp";
      packedtest::Pack(kitFolder_, kit_);
    }
  }
  test::TempDir dir_;
  fs::path demo_;
  fs::path kit_;
  fs::path kitFolder_;
};

}  // namespace browsetest

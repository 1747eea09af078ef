#pragma once
// Content folders made in the tests, as an author would lay one out: a 64 x 64 splash, INFO.TXT,
// samples, songs written with the authoring tool. Each piece can be left out or replaced to make
// the folder wrong in one chosen way.

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "items/PictureTestFiles.h"
#include "items/SampleTestFiles.h"
#include "support/TestSupport.h"
#include "tools/authoring/AuthoringScript.h"
#include "framework/media/MemoryMedia.h"

namespace contenttest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Splash(std::uint32_t width = 64, std::uint32_t height = 64) {
  picturetest::JPEGPicture picture;
  picture.width = width;
  picture.height = height;
  return picturetest::MakeJPEG(picture);
}

// A 16-bit PCM WAV of `frames` frames of a tone.
inline Bytes Wave(std::uint16_t channels = 1, std::uint32_t frames = 4000, std::uint32_t rate = 22050) {
  sampletest::Bytes data;
  for (std::uint32_t f = 0; f < frames; ++f) {
    for (std::uint16_t c = 0; c < channels; ++c) {
      const auto v = static_cast<std::int16_t>(8000 * std::sin(f * 0.05 * (c + 1)));
      sampletest::PutLE(data, static_cast<std::uint16_t>(v), 2);
    }
  }
  return sampletest::Container("RIFF", "WAVE", {{"fmt ", sampletest::Fmt(1, channels, rate, 16)}, {"data", data}});
}

inline Bytes Authored(const std::string& script) {
  NSFerryman::CMemoryMedia media;
  WriteAuthoredFile(ParseAuthoringScript(script), media);
  return {media.Data(), media.Data() + media.GetSize()};
}

// A song that refers to Samples/kick.wav and, when given, to another Hamper.
inline std::string SongScript(const std::string& sample = "kick.wav", const std::string& otherHamper = "") {
  std::string script = "kind song\nchunk TNAM \"Groove\"\nrefs\n  ref \"" + sample + "\"\n    relative 1 \"Samples\" \"" +
                       sample + "\"\n";
  if (!otherHamper.empty()) script += "  ref \"bass.wav\"\n    hamper \"" + otherHamper + "\"\n";
  return script + "end\n";
}

// Writes the usual folder below `root`: Splash.jpg, INFO.TXT naming "Test Kit", Samples/kick.wav,
// Samples/snare.wav, Songs/groove.tns and notes.txt (not packed). Four packable files.
inline void WriteUsualFolder(const std::filesystem::path& root) {
  test::WriteFileBytes(root / "Splash.jpg", Splash());
  test::WriteFileText(root / "INFO.TXT", "NAME \"Test Kit\"\nCOMMENTS \"For the tests\"\n");
  test::WriteFileBytes(root / "Samples/kick.wav", Wave(1, 3000));
  test::WriteFileBytes(root / "Samples/snare.wav", Wave(2, 5000));
  test::WriteFileBytes(root / "Songs/groove.tns", Authored(SongScript()));
  test::WriteFileText(root / "notes.txt", "not packed");
}

// The files in `folder` (recursively), for checking that nothing was left behind.
inline std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_directory()) files.push_back(std::filesystem::relative(it->path(), folder).string());
  }
  return files;
}

}  // namespace contenttest

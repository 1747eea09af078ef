// `slc-make INPUT OUTPUT.sl2|.slc|.slv [--slices 0,11025,...]`: makes a sliced-loop file from a
// WAV or AIFF/AIFC file and the frames where its slices start. Each slice runs to the start of
// the next, the last to the end of the audio. Exit codes: 0 made, 1 failed, 2 usage.

#include <CLI/CLI.hpp>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "SLCFileBuilder.h"
#include "framework/media/Exceptions.h"
#include "framework/media/OpenFile.h"
#include "items/LoadSample.h"
#include "items/WaveSample.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct CMakeOptions {
  std::string input;
  std::string output;
  std::vector<std::uint32_t> slicePoints{0};
  std::string kind;
  double tempo = 120.0;
  std::string creator = "slc-make";
  bool noCreator = false;
};

// A failure that is the user's to fix, reported as one line.
struct XMakeFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::optional<std::uint32_t> KindOf(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (name == "sl2" || name == ".sl2") return NSSLC::kKindSlivver2;
  if (name == "slc" || name == ".slc") return NSSLC::kKindSLC;
  if (name == "slv" || name == ".slv") return NSSLC::kKindSlivver1;
  return std::nullopt;
}

std::vector<NSSLC::CSlice> SlicesOf(const std::vector<std::uint32_t>& points, std::uint32_t frames) {
  std::vector<NSSLC::CSlice> slices;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::uint32_t end = i + 1 < points.size() ? points[i + 1] : frames;
    if (points[i] >= end) {
      throw XMakeFailure(i + 1 < points.size()
                             ? "slice points must rise: " + std::to_string(points[i]) + " is followed by " +
                                   std::to_string(points[i + 1])
                             : "slice point " + std::to_string(points[i]) + " is not inside the audio's " +
                                   std::to_string(frames) + " frames");
    }
    slices.push_back({points[i], end - points[i]});
  }
  return slices;
}

// Writes the file under a fresh name beside the output and renames it into place, so that a
// failure never leaves a partial file and never touches an existing output.
void WriteInPlace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const fs::path target(path);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::random_device seed;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = (folder / ("." + target.filename().string() + ".part" + std::to_string(seed() % 1000000))).string();
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw XMakeFailure(path + ": cannot create a file beside it: " + std::strerror(errno));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const int writeError = done == bytes.size() ? 0 : (errno != 0 ? errno : EIO);
  const bool closed = ::close(fd) == 0;
  if (writeError != 0 || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = writeError != 0 ? writeError : errno;
    ::unlink(temporary.c_str());
    throw XMakeFailure(path + ": cannot write it: " + std::strerror(error));
  }
}

int Make(const CMakeOptions& options) {
  const std::optional<std::uint32_t> kind =
      KindOf(options.kind.empty() ? fs::path(options.output).extension().string() : options.kind);
  if (!kind) {
    std::cerr << "slc-make: the kind comes from OUTPUT's extension (.sl2, .slc, .slv) or from --kind\n";
    return kExitUsage;
  }
  if (!(options.tempo >= 1.0 && options.tempo <= 1000.0)) {
    std::cerr << "slc-make: --tempo must be 1 to 1000 beats per minute\n";
    return kExitUsage;
  }
  if (!options.noCreator && options.creator.size() > NSSLC::kMaxCreatorText) {
    std::cerr << "slc-make: --creator takes at most " << NSSLC::kMaxCreatorText << " bytes\n";
    return kExitUsage;
  }

  NSFerryman::COpenFile input{NSFerryman::CFileSpec(options.input)};
  const ESampleFileKind sampleKind = SampleFileKindOf(input);
  if (sampleKind == ESampleFileKind::kUnknown) throw NSFerryman::XUnsupportedFormat("not a WAV or AIFF file");
  const std::unique_ptr<CWaveSample> sample =
      sampleKind == ESampleFileKind::kWave ? LoadWaveSample(input, 16) : LoadAIFFSample(input, 16);
  const CSampleFormat format = sample->GetFormat();
  if (format.frameCount == 0) throw XMakeFailure(options.input + ": holds no audio");

  NSSLC::CFileContents contents;
  contents.kind = *kind;
  contents.sampleRate = format.sampleRate;
  contents.channels = format.channels;
  contents.tempo = static_cast<std::uint32_t>(std::lround(options.tempo * 1000.0));
  if (contents.sampleRate > NSSLC::kMaxSampleRate) {
    throw XMakeFailure(options.input + ": a rate above " + std::to_string(NSSLC::kMaxSampleRate) + " Hz");
  }
  const std::int16_t* frames = sample->Frames();
  contents.frames.assign(frames, frames + std::size_t{format.frameCount} * format.channels);
  contents.slices = SlicesOf(options.slicePoints, format.frameCount);
  if (!options.noCreator) contents.creator = options.creator;
  WriteInPlace(options.output, NSSLC::BuildFile(contents));
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  CMakeOptions options;
  CLI::App app{"Makes a sliced-loop file (.sl2, .slc, .slv) from a WAV or AIFF file and slice points", "slc-make"};
  app.add_option("INPUT", options.input, "The WAV or AIFF/AIFC file")->required();
  app.add_option("OUTPUT", options.output, "The sliced-loop file to write (replaced if it exists)")->required();
  app.add_option("--slices", options.slicePoints, "First frame of each slice, rising, comma-separated (default 0)")
      ->delimiter(',');
  app.add_option("--kind", options.kind, "sl2, slc or slv (default: OUTPUT's extension)");
  app.add_option("--tempo", options.tempo, "Beats per minute of the loop (default 120)");
  app.add_option("--creator", options.creator, "Creator text stored in the file (default slc-make)");
  app.add_flag("--no-creator", options.noCreator, "Store no creator text");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help
    std::cerr << "slc-make: " << e.what() << "\nRun with --help for more information.\n";
    return kExitUsage;
  }
  try {
    return Make(options);
  } catch (const XMakeFailure& e) {
    std::cerr << "slc-make: " << e.what() << "\n";
  } catch (const NSFerryman::XBase& e) {
    std::cerr << "slc-make: " << options.input << ": " << e.what() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "slc-make: " << e.what() << "\n";
  }
  return kExitFailure;
}

// The Hamper browser's costs: opening a Hamper of many items and showing its tree (the model of
// browse/, then the window's tree view on Qt's offscreen platform), and drawing the waveform of a
// long sample (decoded a block at a time). Each is measured in a process of its own, so that the
// peak memory printed is that one step's, with the program's own libraries counted in.
//
// Usage: HamperBrowseBench [ITEMS] [SAMPLE_MIB]   (defaults 100000 and 1024)
// Targets: the tree of 100,000 items shown in under a second and 100 MB.

#include <QApplication>
#include <QTreeView>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchHamperWriter.h"
#include "app/HamperTreeModel.h"
#include "browse/HamperContents.h"
#include "browse/SampleStream.h"
#include "browse/WaveformPeaks.h"
#include "codec/VORPEncoder.h"
#include "container/HamperWriter.h"
#include "framework/media/AudioAccessor.h"
#include "framework/media/TemporaryOpenFile.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The process's own high-water mark: getrusage's would carry over that of the parent that made
// the Hamper, which a fork and exec keep.
double PeakMiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;  // kB
  }
  return 0;
}

using bench::BenchEntry;

void Compose(const fs::path& file, const std::vector<std::unique_ptr<BenchEntry>>& top,
             std::unique_ptr<NSFerryman::CMedia> data) {
  bench::Compose(top, std::move(data), file.string());
}

// `count` MIDI items of 32 bytes, 100 to a folder, ten folders to a group: a tree three deep.
void MakeManyItems(const fs::path& file, std::size_t count) {
  std::vector<std::unique_ptr<BenchEntry>> top;
  auto data = std::make_unique<NSFerryman::CTemporaryOpenFile>();
  const std::vector<std::uint8_t> bytes(32, 0x4D);
  BenchEntry* group = nullptr;
  BenchEntry* folder = nullptr;
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 1000 == 0) {
      top.push_back(std::make_unique<BenchEntry>());
      group = top.back().get();
      group->folder = true;
      group->path = "Group " + std::to_string(i / 1000);
    }
    if (i % 100 == 0) {
      group->children.push_back(std::make_unique<BenchEntry>());
      folder = group->children.back().get();
      folder->folder = true;
      folder->path = group->path + ":Kit " + std::to_string(i / 100);
    }
    auto item = std::make_unique<BenchEntry>();
    item->itemType = 10;
    item->packedSize = bytes.size();
    item->path = folder->path + ":Groove " + std::to_string(i) + ".mid";
    folder->children.push_back(std::move(item));
    data->Write(bytes.size(), bytes.data());
  }
  Compose(file, top, std::move(data));
}

// A stereo tone with a slow swell and a little noise, made as the encoder asks for it.
class CSyntheticAudio : public NSFerryman::CABC16BitAccessor {
 public:
  explicit CSyntheticAudio(std::uint32_t frames) : CABC16BitAccessor(nullptr, frames, 2) {}
  void Read16Stereo(std::uint32_t first, std::uint32_t count, std::int16_t* data) override {
    for (std::uint32_t i = 0; i < count; ++i) {
      const double t = (first + i) / 44100.0;
      const double swell = 0.5 + 0.5 * std::sin(t * 0.5);
      noise_ = noise_ * 1103515245 + 12345;
      const double v = swell * 20000 * std::sin(t * 2 * M_PI * 220) + static_cast<std::int16_t>(noise_ >> 16) / 64.0;
      data[2 * i] = static_cast<std::int16_t>(v);
      data[2 * i + 1] = static_cast<std::int16_t>(-v / 2);
    }
  }
  void Write16Stereo(std::uint32_t, std::uint32_t, const std::int16_t*) override {}

 private:
  std::uint32_t noise_ = 1;
};

void MakeLongSample(const fs::path& file, std::uint64_t pcmBytes) {
  CVORPSampleHeader header;
  header.channelCount = 2;
  header.sampleRate = 44100;
  header.frameCount = static_cast<std::uint32_t>(pcmBytes / 4);
  header.loopEnd = header.frameCount;
  auto data = std::make_unique<NSFerryman::CTemporaryOpenFile>();
  header.Write(*data);
  CSyntheticAudio audio(header.frameCount);
  EncodeVORPStream(header, *data, audio);
  std::vector<std::unique_ptr<BenchEntry>> top;
  top.push_back(std::make_unique<BenchEntry>());
  top.back()->itemType = 11;
  top.back()->packedSize = data->GetSize();
  top.back()->path = "Long.wav";
  Compose(file, top, std::move(data));
}

int MeasureTree(const char* file, int argc, char** argv) {
  const double baseline = PeakMiB();
  const auto start = Clock::now();
  const auto contents = CHamperContents::Open(file, CHamperContents::kMostRecordsShown);
  contents->Tree();
  const double model = Seconds(start);
  const double modelPeak = PeakMiB();

  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto qtStart = Clock::now();
  QApplication application(argc, argv);
  CHamperTreeModel treeModel(*contents);
  CHamperTreeFilter filter(*contents);
  filter.setSourceModel(&treeModel);
  QTreeView view;
  view.setUniformRowHeights(true);
  view.setModel(&filter);
  view.resize(900, 600);
  view.show();
  QCoreApplication::processEvents();
  view.expand(filter.index(0, 0));
  view.repaint();
  QCoreApplication::processEvents();
  const double shown = Seconds(qtStart);

  const auto filterStart = Clock::now();
  filter.SetFilter(QStringLiteral("groove 99999"), true);
  view.expandAll();
  QCoreApplication::processEvents();
  const double filtered = Seconds(filterStart);

  std::printf("  %zu items, %zu tree nodes (%s)\n", contents->Index().Size(), contents->Tree().NodeCount(),
              contents->Problems().empty() ? "sound" : contents->Problems().front().c_str());
  std::printf("  read and made the tree:      %7.3f s   peak %6.1f MB (%.1f MB at start)\n", model, modelPeak, baseline);
  std::printf("  shown in the tree view:      %7.3f s   peak %6.1f MB (Qt started, offscreen)\n", shown, PeakMiB());
  std::printf("  open to shown:               %7.3f s\n", model + shown);
  std::printf("  filtered to one item:        %7.3f s\n", filtered);
  return 0;
}

int MeasureWaveform(const char* file) {
  const auto contents = CHamperContents::Open(file);
  const double baseline = PeakMiB();
  CSampleStream stream(contents->OpenItem(0));
  const std::uint64_t pcm = std::uint64_t{stream.FrameCount()} * stream.Header().channelCount * 2;
  const auto start = Clock::now();
  const CWaveformPeaks peaks = ComputeWaveformPeaks(stream, 1000);
  const double seconds = Seconds(start);
  int loudest = 0;
  for (std::size_t c = 0; c < peaks.high.size(); ++c) loudest = std::max({loudest, int{peaks.high[c]}, -int{peaks.low[c]}});
  std::printf("  %.0f MiB of 16-bit PCM (%u stereo frames) stored in %.0f MiB, 1000 columns, loudest %d\n",
              pcm / 1048576.0, stream.FrameCount(), contents->Index().ItemSize(0) / 1048576.0, loudest);
  std::printf("  waveform:                    %7.3f s   %6.0f MB/s of PCM   peak %6.1f MB (%.1f MB at start)\n", seconds,
              pcm / 1e6 / seconds, PeakMiB(), baseline);
  return 0;
}

// Runs this program again for one measurement, so that its peak memory is that step's alone.
void RunMeasurement(const char* mode, const fs::path& file) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    execl("/proc/self/exe", "HamperBrowseBench", mode, file.c_str(), static_cast<char*>(nullptr));
    std::perror("exec");
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::printf("  (the measurement failed: status %d)\n", status);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--tree") return MeasureTree(argv[2], argc, argv);
  if (argc == 3 && std::string(argv[1]) == "--waveform") return MeasureWaveform(argv[2]);
  const std::size_t items = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000;
  const std::uint64_t sampleMiB = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;

  const fs::path dir = fs::temp_directory_path() / ("hamper-browse-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path many = dir / "many.hmp";
  const fs::path longSample = dir / "long.hmp";

  auto start = Clock::now();
  MakeManyItems(many, items);
  std::printf("A Hamper of %zu items (%.1f MB), made in %.1f s\n", items, fs::file_size(many) / 1e6, Seconds(start));
  RunMeasurement("--tree", many);

  start = Clock::now();
  MakeLongSample(longSample, sampleMiB << 20);
  std::printf("A Hamper of one %llu MiB sample (%.1f MB), made in %.1f s\n", static_cast<unsigned long long>(sampleMiB),
              fs::file_size(longSample) / 1e6, Seconds(start));
  RunMeasurement("--waveform", longSample);
  fs::remove_all(dir);
  return 0;
}

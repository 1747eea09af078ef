// Packing folders of many small files: prints, for folders of 1,000, 10,000 and 100,000 files,
// the time per file of every stage of the pack job (scan, check, pack, index, compose, verify).
// The cost per file should stay flat as folders grow.
//
// Usage: PackScaleBench [largest-count] [workers]   (defaults: 100000, one per core)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "framework/media/TemporaryOpenFile.h"
#include "pack/OrderedPipeline.h"
#include "pack/PackJob.h"
#include "references/Database.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::vector<unsigned char> SplashJPEG() {
  jpeg_compress_struct c;
  jpeg_error_mgr error;
  c.err = jpeg_std_error(&error);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = 64;
  c.image_height = 64;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(64 * 3, 128);
  while (c.next_scanline < c.image_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<unsigned char> bytes(buffer, buffer + size);
  std::free(buffer);
  jpeg_destroy_compress(&c);
  return bytes;
}

// A short mono 16-bit WAV.
std::vector<char> SmallWave(std::size_t seed) {
  const std::uint32_t frames = 64;
  std::vector<char> bytes;
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>(v >> (8 * i)));
  };
  bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
  put(36 + frames * 2, 4);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put(16, 4), put(1, 2), put(1, 2), put(22050, 4), put(44100, 4), put(2, 2), put(16, 2);
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  put(frames * 2, 4);
  for (std::uint32_t f = 0; f < frames; ++f) put(static_cast<std::uint32_t>((f * 37 + seed * 11) & 0x3FFF), 2);
  return bytes;
}

void MakeFolder(const fs::path& root, std::size_t count) {
  fs::create_directories(root);
  const auto splash = SplashJPEG();
  std::ofstream(root / "Splash.jpg", std::ios::binary).write(reinterpret_cast<const char*>(splash.data()),
                                                             static_cast<std::streamsize>(splash.size()));
  std::ofstream(root / "INFO.TXT") << "NAME \"Scale\"\n";
  for (std::size_t i = 1; i < count; ++i) {
    const fs::path folder = root / ("Bank " + std::to_string(i / 1000));
    if (i % 1000 == 0 || i == 1) fs::create_directories(folder);
    const auto bytes = SmallWave(i);
    std::ofstream(folder / ("take " + std::to_string(i) + ".wav"), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
}

// Notes when each stage begins.
class CTimingHost : public MPackJobHost {
 public:
  int PresentAlert(const NSFerryman::CAlert& alert) override {
    if (alert.id % 10000 != 5) std::fprintf(stderr, "alert: %s\n", alert.message.c_str());
    return alert.buttons.back().result;
  }
  void Redraw() override {
    if (job && job->Progress().GetStageText() != last) {
      last = job->Progress().GetStageText();
      marks.emplace_back(last, Clock::now());
    }
  }
  void HandlePendingEvents() override {}

  CPackJob* job = nullptr;
  std::string last;
  std::vector<std::pair<std::string, Clock::time_point>> marks;
};

}  // namespace

int main(int argc, char** argv) {
  const std::size_t largest = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const unsigned workers = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10))
                                    : COrderedPipeline::DefaultWorkers();
  const fs::path base = fs::path(NSFerryman::CTemporaryOpenFile::TemporaryFolder()) / "hamper-pack-scale-bench";
  fs::remove_all(base);
  // Stage texts, grouped as the figures are printed.
  const std::vector<std::pair<const char*, std::vector<std::string>>> columns = {
      {"scan", {"Scanning folder...", "Scanning folder structure...", "Counting files..."}},
      {"check", {"Verifying contents of files...", "Checking for referenced Hampers..."}},
      {"pack", {"Packing files..."}},
      {"index", {"Building index for files..."}},
      {"compose", {"Composing final file..."}},
      {"verify", {"Verifying final file..."}},
  };
  std::printf("microseconds per file, %u worker%s\n%10s", workers, workers == 1 ? "" : "s", "files");
  for (const auto& column : columns) std::printf("%10s", column.first);
  std::printf("%10s\n", "total");
  for (std::size_t count = 1000; count <= largest; count *= 10) {
    const fs::path folder = base / std::to_string(count);
    MakeFolder(folder, count);
    CDatabase database(NSFerryman::AlertId(NSFerryman::kApplicationResources, 92));
    CSLCLibraryState slc;
    CTimingHost host;
    CPackJob job(host, database, slc);
    host.job = &job;
    job.SetWorkerCount(workers);
    job.SetInputFolder(NSFerryman::CDirSpec(folder.string()));
    job.SetOutputFile(NSFerryman::CFileSpec((base / (std::to_string(count) + ".hmp")).string()));
    const auto start = Clock::now();
    job.RunPackJob();
    const auto end = Clock::now();
    std::map<std::string, double> seconds;
    for (std::size_t i = 0; i < host.marks.size(); ++i) {
      const auto until = i + 1 < host.marks.size() ? host.marks[i + 1].second : end;
      seconds[host.marks[i].first] += std::chrono::duration<double>(until - host.marks[i].second).count();
    }
    std::printf("%10zu", count);
    for (const auto& column : columns) {
      double total = 0;
      for (const std::string& stage : column.second) total += seconds[stage];
      std::printf("%10.1f", total * 1e6 / static_cast<double>(count));
    }
    std::printf("%10.1f\n", std::chrono::duration<double>(end - start).count() * 1e6 / static_cast<double>(count));
    std::fflush(stdout);
    fs::remove_all(folder);
  }
  fs::remove_all(base);
  return 0;
}

// Scanning and indexing input folders of growing size. Prints the time per file for each size;
// it should stay near-constant as the folders grow. Then scanning trees of one folder per level,
// ever deeper: the time should grow with the number of folders, not faster.
//
// Usage: ScanBench [largest-size]   (default 100000)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/media/TemporaryOpenFile.h"
#include "pack/FolderScan.h"

namespace {

namespace fs = std::filesystem;

// A file name as content folders have them: mixed case, a few kinds, some that are not packed.
std::string FileName(std::size_t i) {
  static const char* const kStems[] = {"Kick", "snare", "HiHat", "Pad", "bass", "LOOP", "fx"};
  static const char* const kExtensions[] = {".wav", ".WAV", ".aif", ".tns", ".zyp", ".mid", ".txt", ".slc"};
  return std::string(kStems[i % 7]) + " " + std::to_string((i * 7919) % 100003) +
         kExtensions[(i / 7) % 8];
}

void MakeFile(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out << "x";
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

// `count` files, 100 to a folder, ten folders to a bank; or all in one folder when `flat`.
void MakeTree(const fs::path& root, std::size_t count, bool flat) {
  fs::create_directories(root);
  for (std::size_t i = 0; i < count; ++i) {
    fs::path folder = root;
    if (!flat) {
      folder = root / ("Bank " + std::to_string(i / 1000)) / ("Kit " + std::to_string((i / 100) % 10));
      if (i % 100 == 0) fs::create_directories(folder);
    }
    MakeFile(folder / FileName(i));
  }
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The writer's walk: each packable file's path, in list order.
std::size_t IndexPaths(const CFileEntryList& list) {
  std::size_t bytes = 0;
  for (const auto& e : list) {
    if (e->IsFolder()) bytes += IndexPaths(e->GetChildren());
    else if (e->GetItemType() != 0) bytes += e->GetHamperPath().size();
  }
  return bytes;
}

void Run(const fs::path& base, std::size_t count, bool flat) {
  const fs::path root = base / ((flat ? "flat-" : "tree-") + std::to_string(count));
  MakeTree(root, count, flat);

  // The best of three: the machine may be busy with other work.
  double scan = 1e30;
  CFileEntryList top;
  for (int round = 0; round < 3; ++round) {
    top.clear();
    const auto scanStart = std::chrono::steady_clock::now();
    const CItemReference input = CItemReference::ForPath(root.string());
    top = ListTopLevel(input);
    for (const auto& entry : top) ScanFolder(*entry);
    scan = std::min(scan, Seconds(scanStart));
  }

  const auto indexStart = std::chrono::steady_clock::now();
  std::size_t packable = 0;
  for (const auto& entry : top) packable += CountPackableFiles(*entry);
  const std::size_t pathBytes = IndexPaths(top);
  const double index = Seconds(indexStart);

  // For comparison in one flat folder: the same order reached by inserting one entry at a time.
  double oneByOne = 0;
  if (flat) {
    const auto start = std::chrono::steady_clock::now();
    const CItemReference input = CItemReference::ForPath(root.string());
    CFileEntryList list;
    for (CItemReference c = input.GetFirstChild(); !c.IsEmpty(); c = c.GetNextSibling(input)) {
      InsertSorted(std::make_unique<CFileEntry>(c), list);
    }
    oneByOne = Seconds(start);
  }

  std::printf("%-5s %7zu files  scan %8.3f s  %6.2f us/file   index %7.3f s  %6.2f us/file   (%zu packable, %zu path bytes)\n",
              flat ? "flat" : "tree", count, scan, scan * 1e6 / static_cast<double>(count), index,
              index * 1e6 / static_cast<double>(count), packable, pathBytes);
  if (flat) {
    std::printf("      (one entry at a time: %8.3f s  %6.2f us/file)\n", oneByOne,
                oneByOne * 1e6 / static_cast<double>(count));
  }
  std::fflush(stdout);
  fs::remove_all(root);
}

// A chain of `depth` folders, one in the other, with a sample at the bottom.
void RunDeep(const fs::path& base, std::size_t depth) {
  const fs::path root = base / ("deep-" + std::to_string(depth));
  fs::path folder = root;
  fs::create_directory(folder);
  for (std::size_t i = 0; i < depth; ++i) fs::create_directory(folder /= "d");
  MakeFile(folder / "Kick.wav");

  double scan = 1e30;
  std::size_t packable = 0;
  for (int round = 0; round < 3; ++round) {
    const auto start = std::chrono::steady_clock::now();
    CFileEntryList top = ListTopLevel(CItemReference::ForPath(root.string()));
    packable = 0;
    for (const auto& entry : top) {
      ScanFolder(*entry);
      packable += CountPackableFiles(*entry);
    }
    scan = std::min(scan, Seconds(start));
  }
  std::printf("deep  %7zu levels scan %8.3f s  %6.2f us/level  (%zu packable)\n", depth, scan,
              scan * 1e6 / static_cast<double>(depth), packable);
  std::fflush(stdout);
  fs::remove_all(root);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t largest = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  std::string pattern = NSFerryman::CTemporaryOpenFile::TemporaryFolder() + "hamper-scanbench-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path base = pattern;
  int status = 0;
  try {
    for (bool flat : {false, true}) {
      for (std::size_t count = 1000; count <= largest; count *= 10) Run(base, count, flat);
    }
    for (std::size_t depth : {250, 500, 1000}) RunDeep(base, depth);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ScanBench: %s\n", e.what());
    status = 1;
  }
  std::error_code ec;
  fs::remove_all(base, ec);
  return status;
}

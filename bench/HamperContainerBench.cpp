// Writing and reading Hampers. Prints, for indexes of growing size, the time per item to compose
// the file and to load its tree (both should stay near-constant as the index grows, flat or in
// folders), then the copy and read-back throughput of a large data area next to a plain file copy.
//
// Usage: HamperContainerBench [largest-index] [data-MiB]   (defaults 100000 and 256)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchHamperWriter.h"
#include "container/HamperFile.h"
#include "container/HamperWriter.h"
#include "framework/media/OpenFile.h"
#include "framework/media/TemporaryOpenFile.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

using bench::BenchEntry;

// `count` items of `itemSize` bytes, 100 to a folder, or all at the top level when `flat`.
std::vector<std::unique_ptr<BenchEntry>> MakeTree(std::size_t count, std::uint64_t itemSize, bool flat) {
  std::vector<std::unique_ptr<BenchEntry>> top;
  BenchEntry* folder = nullptr;
  for (std::size_t i = 0; i < count; ++i) {
    auto item = std::make_unique<BenchEntry>();
    item->itemType = 11;
    item->packedSize = itemSize;
    const std::string name = "Sample " + std::to_string(i) + ".wav";
    if (flat) {
      item->path = name;
      top.push_back(std::move(item));
      continue;
    }
    if (i % 100 == 0) {
      top.push_back(std::make_unique<BenchEntry>());
      folder = top.back().get();
      folder->folder = true;
      folder->path = "Kit " + std::to_string(i / 100);
    }
    item->path = folder->path + ":" + name;
    folder->children.push_back(std::move(item));
  }
  return top;
}

std::unique_ptr<NSFerryman::CMedia> MakeData(std::uint64_t size) {
  auto data = std::make_unique<NSFerryman::CTemporaryOpenFile>();
  std::vector<std::uint8_t> block(1 << 20);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 31 + 7);
  for (std::uint64_t done = 0; done < size;) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - done));
    data->Write(n, block.data());
    done += n;
  }
  return data;
}

using bench::Compose;

}  // namespace

int main(int argc, char** argv) {
  const std::size_t largest = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000;
  const std::uint64_t dataMiB = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 256;
  const std::string path = NSFerryman::CTemporaryOpenFile::TemporaryFolder() + "/hamper-bench.hmp";

  std::printf("%10s %6s %14s %14s\n", "items", "layout", "compose us/it", "load us/it");
  for (std::size_t count = 1000; count <= largest; count *= 10) {
    for (bool flat : {false, true}) {
      const auto tree = MakeTree(count, 16, flat);
      auto start = Clock::now();
      Compose(tree, MakeData(count * 16), path);
      const double compose = Seconds(start);
      start = Clock::now();
      CNavigationHolder hamper = MINIHamperFile::Make(path);
      const double load = Seconds(start);
      if (static_cast<const MINIHamperFile&>(*hamper).GetHeader().GetEntryCount() != count) {
        std::fprintf(stderr, "wrong entry count\n");
        return 1;
      }
      std::printf("%10zu %6s %14.2f %14.2f\n", count, flat ? "flat" : "tree", compose * 1e6 / count,
                  load * 1e6 / count);
    }
  }

  // Throughput of the data area: compose (copy from the temporary file) and read every item back.
  const std::uint64_t bytes = dataMiB << 20;
  const std::size_t items = 64;
  const auto tree = MakeTree(items, bytes / items, true);
  auto data = MakeData(bytes);
  auto start = Clock::now();
  // Like the writer, the plain copy ends by closing both files and removing its source.
  {
    NSFerryman::COpenFile copy(NSFerryman::CFileSpec(path + ".copy"), 0, 0);
    data->SetPosition(0);
    std::vector<std::uint8_t> block(65536);
    for (std::uint64_t done = 0; done < bytes; done += block.size()) {
      data->Read(block.size(), block.data());
      copy.Write(block.size(), block.data());
    }
    data.reset();
  }
  const double plainCopy = Seconds(start);
  fs::remove(path + ".copy");
  data = MakeData(bytes);
  start = Clock::now();
  Compose(tree, std::move(data), path);
  const double compose = Seconds(start);
  start = Clock::now();
  CNavigationHolder hamper = MINIHamperFile::Make(path);
  std::vector<std::uint8_t> block(65536);
  for (CNavigationHolder c = hamper->GetFirstChild(); c; c = hamper->GetNextChild(*c)) {
    auto media = c->OpenMedia();
    for (std::uint64_t done = 0, size = media->GetSize(); done < size; done += block.size()) {
      media->Read(static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - done)), block.data());
    }
  }
  const double read = Seconds(start);
  const double mib = static_cast<double>(bytes) / (1 << 20);
  std::printf("\n%llu MiB data area: plain 64 KiB copy %.0f MiB/s, compose %.0f MiB/s, read back %.0f MiB/s\n",
              static_cast<unsigned long long>(dataMiB), mib / plainCopy, mib / compose, mib / read);
  fs::remove(path);
  return 0;
}

// Feeds a fuzz target every file of the folders (or the files) named on the command line, in name
// order, outside libFuzzer: the ordinary test suite runs each target over its seed corpus and its
// regression inputs this way. A finding aborts the program, with the file's name printed before.
// A missing folder is an error, so that a misspelt path cannot pass as "nothing to replay".

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"

extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER_OR_FILE...\n", argv[0]);
    return 2;
  }
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path path(argv[i]);
    if (fs::is_regular_file(path)) {
      inputs.push_back(path);
    } else if (fs::is_directory(path)) {
      for (const auto& entry : fs::directory_iterator(path)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.') inputs.push_back(entry.path());
      }
    } else {
      std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", path.c_str());
      return 2;
    }
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& input : inputs) {
    std::fprintf(stderr, "replay: %s\n", input.c_str());
    const std::vector<std::uint8_t> bytes = ReadWhole(input);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}

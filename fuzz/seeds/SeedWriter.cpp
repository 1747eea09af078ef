#include "fuzz/seeds/SeedWriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace seeds {

CSeedFolder::CSeedFolder(const std::filesystem::path& corpus, const std::string& target) : folder_(corpus / target) {
  std::filesystem::create_directories(folder_);
}

void CSeedFolder::Add(const std::string& name, const Bytes& bytes) {
  std::ofstream out(folder_ / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (folder_ / name).string());
}

void CSeedFolder::AddCut(const std::string& name, const Bytes& bytes, std::size_t length) {
  Add(name, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(length, bytes.size()))));
}

void CSeedFolder::AddChanged(const std::string& name, Bytes bytes, std::size_t offset, std::uint8_t value) {
  if (offset < bytes.size()) bytes[offset] = value;
  Add(name, bytes);
}

void WriteIFFSeeds(CSeedFolder& folder) {
  // The IFF readers meet sample files and host files.
  WriteSampleSeeds(folder);
  for (const auto& [name, bytes] : HostFileSeeds()) folder.Add(name, bytes);
}

}  // namespace seeds

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path corpus(argv[1]);
  try {
    using Writer = void (*)(seeds::CSeedFolder&);
    const std::pair<const char*, Writer> targets[] = {
        {"hamper", seeds::WriteHamperSeeds},
        {"sample_file", seeds::WriteSampleSeeds},
        {"vorp", seeds::WriteVORPSeeds},
        {"iff", seeds::WriteIFFSeeds},
        {"info_text", seeds::WriteInfoTextSeeds},
        {"resource_scripts", seeds::WriteResourceSeeds},
        {"midi_header", seeds::WriteMIDISeeds},
        {"references", seeds::WriteReferenceSeeds},
        {"published_song", seeds::WritePublishedSongSeeds},
        {"slc", seeds::WriteSLCSeeds},
        {"pictures", seeds::WritePictureSeeds},
    };
    for (const auto& [target, write] : targets) {
      seeds::CSeedFolder folder(corpus, target);
      write(folder);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz-make-seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}

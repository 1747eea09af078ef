#pragma once
// Writes the seed corpora of the fuzz targets: small valid files made with the project's own
// writers, and a few damaged variants of them, each under fuzz/corpus/TARGET/.
//
//   fuzz-make-seeds fuzz/corpus          (run from the source tree; rewrites the seed files)

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "framework/media/MemoryMedia.h"

namespace seeds {

using Bytes = std::vector<std::uint8_t>;

inline Bytes BytesOf(NSFerryman::CMemoryMedia& media) {
  return {media.Data(), media.Data() + media.GetSize()};
}

// Collects the seeds of one target.
class CSeedFolder {
 public:
  CSeedFolder(const std::filesystem::path& corpus, const std::string& target);
  void Add(const std::string& name, const Bytes& bytes);
  void Add(const std::string& name, const std::string& text) { Add(name, Bytes(text.begin(), text.end())); }
  // The file cut to `length` bytes, and the file with one byte changed.
  void AddCut(const std::string& name, const Bytes& bytes, std::size_t length);
  void AddChanged(const std::string& name, Bytes bytes, std::size_t offset, std::uint8_t value);

 private:
  std::filesystem::path folder_;
};

// One function per target, each in its own file.
void WriteHamperSeeds(CSeedFolder& folder);
void WriteSampleSeeds(CSeedFolder& folder);
void WriteVORPSeeds(CSeedFolder& folder);
void WriteIFFSeeds(CSeedFolder& folder);
void WriteInfoTextSeeds(CSeedFolder& folder);
void WriteResourceSeeds(CSeedFolder& folder);
void WriteMIDISeeds(CSeedFolder& folder);
void WriteReferenceSeeds(CSeedFolder& folder);
void WritePublishedSongSeeds(CSeedFolder& folder);
void WriteSLCSeeds(CSeedFolder& folder);
void WritePictureSeeds(CSeedFolder& folder);
// Authored songs, published songs and patches, by file name, for several targets.
std::vector<std::pair<std::string, Bytes>> HostFileSeeds();

}  // namespace seeds

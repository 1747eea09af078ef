// Reference records in each stored form on their own, and the host files (authored) that carry
// them; published songs and raw zlib streams for the published-song target.

#include "fuzz/seeds/SeedWriter.h"
#include "items/ZlibStream.h"
#include "references/ReferenceRecord.h"

namespace seeds {

namespace {

Bytes Record(const CSF10ReferenceChunk& record, bool storedForms) {
  NSFerryman::CMemoryMedia media;
  storedForms ? record.WriteInStoredForms(media) : record.Write(media);
  return BytesOf(media);
}

Bytes Deflated(const Bytes& bytes) {
  NSFerryman::CMemoryMedia source;
  if (!bytes.empty()) source.Write(bytes.size(), bytes.data());
  source.SetPosition(0);
  NSFerryman::CMemoryMedia packed;
  DeflateMedia(source, packed);
  return BytesOf(packed);
}

}  // namespace

void WriteReferenceSeeds(CSeedFolder& folder) {
  CSF10ReferenceChunk full;
  full.relative.present = true;
  full.relative.levelsUp = 1;
  full.relative.components = {"Samples", "kick.wav"};
  full.database.present = true;
  full.database.hamperName = "Seed Kit";
  full.database.components = {"Content", "Samples", "snare.wav"};
  full.volume.present = true;
  full.volume.volumeName = "DEMOCD";
  full.volume.volumeKind = kVolumeKindCdRomByName;
  full.volume.components = {"Outside", "far.wav"};
  full.volume.mediaFlag = true;
  full.displayName = "kick.wav";
  full.hamperName = "Drum Basics";
  full.hamperUrl = "http://x/";
  full.trailingFlag = 1;
  folder.Add("record-full.refe", Record(full, false));
  CSF10ReferenceChunk old = full;
  old.relative.storedVersion = CRelativePathRef::kOldFormVersion;
  old.volume.storedVersion = CVolumePathRef::kDiscardedFormVersion;
  old.database.storedVersion = NSFerryman::CVersion{1, 0, 0};
  folder.Add("record-old-forms.refe", Record(old, true));
  folder.Add("record-empty.refe", Record(CSF10ReferenceChunk{}, false));
  for (const auto& [name, bytes] : HostFileSeeds()) {
    if (name.find(".tps") == std::string::npos) folder.Add(name, bytes);
  }
}

void WritePublishedSongSeeds(CSeedFolder& folder) {
  for (const auto& [name, bytes] : HostFileSeeds()) {
    if (name.find(".tps") != std::string::npos) folder.Add(name, bytes);
  }
  const std::string text = "A zlib stream of a few words, words, words.";
  folder.Add("words.zlib", Deflated(Bytes(text.begin(), text.end())));
  folder.Add("zeros.zlib", Deflated(Bytes(65536, 0)));
  folder.Add("empty.zlib", Deflated(Bytes()));
}

}  // namespace seeds

// Small Hampers: no items; a few items in nested folders with a hidden splash; letter-case twin
// folders; and damaged copies (cut, wrong size field, empty name, index behind the data).

#include <functional>
#include <string>
#include <vector>

#include "container/FormatSignature.h"
#include "container/HamperDescription.h"
#include "container/HamperHeader.h"
#include "container/HamperIndexEntry.h"
#include "fuzz/seeds/SeedWriter.h"

namespace seeds {

namespace {

struct CItem {
  std::string path;
  int itemType;
  bool hidden;
  std::string bytes;
};

Bytes HamperOf(const std::string& name, const std::vector<CItem>& items,
               const std::function<void(CHamperDescription&)>& damage = {}) {
  CHamperDescription description(name, "Seed comments", "http://example.com/", "(c) Seeds");
  std::uint64_t indexBytes = 0;
  for (const CItem& item : items) indexBytes += CHamperIndexEntry::StoredSizeForPath(item.path.size());
  const std::uint32_t indexOffset = static_cast<std::uint32_t>(kHamperDescriptionPosition + description.GetStoredSize());
  description.SetEntryCount(static_cast<std::uint32_t>(items.size()));
  description.SetIndexOffset(indexOffset);
  description.SetDataOffset(static_cast<std::uint32_t>(indexOffset + indexBytes));
  if (damage) damage(description);

  NSFerryman::CMemoryMedia media;
  media.WriteU32(kHamperMagic.GetValue());
  media.WriteU32(0);
  CFormatSignature::Hamper().Write(media);
  description.Write(media);
  std::uint32_t offset = 0;
  for (const CItem& item : items) {
    const auto size = static_cast<std::uint32_t>(item.bytes.size());
    CHamperIndexEntry(item.itemType, size, offset, item.hidden, item.path).Write(media);
    offset += size;
  }
  for (const CItem& item : items) media.Write(item.bytes.size(), item.bytes.data());
  const auto total = static_cast<std::uint32_t>(media.GetSize());
  media.SetPosition(4);
  media.WriteU32(total);
  return BytesOf(media);
}

}  // namespace

void WriteHamperSeeds(CSeedFolder& folder) {
  folder.Add("empty.hmp", HamperOf("Empty Kit", {}));
  const Bytes kit = HamperOf("Seed Kit", {{"SPLASH.JPG", 9, true, "jpeg bytes"},
                                          {"Drums:Kick.wav", 11, false, "vorp kick"},
                                          {"Drums:Loops:Fill.slc", 7, false, "slc"},
                                          {"Drums:Snare.wav", 11, false, ""},
                                          {"Songs:Demo.tns", 1, false, "song"},
                                          {"Data:pad.pad", 14, true, "pad"},
                                          {"Read Me.mid", 10, false, "MThd"}});
  folder.Add("kit.hmp", kit);
  folder.Add("twins.hmp", HamperOf("Twins", {{"Drums:Kick.wav", 11, false, "a"},
                                             {"drums:Kick.wav", 11, false, "b"},
                                             {"DRUMS:kick.WAV", 11, false, "c"}}));
  folder.AddCut("kit-cut.hmp", kit, kit.size() - 5);
  folder.Add("index-behind-data.hmp", HamperOf("Seed Kit", {{"A.mid", 10, false, "MThd"}}, [](CHamperDescription& d) {
               d.SetIndexOffset(d.GetDataOffset() + 1);
             }));
  folder.Add("too-many-records.hmp", HamperOf("Seed Kit", {{"A.mid", 10, false, "MThd"}},
                                              [](CHamperDescription& d) { d.SetEntryCount(0x10000000); }));
  folder.AddChanged("kit-size-off-by-one.hmp", kit, 7, static_cast<std::uint8_t>(kit[7] + 1));
  folder.Add("no-name.hmp", HamperOf("", {{"A.mid", 10, false, "MThd"}}));
}

}  // namespace seeds

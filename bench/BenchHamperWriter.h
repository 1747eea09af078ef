#pragma once
// Hampers written for the benchmarks: hand-made entry trees composed by the real writer, with a
// job that shows nothing.

#include <memory>
#include <string>
#include <vector>

#include "container/HamperWriter.h"

namespace bench {

struct BenchEntry : MHamperWriterEntry {
  bool folder = false;
  int itemType = 0;
  std::uint64_t packedSize = 0;
  std::string path;
  std::vector<std::unique_ptr<BenchEntry>> children;

  bool IsFolder() const override { return folder; }
  std::size_t GetChildCount() const override { return children.size(); }
  const MHamperWriterEntry& GetChildEntry(std::size_t i) const override { return *children[i]; }
  int GetItemType() const override { return itemType; }
  bool IsIncluded() const override { return true; }
  std::uint64_t GetPackedSize() const override { return packedSize; }
  std::string GetHamperPath() const override { return path; }
};

struct QuietJob : MHamperWriterJob {
  bool TakeStopRequest() override { return false; }
  void EnterStage(NSFerryman::ResourceId, std::uint32_t, NSFerryman::ResourceId, std::uint64_t) override {}
  void ShowStatus(NSFerryman::ResourceId, const std::vector<std::string>&) override {}
  void ShowProgress(std::uint64_t, std::uint64_t, std::uint64_t) override {}
};

// Writes the tree, whose packed items `data` holds in walk order, as the Hamper "Bench" at `path`.
inline void Compose(const std::vector<std::unique_ptr<BenchEntry>>& top, std::unique_ptr<NSFerryman::CMedia> data,
                    const std::string& path) {
  std::vector<const MHamperWriterEntry*> list;
  for (const auto& e : top) list.push_back(e.get());
  CHamperDescription description("Bench", "", "", "");
  QuietJob job;
  CHamperWriter(job).Compose(list, description, std::move(data), NSFerryman::CFileSpec(path));
}

}  // namespace bench

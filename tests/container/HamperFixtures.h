#pragma once
// Hand-made entry trees and a recording job for writing Hampers in tests.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "container/HamperDescription.h"
#include "container/HamperWriter.h"
#include "container/HamperWriterEntry.h"
#include "container/HamperWriterJob.h"
#include "framework/media/MemoryMedia.h"

namespace hampertest {

// A file or folder of a hand-made tree. The Hamper path is built from the parent chain.
class FakeEntry : public MHamperWriterEntry {
 public:
  static std::unique_ptr<FakeEntry> File(std::string name, int itemType, std::vector<std::uint8_t> bytes,
                                         bool included = true) {
    auto e = std::make_unique<FakeEntry>();
    e->name = std::move(name);
    e->itemType = itemType;
    e->packedSize = bytes.size();
    e->bytes = std::move(bytes);
    e->included = included;
    return e;
  }
  static std::unique_ptr<FakeEntry> Folder(std::string name) {
    auto e = std::make_unique<FakeEntry>();
    e->name = std::move(name);
    e->folder = true;
    return e;
  }
  FakeEntry& Add(std::unique_ptr<FakeEntry> child) {
    child->parent = this;
    children.push_back(std::move(child));
    return *children.back();
  }

  bool IsFolder() const override { return folder; }
  std::size_t GetChildCount() const override { return children.size(); }
  const MHamperWriterEntry& GetChildEntry(std::size_t index) const override { return *children.at(index); }
  int GetItemType() const override { return itemType; }
  bool IsIncluded() const override { return included; }
  std::uint64_t GetPackedSize() const override { return packedSize; }
  std::string GetHamperPath() const override { return parent ? parent->GetHamperPath() + ":" + name : name; }

  std::string name;
  bool folder = false;
  int itemType = 0;
  bool included = true;
  std::uint64_t packedSize = 0;
  std::vector<std::uint8_t> bytes;
  FakeEntry* parent = nullptr;
  std::vector<std::unique_ptr<FakeEntry>> children;
};

// A top-level list that owns its entries.
struct FakeTree {
  std::vector<std::unique_ptr<FakeEntry>> top;

  FakeEntry& Add(std::unique_ptr<FakeEntry> e) {
    top.push_back(std::move(e));
    return *top.back();
  }
  std::vector<const MHamperWriterEntry*> List() const {
    std::vector<const MHamperWriterEntry*> list;
    for (const auto& e : top) list.push_back(e.get());
    return list;
  }
  // The packing stage's output: the bytes of every included, typed file in walk order.
  std::unique_ptr<NSFerryman::CMedia> PackedData() const {
    auto media = std::make_unique<NSFerryman::CMemoryMedia>();
    for (const auto& e : top) Append(*e, *media);
    return media;
  }

 private:
  static void Append(const FakeEntry& e, NSFerryman::CMedia& media) {
    if (e.folder) {
      for (const auto& c : e.children) Append(*c, media);
    } else if (e.itemType != 0 && e.included && !e.bytes.empty()) {
      media.Write(e.bytes.size(), e.bytes.data());
    }
  }
};

struct RecordingJob : MHamperWriterJob {
  struct Stage {
    NSFerryman::ResourceId stageText;
    std::uint32_t stageIndex;
    NSFerryman::ResourceId title;
    std::uint64_t count;
  };
  struct Progress {
    std::uint32_t stageIndex;
    std::uint64_t count, done, total;
  };

  bool TakeStopRequest() override {
    ++stopChecks;
    return stopAtCheck != 0 && stopChecks == stopAtCheck;
  }
  void EnterStage(NSFerryman::ResourceId stageText, std::uint32_t stageIndex, NSFerryman::ResourceId title,
                  std::uint64_t count) override {
    stages.push_back({stageText, stageIndex, title, count});
  }
  void ShowStatus(NSFerryman::ResourceId text, const std::vector<std::string>& arguments) override {
    statusTexts.push_back(text);
    statusArguments.push_back(arguments.empty() ? std::string() : arguments[0]);
  }
  void ShowProgress(std::uint64_t count, std::uint64_t done, std::uint64_t total) override {
    progress.push_back({stages.empty() ? 99u : stages.back().stageIndex, count, done, total});
  }

  int stopChecks = 0;
  int stopAtCheck = 0;  // 0: never stop
  std::vector<Stage> stages;
  std::vector<NSFerryman::ResourceId> statusTexts;
  std::vector<std::string> statusArguments;
  std::vector<Progress> progress;

  std::vector<Progress> ProgressOfStage(std::uint32_t stageIndex) const {
    std::vector<Progress> out;
    for (const Progress& p : progress) {
      if (p.stageIndex == stageIndex) out.push_back(p);
    }
    return out;
  }
};

inline std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t seed) {
  std::vector<std::uint8_t> v(n);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : v) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 16);
  }
  return v;
}

inline CHamperDescription Description(std::string name = "Test Kit") {
  return CHamperDescription(std::move(name), "Some comments", "http://example.com/", "(c) Nobody");
}

}  // namespace hampertest

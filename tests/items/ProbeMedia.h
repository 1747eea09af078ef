#pragma once
// A memory media that records every read and can fail reads: reads that touch a byte at or after
// failFrom throw XRead, as a file on a failing disk would.

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "framework/media/MemoryMedia.h"

class CProbeMedia : public NSFerryman::CMedia {
 public:
  explicit CProbeMedia(const std::vector<std::uint8_t>& bytes) {
    if (!bytes.empty()) memory.WriteAt(0, bytes.size(), bytes.data());
    memory.SetPosition(0);
  }

  NSFerryman::MediaSize GetSize() override { return memory.GetSize(); }
  NSFerryman::MediaSize GetPosition() override { return memory.GetPosition(); }
  void SetPosition(NSFerryman::MediaSize p) override { memory.SetPosition(p); }
  void ReadAt(NSFerryman::MediaSize p, std::size_t n, void* b) override {
    reads.emplace_back(p, n);
    if (n > 0 && p + n > failFrom) throw NSFerryman::XRead("read error on the test media");
    memory.ReadAt(p, n, b);
  }
  void WriteAt(NSFerryman::MediaSize p, std::size_t n, const void* b) override { memory.WriteAt(p, n, b); }

  NSFerryman::CMemoryMedia memory;
  // (position, count) of each read, in order.
  std::vector<std::pair<NSFerryman::MediaSize, std::size_t>> reads;
  NSFerryman::MediaSize failFrom = std::numeric_limits<NSFerryman::MediaSize>::max();
};

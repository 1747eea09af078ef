#pragma once
// CSpillMedia: a growable media that keeps its bytes in memory up to a limit and moves them into
// a temporary file once they grow past it, so that many of them can be held at once in bounded
// memory whatever they are asked to hold.
//
//   CSpillMedia item(4 << 20);
//   PackSomething(item);                 // written like any media
//   item.AppendTo(dataFile);             // then appended where it belongs
//
// Its memory grows by doubling: a stream of small writes costs linear time (the framework's
// memory media grows by steps of what is written, which is meant for records, not streams).

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/media/TemporaryOpenFile.h"

namespace NSFerryman {

class CSpillMedia : public CMedia {
 public:
  explicit CSpillMedia(MediaSize memoryLimit) : memoryLimit_(memoryLimit) {}

  MediaSize GetSize() override;
  MediaSize GetPosition() override;
  void SetPosition(MediaSize position) override;
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override;
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override;

  bool IsSpilled() const { return file_ != nullptr; }

  // Writes all of the bytes at the end of `target` (inside the kernel when both are files).
  void AppendTo(COpenFile& target);

 private:
  MediaSize memoryLimit_;
  std::vector<std::uint8_t> memory_;
  MediaSize position_ = 0;
  std::unique_ptr<CTemporaryOpenFile> file_;
};

}  // namespace NSFerryman

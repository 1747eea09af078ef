#pragma once
// CSpillMedia: a growable media that keeps its bytes in memory up to a limit and moves them into
// a temporary file once they grow past it, so that many of them can be held at once in bounded
// memory whatever they are asked to hold.
//
//   CSpillMedia item(4 << 20);
//   PackSomething(item);                 // written like any media
//   item.AppendTo(dataFile);             // then appended where it belongs

#include <cstdint>
#include <memory>

#include "framework/media/MemoryMedia.h"
#include "framework/media/TemporaryOpenFile.h"

namespace NSFerryman {

class CSpillMedia : public CMedia {
 public:
  explicit CSpillMedia(MediaSize memoryLimit)
      : memoryLimit_(memoryLimit), memory_(std::make_unique<CMemoryMedia>()) {}

  MediaSize GetSize() override { return Current().GetSize(); }
  MediaSize GetPosition() override { return Current().GetPosition(); }
  void SetPosition(MediaSize position) override { Current().SetPosition(position); }
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override { Current().ReadAt(position, count, buffer); }
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override;

  bool IsSpilled() const { return file_ != nullptr; }

  // Writes all of the bytes at the end of `target` (inside the kernel when both are files).
  void AppendTo(COpenFile& target);

 private:
  CMedia& Current() { return file_ ? static_cast<CMedia&>(*file_) : *memory_; }

  MediaSize memoryLimit_;
  std::unique_ptr<CMemoryMedia> memory_;
  std::unique_ptr<CTemporaryOpenFile> file_;
};

}  // namespace NSFerryman

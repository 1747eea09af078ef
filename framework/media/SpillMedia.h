#pragma once
// CSpillMedia: a growable media that keeps its bytes in memory up to a limit and moves them into
// a scratch file (ScratchFolder.h) once they grow past it, so that many of them can be held at
// once in bounded memory whatever they are asked to hold.
//
//   CSpillMedia rewritten(8 << 20, scratch);   // scratch: CScratchFolder::System() by default
//   RewriteSomething(rewritten);               // written and read like any media
//
// Its memory grows by doubling: a stream of small writes costs linear time (the framework's
// memory media grows by steps of what is written, which is meant for records, not streams).

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/media/ScratchFolder.h"

namespace NSFerryman {

class CSpillMedia : public CMedia {
 public:
  explicit CSpillMedia(MediaSize memoryLimit, const CScratchFolder& scratch = CScratchFolder::System())
      : memoryLimit_(memoryLimit), scratch_(scratch) {}

  MediaSize GetSize() override;
  MediaSize GetPosition() override;
  void SetPosition(MediaSize position) override;
  void ReadAt(MediaSize position, std::size_t count, void* buffer) override;
  void WriteAt(MediaSize position, std::size_t count, const void* buffer) override;

  bool IsSpilled() const { return file_ != nullptr; }

 private:
  MediaSize memoryLimit_;
  const CScratchFolder& scratch_;
  std::vector<std::uint8_t> memory_;
  MediaSize position_ = 0;
  std::unique_ptr<COpenFile> file_;
};

}  // namespace NSFerryman

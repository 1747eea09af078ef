#include "framework/media/SpillMedia.h"

namespace NSFerryman {

void CSpillMedia::WriteAt(MediaSize position, std::size_t count, const void* buffer) {
  if (!file_ && position + count > memoryLimit_) {
    file_ = std::make_unique<CTemporaryOpenFile>();
    if (memory_->GetSize() > 0) file_->WriteAt(0, static_cast<std::size_t>(memory_->GetSize()), memory_->Data());
    file_->SetPosition(memory_->GetPosition());
    memory_.reset();
  }
  Current().WriteAt(position, count, buffer);
}

void CSpillMedia::AppendTo(COpenFile& target) {
  const MediaSize end = target.GetSize();
  if (file_) {
    target.CopyFromFile(*file_, 0, end, file_->GetSize());
  } else if (memory_->GetSize() > 0) {
    target.WriteAt(end, static_cast<std::size_t>(memory_->GetSize()), memory_->Data());
  }
}

}  // namespace NSFerryman

#include "framework/media/SpillMedia.h"

#include <cstring>

namespace NSFerryman {

MediaSize CSpillMedia::GetSize() { return file_ ? file_->GetSize() : memory_.size(); }

MediaSize CSpillMedia::GetPosition() { return file_ ? file_->GetPosition() : position_; }

void CSpillMedia::SetPosition(MediaSize position) {
  if (file_) {
    file_->SetPosition(position);
  } else {
    position_ = position;
  }
}

void CSpillMedia::ReadAt(MediaSize position, std::size_t count, void* buffer) {
  if (file_) {
    file_->ReadAt(position, count, buffer);
    return;
  }
  if (position > memory_.size() || count > memory_.size() - position) {
    throw XRead("spill buffer: " + std::to_string(count) + " bytes asked at " + std::to_string(position) + " of " +
                std::to_string(memory_.size()));
  }
  if (count > 0) std::memcpy(buffer, memory_.data() + position, count);
  position_ = position + count;
}

void CSpillMedia::WriteAt(MediaSize position, std::size_t count, const void* buffer) {
  if (!file_ && position + count > memoryLimit_) {
    file_ = scratch_.CreateFile();
    if (!memory_.empty()) file_->WriteAt(0, memory_.size(), memory_.data());
    std::vector<std::uint8_t>().swap(memory_);
  }
  if (file_) {
    file_->WriteAt(position, count, buffer);
    return;
  }
  const std::size_t end = static_cast<std::size_t>(position) + count;
  if (end > memory_.size()) {
    if (end > memory_.capacity()) memory_.reserve(std::max<std::size_t>(end, memory_.capacity() * 2));
    memory_.resize(end);
  }
  if (count > 0) std::memcpy(memory_.data() + position, buffer, count);
  position_ = end;
}

}  // namespace NSFerryman

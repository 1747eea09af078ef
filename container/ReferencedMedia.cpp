#include "container/ReferencedMedia.h"

using NSFerryman::MediaSize;

std::unique_lock<std::mutex> CReferencedMedia::Lock() {
  return guard_ ? std::unique_lock<std::mutex>(*guard_) : std::unique_lock<std::mutex>();
}

MediaSize CReferencedMedia::GetSize() {
  auto lock = Lock();
  return referenced_->GetSize();
}

void CReferencedMedia::SetPosition(MediaSize position) {
  // Checked against the referenced media now, so that a bad position fails where it is set.
  auto lock = Lock();
  referenced_->SetPosition(position);
  position_ = position;
}

void CReferencedMedia::ReadAt(MediaSize position, std::size_t count, void* buffer) {
  auto lock = Lock();
  referenced_->SetPosition(position);
  referenced_->ReadAt(position, count, buffer);
  position_ = position + count;
}

void CReferencedMedia::WriteAt(MediaSize position, std::size_t count, const void* buffer) {
  auto lock = Lock();
  referenced_->SetPosition(position);
  referenced_->WriteAt(position, count, buffer);
  position_ = position + count;
}

#include "pack/ItemOutput.h"

#include <algorithm>
#include <cstring>
#include <string>

using NSFerryman::MediaSize;

namespace {

// Parked memory grows by doubling from here: small items take little, large ones reallocate
// rarely.
constexpr std::size_t kFirstParkedBlock = 64 * 1024;

}  // namespace

bool CParkingSpace::Take(std::uint64_t bytes) {
  std::uint64_t used = used_.load(std::memory_order_relaxed);
  do {
    if (bytes > capacity_ || used > capacity_ - bytes) return false;
  } while (!used_.compare_exchange_weak(used, used + bytes, std::memory_order_relaxed));
  return true;
}

CItemOutput::~CItemOutput() { ReleaseMemory(); }

template <class Step>
void CItemOutput::Guarded(Step&& step) {
  try {
    step();
  } catch (...) {
    if (!failure_) failure_ = std::current_exception();
    throw;
  }
}

void CItemOutput::ReleaseMemory() {
  std::vector<std::uint8_t>().swap(memory_);
  target_.space->Give(memoryTaken_);
  memoryTaken_ = 0;
}

void CItemOutput::CheckLimit(std::uint64_t end) {
  // Until the item has its place, the earliest it can have is the start of the data.
  const std::uint64_t start = placed_ ? base_ : target_.dataStart;
  if (start > target_.limit || end > target_.limit - start) {
    Guarded([&] {
      throw NSFerryman::XWrite(target_.output->GetPath() + ": the Hamper would exceed 4 GiB (more than " +
                               std::to_string(target_.limit) + " bytes)");
    });
  }
}

void CItemOutput::MoveIfPlaced() {
  if (!placed_ && target_.place->IsSet()) MoveTo(target_.place->Get());
}

void CItemOutput::MoveTo(std::uint64_t offset) {
  placed_ = true;
  base_ = offset;
  CheckLimit(size_);
  Guarded([&] {
    if (spill_) {
      target_.output->CopyFromFile(*spill_, 0, offset, size_);
    } else if (size_ > 0) {
      target_.output->WriteAt(offset, static_cast<std::size_t>(size_), memory_.data());
    }
  });
  spill_.reset();
  ReleaseMemory();
}

void CItemOutput::Park(MediaSize end) {
  if (spill_ || end <= memory_.capacity()) return;
  const std::size_t capacity = std::max<std::size_t>({static_cast<std::size_t>(end), memory_.capacity() * 2, kFirstParkedBlock});
  if (target_.space->Take(capacity - memoryTaken_)) {
    memory_.reserve(capacity);
    memoryTaken_ = capacity;
    return;
  }
  // No room left in memory: this item waits in a file on the output's file system.
  Guarded([&] {
    spill_ = target_.space->Scratch().CreateFile();
    if (size_ > 0) spill_->WriteAt(0, static_cast<std::size_t>(size_), memory_.data());
  });
  ReleaseMemory();
}

void CItemOutput::WriteAt(MediaSize position, std::size_t count, const void* buffer) {
  MoveIfPlaced();
  const MediaSize end = position + count;
  CheckLimit(end);
  if (placed_) {
    Guarded([&] { target_.output->WriteAt(base_ + position, count, buffer); });
  } else {
    Park(end);
    if (spill_) {
      Guarded([&] { spill_->WriteAt(position, count, buffer); });
    } else {
      if (end > memory_.size()) memory_.resize(static_cast<std::size_t>(end));
      if (count > 0) std::memcpy(memory_.data() + position, buffer, count);
    }
  }
  position_ = end;
  size_ = std::max(size_, end);
}

void CItemOutput::ReadAt(MediaSize position, std::size_t count, void* buffer) {
  MoveIfPlaced();
  if (position > size_ || count > size_ - position) {
    throw NSFerryman::XRead("packed item: " + std::to_string(count) + " bytes asked at " + std::to_string(position) +
                            " of " + std::to_string(size_));
  }
  if (placed_) {
    Guarded([&] { target_.output->ReadAt(base_ + position, count, buffer); });
  } else if (spill_) {
    Guarded([&] { spill_->ReadAt(position, count, buffer); });
  } else if (count > 0) {
    std::memcpy(buffer, memory_.data() + position, count);
  }
  position_ = position + count;
}

std::uint64_t CItemOutput::Finish(std::uint64_t offset) {
  if (!placed_) MoveTo(offset);
  return size_;
}

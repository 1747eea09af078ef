#pragma once
// The bytes of one packed item on their way into the Hamper, written once, where they stay,
// whenever the order allows it.
//
// Items are packed on several threads but lie in the Hamper in walk order. The item at the head
// of that order writes straight into the output file at its place. An item worked on ahead of its
// turn waits ("parks") in memory while the parking space shared by all items of the stage has
// room, and beyond it in a spill file beside the output (a scratch file, ScratchFolder.h). When
// its turn comes, what it parked moves to its place once, and it goes on writing there:
//
//   CParkingSpace space(32 << 20, scratch);                    // one for the stage
//   std::vector<CItemPlace> places(items);                     // one for each item
//   places[0].Set(dataStart);                                  // the head's place is known
//   CItemOutput item({&space, &outputFile, &places[i], dataStart, limit});   // on a worker
//   PackItem(..., item, ...);                                  // written like any media
//   // on the job's thread, item by item in walk order, once item i's work is done:
//   const std::uint64_t size = item.Finish(offset);            // offset: where item i goes
//   places[i + 1].Set(offset + size);                          // item i+1 moves there at its
//                                                              // next write, or when finished
//
// Only the job's thread sets places and finishes items; an item is written by one thread at a
// time (its worker, then the job's thread), as the stage's pipeline hands it over.
//
// A write that would put a byte at or past `limit` (the size a Hamper may not pass) is XWrite at
// once. A failure of the output or of a spill file is kept (OutputFailure): it is the Hamper's
// failure, not the packed file's.

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "framework/media/Media.h"
#include "framework/media/OpenFile.h"
#include "framework/media/ScratchFolder.h"

// Memory shared by the items that wait for their turn, and where they go beyond it.
class CParkingSpace {
 public:
  CParkingSpace(std::uint64_t bytes, const NSFerryman::CScratchFolder& scratch) : capacity_(bytes), scratch_(scratch) {}

  // Takes `bytes` more when they fit.
  bool Take(std::uint64_t bytes);
  void Give(std::uint64_t bytes) { used_.fetch_sub(bytes, std::memory_order_relaxed); }
  std::uint64_t Used() const { return used_.load(std::memory_order_relaxed); }
  const NSFerryman::CScratchFolder& Scratch() const { return scratch_; }

 private:
  const std::uint64_t capacity_;
  std::atomic<std::uint64_t> used_{0};
  const NSFerryman::CScratchFolder& scratch_;
};

// Where an item's bytes begin in the output, once the items before it are in place.
class CItemPlace {
 public:
  void Set(std::uint64_t offset) { offset_.store(offset, std::memory_order_release); }
  bool IsSet() const { return offset_.load(std::memory_order_acquire) != kUnset; }
  std::uint64_t Get() const { return offset_.load(std::memory_order_acquire); }

 private:
  static constexpr std::uint64_t kUnset = ~std::uint64_t{0};
  std::atomic<std::uint64_t> offset_{kUnset};
};

struct CItemTarget {
  CParkingSpace* space = nullptr;
  NSFerryman::COpenFile* output = nullptr;
  const CItemPlace* place = nullptr;
  // Where the first item goes (no item lies before it), and the size the output may not pass.
  std::uint64_t dataStart = 0;
  std::uint64_t limit = 0;
};

class CItemOutput : public NSFerryman::CMedia {
 public:
  explicit CItemOutput(const CItemTarget& target) : target_(target) {}
  ~CItemOutput() override;

  NSFerryman::MediaSize GetSize() override { return size_; }
  NSFerryman::MediaSize GetPosition() override { return position_; }
  void SetPosition(NSFerryman::MediaSize position) override { position_ = position; }
  void ReadAt(NSFerryman::MediaSize position, std::size_t count, void* buffer) override;
  void WriteAt(NSFerryman::MediaSize position, std::size_t count, const void* buffer) override;

  // Puts what is parked at `offset` (the item's place) and gives the item's size.
  std::uint64_t Finish(std::uint64_t offset);

  // The first failure of the output or a spill file, if any.
  const std::exception_ptr& OutputFailure() const { return failure_; }
  bool IsPlaced() const { return placed_; }
  bool IsSpilled() const { return spill_ != nullptr; }

 private:
  void MoveIfPlaced();
  void MoveTo(std::uint64_t offset);
  void Park(NSFerryman::MediaSize end);
  void ReleaseMemory();
  void CheckLimit(std::uint64_t end);
  // Runs a step of the output or a spill file, keeping its failure.
  template <class Step>
  void Guarded(Step&& step);

  CItemTarget target_;
  bool placed_ = false;
  std::uint64_t base_ = 0;
  NSFerryman::MediaSize position_ = 0;
  NSFerryman::MediaSize size_ = 0;
  std::vector<std::uint8_t> memory_;
  std::uint64_t memoryTaken_ = 0;  // what the parking space gave for `memory_`
  std::unique_ptr<NSFerryman::COpenFile> spill_;
  std::exception_ptr failure_;
};

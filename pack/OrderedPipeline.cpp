#include "pack/OrderedPipeline.h"

#include <algorithm>
#include <system_error>

COrderedPipeline::COrderedPipeline(std::size_t count, unsigned workers, std::uint64_t budget, CostFunction cost,
                                   WorkFunction work)
    : count_(count),
      budget_(budget),
      cost_(std::move(cost)),
      work_(std::move(work)),
      threaded_(workers > 1),
      windowLimit_(std::size_t{workers} * 8),
      costs_(count, 0),
      done_(count, 0) {
  if (!threaded_) return;
  threads_.reserve(workers);
  for (unsigned i = 0; i < workers; ++i) {
    try {
      threads_.emplace_back([this] { WorkerLoop(); });
    } catch (const std::system_error&) {
      // The system has no room for another thread (an address-space or process limit): the
      // workers that did start do the work, and with none the job's thread does it all.
      break;
    }
  }
  if (threads_.empty()) {
    threaded_ = false;
    return;
  }
  std::lock_guard lock(mutex_);
  windowLimit_ = threads_.size() * 8;
}

COrderedPipeline::~COrderedPipeline() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workAvailable_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

unsigned COrderedPipeline::DefaultWorkers() { return std::max(1u, std::thread::hardware_concurrency()); }

std::uint64_t COrderedPipeline::NextCostLocked() {
  if (!nextCost_) nextCost_ = cost_(next_);
  return *nextCost_;
}

bool COrderedPipeline::CanStartLocked() {
  if (next_ >= count_ || stopping_) return false;
  if (inFlightItems_ == 0) return true;
  if (next_ - released_ >= windowLimit_) return false;
  return inFlightBytes_ + NextCostLocked() <= budget_;
}

void COrderedPipeline::WorkerLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    workAvailable_.wait(lock, [this] { return stopping_ || next_ >= count_ || CanStartLocked(); });
    if (stopping_ || next_ >= count_) return;
    // The cost belongs to the item being started: ask it before the count moves on.
    const std::size_t index = next_;
    costs_[index] = NextCostLocked();
    nextCost_.reset();
    ++next_;
    inFlightBytes_ += costs_[index];
    ++inFlightItems_;
    // Another worker may be able to start the item after this one.
    if (CanStartLocked()) workAvailable_.notify_one();
    lock.unlock();
    work_(index);
    lock.lock();
    done_[index] = 1;
    // The job's thread wakes only for the item it waits for.
    if (index == awaited_) itemDone_.notify_one();
  }
}

void COrderedPipeline::WaitFor(std::size_t index) {
  if (!threaded_) {
    work_(index);
    return;
  }
  std::unique_lock lock(mutex_);
  awaited_ = index;
  itemDone_.wait(lock, [&] { return done_[index] != 0; });
  awaited_ = kNone;
}

void COrderedPipeline::Release(std::size_t index) {
  if (!threaded_) return;
  {
    std::lock_guard lock(mutex_);
    inFlightBytes_ -= costs_[index];
    --inFlightItems_;
    released_ = index + 1;
  }
  workAvailable_.notify_one();
}

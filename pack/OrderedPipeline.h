#pragma once
// COrderedPipeline: runs the per-item work of a stage on worker threads while the job's own
// thread takes the results strictly in item order, so that everything the user sees (progress,
// alerts, the bytes written) is what one thread would have produced.
//
//   COrderedPipeline pipeline(items.size(), workers, budget, costOf, work);
//   for (std::size_t i = 0; i < items.size(); ++i) {
//     pipeline.WaitFor(i);      // with no workers this runs work(i) right here
//     ... use result i ...
//     pipeline.Release(i);
//   }                           // leaving early (a stop, a failure) cancels what has not started
//
// Memory: an item counts `cost(i)` bytes from the moment a worker starts it until the job's
// thread releases it, and a worker starts the next item only while the items in flight fit in
// the budget (one item always may, however large). The window of started items is also bounded
// in count, so a stop leaves at most one running item per worker to wait for.
//
// work(i) must not throw: it stores its outcome (an exception_ptr among it) where the job's
// thread will find it after WaitFor(i).

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class COrderedPipeline {
 public:
  using CostFunction = std::function<std::uint64_t(std::size_t)>;
  using WorkFunction = std::function<void(std::size_t)>;

  // With 0 or 1 workers nothing runs on another thread. Workers that cannot be started are done
  // without; when none can, everything runs on the caller's thread.
  COrderedPipeline(std::size_t count, unsigned workers, std::uint64_t budget, CostFunction cost, WorkFunction work);
  ~COrderedPipeline();
  COrderedPipeline(const COrderedPipeline&) = delete;
  COrderedPipeline& operator=(const COrderedPipeline&) = delete;

  void WaitFor(std::size_t index);
  void Release(std::size_t index);

  // The workers a machine's cores allow.
  static unsigned DefaultWorkers();

 private:
  void WorkerLoop();
  bool CanStartLocked();
  // The cost of the next item to start, asked for once.
  std::uint64_t NextCostLocked();

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::size_t count_;
  std::uint64_t budget_;
  CostFunction cost_;
  WorkFunction work_;
  bool threaded_;
  std::size_t windowLimit_;

  std::mutex mutex_;
  std::condition_variable workAvailable_;
  std::condition_variable itemDone_;
  std::size_t awaited_ = kNone;
  std::optional<std::uint64_t> nextCost_;
  std::size_t next_ = 0;        // the next item to start
  std::size_t released_ = 0;    // items the job's thread is done with
  std::uint64_t inFlightBytes_ = 0;
  std::size_t inFlightItems_ = 0;
  std::vector<std::uint64_t> costs_;
  std::vector<char> done_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

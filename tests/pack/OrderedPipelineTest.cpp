#include "pack/OrderedPipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct PipelineCase {
  const char* name;
  std::size_t count;
  unsigned workers;
  std::uint64_t budget;
};

class OrderedPipelineTest : public ::testing::TestWithParam<PipelineCase> {};

// Items 0, 3, 6, ... are large; the rest small. An item charged with another's cost lets the
// items really in flight pass the budget.
std::uint64_t CostOf(std::size_t index) { return index % 3 == 0 ? 20 : 5; }

TEST_P(OrderedPipelineTest, ChargesEachItemItsOwnCostWithinTheBudget) {
  const PipelineCase& c = GetParam();
  std::mutex askedMutex;
  std::vector<int> asked(c.count + 2, 0);
  std::atomic<std::uint64_t> inFlight{0};
  std::atomic<int> itemsInFlight{0};
  std::atomic<bool> overBudget{false};
  std::vector<int> ran(c.count, 0);

  {
    COrderedPipeline pipeline(
        c.count, c.workers, c.budget,
        [&](std::size_t index) {
          std::lock_guard lock(askedMutex);
          ++asked[std::min(index, c.count + 1)];
          return CostOf(index);
        },
        [&](std::size_t index) {
          const std::uint64_t bytes = inFlight += CostOf(index);
          const int items = ++itemsInFlight;
          if (items > 1 && bytes > c.budget) overBudget = true;
          std::this_thread::sleep_for(std::chrono::microseconds(50));
          ran[index] = 1;
        });
    for (std::size_t i = 0; i < c.count; ++i) {
      pipeline.WaitFor(i);
      EXPECT_EQ(ran[i], 1) << "item " << i;
      inFlight -= CostOf(i);
      --itemsInFlight;
      pipeline.Release(i);
    }
  }

  EXPECT_FALSE(overBudget.load());
  if (c.workers > 1) {
    for (std::size_t i = 0; i < c.count; ++i) EXPECT_EQ(asked[i], 1) << "cost of item " << i;
    EXPECT_EQ(asked[c.count] + asked[c.count + 1], 0) << "cost asked of an item past the end";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, OrderedPipelineTest,
                         ::testing::Values(PipelineCase{"OneThread", 40, 1, 25},
                                           PipelineCase{"TwoWorkers", 40, 2, 25},
                                           PipelineCase{"EightWorkers", 200, 8, 45},
                                           PipelineCase{"OneItem", 1, 8, 25},
                                           PipelineCase{"BudgetBelowAnyItem", 30, 4, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// Leaving early (a stop) must not wait for items that never started, nor start new ones.
TEST(OrderedPipeline, LeavingEarlyStartsNothingMore) {
  std::atomic<int> started{0};
  {
    COrderedPipeline pipeline(
        1000, 4, 1 << 20, [](std::size_t) { return 1; },
        [&](std::size_t) {
          ++started;
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    pipeline.WaitFor(0);
    pipeline.Release(0);
  }
  // The window of started items is bounded by eight a worker.
  EXPECT_LE(started.load(), 4 * 8 + 1);
}

}  // namespace

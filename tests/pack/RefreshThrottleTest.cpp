#include <gtest/gtest.h>

#include "pack/RefreshThrottle.h"

namespace {

TEST(RefreshThrottleTest, RefreshesAtMostEveryTwoHundredMilliseconds) {
  CRefreshThrottle throttle;
  EXPECT_TRUE(throttle.IsRefreshDue(5'000));  // nothing shown yet
  throttle.NoteRefresh(5'000);
  EXPECT_FALSE(throttle.IsRefreshDue(5'000));
  EXPECT_FALSE(throttle.IsRefreshDue(5'200));
  EXPECT_TRUE(throttle.IsRefreshDue(5'201));
  EXPECT_TRUE(throttle.IsRefreshDue(4'000));  // another time base: refresh rather than wait
  throttle.NoteRefresh(5'150);
  EXPECT_FALSE(throttle.IsRefreshDue(5'300));
  throttle.Reset();
  EXPECT_TRUE(throttle.IsRefreshDue(5'300));
}

}  // namespace

#include "pack/RefreshThrottle.h"

bool CRefreshThrottle::IsRefreshDue(std::uint64_t now) const {
  // A clock reading before the last refresh can only come from a different time base (a host
  // that restarted its clock); refreshing then is harmless, waiting could last for ever.
  if (!lastRefresh_ || now < *lastRefresh_) return true;
  return now - *lastRefresh_ > kIntervalMs;
}

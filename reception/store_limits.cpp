#include "reception/store_limits.h"

#include <algorithm>

#include "geodesy/text.h"

namespace zeblon::reception {

std::int64_t SpeedTestCount(const std::function<double()>& clock) {
  std::int64_t counter = 0;
  const double start = clock();
  for (;;) {
    const double now = clock();
    if (static_cast<float>(now - start) < 1.0f && counter < kSpeedTestFullCount) {
      ++counter;
    } else {
      break;
    }
  }
  return counter;
}

int MoniAllLimitFromCount(std::int64_t count) {
  if (count > kSpeedTestFullCount) count = kSpeedTestFullCount;
  int limit = static_cast<int>(RoundHalfEven(static_cast<double>(count) / 4500.0));
  return std::max(limit, 50);
}

StoreLimits StoreLimitsFromSpeedTest(const std::function<double()>& clock) {
  const int limit = MoniAllLimitFromCount(SpeedTestCount(clock));
  return {limit, 5 * limit};
}

}  // namespace zeblon::reception

// The stores' limits from the start-up's speed test.
#include "reception/store_limits.h"

#include <gtest/gtest.h>

#include <utility>

namespace zeblon::reception {
namespace {

TEST(SpeedTest, LimitsFromTheCount) {
  const std::pair<std::int64_t, int> cases[] = {{0, 50},       {227250, 50},   {227251, 51},
                                                {450000, 100}, {3000000, 667}, {2000000000, 667}};
  for (const auto& [count, limit] : cases) EXPECT_EQ(MoniAllLimitFromCount(count), limit) << count;
  // The loop counts clock readings until one second has gone.
  double t = 0;
  EXPECT_EQ(SpeedTestCount([&] { return t += 0.25; }), 3);
  double u = 100;
  EXPECT_EQ(SpeedTestCount([&] { return u += 0.001; }), 999);
  // A count that reaches the full count ends the test before the second is over:
  // more readings could not raise the limits.
  std::int64_t reads = 0;
  const std::int64_t full = SpeedTestCount([&] { return ++reads * 1e-9; });
  EXPECT_EQ(full, kSpeedTestFullCount);
  EXPECT_EQ(reads, kSpeedTestFullCount + 2);
  EXPECT_EQ(MoniAllLimitFromCount(full), 667);
}

TEST(SpeedTest, TheTrackHoldsFiveTimesTheStations) {
  // 450000 readings within the second (after the start's) give 100 stations.
  std::int64_t reads = 0;
  const StoreLimits limits = StoreLimitsFromSpeedTest([&] { return ++reads > 450001 ? 1.0 : 0.0; });
  EXPECT_EQ(limits.moniAll, 100);
  EXPECT_EQ(limits.moniOneTrack, 500);
}

}  // namespace
}  // namespace zeblon::reception

// The stores' limits: how many MONI ALL stations and MONI 1 track points the
// receive path keeps, measured once at start-up by how fast the computer is.
#pragma once

#include <cstdint>
#include <functional>

namespace zeblon::reception {

// The speed test: how many times the clock (seconds) can be read in one second.
// The count is taken as it stood when the clock showed one second gone, or when it
// reached kSpeedTestFullCount: more readings give the same limits, so a computer
// that is fast enough is not held up for the rest of the second.
inline constexpr std::int64_t kSpeedTestFullCount = 3000000;
std::int64_t SpeedTestCount(const std::function<double()>& clock);

// MoniAllLimit from the count: held to kSpeedTestFullCount, divided by 4500, rounded half to
// even, at least 50 (50 … 667). MoniOneTrackLimit is five times it.
int MoniAllLimitFromCount(std::int64_t count);

struct StoreLimits {
  int moniAll = 50;        // MONI ALL stations
  int moniOneTrack = 250;  // MONI 1 track points: five times moniAll
};

// Runs the speed test on `clock` and gives both limits.
StoreLimits StoreLimitsFromSpeedTest(const std::function<double()>& clock);

}  // namespace zeblon::reception

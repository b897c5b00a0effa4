// The main window's start-up rules: the speed test's limits, the start picture's
// centre, the info-line tag, the pick lists' choice and the MONI 1 centre. No Qt;
// the window only applies the results. (The layout rules are in main_window/layout.h,
// the title's fields in main_window/title_fields.h.)
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zeblon::shell {

// ---------------------------------------------------------------------------
// Start-up

// The speed test: how many times the clock (seconds) can be read in one second.
// The count is taken as it stood when the clock showed one second gone, or when it
// reached kSpeedTestFullCount: more readings give the same limits, so a computer
// that is fast enough is not held up for the rest of the second.
inline constexpr std::int64_t kSpeedTestFullCount = 3000000;
std::int64_t SpeedTestCount(const std::function<double()>& clock);

// MoniAllLimit from the count: held to kSpeedTestFullCount, divided by 4500, rounded half to
// even, at least 50 (50 … 667). MoniOneTrackLimit is five times it.
int MoniAllLimitFromCount(std::int64_t count);

// True when the number's text (with its sign blank) ends in ".499": a map centre
// picked from the start picture.
bool EndsIn499(double value);

// The info-line tag: when none of lines 1 … 5 contains "ZEBLON" (any case), the
// shortest one below 30 characters (the first on equal lengths) gets
// "  using ZEBLON" appended. Index 0 and 6 are not looked at.
void TagInfoLines(std::array<std::string, 7>& lines);

// A pick list's choice: `current` when it is one of `entries` (exactly), else the
// first entry in sorted order, else empty.
std::string ChooseListEntry(const std::string& current, const std::vector<std::string>& sorted_entries);

// ---------------------------------------------------------------------------
// MONI 1 centre at start-up

// Map centre after the restore: with a start-picture centre nothing moves; else a
// newest position other than 0 becomes the centre, and the MONI 1 position is the
// centre afterwards.
void ApplyMoniOneCentre(double& centre_north, double& centre_east, double& moni_north, double& moni_east);

}  // namespace zeblon::shell

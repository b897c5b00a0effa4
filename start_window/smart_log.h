// SMART LOG: at START the MONI 1 log (one StationRecord per line, oldest first) is
// brought down to a line limit that follows the computer's speed. First every
// stretch of reports before a gap of more than 20 days is dropped, then the
// positions are thinned, more coarsely toward the older end, in sweeps whose
// distance thresholds double until the file is within the limit.
//
// Unlike a clock of seconds since midnight, the speed test runs on a monotonic
// clock, so it cannot hang at midnight. The limit is never below 2 lines (one
// line cannot be thinned away, so a smaller limit could never be reached), the
// sweeps are bounded, and a log of any length is held whole, so no report is
// lost because the log was long.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zeblon {

inline constexpr int kSpeedTestMaxPasses = 300000;
inline constexpr double kSmartLogMinLineLimit = 2;
inline constexpr int kSmartLogMaxSweeps = 64;

// Counts the passes of a loop that reads `clock` (seconds) until one reading lies
// `seconds` or more after the first; at most kSpeedTestMaxPasses. Without a clock
// the monotonic clock of the system is read.
int SpeedTestPasses(const std::function<double()>& clock = {}, double seconds = 1.0);

// passes / 150 * 3, not below kSmartLogMinLineLimit.
double SmartLogLineLimit(int passes);

// True for a line the log keeps: 103 to 120 characters.
bool IsMoniOneLogRecord(const std::string& line);

struct SmartLogResult {
  bool ran = false;       // the file could be opened (or created)
  int linesRead = 0;      // records held at the first load
  int linesKept = 0;      // records in the rewritten file
  bool gapStage = false;  // the gap stage ran
  int sweeps = 0;         // thinning sweeps run
};

// Stage 1 on lines held in memory: drops every stretch before a gap of more than
// kSmartLogGapDays (reception/moni_one_log.h).
std::vector<std::string> DropBeforeLastGaps(const std::vector<std::string>& lines);

// One thinning pass: compares each line with the line kept before it over the
// first `fraction` of the lines, dropping the later one when both differences of
// northing and easting are below `threshold_km`.
void ThinPass(std::vector<std::string>& lines, double threshold_km, double fraction);

// The whole trimming of the file `log_file` to `line_limit` lines.
SmartLogResult TrimMoniOneLogFile(const std::filesystem::path& log_file, double line_limit);

}  // namespace zeblon

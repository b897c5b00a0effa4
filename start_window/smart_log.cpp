#include "start_window/smart_log.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <system_error>

#include "geodesy/text.h"
#include "settings/settings.h"
#include "settings/text_files.h"
#include "reception/moni_one_log.h"

namespace zeblon {
namespace fs = std::filesystem;
namespace {

double MonotonicSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double Field(const std::string& line, size_t from, size_t count) {
  if (line.size() < from) return 0;
  return LeadingNumber(std::string_view(line).substr(from - 1, count));
}

// Load: the records of the file, every other line skipped.
bool LoadLog(const fs::path& file, std::vector<std::string>& lines) {
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) return false;
  lines.clear();
  for (std::string& l : SplitLines(bytes)) {
    if (IsMoniOneLogRecord(l)) lines.push_back(std::move(l));
  }
  return true;
}

}  // namespace

int SpeedTestPasses(const std::function<double()>& clock, double seconds) {
  auto now = [&clock] { return clock ? clock() : MonotonicSeconds(); };
  const double t0 = now();
  int passes = 0;
  for (;;) {
    const double t = now();
    // A clock that goes backwards cannot hold the test up: the difference is absolute.
    if (std::fabs(t - t0) >= seconds) break;
    if (passes < kSpeedTestMaxPasses)
      ++passes;
    else
      break;
  }
  return passes;
}

double SmartLogLineLimit(int passes) {
  if (passes > kSpeedTestMaxPasses) passes = kSpeedTestMaxPasses;
  const double limit = passes / 150.0 * 3.0;
  return limit < kSmartLogMinLineLimit ? kSmartLogMinLineLimit : limit;
}

bool IsMoniOneLogRecord(const std::string& line) { return line.size() >= 103 && line.size() <= 120; }

std::vector<std::string> DropBeforeLastGaps(const std::vector<std::string>& lines) {
  const std::size_t before = reception::RecordsBeforeLastGap(lines, reception::kSmartLogGapDays);
  return {lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end()};
}

void ThinPass(std::vector<std::string>& lines, double threshold_km, double fraction) {
  // The lines kept so far end with the reference line (slot i); `next` is the
  // first line not yet looked at (slot i + 1). Kept lines are moved down in place.
  const size_t n = lines.size();
  if (n < 2) return;
  size_t kept = 1;  // slots 1 .. i are lines[0 .. kept - 1]
  size_t next = 1;
  auto keep_next = [&] {
    if (kept != next) lines[kept] = std::move(lines[next]);
    ++kept;
    ++next;
  };
  auto count = [&] { return static_cast<double>(kept + (n - next)); };
  while (next < n && static_cast<double>(kept) < count() * fraction) {
    const std::string& ref = lines[kept - 1];
    const std::string& cand = lines[next];
    const bool close = std::fabs(Field(ref, 14, 9) - Field(cand, 14, 9)) < threshold_km &&
                       std::fabs(Field(ref, 23, 9) - Field(cand, 23, 9)) < threshold_km;
    if (close) {
      ++next;  // removed
      // From slot 1 the comparison goes on from slot 2, the former slot 3.
      if (kept == 1 && next < n) keep_next();
    } else {
      keep_next();
    }
  }
  while (next < n) keep_next();
  lines.resize(kept);
}

SmartLogResult TrimMoniOneLogFile(const fs::path& log_file, double line_limit) {
  SmartLogResult r;
  if (line_limit < kSmartLogMinLineLimit) line_limit = kSmartLogMinLineLimit;
  std::error_code ec;
  fs::create_directories(log_file.parent_path(), ec);
  if (!fs::exists(log_file, ec)) {
    std::ofstream create(log_file, std::ios::binary | std::ios::app);
    if (!create) return r;
  }
  std::vector<std::string> lines;
  if (!LoadLog(log_file, lines)) return r;
  r.ran = true;
  r.linesRead = static_cast<int>(lines.size());

  // Stage 1: the gaps.
  if (static_cast<double>(lines.size()) > line_limit) {
    r.gapStage = true;
    lines = DropBeforeLastGaps(lines);
    reception::WriteMoniOneLog(log_file, lines);
  }

  // Stage 2: the sweeps.
  static constexpr struct {
    double threshold;
    double fraction;
  } kPasses[] = {{0.01, 3.0 / 4}, {0.05, 2.0 / 3}, {0.1, 1.0 / 2}, {0.2, 1.0 / 3}, {0.5, 1.0 / 4}};
  double factor = 1;
  for (;;) {
    if (!LoadLog(log_file, lines)) break;
    for (const auto& p : kPasses) {
      if (static_cast<double>(lines.size()) > line_limit) ThinPass(lines, factor * p.threshold, p.fraction);
    }
    reception::WriteMoniOneLog(log_file, lines);
    ++r.sweeps;
    if (static_cast<double>(lines.size()) <= line_limit || r.sweeps >= kSmartLogMaxSweeps) break;
    factor *= 2;
  }
  r.linesKept = static_cast<int>(lines.size());
  return r;
}

}  // namespace zeblon

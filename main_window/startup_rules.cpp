#include "main_window/startup_rules.h"

#include <algorithm>

#include "geodesy/text.h"
#include "platform/paths.h"

namespace zeblon::shell {

namespace {

std::string Upper(std::string_view s) { return platform::UpperAscii(s); }

}  // namespace

// ---------------------------------------------------------------------------
// Start-up

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

bool EndsIn499(double value) {
  const std::string t = NumberTextUntrimmed(value);
  return t.size() >= 4 && t.compare(t.size() - 4, 4, ".499") == 0;
}

void TagInfoLines(std::array<std::string, 7>& lines) {
  for (int i = 1; i <= 5; ++i) {
    if (Upper(lines[i]).find("ZEBLON") != std::string::npos) return;
  }
  int best = 0;
  for (int i = 1; i <= 5; ++i) {
    if (lines[i].size() < 30 && (best == 0 || lines[i].size() < lines[best].size())) best = i;
  }
  if (best != 0) lines[best] += "  using ZEBLON";
}

std::string ChooseListEntry(const std::string& current, const std::vector<std::string>& entries) {
  if (std::find(entries.begin(), entries.end(), current) != entries.end()) return current;
  return entries.empty() ? std::string() : entries.front();
}

// ---------------------------------------------------------------------------
// MONI 1 centre at start-up

void ApplyMoniOneCentre(double& cn, double& ce, double& mn, double& me) {
  if (EndsIn499(cn) && EndsIn499(ce)) return;
  if (mn != 0) {
    cn = mn;
    ce = me;
  }
  mn = cn;
  me = ce;
}

}  // namespace zeblon::shell

#include "main_window/shell_logic.h"

#include "map/map_tile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <system_error>

#include "geodesy/text.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "settings/interface_kind.h"
#include "settings/settings.h"
#include "settings/text_files.h"

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

std::string RadioModeLabelFor(std::string_view mode, const std::string& current) {
  if (mode == "300R") return "RPR 300";
  if (mode == "300" || mode == "1200" || mode == "9600" || mode == "19200") {
    return std::string(mode) + " Bd";
  }
  return current;
}

std::string OwnEchoHeaderFor(std::string_view tx_call, std::string_view tx_path, std::string_view tx_destination) {
  std::string digis;
  if (!tx_path.empty()) {
    digis.assign(tx_path);
    std::replace(digis.begin(), digis.end(), ',', '>');
    digis += '>';
  }
  return std::string(tx_call) + "*>" + digis + std::string(tx_destination);
}

bool EndsIn499(double value) {
  const std::string t = NumberTextUntrimmed(value);
  return t.size() >= 4 && t.compare(t.size() - 4, 4, ".499") == 0;
}

std::string ClockLabelText(int hours, int minutes, int interface_kind, const std::string& radio_mode_label,
                           bool gps_clock_set) {
  auto two = [](int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
  };
  std::string label = two(hours) + ":" + two(minutes) + " ";
  if (InterfaceKindOf(interface_kind) != InterfaceKind::NoRadio) label += "  " + radio_mode_label;
  if (gps_clock_set) label[5] = '!';
  return label;
}

std::string PlaceTitleMark(std::string_view title, int column, std::string_view mark) {
  std::string t(title);
  if (t.size() < 90) t.append(90 - t.size(), ' ');
  const std::size_t at = static_cast<std::size_t>(column - 1);
  if (t.size() < at + mark.size()) t.append(at + mark.size() - t.size(), ' ');
  t.replace(at, mark.size(), mark);
  return Trim(t);
}

std::string TitleWithMarks(std::string title, int digi_on, int interface_kind, std::string_view cross_mode,
                           std::string_view radio_mode, int igate_on) {
  const InterfaceKind kind = InterfaceKindOf(interface_kind);
  if (digi_on == 1 && UsesSerialTnc(kind)) {
    std::string mark = "Digi active";
    if (kind == InterfaceKind::ScsTnc && cross_mode != radio_mode && cross_mode != "NONE") mark = "Digi X-mode";
    title = PlaceTitleMark(title, 61, mark);
  }
  if (igate_on == 1 && kind != InterfaceKind::NoRadio) title = PlaceTitleMark(title, 76, "IGate");
  return title;
}

std::string WithLinkNotice(std::string_view title, std::string_view notice) {
  constexpr std::size_t kFirst = 8, kLast = 73;  // columns 9 … 74, 0-based
  std::string field(kLast - kFirst + 1, ' ');
  field.replace(0, std::min(notice.size(), field.size()), notice.substr(0, field.size()));
  return PlaceTitleMark(title, static_cast<int>(kFirst + 1), field);
}

std::string WithLogWriteTitleField(std::string_view title, bool failing, bool diskFull) {
  const std::string_view mark = !failing ? "                " : diskFull ? "DISK FULL       " : "LOGS NOT WRITTEN";
  return PlaceTitleMark(title, 92, mark);
}

std::string TxBoxCaption(int beacon_interval) {
  if (beacon_interval == 0) return "TX !";
  return "TX" + NumberTextUntrimmed(beacon_interval);
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
// MONI 1 log restore

void ApplyMoniOneCentre(double& cn, double& ce, double& mn, double& me) {
  if (EndsIn499(cn) && EndsIn499(ce)) return;
  if (mn != 0) {
    cn = mn;
    ce = me;
  }
  mn = cn;
  me = ce;
}

QuietPassEnd QuietPassEndFor(int gps_fix_moved, int gps_fix_moved_before, bool window_active, int colour_depth) {
  QuietPassEnd end;
  end.redraw = gps_fix_moved == 1 || gps_fix_moved_before > gps_fix_moved;
  end.focusMap = window_active || colour_depth < 16;
  return end;
}

}  // namespace zeblon::shell

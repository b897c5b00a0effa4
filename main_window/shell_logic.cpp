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

std::string EngineNotReachedText(std::string_view host, int port) {
  return "PACKET ENGINE NOT REACHED AT " + std::string(host) + ":" + std::to_string(port) + ", RETRYING";
}

std::string WithLinkNotice(std::string_view title, std::string_view notice) {
  constexpr std::size_t kFirst = 8, kLast = 73;  // columns 9 … 74, 0-based
  std::string field(kLast - kFirst + 1, ' ');
  field.replace(0, std::min(notice.size(), field.size()), notice.substr(0, field.size()));
  return PlaceTitleMark(title, static_cast<int>(kFirst + 1), field);
}

OuterFrame FitOuterFrame(OuterFrame wanted, const OuterFrame& area, int min_width, int min_height) {
  if (min_width > area.width || min_height > area.height) {
    wanted.maximise = true;
    return wanted;
  }
  wanted.width = std::clamp(wanted.width, min_width, area.width);
  wanted.height = std::clamp(wanted.height, min_height, area.height);
  wanted.left = std::clamp(wanted.left, area.left, area.left + area.width - wanted.width);
  wanted.top = std::clamp(wanted.top, area.top, area.top + area.height - wanted.height);
  wanted.maximise = false;
  return wanted;
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

// ---------------------------------------------------------------------------
// Shutdown

std::string NavigationStopLine(std::string_view record) {
  std::string line = std::string(record) + " STOP   ZEBLON_NAVIGATION_ENDED";
  line.resize(54, ' ');
  return line + "@(xxx)@yyy@zzz";
}

bool WriteNavigationFiles(const fs::path& folder, std::string_view record, std::string& navigation_line,
                          std::string_view north, std::string_view east) {
  std::string stop = NavigationStopLine(record);
  ConvertToDosCodePage(stop);
  stop = TrimRight(stop);
  std::string way;
  if (!navigation_line.empty()) way += "\r\n";
  way += stop + "\r\n";
  bool ok = true;
  {
    std::ofstream f(folder / "QTHWAY.TXT", std::ios::binary | std::ios::app);
    f << way;
    ok = ok && f.good();
  }
  ok = WriteFileAtomically(folder / "QTHACT.TXT", stop + "\r\n") && ok;
  ok = WriteFileAtomically(folder / "QTHACTPR.TXT", "\xFE" + std::string(north) + std::string(east) + "\r\n") && ok;
  navigation_line = stop;
  return ok;
}

std::string MapFolderFromCombo(std::string_view combo_text) {
  if (combo_text.size() < 6) return {};
  return Upper(Trim(combo_text.substr(5)));
}

std::vector<std::pair<std::string, std::string>> ShutdownPatchEntries(const std::array<std::string, 6>& f, double cn,
                                                                      double ce, double un, double ue) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < 6; ++i) entries.emplace_back(map::ScaleTag(map::kTileScales[i]), f[i]);
  entries.insert(entries.end(),
                 {{"UTN", NumberText(cn)}, {"UTE", NumberText(ce)}, {"UUN", NumberText(un)}, {"UUE", NumberText(ue)}});
  return entries;
}

namespace {
std::string Key(const fs::path& p) { return p.lexically_normal().string(); }
}  // namespace

void OwnFiles::Add(const fs::path& file) { files_.insert(Key(file)); }
void OwnFiles::Forget(const fs::path& file) { files_.erase(Key(file)); }
bool OwnFiles::Contains(const fs::path& file) const { return files_.count(Key(file)) != 0; }

int OwnFiles::DeleteAll() {
  int n = 0;
  for (const std::string& f : files_) {
    std::error_code ec;
    if (fs::remove(f, ec)) ++n;
  }
  files_.clear();
  return n;
}

// ---------------------------------------------------------------------------
// Layout

namespace {
int Whole(double v) { return static_cast<int>(RoundHalfEven(v)); }
}  // namespace

LayoutOut LayoutRules(const LayoutIn& in, bool startup) {
  LayoutOut o;
  const int W = in.W, H = in.H;
  // The map area: even sizes, not below zero once the window is up.
  double mh = H - 20;
  if (static_cast<long long>(mh) % 2 != 0) mh += 1;
  if (!startup && mh < 0) mh = 0;
  o.mapHeightPx = mh;
  double mw = W - in.mapLeft;
  if (static_cast<long long>(mw) % 2 != 0) mw += 1;
  if (!startup && mw < 0) mw = 0;
  o.mapWidthPx = mw;
  // At the start the map lies against the right edge.
  int p1left = in.mapLeft;
  if (startup) {
    p1left = static_cast<int>(W - mw);
    o.mapLeftSet = true;
  }
  o.mapLeft = p1left;
  // The record line and the scale bar along the foot.
  o.recordLineTop = H - 17;
  o.scaleBarTop = H - 17;
  o.scaleBarLeft = Whole(std::min(0.0, static_cast<double>(in.outerWidthPx - in.lastScaleComboRight - 16)));
  // The RAW list above the record line, as wide as the map.
  o.rawListWidth = static_cast<int>(mw);
  o.rawListTop = o.recordLineTop - in.rawListHeight - 2;
  // The INFO panel above the record line; on the map when the control column reaches down to it.
  o.infoPanelTop = o.recordLineTop - in.infoPanelHeight;
  o.infoPanelLeft = (in.specialsTop + 24 > H - (in.recordLineHeight + in.infoPanelHeight)) ? p1left : 0;
  // The SPECIALS group only where it fits above the record line.
  o.specialsVisible = in.specialsTop + 16 <= o.recordLineTop;
  // The WX STATION window in the foot's right corner, clear of the INFO panel.
  o.wxStationTop = o.recordLineTop - in.wxStationHeight;
  o.wxStationLeft = std::max(W - in.wxStationWidth, o.infoPanelLeft + in.infoPanelWidth);
  // The chat frame along the top, at most 772 wide.
  o.chatTop = 0;
  if (W < 790) {
    o.chatLeft = 0;
    o.chatWidth = W;
  } else {
    o.chatLeft = p1left;
    o.chatWidth = 772;
  }
  o.meOnlyLeft = 112;
  // Its close button at its right end.
  o.chatCloseLeft = Whole(std::min(W - o.chatLeft, o.chatWidth) - 18);
  // The chat line box: what the frame leaves, within limits.
  double t3 = o.chatWidth - in.chatMessageLeft - 4;
  t3 = std::min(t3, 7320.0 / in.tppX);
  t3 = std::max(t3, 10.0);
  o.chatMessageWidth = Whole(t3);
  // The auto answer box as wide as its caption.
  o.autoAnswerWidth = in.autoAnswerWidth;
  if (in.autoAnswerCaption == "AUTO-A") o.autoAnswerWidth = 73;
  if (in.autoAnswerCaption == "AUTO ANSWER TEXT:") o.autoAnswerWidth = 159;
  // SAVED MESSAGES fills the window below the chat frame.
  o.savedMessages = {0, 0, W, H - in.chatHeight};
  o.savedTextWidth = o.savedMessages.width - 16;
  o.savedTextHeight = o.savedMessages.height - 22;
  o.savedCloseLeft = o.savedMessages.width - 18;
  // The EMERGENCY window above the record line, on the map.
  o.emergencyTop = o.recordLineTop - in.emergencyHeight - 2;
  o.emergencyLeft = p1left;
  // The picture viewer inside the map.
  o.viewer = {8, 8, static_cast<int>(mw) - 16, static_cast<int>(mh) - 16};
  // Its web view: whole twips, at least one.
  const double wb_w_twips = std::max(1.0, RoundHalfEven((o.viewer.width - 16.0) * in.tppX));
  const double wb_h_twips = std::max(1.0, RoundHalfEven((o.viewer.height - 58.0) * in.tppY));
  o.viewerPageWidth = std::max(1, Whole(wb_w_twips / in.tppX));
  o.viewerPageHeight = std::max(1, Whole(wb_h_twips / in.tppY));
  return o;
}

namespace {
// A screen reporting no twips per pixel counts as one twip a pixel.
int TwipsPerPixel(int tpp) { return std::max(1, tpp); }
}  // namespace

int MoniOneFrameStandardWidth(int tpp_x) { return Whole(1815.0 / TwipsPerPixel(tpp_x)); }

int MoniOneFrameWidthUnderMouse(int tpp_x, bool combo_holds_moni_one_call, int mouse_x_twips, int label_width_twips,
                                bool never_narrower) {
  const int tpp = TwipsPerPixel(tpp_x);
  const int standard = MoniOneFrameStandardWidth(tpp);
  if (!combo_holds_moni_one_call || mouse_x_twips <= 1200 / (tpp * 15)) return standard;
  const int label = Whole(static_cast<double>(label_width_twips) / tpp);
  return never_narrower ? std::max(standard, label) : label;
}

}  // namespace zeblon::shell

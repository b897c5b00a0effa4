#include "links/tx_setup.h"

#include <algorithm>

#include "geodesy/text.h"
#include "links/tnc_commands.h"
#include "platform/paths.h"
#include "reception/symbol_table.h"
#include "settings/interface_kind.h"

namespace zeblon::links {
namespace {

bool IsHfMode(const std::string& m) { return m == "300R" || m == "300"; }
bool KnownMode(const std::string& m) { return IsHfMode(m) || m == "1200" || m == "9600" || m == "19200"; }
bool AllDigits(const std::string& t) {
  return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}
std::string Upper(std::string_view t) { return platform::UpperAscii(t); }
int Whole(const std::string& text) { return ToWholeNumber<std::int16_t>(LeadingNumber(text)); }

}  // namespace

TxPanelValues TxPanelOpening(const Settings& s, int hf_dual_on, const TxPanelValues& current) {
  TxPanelValues v = current;
  const InterfaceKind kind = InterfaceKindOf(s.InterfaceKind);
  if (KnownMode(s.RadioMode)) v.radioMode = s.RadioMode;
  v.crossMode = Trim(s.CrossMode);
  v.hfDualShown = kind == InterfaceKind::ScsTnc;
  v.hfDual = hf_dual_on == 1 ? 1 : 0;
  // The SSID is the digipeater's while it runs; the box opens again with it off.
  v.ssidEnabled = s.DigiOn != 1;
  v.crossFrameShown = kind == InterfaceKind::ScsTnc;
  v.txLevelShown = IsScs(kind);
  if (kind == InterfaceKind::ScsTnc) v.txLevelCaption = " SCS TNC: AFSK TX LEVEL ( 30 mV - 3000 mV )";
  if (kind == InterfaceKind::ScsPtc) v.txLevelCaption = " SCS PTC: AFSK TX LEVEL ( 30 mV - 3000 mV )";
  for (int i = 1; i <= 4; ++i) v.pathMemoryTips[i] = s.PathMemories[i];
  v.timestamp = s.TxTimestamp;
  v.ssid = s.TxSsid;
  v.interval = NumberText(s.BeaconInterval);
  v.destination = s.TxDestination;
  v.path = s.TxPath;
  for (int i = 1; i <= 6; ++i) {
    v.infoLines[i] = s.InfoLines[i];
    v.infoActive[i] = s.InfoLineActive[i] == 1 ? 1 : 0;
    v.infoMemories[i] = s.InfoMemories[i];
  }
  v.txLevel = NumberText(s.TxLevel);
  v.symbol = NumberText(s.TxSymbolIndex);
  v.overlay = s.TxOverlay;
  if (CanDigipeat(kind)) {
    v.digiShown = true;
    v.digi = s.DigiOn == 1 ? 1 : 0;
  }
  return v;
}

std::string TxTimerStep(const std::string& text, int step) { return NumberText(LeadingNumber(text) + step); }

int SymbolStepBack(int index) {
  int i = index - 1;
  if (i < 1) i = 1;
  if (i >= 95 && i <= 100) i = 94;
  return i;
}

int SymbolStepForward(int index) {
  int i = index + 1;
  if (i > 194) i = 194;
  if (i >= 95 && i <= 100) i = 101;
  return i;
}

bool SymbolIndexValid(int i) { return (i >= 1 && i <= 94) || (i >= 101 && i <= 194); }
int SymbolNumberOf(const std::string& text) { return Whole(text); }

void SelectFastMode(TxPanelValues& v, const std::string& mode) {
  v.radioMode = mode;
  v.digi = 0;
  v.hfDual = 0;
  v.crossMode = "NONE";
}

void ReleaseOverHfMode(TxPanelValues& v, const std::string& mode) {
  v.radioMode = mode;
  v.digi = 0;
  const std::string partner = mode == "300R" ? "300" : "R300";
  if (!(v.hfDual == 1 && v.crossMode == partner)) {
    v.hfDual = 0;
    v.crossMode = "NONE";
  }
}

void ReleaseOverHfDual(TxPanelValues& v) {
  if (v.hfDual != 1) {
    v.digi = 0;
    v.crossMode = "NONE";
    return;
  }
  if (!v.path.empty()) v.path = "WIDE1-1";
  if (v.interval == "1") v.interval = "2";
  if (!IsHfMode(v.radioMode)) {
    v.radioMode = "300R";
    v.crossMode = "300";
    return;
  }
  v.crossMode = v.radioMode == "300R" ? "300" : "R300";
}

void StepCrossMode(TxPanelValues& v, bool toward_none) {
  static const std::array<const char*, 6> order = {"19200", "9600", "1200", "300", "R300", "NONE"};
  const auto it = std::find(order.begin(), order.end(), v.crossMode);
  if (it != order.end()) {
    const int i = static_cast<int>(it - order.begin());
    SelectCrossMode(v, order[(i + (toward_none ? 1 : 5)) % 6]);
    return;
  }
  SelectCrossMode(v, v.crossMode);
}

void SelectCrossMode(TxPanelValues& v, const std::string& mode) {
  v.crossMode = mode;
  const bool pair = (v.crossMode == "R300" && v.radioMode == "300") || (v.crossMode == "300" && v.radioMode == "300R");
  if (!pair) v.hfDual = 0;
}

std::string PathWithPreset(const std::string& path, const std::string& preset) {
  std::string t = Trim(path);
  if (!t.empty()) t += ",";
  return t + preset;
}

std::string PathMemoryRecall(const std::string& memory, const std::string& pending_edit) {
  return pending_edit.empty() ? Upper(Trim(memory)) : pending_edit;
}

std::string PathMemoryStore(const std::string& path) { return Upper(Trim(path)); }

int InfoMemoryTarget(const std::array<std::string, 7>& lines, int last_line, const std::string& memory,
                     bool left_button) {
  int target = last_line;
  if (left_button && Upper(memory).find("MHZ") != std::string::npos) {
    for (int i = 1; i <= 6; ++i) {
      if (Upper(lines[i]).find("MHZ") != std::string::npos) target = i;
    }
  }
  return target >= 1 && target <= 6 ? target : 0;
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

TxSetupOk TakeTxPanel(const Settings& old, const TxPanelValues& v, const std::array<std::string, 5>& path_memory_edits,
                      bool igate_enabled, int igate_value) {
  TxSetupOk out;
  out.settings = old;
  const InterfaceKind kind = InterfaceKindOf(old.InterfaceKind);

  const std::string ssid = Trim(v.ssid);
  if (!ssid.empty() && !(AllDigits(ssid) && LeadingNumber(ssid) >= 1 && LeadingNumber(ssid) <= 15)) {
    out.refusals.push_back("SSID MUST BE 1 ... 15 OR EMPTY !");
  }
  const double interval = RoundHalfEven(LeadingNumber(v.interval));
  if (!(interval >= 0 && interval <= 60)) out.refusals.push_back("TX TIMER MUST BE 1 ... 60 MINUTES OR MANUAL !");
  const int symbol = SymbolNumberOf(v.symbol);
  if (!SymbolIndexValid(symbol)) out.refusals.push_back(kSymbolRangeMessage);
  const int level = Whole(v.txLevel);
  if (IsScs(kind) && !(level >= 30 && level <= 3000)) {
    out.refusals.push_back("TX LEVEL MUST BE 30 ... 3000 mV !");
  }
  if (!out.refusals.empty()) {
    out.hfDualOn = 0;
    out.txCall = CallWithSsid(Trim(old.UserCall), Trim(old.TxSsid));
    return out;
  }

  Settings& s = out.settings;
  if (KnownMode(v.radioMode)) s.RadioMode = v.radioMode;
  s.CrossMode = v.crossMode;
  out.hfDualOn = v.hfDual == 1 ? 1 : 0;
  s.TxSsid = ssid;
  s.UserCall = Trim(s.UserCall);
  out.txCall = CallWithSsid(s.UserCall, s.TxSsid);
  s.BeaconInterval = static_cast<int>(interval);
  s.TxDestination = Upper(Trim(v.destination));
  if (s.TxDestination.empty()) s.TxDestination = "ZEBL";
  s.TxPath = Upper(Trim(v.path));
  for (int i = 1; i <= 4; ++i) {
    if (!path_memory_edits[i].empty()) s.PathMemories[i] = path_memory_edits[i];
  }
  for (int i = 1; i <= 6; ++i) {
    s.InfoLines[i] = Trim(v.infoLines[i]);
    s.InfoLineActive[i] = v.infoActive[i] == 1 ? 1 : 0;
    s.InfoMemories[i] = Trim(v.infoMemories[i]);
  }
  s.TxLevel = level;
  s.TxSymbolIndex = symbol;
  s.TxOverlay = reception::OverlayCharacter(v.overlay);
  s.TxTimestamp = v.timestamp == 1 ? 1 : 0;
  if (CanDigipeat(kind)) s.DigiOn = v.digi == 1 ? 1 : 0;
  // A disabled box (a call that may not gate) keeps the stored choice for a valid call.
  if (igate_enabled) s.IGateOn = igate_value == 1 ? 1 : 0;
  return out;
}

Settings CleanTxPanel(const Settings& old, const TxPanelValues& v, const std::array<std::string, 5>& path_memory_edits,
                      bool igate_call_ok, int igate_value) {
  Settings s = old;
  s.TxSsid = StoredTxSsid(v.ssid);
  s.BeaconInterval = ToWholeNumber<std::int16_t>(LeadingNumber(v.interval));
  s.TxDestination = platform::UpperAscii(Trim(v.destination));
  if (s.TxDestination.empty()) s.TxDestination = "ZEBL";
  s.TxPath = platform::UpperAscii(Trim(v.path));
  for (int n = 1; n <= 4; ++n) {
    if (!path_memory_edits[n].empty()) s.PathMemories[n] = path_memory_edits[n];
  }
  for (int i = 1; i <= 6; ++i) {
    s.InfoLines[i] = Trim(v.infoLines[i]);
    s.InfoLineActive[i] = v.infoActive[i];
    s.InfoMemories[i] = Trim(v.infoMemories[i]);
  }
  s.TxLevel = ToWholeNumber<std::int16_t>(LeadingNumber(v.txLevel));
  s.TxSymbolIndex = ToWholeNumber<std::int16_t>(LeadingNumber(v.symbol));
  s.TxOverlay = reception::OverlayCharacter(v.overlay);
  if (!v.radioMode.empty()) s.RadioMode = v.radioMode;
  s.DigiOn = v.digi;
  if (InterfaceKindOf(s.InterfaceKind) == InterfaceKind::ScsTnc && !v.crossMode.empty()) s.CrossMode = v.crossMode;
  s.TxAfc = v.afc;
  s.TxTimestamp = v.timestamp;
  if (igate_call_ok) s.IGateOn = igate_value;  // otherwise kept for a valid call
  return s;
}

std::string StoredTxSsid(const std::string& box_text) {
  const std::string ssid = Trim(box_text);
  if (ssid.empty()) return ssid;
  const double v = LeadingNumber(ssid);
  return v < 1 || v > 15 ? std::string() : ssid;
}

std::string DigiTitleMark(int digi_on, int interface_kind, const std::string& cross_mode,
                          const std::string& radio_mode) {
  const InterfaceKind kind = InterfaceKindOf(interface_kind);
  if (digi_on != 1) return std::string(11, ' ');
  if (!UsesSerialTnc(kind)) return {};
  if (kind == InterfaceKind::ScsTnc && cross_mode != radio_mode && cross_mode != "NONE") return "Digi X-mode";
  return "Digi active";
}

std::string IGateTitleMark(int igate_on) { return igate_on == 1 ? "IGate" : std::string(5, ' '); }

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

std::string ClockLabelText(int hours, int minutes, int interface_kind, const std::string& radio_mode_label,
                           bool gps_time_valid) {
  auto two = [](int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
  };
  std::string label = two(hours) + ":" + two(minutes) + " ";
  if (InterfaceKindOf(interface_kind) != InterfaceKind::NoRadio) label += "  " + radio_mode_label;
  if (gps_time_valid) label[5] = '!';
  return label;
}

std::string TxBoxCaption(int beacon_interval) {
  if (beacon_interval == 0) return "TX !";
  return "TX" + NumberTextUntrimmed(beacon_interval);
}

}  // namespace zeblon::links

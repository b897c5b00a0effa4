#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>
#include <variant>

#include "geodesy/text.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "settings/interface_kind.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;

// How a value is read.
enum class Rule {
  None,      // not read by this window
  Int16,     // leading number, rounded half to even, a 16-bit whole number
  Byte,      // the same, 0 … 255
  Real,      // leading number as it is
  Text,      // trimmed
  TextUpper  // trimmed and upper-cased
};

using FieldRef = std::variant<std::string*, int*, double*>;
using Accessor = FieldRef (*)(Settings&);

struct Key {
  const char* name;
  Rule start;  // the start window's rule (None: the key is neither read nor written)
  Rule main;   // the main window's rule
  bool mainWrites;
  Accessor field;
};

#define FIELD(expr) [](Settings& s) -> FieldRef { return &s.expr; }

// Every key, in the writers' order.
const Key kKeys[] = {
    {"LANG", Rule::Int16, Rule::Int16, true, FIELD(LanguageSetting)},
    {"USER", Rule::TextUpper, Rule::TextUpper, true, FIELD(UserCall)},
    {"MSYS", Rule::TextUpper, Rule::TextUpper, true, FIELD(MapSystem)},
    {"UMAPS", Rule::Text, Rule::Text, true, FIELD(MapRootFolder)},
    {"M0002", Rule::Text, Rule::TextUpper, false, FIELD(MapFolderM0002)},
    {"M0010", Rule::Text, Rule::TextUpper, false, FIELD(MapFolderM0010)},
    {"M0050", Rule::Text, Rule::TextUpper, false, FIELD(MapFolderM0050)},
    {"M0200", Rule::Text, Rule::TextUpper, false, FIELD(MapFolderM0200)},
    {"M1000", Rule::Text, Rule::TextUpper, false, FIELD(MapFolderM1000)},
    {"M5000", Rule::Text, Rule::TextUpper, false, FIELD(MapFolderM5000)},
    {"TEMP", Rule::Text, Rule::Text, true, FIELD(TempFolder)},
    {"NMEA", Rule::Text, Rule::Text, true, FIELD(GpsSource)},
    {"NBAUD", Rule::Text, Rule::Text, true, FIELD(GpsBaud)},
    {"MODEM", Rule::Int16, Rule::Int16, true, FIELD(InterfaceKind)},
    {"COM", Rule::Int16, Rule::Int16, true, FIELD(TncComPort)},
    {"TBAUD", Rule::Text, Rule::Text, true, FIELD(TncBaud)},
    {"SCOMP", Rule::Real, Rule::Int16, true, FIELD(ScsComPort)},
    {"SBAUD", Rule::Text, Rule::Text, true, FIELD(ScsBaud)},
    {"HOSTC", Rule::Text, Rule::Text, true, FIELD(AgwHost)},
    {"HOSTP", Rule::Text, Rule::Text, true, FIELD(AgwPort)},
    {"HBAUD", Rule::Text, Rule::Text, true, FIELD(RadioMode)},
    {"CALL", Rule::Text, Rule::Text, true, FIELD(MoniOneCall)},
    {"DISA", Rule::Byte, Rule::Byte, true, FIELD(MoniOneAlarmOn)},
    {"DIST", Rule::Int16, Rule::Int16, true, FIELD(AlarmDistanceKm)},
    {"UTCD", Rule::Real, Rule::Int16, true, FIELD(UtcOffsetHours)},
    {"SLOG", Rule::Byte, Rule::Byte, true, FIELD(SmartLog)},
    {"LOGS", Rule::Byte, Rule::Byte, true, FIELD(LogsOn)},
    {"TXID", Rule::TextUpper, Rule::Text, true, FIELD(TxSsid)},
    {"TXON", Rule::Int16, Rule::Int16, true, FIELD(BeaconInterval)},
    {"TXTO", Rule::TextUpper, Rule::TextUpper, true, FIELD(TxDestination)},
    {"TXPA", Rule::TextUpper, Rule::TextUpper, true, FIELD(TxPath)},
    {"TXPM1", Rule::TextUpper, Rule::TextUpper, true, FIELD(PathMemories[1])},
    {"TXPM2", Rule::TextUpper, Rule::TextUpper, true, FIELD(PathMemories[2])},
    {"TXPM3", Rule::TextUpper, Rule::TextUpper, true, FIELD(PathMemories[3])},
    {"TXPM4", Rule::TextUpper, Rule::TextUpper, true, FIELD(PathMemories[4])},
    {"TXTIM", Rule::Byte, Rule::Byte, true, FIELD(TxTimestamp)},
    {"TXI1", Rule::Text, Rule::Text, true, FIELD(InfoLines[1])},
    {"TXI2", Rule::Text, Rule::Text, true, FIELD(InfoLines[2])},
    {"TXI3", Rule::Text, Rule::Text, true, FIELD(InfoLines[3])},
    {"TXI4", Rule::Text, Rule::Text, true, FIELD(InfoLines[4])},
    {"TXI5", Rule::Text, Rule::Text, true, FIELD(InfoLines[5])},
    {"TXI6", Rule::Text, Rule::Text, true, FIELD(InfoLines[6])},
    {"TXI1A", Rule::Byte, Rule::Int16, true, FIELD(InfoLineActive[1])},
    {"TXI2A", Rule::Byte, Rule::Int16, true, FIELD(InfoLineActive[2])},
    {"TXI3A", Rule::Byte, Rule::Int16, true, FIELD(InfoLineActive[3])},
    {"TXI4A", Rule::Byte, Rule::Int16, true, FIELD(InfoLineActive[4])},
    {"TXI5A", Rule::Byte, Rule::Int16, true, FIELD(InfoLineActive[5])},
    {"TXI6A", Rule::Byte, Rule::Int16, true, FIELD(InfoLineActive[6])},
    {"TXM1", Rule::Text, Rule::Text, true, FIELD(InfoMemories[1])},
    {"TXM2", Rule::Text, Rule::Text, true, FIELD(InfoMemories[2])},
    {"TXM3", Rule::Text, Rule::Text, true, FIELD(InfoMemories[3])},
    {"TXM4", Rule::Text, Rule::Text, true, FIELD(InfoMemories[4])},
    {"TXM5", Rule::Text, Rule::Text, true, FIELD(InfoMemories[5])},
    {"TXM6", Rule::Text, Rule::Text, true, FIELD(InfoMemories[6])},
    {"TXAF", Rule::Int16, Rule::Int16, true, FIELD(TxLevel)},
    {"TXAFC", Rule::Int16, Rule::Int16, true, FIELD(TxAfc)},
    {"DIGI", Rule::Byte, Rule::Byte, true, FIELD(DigiOn)},
    {"XBAUD", Rule::TextUpper, Rule::TextUpper, true, FIELD(CrossMode)},
    {"TXSY", Rule::Int16, Rule::Int16, true, FIELD(TxSymbolIndex)},
    {"TXSS", Rule::Text, Rule::Text, true, FIELD(TxOverlay)},
    {"UTN", Rule::Real, Rule::Real, true, FIELD(CentreNorth)},
    {"UTE", Rule::Real, Rule::Real, true, FIELD(CentreEast)},
    {"UUN", Rule::Real, Rule::Real, true, FIELD(UserNorth)},
    {"UUE", Rule::Real, Rule::Real, true, FIELD(UserEast)},
    {"ONAM", Rule::Text, Rule::Text, true, FIELD(ObjectName)},
    {"OTXT", Rule::Text, Rule::Text, true, FIELD(ObjectText)},
    {"OSYM", Rule::Int16, Rule::Int16, true, FIELD(ObjectSymbolIndex)},
    {"OSYN", Rule::Text, Rule::Text, true, FIELD(ObjectOverlay)},
    {"OUTN", Rule::Real, Rule::Real, true, FIELD(ObjectNorth)},
    {"OUTE", Rule::Real, Rule::Real, true, FIELD(ObjectEast)},
    {"NOAT", Rule::Int16, Rule::None, false, FIELD(NoAttribReset)},
    {"SSPT", Rule::Real, Rule::Real, true, FIELD(SunspotNumber)},
    {"KIND", Rule::Real, Rule::Real, true, FIELD(KIndex)},
    {"IONA", Rule::Byte, Rule::Byte, true, FIELD(IonoAutoUpdate)},
    {"POIF", Rule::Text, Rule::Text, true, FIELD(PoiFileName)},
    {"TRKF", Rule::Text, Rule::Text, true, FIELD(TrackFileName)},
    {"AIPRT", Rule::Text, Rule::Text, true, FIELD(AprsIsPort)},
    {"AISRV", Rule::Text, Rule::Text, true, FIELD(AprsIsServer)},
    {"IGATE", Rule::Byte, Rule::Byte, true, FIELD(IGateOn)},
    {"WVER", Rule::TextUpper, Rule::TextUpper, true, FIELD(WindowsVersion)},
};

#undef FIELD

bool HasDigit(std::string_view s) {
  for (char c : s) {
    if (c >= '0' && c <= '9') return true;
  }
  return false;
}

// Serial and TCP ports that can be used: a value outside keeps the default.
bool PortKeyInRange(std::string_view key, double value) {
  if (key == "COM" || key == "SCOMP") return value >= 1 && value <= 255;
  return true;
}

void RemoveTrailingBackslash(std::string& s) {
  if (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.pop_back();
}

void PadObjectName(std::string& s) {
  if (s.empty()) return;
  if (s.size() < 9) s.append(9 - s.size(), ' ');
  s.resize(9);
}

// Stores a value by its rule; false when the value is unusable (no number where one
// belongs, or a number that does not fit the field), so the field keeps what it held.
bool StoreValue(const Key& key, Rule rule, std::string_view value, Settings& s) {
  FieldRef ref = key.field(s);
  switch (rule) {
    case Rule::None: return false;
    case Rule::Text:
    case Rule::TextUpper: {
      std::string v = Trim(value);
      if (rule == Rule::TextUpper) v = platform::UpperAscii(v);
      if (auto* p = std::get_if<std::string*>(&ref)) **p = std::move(v);
      return true;
    }
    case Rule::Real:
    case Rule::Int16:
    case Rule::Byte: {
      if (!HasDigit(value)) return false;
      double n = LeadingNumber(value);
      if (!std::isfinite(n) || std::fabs(n) >= std::numeric_limits<double>::max()) return false;
      if (rule == Rule::Int16) {
        if (!FitsWholeNumber<std::int16_t>(n)) return false;
        n = RoundHalfEven(n);
      } else if (rule == Rule::Byte) {
        if (!FitsWholeNumber<std::uint8_t>(n)) return false;
        n = RoundHalfEven(n);
      }
      if (!PortKeyInRange(key.name, n)) return false;
      if (auto* p = std::get_if<int*>(&ref))
        **p = static_cast<int>(n);
      else if (auto* d = std::get_if<double*>(&ref))
        **d = n;
      return true;
    }
  }
  return false;
}

std::string ValueText(const Key& key, SettingsWindow window, Settings& s) {
  FieldRef ref = key.field(s);
  if (auto* p = std::get_if<int*>(&ref)) return NumberText(**p);
  if (auto* d = std::get_if<double*>(&ref)) {
    // A field that is a whole number in this window is written as one.
    const Rule rule = window == SettingsWindow::Start ? key.start : key.main;
    return NumberText(rule == Rule::Real ? **d : RoundHalfEven(**d));
  }
  std::string v = **std::get_if<std::string*>(&ref);
  const std::string_view name = key.name;
  if (name == "USER" || name == "MSYS" || name == "XBAUD")
    v = platform::UpperAscii(Trim(v));
  else if (name == "NMEA" || name == "NBAUD")
    v = Trim(v);
  return v;
}

}  // namespace

void SetDefaultSettings(SettingsWindow window, Settings& s, const std::string& app_folder,
                        const std::string& temp_env) {
  s = Settings{};
  const bool start = window == SettingsWindow::Start;
  s.LanguageSetting = 11;
  s.MapSystem = start ? "" : "U33";
  s.MapRootFolder = start ? "C:\\ZEBLON\\U33" : "C:\\ZEBLON";
  s.TempFolder = start ? (temp_env.empty() ? app_folder : platform::UpperWindowsPath(temp_env)) : app_folder;
  s.GpsBaud = "4800";
  s.InterfaceKind = ModemNumber(InterfaceKind::AgwLocal);
  s.TncComPort = start ? 2 : 1;
  s.TncBaud = "1200";
  s.ScsComPort = 3;
  s.ScsBaud = "38400";
  s.AgwHost = kDefaultAgwHost;
  s.AgwPort = "8000";
  s.RadioMode = "300";
  s.CrossMode = "NONE";
  s.MoniOneCall = "QW7TK";
  s.MoniOneAlarmOn = start ? 0 : 1;
  s.AlarmDistanceKm = 10;
  s.TxLevel = 300;
  s.TxDestination = start ? "ZEBL" : "";
  s.TxPath = start ? "WIDE1-1" : "";
  if (start) {
    s.InfoLines[2] = s.InfoLines[4] = s.InfoLines[6] = "using ZEBLON";
    s.InfoLines[3] = s.InfoLines[5] = "ZEBLON DOWNLOAD: zeblon.example.org";
  }
  for (int i = 1; i <= 6; ++i) s.InfoLineActive[i] = 1;
  s.TxSymbolIndex = start ? 14 : 0;
  s.TxOverlay = start ? "A" : "";
  s.ObjectSymbolIndex = start ? 0 : 37;
  s.IonoAutoUpdate = start ? 1 : 0;
}

void ReadSettingsText(std::string_view text, SettingsWindow window, Settings& s, const KeyReadHook& hook,
                      std::string* tx_call) {
  const bool start = window == SettingsWindow::Start;
  for (const std::string& raw : SplitLines(text)) {
    const std::string line = Trim(raw);
    const std::string upper = platform::UpperAscii(line);
    for (const Key& key : kKeys) {
      const Rule rule = start ? key.start : key.main;
      if (rule == Rule::None) continue;
      const std::string_view name = key.name;
      if (start && name == "WVER") continue;  // taken by the start-up's pre-pass
      if (upper.size() <= name.size() || upper.compare(0, name.size(), name) != 0 || upper[name.size()] != '=') {
        continue;
      }
      const std::string_view value = std::string_view(line).substr(name.size() + 1);
      if (name == "NMEA" && line.size() <= 5) break;
      if (name == "NBAUD" && (line.size() <= 6 || !(LeadingNumber(value) > 0))) break;
      if (StoreValue(key, rule, value, s)) {
        if (!start && name == "TXID" && tx_call != nullptr) {
          s.UserCall = Trim(s.UserCall);
          if (!s.UserCall.empty()) *tx_call = CallWithSsid(s.UserCall, s.TxSsid);
        }
        if (hook) hook(name);
      }
      break;  // no key followed by "=" begins another
    }
    RemoveTrailingBackslash(s.MapRootFolder);
    RemoveTrailingBackslash(s.TempFolder);
    PadObjectName(s.ObjectName);
  }
}

std::string CallWithSsid(std::string_view text, std::string_view ssid) {
  const std::string_view n = TrimView(ssid);
  const bool digits = !n.empty() && n.find_first_not_of("0123456789") == std::string_view::npos;
  const double v = digits ? LeadingNumber(n) : 0;
  if (text.find('-') != std::string_view::npos || !(v >= 1 && v <= 15)) return std::string(text);
  return std::string(text) + "-" + std::string(n);
}

bool IsValidOwnCall(std::string_view call) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  return call.size() >= 3 && (digit(call[2]) || (digit(call[1]) && letter(call[2])));
}

bool ReadSettingsFile(const fs::path& file, SettingsWindow window, Settings& s, const KeyReadHook& hook,
                      std::string* tx_call) {
  // Each window reads the file once at its start: a rewrite that a killed process
  // left unfinished goes first.
  platform::RemoveLeftoverTemporaryFiles(file.has_parent_path() ? file.parent_path() : fs::path("."));
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) return false;
  ReadSettingsText(bytes, window, s, hook, tx_call);
  return true;
}

std::string SettingsFileText(SettingsWindow window, const Settings& s) {
  Settings copy = s;
  std::string out;
  for (const Key& key : kKeys) {
    if (window == SettingsWindow::Main ? !key.mainWrites : key.start == Rule::None) continue;
    out += key.name;
    out += '=';
    out += ValueText(key, window, copy);
    out += "\r\n";
  }
  return out;
}

std::string MainSettingsText(std::string_view existing, const Settings& s) {
  std::string out = SettingsFileText(SettingsWindow::Main, s);
  for (const std::string& raw : SplitLines(existing)) {
    const std::string line = Trim(raw);
    const std::string upper = platform::UpperAscii(line);
    const bool kept = std::any_of(std::begin(kKeys), std::end(kKeys), [&upper](const Key& key) {
      const std::string_view name = key.name;
      return !key.mainWrites && upper.size() > name.size() && upper.compare(0, name.size(), name) == 0 &&
             upper[name.size()] == '=';
    });
    if (kept) out += line + "\r\n";
  }
  return out;
}

bool WriteSettingsFile(const fs::path& file, SettingsWindow window, const Settings& s) {
  return WriteFileAtomically(file, SettingsFileText(window, s));
}

std::string PatchSettingsText(std::string_view text, const std::vector<std::pair<std::string, std::string>>& entries,
                              bool append) {
  std::vector<std::string> lines;
  for (const std::string& raw : SplitLines(text)) lines.push_back(Trim(raw));
  std::vector<bool> found(entries.size(), false);
  for (std::string& line : lines) {
    for (size_t i = 0; i < entries.size(); ++i) {
      const std::string prefix = entries[i].first + "=";
      if (line.compare(0, prefix.size(), prefix) == 0) {
        line = prefix + entries[i].second;
        found[i] = true;
      }
    }
  }
  if (append) {
    for (size_t i = 0; i < entries.size(); ++i) {
      if (!found[i]) lines.push_back(entries[i].first + "=" + entries[i].second);
    }
  }
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

bool PatchSettingsFile(const fs::path& file, const std::vector<std::pair<std::string, std::string>>& entries,
                       bool append) {
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) return false;
  return WriteFileAtomically(file, PatchSettingsText(bytes, entries, append));
}

std::string NormaliseMapSystem(std::string_view msys) {
  if (msys.empty() || msys[0] != 'U') return "U33";
  double zone = std::fabs(LeadingNumber(msys.substr(1)));
  if (zone > 60) zone = 60;
  std::string digits = NumberText(zone);
  if (digits.size() == 1) digits = "0" + digits;
  return "U" + digits;
}

}  // namespace zeblon

#include "start_window/start_logic.h"

#include "geodesy/text.h"
#include "platform/paths.h"
#include "settings/interface_kind.h"
#include "settings/text_files.h"

namespace zeblon {
namespace {

bool PortNumberOk(double n) { return n >= 1 && n <= 255; }

bool TcpPortOk(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  for (char c : t) {
    if (c < '0' || c > '9') return false;
  }
  const double n = LeadingNumber(t);
  return n >= 1 && n <= 65535;
}

}  // namespace

std::string DataFolderOf(const std::string& app_folder, const std::string& msys) { return app_folder + "/" + msys; }

std::string CopyStartControls(const StartControlValues& v, Settings& s, const std::string& app_folder) {
  s.AprsIsServer = Trim(v.AprsIsServer);
  s.AprsIsPort = Trim(v.AprsIsPort);
  s.UserCall = TrimUpper(v.UserCall);
  if (v.SelectedInterface >= 0) s.InterfaceKind = v.SelectedInterface;
  // The maps path and the map system named by its last three characters; a
  // trailing separator does not count as one of them.
  std::string maps = platform::UpperWindowsPath(Trim(v.MapsPath));
  while (maps.size() > 1 && (maps.back() == '\\' || maps.back() == '/')) maps.pop_back();
  if (!maps.empty() && !s.MapSystem.empty() && s.MapSystem[0] == 'U') {
    s.MapRootFolder = maps;
    s.MapSystem = platform::UpperAscii(maps.size() > 3 ? maps.substr(maps.size() - 3) : maps);
  }
  if (const std::string t = platform::UpperWindowsPath(Trim(v.TempPath)); !t.empty()) s.TempFolder = t;
  const std::string t3 = Trim(v.PortOrHost), t4 = Trim(v.BaudOrHostPort);
  const InterfaceKind kind = InterfaceKindOf(s.InterfaceKind);
  if (kind == InterfaceKind::Pk232) {
    // A 16-bit field; a number beyond it is held at its end (and refused as a port).
    if (!t3.empty()) s.TncComPort = ToWholeNumber<std::int16_t>(LeadingNumber(t3));
    if (!t4.empty()) s.TncBaud = platform::UpperAscii(t4);
  } else if (kind == InterfaceKind::AgwRemote) {
    if (!t3.empty()) s.AgwHost = t3;
    if (!t4.empty()) s.AgwPort = t4;
  } else if (IsScs(kind)) {
    if (!t3.empty()) s.ScsComPort = LeadingNumber(platform::UpperAscii(t3));
    if (!t4.empty()) s.ScsBaud = platform::UpperAscii(t4);
  }
  if (const std::string t = TrimUpper(v.MoniCall); !t.empty()) s.MoniOneCall = t;
  if (const std::string t = Trim(v.NmeaPort); !t.empty()) s.GpsSource = t;
  s.GpsBaud = "4800";
  if (const std::string t = Trim(v.NmeaBaud); LeadingNumber(t) > 0) s.GpsBaud = t;
  if (!v.SelectedRadioMode.empty()) s.RadioMode = v.SelectedRadioMode;
  // A drive letter alone gets its colon.
  if (s.TempFolder.size() == 1) s.TempFolder += ":";
  if (s.MapRootFolder.size() == 1) s.MapRootFolder += ":";
  if (const std::string t = TrimUpper(v.AlarmDistance); !t.empty()) {
    const double d = RoundHalfEven(LeadingNumber(t));
    s.AlarmDistanceKm = d < 1 ? 1 : d > 100 ? 100 : static_cast<int>(d);
  } else {
    if (s.AlarmDistanceKm < 1) s.AlarmDistanceKm = 10;
    if (s.AlarmDistanceKm > 100) s.AlarmDistanceKm = 100;
  }
  s.SunspotNumber = LeadingNumber(v.SunspotNumber);
  s.KIndex = LeadingNumber(v.KIndex);
  s.IonoAutoUpdate = v.IonoFromInternet;
  s.SmartLog = v.SmartLog;
  s.LogsOn = v.SaveLog;
  return DataFolderOf(app_folder, s.MapSystem);
}

std::string CheckStartPorts(const Settings& s) {
  const InterfaceKind kind = InterfaceKindOf(s.InterfaceKind);
  if (kind == InterfaceKind::Pk232 && !PortNumberOk(s.TncComPort)) {
    return "COMM PORT OUT OF RANGE ( 1 - 255 ) !";
  }
  if (IsScs(kind) && !PortNumberOk(s.ScsComPort)) {
    return "COMM PORT OUT OF RANGE ( 1 - 255 ) !";
  }
  if (UsesPacketEngine(kind) && !TcpPortOk(s.AgwPort)) {
    return "HOST PORT OUT OF RANGE ( 1 - 65535 ) !";
  }
  if (!Trim(s.AprsIsPort).empty() && !TcpPortOk(s.AprsIsPort)) {
    return "SERVER PORT OUT OF RANGE ( 1 - 65535 ) !";
  }
  const double nmea = LeadingNumber(s.GpsSource);
  if (nmea != 0 && !PortNumberOk(nmea)) return "NMEA PORT OUT OF RANGE ( 1 - 255 ) !";
  if ((kind == InterfaceKind::Pk232 && nmea == s.TncComPort) || (IsScs(kind) && nmea == s.ScsComPort)) {
    return "NMEA PORT / COMM PORT  CONFLICT !";
  }
  return {};
}

std::string StartCaptionFor(int interface_kind) {
  switch (InterfaceKindOf(interface_kind)) {
    case InterfaceKind::Pk232: return "40 s ...";
    case InterfaceKind::ScsTnc: return "12 s ...";
    case InterfaceKind::ScsPtc: return "25 s ...";
    default: return "...";
  }
}

bool FontCheckPasses(const std::vector<std::string>& font_names) {
  bool passed = false;
  for (const std::string& name : font_names) {
    if (platform::UpperAscii(name).find("QW7_F") != std::string::npos) passed = true;
  }
  return passed;
}

PrePassResult PrePassSettings(std::string_view text) {
  PrePassResult r;
  for (const std::string& line : SplitLines(text)) {
    if (line.compare(0, 5, "TEMP=") == 0) r.notFirstRun = true;
    if (line.compare(0, 5, "WVER=") == 0) {
      r.hasWver = true;
      r.wver = platform::UpperAscii(Trim(line.substr(5)));
    }
  }
  return r;
}

}  // namespace zeblon

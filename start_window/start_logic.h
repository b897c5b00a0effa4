// The start window's rules that work on plain values: what START takes from the
// controls, the checks that refuse a START, and the font check.
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

namespace zeblon {

// The values START reads from the start window's controls.
struct StartControlValues {
  std::string AprsIsServer, AprsIsPort;  // Text13, Text14
  std::string UserCall;                  // Text8
  int SelectedInterface = -1;            // MODEM of the selected interface option, -1 none
  std::string MapsPath, TempPath;        // Text1, Text2
  std::string PortOrHost;                // Text3: COMM PORT, or HOST NAME of a remote packet engine
  std::string BaudOrHostPort;            // Text4: COMM BAUD, or HOST PORT of a remote packet engine
  std::string MoniCall;                  // Text5
  std::string NmeaPort, NmeaBaud;        // Text6, Text17: the GPS's port and speed
  std::string SelectedRadioMode;         // HBAUD of the selected radio mode option, empty none
  std::string AlarmDistance;             // Text7, km
  std::string SunspotNumber, KIndex;     // Text15, Text16
  int IonoFromInternet = 0;              // Check8 (IONA)
  int SmartLog = 0, SaveLog = 0;         // Check1 (SLOG), Check2 (LOGS)
};

// Copies the controls into the settings as START does; returns the new data folder.
std::string CopyStartControls(const StartControlValues& v, Settings& s, const std::string& app_folder);

// The data folder of a map system: the program folder and MSYS.
std::string DataFolderOf(const std::string& app_folder, const std::string& msys);

// The message that refuses START for the ports, or "" when they are usable:
// a serial or TCP port number outside its range, or a GPS port equal to the TNC port.
std::string CheckStartPorts(const Settings& s);

// START's caption while it works, by interface kind.
std::string StartCaptionFor(int interface_kind);

// True when one of the fonts' names, upper-cased, holds "QW7_F".
bool FontCheckPasses(const std::vector<std::string>& font_names);

// The value of a settings line as the start-up pre-pass reads it: whether a line
// begins with "TEMP=" (not the first run) and the last "WVER=" value, trimmed and
// upper-cased.
struct PrePassResult {
  bool notFirstRun = false;
  bool hasWver = false;
  std::string wver;
};
PrePassResult PrePassSettings(std::string_view text);

}  // namespace zeblon

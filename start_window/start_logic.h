// The start window's rules that work on plain values: what START takes from the
// controls, the checks that refuse a START, and the font check.
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

namespace zeblon {

// The values START reads from the start window's controls.
struct StartControlValues {
  std::string Text13, Text14;              // APRS-IS server and port
  std::string Text8;                       // user call
  int SelectedInterface = -1;              // MODEM of the selected interface option, -1 none
  std::string Text1, Text2;                // maps path, temp path
  std::string Text3, Text4;                // connection inputs
  std::string Text5;                       // MONI call
  std::string Text6, Text17;               // NMEA port and speed
  std::string SelectedRadioMode;           // HBAUD of the selected radio mode option, empty none
  std::string Text7;                       // alarm distance
  std::string Text15, Text16;              // sunspot number, K index
  int Check8 = 0, Check1 = 0, Check2 = 0;  // IONA, SLOG, LOGS
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
  bool not_first_run = false;
  bool has_wver = false;
  std::string wver;
};
PrePassResult PrePassSettings(std::string_view text);

}  // namespace zeblon

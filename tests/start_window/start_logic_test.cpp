#include "start_window/start_logic.h"

#include <gtest/gtest.h>

namespace zeblon {
namespace {

Settings Defaults() {
  Settings s;
  SetDefaultSettings(SettingsWindow::Start, s, "/prog", "");
  s.MapSystem = "U33";
  return s;
}

StartControlValues Controls() {
  StartControlValues v;
  v.UserCall = "ab1cd";
  v.SelectedInterface = 0;
  v.AprsIsPort = "14580";
  v.AprsIsServer = "server";
  v.SelectedRadioMode = "300";
  return v;
}

TEST(StartCopy, ControlsIntoSettings) {
  struct Case {
    const char* name;
    std::function<void(StartControlValues&, Settings&)> setup;
    std::function<void(const Settings&, const std::string&)> check;
  };
  const Case cases[] = {
      {"maps path gives the map system", [](StartControlValues& v, Settings&) { v.MapsPath = "d:\\karten\\u32"; },
       [](const Settings& s, const std::string& data) {
         EXPECT_EQ(s.MapRootFolder, "D:\\KARTEN\\U32");
         EXPECT_EQ(s.MapSystem, "U32");
         EXPECT_EQ(data, "/prog/U32");
       }},
      {"a trailing separator is not part of the map system",
       [](StartControlValues& v, Settings&) { v.MapsPath = "/home/op/maps/u34/"; },
       [](const Settings& s, const std::string&) {
         EXPECT_EQ(s.MapSystem, "U34");
         EXPECT_EQ(s.MapRootFolder, "/home/op/maps/u34");  // Linux tells the cases apart
       }},
      {"one letter maps path", [](StartControlValues& v, Settings&) { v.MapsPath = "d"; },
       [](const Settings& s, const std::string&) {
         EXPECT_EQ(s.MapSystem, "D");
         EXPECT_EQ(s.MapRootFolder, "D:");
       }},
      {"alarm distance 0", [](StartControlValues& v, Settings&) { v.AlarmDistance = "0"; },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.AlarmDistanceKm, 1); }},
      {"alarm distance 250", [](StartControlValues& v, Settings&) { v.AlarmDistance = "250"; },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.AlarmDistanceKm, 100); }},
      {"alarm distance 12.5", [](StartControlValues& v, Settings&) { v.AlarmDistance = "12.5"; },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.AlarmDistanceKm, 12); }},
      {"empty alarm distance with a kept 0",
       [](StartControlValues& v, Settings& s) {
         v.AlarmDistance = "";
         s.AlarmDistanceKm = 0;
       },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.AlarmDistanceKm, 10); }},
      {"NMEA speed 0", [](StartControlValues& v, Settings&) { v.NmeaBaud = "0"; },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.GpsBaud, "4800"); }},
      {"NMEA speed letters", [](StartControlValues& v, Settings&) { v.NmeaBaud = "fast"; },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.GpsBaud, "4800"); }},
      {"NMEA speed 9600", [](StartControlValues& v, Settings&) { v.NmeaBaud = "9600"; },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.GpsBaud, "9600"); }},
      {"empty server box empties AISRV", [](StartControlValues& v, Settings&) { v.AprsIsServer = "  "; },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.AprsIsServer, ""); }},
      {"empty MONI CALL keeps CALL", [](StartControlValues& v, Settings&) { v.MoniCall = ""; },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.MoniOneCall, "QW7TK"); }},
      {"SCS port and speed",
       [](StartControlValues& v, Settings&) {
         v.SelectedInterface = 5;
         v.PortOrHost = "4";
         v.BaudOrHostPort = "57600";
       },
       [](const Settings& s, const std::string&) {
         EXPECT_EQ(s.ScsComPort, 4);
         EXPECT_EQ(s.ScsBaud, "57600");
         EXPECT_EQ(s.TncComPort, 2);
       }},
      {"PK-232 port rounds half to even",
       [](StartControlValues& v, Settings&) {
         v.SelectedInterface = 1;
         v.PortOrHost = "2.5";
       },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.TncComPort, 2); }},
      {"a PK-232 port beyond 16 bits is held at the end of the field",
       [](StartControlValues& v, Settings&) {
         v.SelectedInterface = 1;
         v.PortOrHost = "99999999999";
       },
       [](const Settings& s, const std::string&) {
         EXPECT_EQ(s.TncComPort, 32767);
         EXPECT_EQ(CheckStartPorts(s), "COMM PORT OUT OF RANGE ( 1 - 255 ) !");
       }},
      {"a negative PK-232 port beyond 16 bits",
       [](StartControlValues& v, Settings&) {
         v.SelectedInterface = 1;
         v.PortOrHost = "-1E300";
       },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.TncComPort, -32768); }},
      {"host name keeps its case",
       [](StartControlValues& v, Settings&) {
         v.SelectedInterface = 3;
         v.PortOrHost = " PacketBox ";
         v.BaudOrHostPort = "8001";
       },
       [](const Settings& s, const std::string&) {
         EXPECT_EQ(s.AgwHost, "PacketBox");
         EXPECT_EQ(s.AgwPort, "8001");
       }},
      {"no interface selected keeps MODEM",
       [](StartControlValues& v, Settings& s) {
         v.SelectedInterface = -1;
         s.InterfaceKind = 6;
       },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.InterfaceKind, 6); }},
      {"a disabled radio mode counts",
       [](StartControlValues& v, Settings&) {
         v.SelectedInterface = 4;
         v.SelectedRadioMode = "9600";
       },
       [](const Settings& s, const std::string&) { EXPECT_EQ(s.RadioMode, "9600"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settings s = Defaults();
    StartControlValues v = Controls();
    c.setup(v, s);
    const std::string data = CopyStartControls(v, s, "/prog");
    EXPECT_EQ(s.UserCall, "AB1CD");
    c.check(s, data);
  }
}

TEST(StartPorts, Refusals) {
  struct Case {
    int modem;
    int com;
    double scomp;
    const char* agwPort;
    const char* aprsPort;
    const char* nmea;
    const char* message;
  };
  const Case cases[] = {
      {5, 2, 3, "8000", "14580", "3", "NMEA PORT / COMM PORT  CONFLICT !"},
      {5, 2, 3, "8000", "14580", "4", ""},
      {1, 2, 3, "8000", "14580", "GPS.TXT", ""},
      {1, 2, 3, "8000", "14580", "2", "NMEA PORT / COMM PORT  CONFLICT !"},
      {0, 2, 3, "8000", "14580", "2", ""},
      {1, 0, 3, "8000", "14580", "", "COMM PORT OUT OF RANGE ( 1 - 255 ) !"},
      {1, 300, 3, "8000", "14580", "", "COMM PORT OUT OF RANGE ( 1 - 255 ) !"},
      {6, 2, 256, "8000", "14580", "", "COMM PORT OUT OF RANGE ( 1 - 255 ) !"},
      {3, 2, 3, "70000", "14580", "", "HOST PORT OUT OF RANGE ( 1 - 65535 ) !"},
      {3, 2, 3, "80a", "14580", "", "HOST PORT OUT OF RANGE ( 1 - 65535 ) !"},
      {4, 2, 3, "70000", "14580", "", ""},
      {4, 2, 3, "8000", "0", "", "SERVER PORT OUT OF RANGE ( 1 - 65535 ) !"},
      {4, 2, 3, "8000", "", "", ""},
      {4, 2, 3, "8000", "14580", "999", "NMEA PORT OUT OF RANGE ( 1 - 255 ) !"},
  };
  for (const Case& c : cases) {
    Settings s = Defaults();
    s.InterfaceKind = c.modem;
    s.TncComPort = c.com;
    s.ScsComPort = c.scomp;
    s.AgwPort = c.agwPort;
    s.AprsIsPort = c.aprsPort;
    s.GpsSource = c.nmea;
    EXPECT_EQ(CheckStartPorts(s), c.message) << c.modem << " " << c.nmea;
  }
}

TEST(StartFonts, PassRule) {
  EXPECT_TRUE(FontCheckPasses({"DejaVu Sans", "qw7_f3"}));
  EXPECT_TRUE(FontCheckPasses({"QW7_F8", "Other"}));
  EXPECT_FALSE(FontCheckPasses({"QW7_T6"}));
  EXPECT_FALSE(FontCheckPasses({}));
}

TEST(StartPrePass, FirstRunAndWindowsVersion) {
  EXPECT_FALSE(PrePassSettings("").notFirstRun);
  EXPECT_FALSE(PrePassSettings("temp=x\r\n TEMP=y\r\n").notFirstRun);
  EXPECT_TRUE(PrePassSettings("A=1\r\nTEMP=\r\n").notFirstRun);
  const PrePassResult r = PrePassSettings("WVER=win7\r\nWVER= win10 \r\n WVER=XP\r\n");
  EXPECT_TRUE(r.hasWver);
  EXPECT_EQ(r.wver, "WIN10");
}

}  // namespace
}  // namespace zeblon

// The own beacon's information field, its formatters and the transmit step.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <filesystem>
#include <fstream>

#include "geodesy/geodesy.h"
#include "links/own_beacon.h"
#include "links/transmit.h"
#include "reception/symbol_table.h"

namespace zeblon::links {
namespace {

TEST(FormatAprsPosition, DegreesMinutesAndHemispheres) {
  struct Case {
    double lat, lon;
    const char* row;
    const char* overlay;
    const char* expected;
  };
  const Case cases[] = {
      {55 + 36.12 / 60, 12 + 34.56 / 60, "/> ", "", "5536.12N/01234.56E>"},
      {-0.5, 0, "/> ", "", "0030.00S/00000.00E>"},
      {10, -122.5, "/> ", "", "1000.00N/12230.00W>"},
      {55 + 36.129 / 60, 12 + 34.569 / 60, "/> ", "", "5536.12N/01234.56E>"},  // truncated, not rounded
      {59.999999, 17.9999999, "/> ", "", "5959.99N/01759.99E>"},               // never carried up
      {55 + 36.12 / 60, 12 + 34.56 / 60, "\\# No.", "A", "5536.12NA01234.56E#"},
      {55 + 36.12 / 60, 12 + 34.56 / 60, "\\# No.", "", "5536.12N\\01234.56E#"},
      {55 + 36.12 / 60, 12 + 34.56 / 60, "\\k ", "A", "5536.12N\\01234.56Ek"},  // no overlay without "No."
  };
  for (const Case& c : cases) EXPECT_EQ(FormatAprsPosition({c.lat, c.lon}, c.row, c.overlay), c.expected) << c.expected;
}

TEST(FormatUtcDayTime, MovesBackAcrossDaysAndMonths) {
  EXPECT_EQ(FormatUtcDayTime({2024, 5, 1, 1, 30, 0}, 2), "302330");      // April has 30 days
  EXPECT_EQ(FormatUtcDayTime({2024, 8, 1, 1, 30, 0}, 2), "312330");      // July has 31
  EXPECT_EQ(FormatUtcDayTime({2024, 3, 1, 0, 5, 0}, 1), "292305");       // a leap year's February
  EXPECT_EQ(FormatUtcDayTime({2024, 12, 31, 23, 59, 0}, -1), "010059");  // west of Greenwich
  EXPECT_EQ(FormatUtcDayTime({2024, 5, 17, 14, 7, 0}, 0), "171407");
}

BeaconSettings Home() {
  BeaconSettings s;
  s.userCall = "N0CALL";
  // 59.5 N 18 E in km of UTM zone 33.
  double e = 0, n = 0;
  geodesy::ConvertLatLonToUtm(18.0, 59.5, 15.0, e, n, 500000.0);
  s.userNorth = n / 1000.0;
  s.userEast = e / 1000.0;
  s.symbolRow = reception::StandardSymbolTable()[reception::SymbolIndexOf('/', '>')];
  return s;
}

TEST(OwnBeacon, InfoLineRotation) {
  BeaconSettings s = Home();
  s.infoLines = {"one", "two", "three", "four", "five", "six"};
  const reception::LocalTime now{2024, 5, 1, 12, 0, 0};
  OwnBeacon b;
  // Nothing active: the field ends with the symbol code and the index ends at 6.
  auto f = b.NextInfoField(s, now, false);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->size(), 20u);
  EXPECT_EQ(f->front(), '=');
  EXPECT_EQ(b.InfoLineIndex(), 6);
  // Only line 4: every beacon carries it.
  s.infoActive = {false, false, false, true, false, false};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(b.NextInfoField(s, now, false)->substr(20), " four");
  // Lines 2 and 5 alternate; a status beacon leaves the rotation where it was.
  s.infoActive = {false, true, false, false, true, false};
  EXPECT_EQ(b.NextInfoField(s, now, false)->substr(20), " five");
  s.digiOn = true;
  EXPECT_EQ(b.NextInfoField(s, now, true)->substr(20), " ZEBLON  Digi active");
  EXPECT_EQ(b.NextInfoField(s, now, false)->substr(20), " two");
  EXPECT_EQ(b.NextInfoField(s, now, false)->substr(20), " five");
}

TEST(OwnBeacon, CommentForms) {
  BeaconSettings s = Home();
  s.infoActive = {true, false, false, false, false, false};
  const reception::LocalTime now{2024, 5, 1, 1, 30, 0};
  OwnBeacon b;
  s.infoLines[0] = "   ";
  EXPECT_EQ(b.NextInfoField(s, now, false)->size(), 20u);  // blanks only: no comment, no blank
  s.infoLines[0] = std::string(70, 'c');
  EXPECT_EQ(b.NextInfoField(s, now, false)->substr(20), " " + std::string(63, 'c'));
  // The timestamped form only once the GPS has set the clock.
  s.txTimestamp = true;
  EXPECT_EQ(b.NextInfoField(s, now, false)->front(), '=');
  s.gpsTimeValid = true;
  s.utcOffsetHours = 2;
  EXPECT_EQ(b.NextInfoField(s, now, false)->substr(0, 8), "@302330z");
  EXPECT_EQ(b.NextInfoField(s, now, false)->substr(8, 19), "5930.00N/01800.00E>");

  // An info line naming a file: its longest line, control bytes dropped, no blank.
  const auto file = std::filesystem::temp_directory_path() / ("zeblon-info-" + std::to_string(::getpid()) + ".txt");
  {
    std::ofstream out(file, std::ios::binary);
    out << "short\r\n  a longer\tline  \r\nlonger!!!\r\n";
  }
  s.txTimestamp = false;
  s.infoLines[0] = "{" + file.string() + "}";
  EXPECT_EQ(b.NextInfoField(s, now, false)->substr(20), "a longerline");
  std::filesystem::remove(file);
  EXPECT_EQ(b.NextInfoField(s, now, false)->size(), 20u);  // missing file: no comment
  s.infoLines[0] = "{}";
  EXPECT_EQ(b.NextInfoField(s, now, false)->size(), 20u);
}

// The file an info line names lies where the settings' Windows paths lie: the
// program's own folder on any drive and a bare name in the program folder, any
// other drive in its folder below it; letter case as it is on the disk.
TEST(OwnBeacon, InfoFilesAreFoundBelowTheProgramFolder) {
  namespace fs = std::filesystem;
  const fs::path prog = fs::temp_directory_path() / ("zeblon-prog-" + std::to_string(::getpid()));
  fs::remove_all(prog);
  fs::create_directories(prog / "drive_c" / "WX");
  fs::create_directories(prog / "Notes");
  {
    std::ofstream(prog / "INFO.TXT", std::ios::binary) << "home\r\n";
    std::ofstream(prog / "drive_c" / "WX" / "now.txt", std::ios::binary) << "wind\r\n";
    std::ofstream(prog / "Notes" / "Today.txt", std::ios::binary) << "notes\r\n";
  }
  struct Case {
    std::string name;
    fs::path expected;
  };
  const Case cases[] = {
      {"C:\\ZEBLON\\INFO.TXT", prog / "INFO.TXT"},
      {"d:\\zeblon\\info.txt", prog / "INFO.TXT"},
      {"INFO.TXT", prog / "INFO.TXT"},
      {"info.txt", prog / "INFO.TXT"},
      {"NOTES\\TODAY.TXT", prog / "Notes" / "Today.txt"},
      {"C:\\WX\\NOW.TXT", prog / "drive_c" / "WX" / "now.txt"},
      {(prog / "Notes" / "Today.txt").string(), prog / "Notes" / "Today.txt"},  // a Linux path as it is
      {"MISSING.TXT", prog / "MISSING.TXT"},
  };
  for (const Case& c : cases) EXPECT_EQ(InfoFilePath(c.name, prog), c.expected) << c.name;

  // A file that cannot be read is told once; read again in between, it is told anew.
  BeaconSettings s = Home();
  s.infoActive = {true, true, false, false, false, false};
  s.infoLines = {"{C:\\WX\\NOW.TXT}", "{LOST.TXT}", "", "", "", ""};
  OwnBeacon b;
  b.resolvePath = [&](const std::string& name) { return InfoFilePath(name, prog); };
  std::vector<std::string> told;
  b.tell = [&](const std::string& text) { told.push_back(text); };
  const reception::LocalTime now{2024, 5, 1, 12, 0, 0};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(b.NextInfoField(s, now, false)->substr(20), "wind");
    EXPECT_EQ(b.NextInfoField(s, now, false)->size(), 20u);
  }
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], "INFO LINE FILE LOST.TXT NOT READ (" + (prog / "LOST.TXT").string() + "): BEACON WITHOUT COMMENT");
  std::ofstream(prog / "LOST.TXT", std::ios::binary) << "found\r\n";
  b.NextInfoField(s, now, false);
  EXPECT_EQ(b.NextInfoField(s, now, false)->substr(20), "found");
  fs::remove(prog / "LOST.TXT");
  b.NextInfoField(s, now, false);
  b.NextInfoField(s, now, false);
  EXPECT_EQ(told.size(), 2u);
  fs::remove_all(prog);
}

TEST(OwnBeacon, RefusedWithoutCallOrPosition) {
  BeaconSettings s = Home();
  OwnBeacon b;
  s.userCall = "  ";
  EXPECT_FALSE(b.NextInfoField(s, {}, false));
  s = Home();
  s.userNorth = 0;
  s.userEast = 0;
  EXPECT_FALSE(b.NextInfoField(s, {}, false));
  EXPECT_EQ(b.InfoLineIndex(), 0);
}

TEST(OwnBeacon, StatusTexts) {
  struct Case {
    bool digi, verified;
    int kind;
    const char* cross;
    const char* mode;
    const char* text;
  };
  const Case cases[] = {
      {true, false, 0, "NONE", "1200", "ZEBLON  Digi active"},
      {true, true, 0, "NONE", "1200", "ZEBLON  Digi & IGate R->I active"},
      {false, true, 1, "NONE", "1200", "ZEBLON  IGate R->I active"},
      {false, false, 1, "NONE", "1200", ""},
      {true, false, 5, "R300", "1200", "ZEBLON  Gate -> RPR 300Bd active"},
      {true, true, 5, "1200", "300R", "ZEBLON  Gate to FSK 1200Bd & IGate R->I active"},
      {true, false, 5, "1200", "1200", "ZEBLON  Digi active"},  // no gate when both modes agree
  };
  for (const Case& c : cases) {
    BeaconSettings s;
    s.digiOn = c.digi;
    s.aprsIsVerified = c.verified;
    s.interfaceKind = c.kind;
    s.crossMode = c.cross;
    s.radioMode = c.mode;
    EXPECT_EQ(StatusText(s), c.text);
  }
}

TEST(TransmitInfoField, SerialKindsEndInCrAloneAndWait) {
  for (int kind : {1, 5, 6}) {
    std::string written;
    float waited = 0;
    TransmitLink l;
    l.interfaceKind = kind;
    l.writeTnc = [&](const std::string& b) {
      written += b;
      return true;
    };
    l.pause = [&](float s) { waited += s; };
    EXPECT_TRUE(TransmitInfoField(l, "=5930.00N/01800.00E>"));
    EXPECT_EQ(written, "=5930.00N/01800.00E>\r");
    EXPECT_FLOAT_EQ(waited, 0.8f);
  }
  // No radio: nothing sent and no wait.
  TransmitLink none;
  none.interfaceKind = 4;
  float waited = 0;
  none.pause = [&](float s) { waited += s; };
  EXPECT_FALSE(TransmitInfoField(none, "x"));
  EXPECT_EQ(waited, 0);
  // The engine's kinds without a link up: nothing goes out, the wait still follows.
  TransmitLink engine;
  engine.interfaceKind = 3;
  engine.pause = [&](float s) { waited += s; };
  EXPECT_FALSE(TransmitInfoField(engine, "x"));
  EXPECT_FLOAT_EQ(waited, 0.8f);
}

}  // namespace
}  // namespace zeblon::links

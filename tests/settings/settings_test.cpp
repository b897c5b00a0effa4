#include "settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zeblon {
namespace {

namespace fs = std::filesystem;

Settings StartDefaults() {
  Settings s;
  SetDefaultSettings(SettingsWindow::Start, s, "/prog", "");
  return s;
}

Settings MainDefaults() {
  Settings s;
  SetDefaultSettings(SettingsWindow::Main, s, "/prog", "");
  return s;
}

TEST(SettingsDefaults, FirstRunValuesOfTheStartWindow) {
  const Settings s = StartDefaults();
  EXPECT_EQ(s.LanguageSetting, 11);
  EXPECT_EQ(s.MoniOneCall, "QW7TK");
  EXPECT_EQ(s.TxDestination, "ZEBL");
  EXPECT_EQ(s.TxPath, "WIDE1-1");
  EXPECT_EQ(s.InfoLines[2], "using ZEBLON");
  EXPECT_EQ(s.InfoLines[4], "using ZEBLON");
  EXPECT_EQ(s.InfoLines[6], "using ZEBLON");
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(s.InfoLineActive[i], 1) << i;
  EXPECT_EQ(s.TxSymbolIndex, 14);
  EXPECT_EQ(s.TxOverlay, "A");
  EXPECT_EQ(s.AlarmDistanceKm, 10);
  EXPECT_EQ(s.IonoAutoUpdate, 1);
  EXPECT_EQ(s.LogsOn, 0);
  EXPECT_EQ(s.MapRootFolder, "C:\\ZEBLON\\U33");
  EXPECT_EQ(s.TncComPort, 2);
  EXPECT_EQ(s.TempFolder, "/prog");
}

TEST(SettingsDefaults, TempFromTheEnvironmentKeepsTheCaseOfALinuxPath) {
  Settings s;
  SetDefaultSettings(SettingsWindow::Start, s, "/prog", "c:\\temp");
  EXPECT_EQ(s.TempFolder, "C:\\TEMP");
  SetDefaultSettings(SettingsWindow::Start, s, "/prog", "/tmp/Work");
  EXPECT_EQ(s.TempFolder, "/tmp/Work");
  SetDefaultSettings(SettingsWindow::Main, s, "/prog", "/tmp/work");
  EXPECT_EQ(s.TempFolder, "/prog");
  EXPECT_EQ(s.TncComPort, 1);
  EXPECT_EQ(s.MoniOneAlarmOn, 1);
  EXPECT_EQ(s.ObjectSymbolIndex, 37);
}

TEST(SettingsRead, LineRules) {
  struct Case {
    const char* text;
    SettingsWindow window;
    std::function<void(const Settings&)> check;
  };
  const Case cases[] = {
      {"lang=12\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.LanguageSetting, 12); }},
      {"LANG =12\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.LanguageSetting, 11); }},
      {"   USER=  ab1cd  \r\n", SettingsWindow::Main, [](const Settings& s) { EXPECT_EQ(s.UserCall, "AB1CD"); }},
      {"DIST=5\r\nDIST=20\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.AlarmDistanceKm, 20); }},
      {"NBAUD=0\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.GpsBaud, "4800"); }},
      {"NBAUD=abc\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.GpsBaud, "4800"); }},
      {"NBAUD=\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.GpsBaud, "4800"); }},
      {"NBAUD=9600\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.GpsBaud, "9600"); }},
      {"NMEA=\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.GpsSource, ""); }},
      {"NMEA=3\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.GpsSource, "3"); }},
      {"UMAPS=D:\\MAPS\\\r\n", SettingsWindow::Start,
       [](const Settings& s) { EXPECT_EQ(s.MapRootFolder, "D:\\MAPS"); }},
      {"UMAPS=C:\\\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.MapRootFolder, "C:"); }},
      {"ONAM=HOME\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.ObjectName, "HOME     "); }},
      {"ONAM=ABCDEFGHIJK\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.ObjectName, "ABCDEFGHI"); }},
      {"LANG=11.5\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.LanguageSetting, 12); }},
      {"LANG=12.5\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.LanguageSetting, 12); }},
      {"UTCD=1.5\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.UtcOffsetHours, 1.5); }},
      {"UTCD=1.5\r\n", SettingsWindow::Main, [](const Settings& s) { EXPECT_EQ(s.UtcOffsetHours, 2); }},
      {"WVER=win10\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.WindowsVersion, ""); }},
      {" WVER=win10\r\n", SettingsWindow::Main, [](const Settings& s) { EXPECT_EQ(s.WindowsVersion, "WIN10"); }},
      {"NOAT=1\r\n", SettingsWindow::Main, [](const Settings& s) { EXPECT_EQ(s.NoAttribReset, 0); }},
      {"CALL=x=y\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.MoniOneCall, "x=y"); }},
      // A damaged file keeps the defaults where a value is unusable.
      {"COM=abc\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.TncComPort, 2); }},
      {"COM=99999\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.TncComPort, 2); }},
      {"COM=0\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.TncComPort, 2); }},
      {"SCOMP=300\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.ScsComPort, 3); }},
      {"LOGS=256\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.LogsOn, 0); }},
      {"TXSY=40000\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.TxSymbolIndex, 14); }},
      {"UTN=1E999\r\n", SettingsWindow::Start, [](const Settings& s) { EXPECT_EQ(s.CentreNorth, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Settings s = c.window == SettingsWindow::Start ? StartDefaults() : MainDefaults();
    ReadSettingsText(c.text, c.window, s);
    c.check(s);
  }
}

TEST(SettingsRead, TxCallOfTheMainWindow) {
  struct Case {
    const char* text;
    const char* txCall;
  };
  const Case cases[] = {
      {"USER=AB1CD\r\nTXID=7\r\n", "AB1CD-7"}, {"USER=AB1CD\r\nTXID=07\r\n", "AB1CD-07"},
      {"USER=AB1CD\r\nTXID=0\r\n", "AB1CD"},   {"USER=AB1CD\r\nTXID=16\r\n", "AB1CD"},
      {"USER=AB1CD\r\nTXID=\r\n", "AB1CD"},    {"USER=\r\nTXID=5\r\n", "UNCHANGED"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Settings s = MainDefaults();
    std::string tx_call = "UNCHANGED";
    ReadSettingsText(c.text, SettingsWindow::Main, s, {}, &tx_call);
    EXPECT_EQ(tx_call, c.txCall);
  }
}

TEST(OwnCall, ValidWithADigitSecondOrThird) {
  // One-letter prefixes count as well as the two-character ones; too short, no
  // digit in place, or a digit second with no letter after it does not.
  const std::pair<const char*, bool> cases[] = {
      {"SM5XYZ", true},  {"AB1CD", true}, {"2E0ABC", true}, {"9A1A", true},  {"SM5", true},   {"AB12", true},
      {"W1AW", true},    {"K1ABC", true}, {"N0CALL", true}, {"G4ABC", true}, {"F4ABC", true}, {"I1ABC", true},
      {"k1abc", true},   {"ABCD", false}, {"A1", false},    {"W1", false},   {"", false},     {"A1-5", false},
      {"MYCALL", false}, {"1ABC", false}, {"A1/", false},
  };
  for (const auto& [call, valid] : cases) EXPECT_EQ(IsValidOwnCall(call), valid) << call;
}

TEST(SettingsRead, DamagedFileLosesNoOtherSetting) {
  std::string text = "USER=AB1CD\r\n";
  text += std::string("\x00\x01\xff\xfe garbage", 13) + "\r\n";
  text += "CALL=" + std::string(100000, 'X') + "\r\n";
  text += "DIST=twenty\r\n";
  text += "MODEM=1\r\n";
  text += "COM=70000\r\n";
  text += "TXTO=apzebl";  // no line end at the end of the file
  Settings s = StartDefaults();
  ReadSettingsText(text, SettingsWindow::Start, s);
  EXPECT_EQ(s.UserCall, "AB1CD");
  EXPECT_EQ(s.MoniOneCall.size(), 100000u);
  EXPECT_EQ(s.AlarmDistanceKm, 10);
  EXPECT_EQ(s.InterfaceKind, 1);
  EXPECT_EQ(s.TncComPort, 2);
  EXPECT_EQ(s.TxDestination, "APZEBL");
}

TEST(SettingsWrite, NumberAndTextForms) {
  Settings s = StartDefaults();
  s.ScsComPort = 3;
  s.CentreNorth = 600.5;
  s.CentreEast = 0.25;
  s.UserCall = "  ab1cd ";
  s.MapSystem = "u33";
  s.ObjectName = "HOME     ";
  const std::string text = SettingsFileText(SettingsWindow::Start, s);
  EXPECT_NE(text.find("\r\nSCOMP=3\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nUTN=600.5\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nUTE=.25\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nUSER=AB1CD\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nMSYS=U33\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nONAM=HOME     \r\n"), std::string::npos);
  EXPECT_EQ(text.rfind("LANG=11\r\n", 0), 0u);
  Settings back = StartDefaults();
  ReadSettingsText(text, SettingsWindow::Start, back);
  EXPECT_EQ(back.CentreEast, 0.25);
}

TEST(SettingsWrite, KeyCountsAndOrder) {
  const Settings s = StartDefaults();
  const auto start_lines = SplitLines(SettingsFileText(SettingsWindow::Start, s));
  const auto main_lines = SplitLines(SettingsFileText(SettingsWindow::Main, s));
  ASSERT_EQ(start_lines.size(), 80u);
  ASSERT_EQ(main_lines.size(), 73u);
  EXPECT_EQ(start_lines[4].substr(0, 6), "M0002=");
  EXPECT_EQ(start_lines[70].substr(0, 5), "NOAT=");
  EXPECT_EQ(start_lines[79].substr(0, 5), "WVER=");
  EXPECT_EQ(main_lines[4].substr(0, 5), "TEMP=");
  for (const auto& line : main_lines) {
    EXPECT_NE(line.substr(0, 5), "NOAT=");
    EXPECT_NE(line.substr(0, 2), "M0");
  }
  // The main window writes its whole-number copies as whole numbers.
  Settings m = MainDefaults();
  ReadSettingsText("UTCD=1.5\r\n", SettingsWindow::Main, m);
  EXPECT_NE(SettingsFileText(SettingsWindow::Main, m).find("\r\nUTCD=2\r\n"), std::string::npos);
}

TEST(SettingsWrite, MainWindowKeepsTheLinesOfTheKeysItDoesNotWrite) {
  const Settings m = MainDefaults();
  const std::string own = SettingsFileText(SettingsWindow::Main, m);
  // The map folders and NOAT stay, trimmed, in the file's order and any letter case;
  // the main window's own keys, a key without "=" and other lines go.
  const std::string existing =
      "USER=AB1CD\r\n  m0002=D:\\MAPS\\M0002 \r\nNOAT=1\nM5000\r\nM1000=X\rM00100=Y\r\nNOATX=2\r\nXNOAT=3\r\n";
  EXPECT_EQ(MainSettingsText(existing, m), own + "m0002=D:\\MAPS\\M0002\r\nNOAT=1\r\nM1000=X\r\n");
  EXPECT_EQ(MainSettingsText("", m), own);
}

TEST(SettingsPatch, ReplacesEveryLineCaseSensitivelyAndAppends) {
  const std::string text = "  DIST=5 \r\nDIST=6\r\ncall=abc\r\n\r\nOTHER=1\r\n";
  const std::string out = PatchSettingsText(text, {{"DIST", "20"}, {"CALL", "XYZ"}, {"UUN", "6600"}}, true);
  EXPECT_EQ(out, "DIST=20\r\nDIST=20\r\ncall=abc\r\n\r\nOTHER=1\r\nCALL=XYZ\r\nUUN=6600\r\n");
  const std::string no_append = PatchSettingsText(text, {{"CALL", "XYZ"}}, false);
  EXPECT_EQ(no_append, "DIST=5\r\nDIST=6\r\ncall=abc\r\n\r\nOTHER=1\r\n");
}

TEST(SettingsPatch, HasNoLineLimit) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += "KEY" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  text += "UTN=1\r\n";
  const std::string out = PatchSettingsText(text, {{"UTN", "2"}, {"UTE", "3"}}, true);
  const auto lines = SplitLines(out);
  ASSERT_EQ(lines.size(), 152u);
  EXPECT_EQ(lines[0], "KEY0=0");
  EXPECT_EQ(lines[149], "KEY149=149");
  EXPECT_EQ(lines[150], "UTN=2");
  EXPECT_EQ(lines[151], "UTE=3");
}

TEST(SettingsFile, WriteIsWholeAndPatchKeepsAFailedFile) {
  const fs::path dir = fs::temp_directory_path() / ("zeblon_settings_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path ini = dir / "ZEBLON.INI";
  Settings s = StartDefaults();
  s.UserCall = "AB1CD";
  ASSERT_TRUE(WriteSettingsFile(ini, SettingsWindow::Start, s));
  Settings back = MainDefaults();
  ASSERT_TRUE(ReadSettingsFile(ini, SettingsWindow::Main, back));
  EXPECT_EQ(back.UserCall, "AB1CD");
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1);
  // A missing file is reported, not created, by the patch.
  EXPECT_FALSE(PatchSettingsFile(dir / "MISSING.INI", {{"UTN", "1"}}, true));
  EXPECT_FALSE(fs::exists(dir / "MISSING.INI"));
  // A folder that cannot be written keeps the old file whole.
  fs::permissions(dir, fs::perms::owner_write, fs::perm_options::remove);
  if (::geteuid() != 0) {
    s.UserCall = "ZZ9ZZ";
    EXPECT_FALSE(WriteSettingsFile(ini, SettingsWindow::Start, s));
    ReadSettingsFile(ini, SettingsWindow::Main, back);
    EXPECT_EQ(back.UserCall, "AB1CD");
  }
  fs::permissions(dir, fs::perms::owner_write, fs::perm_options::add);
  fs::remove_all(dir);
}

// A rewrite killed before its rename leaves ZEBLON.INI.tmp<id>; the next start's
// reading removes it once that process has ended, and reads the whole old file.
TEST(SettingsFile, ReadingRemovesTheLeftoversOfKilledRewrites) {
  const fs::path dir = fs::temp_directory_path() / ("zeblon_settings_left_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path ini = dir / "ZEBLON.INI";
  ASSERT_TRUE(WriteFileAtomically(ini, "USER=AB1CD\r\n"));
  const pid_t child = ::fork();
  if (child == 0) {
    // Killed in the middle of a rewrite: the temporary file is written, not renamed.
    std::ofstream(platform::TemporaryFileFor(ini)) << "USER=ZZ";
    ::raise(SIGKILL);
  }
  ::waitpid(child, nullptr, 0);
  const fs::path leftover = dir / ("ZEBLON.INI.tmp" + std::to_string(child));
  ASSERT_TRUE(fs::exists(leftover));
  Settings back = MainDefaults();
  ASSERT_TRUE(ReadSettingsFile(ini, SettingsWindow::Main, back));
  EXPECT_EQ(back.UserCall, "AB1CD");
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_TRUE(fs::exists(ini));
  fs::remove_all(dir);
}

TEST(SettingsMapSystem, Normalised) {
  const std::pair<const char*, const char*> cases[] = {
      {"U33", "U33"}, {"U5", "U05"},  {"U99", "U60"}, {"U-32", "U32"}, {"U33X", "U33"},
      {"X33", "U33"}, {"u33", "U33"}, {"U", "U00"},   {"", "U33"},     {"U32.5", "U32.5"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormaliseMapSystem(in), out) << in;
}

}  // namespace
}  // namespace zeblon

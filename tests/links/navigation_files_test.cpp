// The navigation recording: whether it runs, and its files at shutdown.
#include "links/navigation_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "settings/text_files.h"

namespace zeblon::links {
namespace {

namespace fs = std::filesystem;

TEST(Shutdown, StopLineAndNavigationFiles) {
  const std::string rec = "6581  401 240101 1234";
  const std::string stop = NavigationStopLine(rec);
  EXPECT_EQ(stop.size(), 68u);
  EXPECT_EQ(stop.substr(0, 52), rec + " STOP   ZEBLON_NAVIGATION_ENDED");
  EXPECT_EQ(stop.substr(54), "@(xxx)@yyy@zzz");
  const std::string long_stop = NavigationStopLine(std::string(40, 'R'));
  EXPECT_EQ(long_stop.size(), 68u);
  EXPECT_EQ(long_stop.substr(40, 14), " STOP   ZEBLON");

  const fs::path dir = fs::temp_directory_path() / ("zeblon_nav_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  WriteFileAtomically(dir / "QTHWAY.TXT", "6581  401 240101 1200||abc");
  std::string open_line = "6581  401 240101 1200||abc";
  ASSERT_TRUE(WriteNavigationFiles(dir, rec, open_line, " 6581.234", "  401.500"));
  std::string way, act, pr;
  ReadWholeFile(dir / "QTHWAY.TXT", way);
  ReadWholeFile(dir / "QTHACT.TXT", act);
  ReadWholeFile(dir / "QTHACTPR.TXT", pr);
  EXPECT_EQ(way, "6581  401 240101 1200||abc\r\n" + stop + "\r\n");
  EXPECT_EQ(act, stop + "\r\n");
  EXPECT_EQ(pr, "\xFE 6581.234  401.500\r\n");
  EXPECT_EQ(open_line, stop);
  fs::remove_all(dir);
}

TEST(Shutdown, ARecordedRouteEndsInTheNavigationFolderOnlyWhenItTookAFix) {
  const fs::path program = fs::temp_directory_path() / ("zeblon_navend_" + std::to_string(::getpid()));
  const fs::path folder = program / "drive_c" / "MAP" / "U33";
  struct Case {
    int active, recording;
    bool written;
  } const cases[] = {{1, 1, true}, {0, 1, false}, {1, 0, false}};
  for (const Case& c : cases) {
    fs::remove_all(program);
    NavigationState nav;
    nav.NavigationActive = c.active;
    nav.NavigationRecording = c.recording;
    nav.NavigationRecord = "6581  401 240101 1234";
    EXPECT_TRUE(EndRecordedRoute(nav, "U33", program));
    // The folder is made when missing.
    EXPECT_EQ(fs::exists(folder / "QTHACT.TXT"), c.written) << c.active << c.recording;
    EXPECT_EQ(nav.NavigationLine, c.written ? NavigationStopLine(nav.NavigationRecord) : "");
  }
  fs::remove_all(program);
}

TEST(StartUp, RecordingWantedForASavingPortAndAFilledNavigationFolder) {
  const fs::path program = fs::temp_directory_path() / ("zeblon_navstart_" + std::to_string(::getpid()));
  fs::create_directories(program / "drive_c" / "MAP" / "U33");
  fs::create_directories(program / "drive_c" / "MAP" / "U32");
  WriteFileAtomically(program / "drive_c" / "MAP" / "U33" / "QTHWAY.TXT", "x");
  struct Case {
    const char* source;
    const char* mapSystem;
    bool wanted;
  } const cases[] = {
      {"1 SAVE", "U33", true},  {"1", "U33", false},
      {"SAVE", "U33", false},   {"1 SAVE", "U32", false},  // the folder is empty
      {"1 SAVE", "U31", false},                            // no such folder
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NavigationRecordingWanted(c.source, c.mapSystem, program), c.wanted) << c.source << " " << c.mapSystem;
  }
  fs::remove_all(program);
}

}  // namespace
}  // namespace zeblon::links

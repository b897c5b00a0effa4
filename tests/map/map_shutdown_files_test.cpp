// The map's part of the shutdown: its settings entries and its own temporary files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>

#include "map/map_folder_entries.h"
#include "map/own_files.h"
#include "settings/text_files.h"

namespace zeblon::map {
namespace {

namespace fs = std::filesystem;

TEST(Shutdown, MapFoldersAndPatchEntries) {
  EXPECT_EQ(MapFolderFromCombo("M0050topo "), "TOPO");
  EXPECT_EQ(MapFolderFromCombo("M0050"), "");
  EXPECT_EQ(MapFolderFromCombo(""), "");
  const auto e = ShutdownPatchEntries({"A", "", "", "TOPO", "", ""}, 6581.5, 401.25, 0, -0.5);
  ASSERT_EQ(e.size(), 10u);
  EXPECT_EQ(e[0], (std::pair<std::string, std::string>{"M5000", "A"}));
  EXPECT_EQ(e[3].second, "TOPO");
  EXPECT_EQ(e[6], (std::pair<std::string, std::string>{"UTN", "6581.5"}));
  EXPECT_EQ(e[8].second, "0");
  EXPECT_EQ(e[9].second, "-.5");
}

TEST(Shutdown, TheSettingsFileIsPatchedAndWrittenAnewWhenItWentMissing) {
  const fs::path dir = fs::temp_directory_path() / ("zeblon_patch_" + std::to_string(::getpid()));
  const fs::path file = dir / "ZEBLON.INI";
  const std::array<std::string, 6> combos = {"M5000", "M1000", "M0200", "M0050topo", "M0010", "M0002"};
  const auto whole = [](const Settings& s) { return "USER=" + s.UserCall + "\r\n"; };
  struct Case {
    const char* name;
    std::optional<std::string> before;  // none: the file went missing
    bool ok;
    std::string after;
  } const cases[] = {
      {"kept lines", "USER=AB1CD\r\nXTRA=kept\r\nUTN=1\r\n", true, "XTRA=kept"},
      {"missing", std::nullopt, true, "USER=QW7TK"},
      {"a folder in its place", "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (c.before && c.before->empty()) fs::create_directory(file);
    if (c.before && !c.before->empty()) WriteFileAtomically(file, *c.before);
    Settings s;
    s.UserCall = "QW7TK";
    s.CentreNorth = 6581.5;
    EXPECT_EQ(PatchSettingsAtShutdown(file, combos, s, whole), c.ok);
    EXPECT_EQ(s.MapFolderM0050, "TOPO");
    if (!c.ok) continue;
    std::string text;
    ASSERT_TRUE(ReadWholeFile(file, text));
    EXPECT_NE(text.find(c.after), std::string::npos) << text;
    EXPECT_NE(text.find("M0050=TOPO\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("UTN=6581.5\r\n"), std::string::npos) << text;
  }
  fs::remove_all(dir);
}

TEST(Shutdown, DeletesOnlyTheFilesTheProgramWrote) {
  const fs::path dir = fs::temp_directory_path() / ("zeblon_own_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const char* f :
       {"ALLMDIRS.DIR", "M0050.DIR", "OTHER.DIR", "ZEBLSYM0.BMP", "ZEBLSYM1.BMP", "PHOTO.BMP", "12345678.BMP"}) {
    WriteFileAtomically(dir / f, "x");
  }
  OwnFiles own;
  own.Add(dir / "ALLMDIRS.DIR");
  own.Add(dir / "M0050.DIR");
  own.Add(dir / "12345678.BMP");
  own.Add(dir / "GONE.BMP");  // deleted already by the drawing
  EXPECT_EQ(own.DeleteAll(), 3);
  for (const char* f : {"ALLMDIRS.DIR", "M0050.DIR", "12345678.BMP"}) EXPECT_FALSE(fs::exists(dir / f)) << f;
  for (const char* f : {"OTHER.DIR", "ZEBLSYM0.BMP", "ZEBLSYM1.BMP", "PHOTO.BMP"})
    EXPECT_TRUE(fs::exists(dir / f)) << f;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zeblon::map

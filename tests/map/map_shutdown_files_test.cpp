// The map's part of the shutdown: its settings entries and its own temporary files.
#include <gtest/gtest.h>
#include <unistd.h>

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

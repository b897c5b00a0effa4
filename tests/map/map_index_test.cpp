// The map folder index: folders per scale, the chosen folders, tile index files,
// the renames in map folders, the picture list, and the scale marks.
#include "map/map_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "map/layers/tile_frames_layer.h"
#include "map/map_display.h"

#include <QImage>
#include <QPainter>
#include "tile_fixture.h"

namespace zeblon::map {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& p, const std::string& text = "x") {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class MapIndexTest : public ::testing::Test {
 protected:
  fs::path Root() const { return root_.path() / "U33"; }
  fs::path Temp() const { return root_.path() / "TEMP"; }
  testing::TempFolder root_;
};

TEST_F(MapIndexTest, FoldersAreListedUnderEveryTagTheyHold) {
  for (const char* f : {"M0050", "M0050TOPO", "m0010", "XM0050", "M0200M0002", "OTHER"})
    fs::create_directories(Root() / f);
  Touch(Root() / "M0050X.TXT");  // a file, not a folder
  MapIndex index(Root(), Temp());
  index.Build({"", "", "", "TOPO", "", ""});
  EXPECT_EQ(index.Folders(3), (std::vector<std::string>{"M0050", "M0050TOPO", "XM0050"}));
  EXPECT_EQ(index.Folders(4), (std::vector<std::string>{"M0010"}));
  EXPECT_EQ(index.Folders(2), (std::vector<std::string>{"M0200M0002"}));
  EXPECT_EQ(index.Folders(5), (std::vector<std::string>{"M0200M0002"}));
  EXPECT_TRUE(index.Folders(0).empty());
  EXPECT_EQ(index.Chosen(3), "M0050TOPO");
  EXPECT_EQ(index.Chosen(4), "M0010");
  EXPECT_EQ(index.Chosen(0), "");
  // ALLMDIRS.DIR: one line per tag a name holds (the listing's order is the disk's).
  const std::string all = Read(Temp() / "ALLMDIRS.DIR");
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 6);
  EXPECT_NE(all.find("M0200M0002\r\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(Temp() / "M0010.DIR"));
  EXPECT_EQ(Read(Temp() / "M0010.DIR"), "");
}

TEST_F(MapIndexTest, TheSettingChoosesTheFolderElseTheFirstInSortedOrder) {
  for (const char* f : {"M0050TOPO", "M0050", "M0050sea"}) fs::create_directories(Root() / f);
  const struct {
    std::string setting, want;
  } cases[] = {{"TOPO", "M0050TOPO"}, {"", "M0050"}, {"NONE", "M0050"}, {" sea ", "M0050SEA"}};
  for (const auto& c : cases) {
    MapIndex index(Root(), Temp());
    index.Build({"", "", "", c.setting, "", ""});
    EXPECT_EQ(index.Chosen(3), c.want) << c.setting;
  }
}

TEST_F(MapIndexTest, OnlyEightDotThreeNamesAreRenamedAndTheIndexListsTiles) {
  const fs::path f = Root() / "M0010";
  Touch(f / "12345678.bmp", "lower");
  Touch(f / "65800400.GIF", "gif");
  Touch(f / "65800400.BMP", "bmp");
  Touch(f / "1234.GIF", "short");              // a shorter name: never touched
  Touch(f / "123456789.GIF", "long");          // a longer name: never touched
  Touch(f / "README.TXT", "readme");           // 6.3: never touched
  fs::create_directories(f / "ABCDEFGH.DAT");  // a folder: never touched
  MapIndex index(Root(), Temp());
  index.Build({});
  EXPECT_TRUE(fs::exists(f / "12345678.BMP"));
  EXPECT_EQ(Read(f / "12345678.BMP"), "lower");
  EXPECT_FALSE(fs::exists(f / "65800400.GIF"));
  EXPECT_EQ(Read(f / "65800400.BMP"), "bmp");
  for (const char* kept : {"1234.GIF", "123456789.GIF", "README.TXT", "ABCDEFGH.DAT"})
    EXPECT_TRUE(fs::exists(f / kept)) << kept;
  const auto* tiles = index.Tiles("M0010");
  ASSERT_NE(tiles, nullptr);
  std::vector<std::string> sorted = *tiles;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::string>{"12345678.BMP", "65800400.BMP"}));
  EXPECT_EQ(index.HasTile("M0010", "65800400.BMP"), std::optional<bool>(true));
  EXPECT_EQ(index.HasTile("M0010", "65800410.BMP"), std::optional<bool>(false));
  EXPECT_EQ(index.HasTile("", "65800410.BMP"), std::optional<bool>(false));
}

TEST_F(MapIndexTest, OldIndexFilesAreDeletedOnlyWhenThisIndexWroteThem) {
  fs::create_directories(Root() / "M0050");
  Touch(Temp() / "MINE.DIR", "another program's");
  Touch(Temp() / "M0050.BMP", "another program's");
  MapIndex index(Root(), Temp());
  index.Build({});
  EXPECT_TRUE(fs::exists(Temp() / "M0050.DIR"));
  fs::remove_all(Root() / "M0050");
  fs::create_directories(Root() / "M1000");
  index.Build({});
  EXPECT_FALSE(fs::exists(Temp() / "M0050.DIR"));
  EXPECT_TRUE(fs::exists(Temp() / "M1000.DIR"));
  EXPECT_TRUE(fs::exists(Temp() / "MINE.DIR"));
  EXPECT_TRUE(fs::exists(Temp() / "M0050.BMP"));
  index.DeleteOwnFiles();
  EXPECT_FALSE(fs::exists(Temp() / "M1000.DIR"));
  EXPECT_FALSE(fs::exists(Temp() / "ALLMDIRS.DIR"));
  EXPECT_TRUE(fs::exists(Temp() / "MINE.DIR"));
}

TEST_F(MapIndexTest, PicturesWithoutThumbnailsSortedAndCutTo12) {
  for (const char* p : {"6580A400.JPG", "1234ABCD_THUMB.JPG", "65800401.AVI", "6580040012.JPEG", "thumbs.db"})
    Touch(Root() / "UTMPICS" / p);
  MapIndex index(Root(), Temp());
  index.Build({});
  EXPECT_EQ(index.Pictures(), (std::vector<std::string>{"6580040012.J", "65800401.AVI", "6580A400.JPG"}));
}

TEST_F(MapIndexTest, AMissingMapRootGivesEmptyListsAndAFolderOf10000FilesIsListed) {
  {
    MapIndex index(Root() / "NOWHERE", Temp());
    index.Build({});
    for (int l = 0; l < kLevels; ++l) EXPECT_TRUE(index.Folders(l).empty());
    EXPECT_EQ(Read(Temp() / "ALLMDIRS.DIR"), "");
  }
  const fs::path f = Root() / "M0002";
  fs::create_directories(f);
  for (int i = 0; i < 10000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d%04d.BMP", i / 100, i % 100);
    std::ofstream(f / name);
  }
  MapIndex index(Root(), Temp());
  index.Build({});
  ASSERT_NE(index.Tiles("M0002"), nullptr);
  EXPECT_EQ(index.Tiles("M0002")->size(), 10000u);
  EXPECT_EQ(index.HasTile("M0002", "00990099.BMP"), std::optional<bool>(true));
}

TEST(ScaleMarks, CentreTilesMarkTheirScalesAndAGoneIndexIsRebuiltKeepingTheChoice) {
  testing::TempFolder root, temp;
  testing::WritePatternTiles(root.path() / "M0050", 6550, 6550, 400, 400, 50);
  fs::create_directories(root.path() / "M0050TOPO");
  fs::create_directories(root.path() / "M0010");
  MapDisplay d(root.path(), temp.path());
  d.BuildMapIndex();
  MapState& s = d.mutable_state();
  s.MapWidthPx = 100;
  s.MapHeightPx = 100;
  s.MapScale = 50;
  s.CentreNorth = 6583;
  s.CentreEast = 420;
  d.DrawMap();
  EXPECT_EQ(d.outputs().BoxBackground[3], QColor(160, 192, 192));
  EXPECT_EQ(d.outputs().BoxBackground[4], QColor(128, 128, 128));
  EXPECT_EQ(d.outputs().ComboColour[3], QColor(224, 224, 0));
  EXPECT_EQ(d.outputs().ComboColour[4], QColor(192, 192, 192));
  // Scales without any map folder do not rebuild the index at every drawing.
  const int rebuilds = d.rebuilds();
  d.DrawMap();
  d.DrawMap();
  EXPECT_EQ(d.rebuilds(), rebuilds);
  // The user chose M0050TOPO; its index file goes; the rebuild keeps the choice.
  s.ComboText[3] = "M0050TOPO";
  d.DrawMap();
  fs::remove(temp.path() / "M0050TOPO.DIR");
  d.DrawMap();
  EXPECT_EQ(d.rebuilds(), rebuilds + 1);
  EXPECT_EQ(s.ComboText[3], "M0050TOPO");
  EXPECT_TRUE(fs::exists(temp.path() / "M0050TOPO.DIR"));
}

TEST(TileFrames, FramesInTheScaleColourAndBoundaryLinesWhereTilesAreWideEnough) {
  testing::TempFolder root, temp;
  Touch(root.path() / "M0002" / "65820400.BMP");
  Touch(root.path() / "M0002" / "65800402.BMP");
  MapIndex index(root.path(), temp.path());
  index.Build({});
  TileFramesLayer frames(index);
  std::array<bool, kLevels> shown{};
  shown[5] = true;
  std::array<std::string, kLevels> folders;
  folders[5] = "M0002";
  frames.Set(shown, folders);
  const QColor colour = TileFrameColour(5), black(0, 0, 0);
  EXPECT_EQ(colour, QColor(255, 192, 0));
  const auto render = [&](double zoom) {
    const MapView v = MapView::Of(6582, 402, 50, zoom, 400, 400);
    QImage img(400, 400, QImage::Format_RGB32);
    img.fill(QColor(10, 20, 30));
    QPainter p(&img);
    frames.render(p, v);
    p.end();
    return std::pair{img, v};
  };
  {
    // 50 m per pixel: tiles of 2 km are 40 pixels, framed and with boundary lines.
    const auto [img, v] = render(1);
    const int left = static_cast<int>(std::lround((400 - v.ViewEastMin()) * v.PixelsPerKm()));
    const int top = static_cast<int>(std::lround((v.ViewNorthMax() - 6584) * v.PixelsPerKm() + 1));
    EXPECT_EQ(QColor(img.pixel(left, top + 10)), colour);
    EXPECT_EQ(QColor(img.pixel(left + 10, top)), colour);
    int black_pixels = 0;
    for (int x = 0; x < 400; ++x) black_pixels += QColor(img.pixel(x, 200)) == black;
    EXPECT_GE(black_pixels, 8);  // a boundary line every 40 pixels
  }
  {
    // 400 m per pixel: 5 pixels a tile, frames only.
    const auto [img, v] = render(8);
    int framed = 0, black_pixels = 0;
    for (int y = 0; y < 400; ++y)
      for (int x = 0; x < 400; ++x) {
        framed += QColor(img.pixel(x, y)) == colour;
        black_pixels += QColor(img.pixel(x, y)) == black;
      }
    EXPECT_GT(framed, 0);
    EXPECT_EQ(black_pixels, 0);
  }
}

}  // namespace
}  // namespace zeblon::map

// The map in the main window: buttons, clicks, keys and QTH OK on the offscreen
// window, checked on the centre, scale, zoom, read-outs, the drawn tiles and the
// settings file.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <fstream>
#include <memory>

#include "geodesy/text.h"
#include "main_window/form1.h"
#include "map/map_service.h"
#include "tests/map/tile_fixture.h"
#include "tests/support/find.h"
#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

using testing_support::Find;
using testing_support::ProgramFolderTest;
namespace fs = std::filesystem;

class MapWindowTest : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    map::testing::WritePatternTiles(folder_ / "MAPS" / "M0050", 6550, 6600, 350, 450, 50);
    map::testing::WritePatternTiles(folder_ / "MAPS" / "M0010", 6570, 6590, 390, 410, 10);
    Write("ZEBLON.INI", "TEMP=" + folder_.string() + "\r\nUMAPS=" + (folder_ / "MAPS").string() +
                            "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\nUTN=6581.5\r\nUTE=401.25\r\n"
                            "UUN=0\r\nUUE=0\r\nCALL=QW7TK\r\nNOAT=1\r\n");
    Write("U33/POI/HOME.POI", "\xFE 6581.500  401.250 HOME\r\n");
    form_ = std::make_unique<Form1>();
    form_->show();
    PumpUntil([&] { return form_->Map().state().MapDrawnOnce == 1; });
    picture_ = form_->Picture1;
  }
  void TearDown() override {
    form_.reset();
    ProgramFolderTest::TearDown();
  }
  void Click(const char* name) { Find<platform::CommandButton>(*form_, name)->click(); }
  void Mouse(QEvent::Type type, Qt::MouseButton b, QPoint p) {
    QMouseEvent e(type, QPointF(p), QPointF(picture_->mapToGlobal(p)), b,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : b, Qt::NoModifier);
    QApplication::sendEvent(picture_, &e);
  }
  void Key(int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, m);
    QApplication::sendEvent(picture_, &e);
  }
  std::string Caption(const char* label) { return Find<platform::Label>(*form_, label)->Caption(); }
  std::string Ini() {
    std::ifstream in(folder_ / "ZEBLON.INI", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  QColor CentrePixel() {
    const QImage img = picture_->grab().toImage();
    return QColor(img.pixel(img.width() / 2 + 30, img.height() / 2 + 30));
  }

  std::unique_ptr<Form1> form_;
  QWidget* picture_ = nullptr;
};

TEST_F(MapWindowTest, ButtonsClicksKeysAndQthOk) {
  const map::MapState& m = form_->Map().state();
  const Settings& s = form_->CurrentSettings();
  // The start-up shows the coarsest scale; three steps in reach the tiles of M0050.
  EXPECT_EQ(m.MapScale, 5000);
  EXPECT_EQ(Caption("Label1"), "UTMcen 6581.500");
  EXPECT_EQ(Caption("Label2"), "33! 15  401.250");
  for (int i = 0; i < 3; ++i) Click("Command2");
  EXPECT_EQ(m.MapScale, 50);
  EXPECT_NE(CentrePixel(), QColor(80, 80, 80));
  // Scale and zoom buttons, with their ends.
  for (int i = 0; i < 3; ++i) Click("Command2");
  EXPECT_EQ(m.MapScale, 2);
  Click("Command1");
  Click("Command1");
  EXPECT_EQ(m.MapScale, 50);
  for (int i = 0; i < 5; ++i) Click("Command8");
  EXPECT_EQ(m.ZoomFactor, 0.125);
  Click("Command7");
  EXPECT_EQ(m.ZoomFactor, 0.25);
  Click("Command9");
  EXPECT_EQ(m.ZoomFactor, 1);
  // USER QTH: the map follows the user's position; a left click frees it and clears the option.
  form_->Map().SetUserPosition(6581.5, 401.25);
  auto* option1 = Find<platform::OptionButton>(*form_, "Option1");
  QMouseEvent up(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                 Qt::NoModifier);
  QApplication::sendEvent(option1, &up);
  EXPECT_EQ(m.CentreMode, 2);
  EXPECT_TRUE(option1->Value());
  const int w = picture_->width(), h = picture_->height();
  // A right click frees the map as well, also for the redraws after it, but
  // leaves the option selected.
  Mouse(QEvent::MouseMove, Qt::NoButton, QPoint(w / 2, h / 2));
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, QPoint(w / 2, h / 2));
  Mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPoint(w / 2, h / 2));
  EXPECT_EQ(m.CentreMode, 0);
  form_->DrawMap();
  EXPECT_EQ(m.CentreMode, 0);
  EXPECT_TRUE(option1->Value());
  QApplication::sendEvent(option1, &up);
  ASSERT_EQ(m.CentreMode, 2);
  // A left click re-centres on the point under the cursor.
  const QPoint p(w / 2 + 100, h / 2 - 1 - 40);
  Mouse(QEvent::MouseMove, Qt::NoButton, p);
  EXPECT_EQ(Caption("Label3"), "UTMcrs 6583.500");
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, p);
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, p);
  EXPECT_DOUBLE_EQ(s.CentreNorth, 6583.5);
  EXPECT_DOUBLE_EQ(s.CentreEast, 406.25);
  EXPECT_EQ(Caption("Label1"), "UTMcen 6583.500");
  EXPECT_EQ(m.CentreMode, 0);
  EXPECT_FALSE(option1->Value());
  // Arrow keys move the cursor (Shift 10 pixels), Enter clicks there: the cursor,
  // still 100 pixels east and 40 north of the new centre, ends 90 east and 39 north.
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Down);
  Key(Qt::Key_Return);
  EXPECT_NEAR(s.CentreNorth, 6583.5 + 39 * 0.05, 1e-9);
  EXPECT_NEAR(s.CentreEast, 406.25 + 90 * 0.05, 1e-9);
  // A right click on the plain scale folder changes nothing of the centre.
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, QPoint(10, 10));
  Mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPoint(10, 10));
  EXPECT_NEAR(s.CentreEast, 410.75, 1e-9);
  // The read-out pair steps to latitude and longitude with a left press.
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(Find<platform::Label>(*form_, "Label1"), &press);
  EXPECT_EQ(Caption("Label1").substr(0, 6), "GLLcen");
  // QTH OK: the centre becomes the user's position and is patched into the file.
  Click("Command21");
  EXPECT_DOUBLE_EQ(s.UserNorth, s.CentreNorth);
  const std::string ini = Ini();
  EXPECT_NE(ini.find("\r\nUUN=6585.45\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("\r\nUUE=410.75\r\n"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("UUN=0\r\n"), std::string::npos);
}

TEST_F(MapWindowTest, GridAndCirclesSwitchesRedrawTheMap) {
  for (int i = 0; i < 3; ++i) Click("Command2");
  const QImage before = picture_->grab().toImage();
  Find<platform::CheckBox>(*form_, "Check4")->click();
  const QImage grid = picture_->grab().toImage();
  EXPECT_NE(before, grid);
  Find<platform::CheckBox>(*form_, "Check4")->click();
  EXPECT_EQ(picture_->grab().toImage(), before);
  Find<platform::CheckBox>(*form_, "Check9")->click();
  EXPECT_NE(picture_->grab().toImage(), before);
}

TEST_F(MapWindowTest, BrightnessAndTheMarkedInk) {
  for (int i = 0; i < 3; ++i) Click("Command2");
  const QColor normal = CentrePixel();
  Click("Command72");  // dark
  const QColor dark = CentrePixel();
  EXPECT_EQ(dark, QColor(static_cast<int>(RoundHalfEven(normal.red() * 0.6)),
                         static_cast<int>(RoundHalfEven(normal.green() * 0.6)),
                         static_cast<int>(RoundHalfEven(normal.blue() * 0.6))));
  Click("Command72");  // bright
  Click("Command72");  // normal again
  EXPECT_EQ(CentrePixel(), normal);
  // A right press on the brightness button opens the inks, coloured as painted.
  auto* pal = Find<platform::CommandButton>(*form_, "Command72");
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(pal, &press);
  QWidget* inks = Find(*form_, "PaletteInks");
  ASSERT_NE(inks, nullptr);
  EXPECT_TRUE(inks->isVisible());
  // The centre tile's ink marked: that pixel turns yellow; RESET clears the mark.
  const int ink = map::testing::TileInk(6550, 400, 50);
  Find<platform::OptionButton>(*form_, ("Optionink(" + std::to_string(ink) + ")").c_str())->click();
  EXPECT_EQ(CentrePixel(), QColor(255, 255, 0));
  Click("Command43");
  EXPECT_FALSE(inks->isVisible());
  EXPECT_EQ(CentrePixel(), normal);
}

TEST_F(MapWindowTest, ThePoiButtonShowsThePointsOfTheChosenFile) {
  for (int i = 0; i < 3; ++i) Click("Command2");
  ASSERT_EQ(form_->PoiAndTrackFiles().pois.lines().size(), 1u);
  const auto poi_pixels = [&] {
    const QImage img = picture_->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += QColor(img.pixel(x, y)) == QColor(255, 224, 0);
    return n;
  };
  EXPECT_EQ(poi_pixels(), 0);
  Click("Command73");  // points
  const int points = poi_pixels();
  EXPECT_GT(points, 0);
  Click("Command73");  // points and texts
  EXPECT_GT(poi_pixels(), points);
  Click("Command73");  // off
  EXPECT_EQ(poi_pixels(), 0);
}

TEST_F(MapWindowTest, ShutdownKeepsTheCentreAndDeletesOnlyItsOwnIndexFiles) {
  Write("M0050.DIR", "another program's");
  const fs::path index = map::MapService::IndexFolder(folder_.string(), form_->AppFolder());
  EXPECT_TRUE(fs::exists(index / "ALLMDIRS.DIR"));
  EXPECT_TRUE(fs::exists(index / "M0050.DIR"));
  for (int i = 0; i < 3; ++i) Click("Command2");
  const QPoint p(picture_->width() / 2 - 200, picture_->height() / 2 - 1);
  Mouse(QEvent::MouseMove, Qt::NoButton, p);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, p);
  form_->CloseByUser();
  PumpUntil([&] { return form_->ShutdownDone(); });
  EXPECT_FALSE(fs::exists(index / "ALLMDIRS.DIR"));
  EXPECT_FALSE(fs::exists(index / "M0050.DIR"));
  EXPECT_TRUE(fs::exists(folder_ / "M0050.DIR"));
  const std::string ini = Ini();
  EXPECT_NE(ini.find("UTN=6581.5\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("UTE=391.25\r\n"), std::string::npos) << ini;
}

}  // namespace
}  // namespace zeblon

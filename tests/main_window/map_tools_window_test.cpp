// The map tools in the main window, offscreen: the outside maps and documents
// through a recording stand-in for xdg-open first on PATH, the map save, the
// picture viewer with PIC.HTM, the sun curve, the POI editor and the TRK files.
// Pictures of the sun curve, the viewer, the POI editor and a track on the map
// are kept in the build folder (map_tools_*.png).
#include <QApplication>
#include <QClipboard>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <fstream>
#include <memory>
#include <sys/stat.h>

#include "main_window/form1.h"
#include "map/map_service.h"
#include "reception/reception_state.h"
#include "map/map_display.h"
#include "map/outside_maps.h"
#include "settings/text_files.h"
#include "tests/map/tile_fixture.h"
#include "tests/support/find.h"
#include "tests/support/mouse.h"
#include "tests/support/program_folder.h"

#ifdef ZEBLON_HAVE_VIDEO
#include <QMediaPlayer>
#endif

namespace zeblon {
namespace {

// A small uncompressed AVI video: `frames` frames of 16 x 16 pixels, 24 bits, 10 a second.
std::string TinyAvi(int frames) {
  const auto u32 = [](std::string& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b += char((v >> (8 * i)) & 0xFF);
  };
  const auto u16 = [](std::string& b, std::uint16_t v) {
    b += char(v & 0xFF);
    b += char(v >> 8);
  };
  const auto chunk = [&](const char* id, const std::string& data) {
    std::string c(id, 4);
    u32(c, std::uint32_t(data.size()));
    c += data;
    if (data.size() % 2) c += '\0';
    return c;
  };
  const auto list = [&](const char* type, const std::string& data) {
    return chunk("LIST", std::string(type, 4) + data);
  };
  const int w = 16, h = 16, frame_bytes = w * h * 3;
  std::string avih;
  for (std::uint32_t v : {100000u, std::uint32_t(frame_bytes * 10), 0u, 0x10u, std::uint32_t(frames), 0u, 1u,
                          std::uint32_t(frame_bytes), std::uint32_t(w), std::uint32_t(h), 0u, 0u, 0u, 0u})
    u32(avih, v);
  std::string strh = "vids";
  strh += std::string("DIB ", 4);
  for (std::uint32_t v : {0u}) u32(strh, v);
  u16(strh, 0);
  u16(strh, 0);
  for (std::uint32_t v : {0u, 1u, 10u, 0u, std::uint32_t(frames), std::uint32_t(frame_bytes), 0xFFFFFFFFu, 0u})
    u32(strh, v);
  for (std::uint16_t v : {std::uint16_t(0), std::uint16_t(0), std::uint16_t(w), std::uint16_t(h)}) u16(strh, v);
  std::string strf;
  u32(strf, 40);
  u32(strf, w);
  u32(strf, h);
  u16(strf, 1);
  u16(strf, 24);
  for (std::uint32_t v : {0u, std::uint32_t(frame_bytes), 0u, 0u, 0u, 0u}) u32(strf, v);
  std::string movi, idx;
  std::uint32_t offset = 4;
  for (int f = 0; f < frames; ++f) {
    std::string pixels(frame_bytes, char(f * 20));
    const std::string c = chunk("00db", pixels);
    movi += c;
    idx += "00db";
    u32(idx, 0x10);
    u32(idx, offset);
    u32(idx, std::uint32_t(frame_bytes));
    offset += std::uint32_t(c.size());
  }
  const std::string body = std::string("AVI ", 4) +
                           list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf))) +
                           list("movi", movi) + chunk("idx1", idx);
  return chunk("RIFF", body);
}

using testing_support::Find;
using testing_support::ProgramFolderTest;
namespace fs = std::filesystem;

class MapToolsWindowTest : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    map::testing::WritePatternTiles(folder_ / "MAPS" / "M0050", 6550, 6600, 350, 450, 50);
    // A picture of the centre's kilometre square.
    fs::create_directories(folder_ / "MAPS" / "UTMPICS");
    QImage photo(320, 200, QImage::Format_RGB32);
    photo.fill(QColor(30, 120, 200));
    for (int x = 0; x < 320; ++x) photo.setPixelColor(x, x * 200 / 320, QColor(255, 255, 255));
    ASSERT_TRUE(photo.save(QString::fromStdString((folder_ / "MAPS" / "UTMPICS" / "65810401.JPG").string()), "JPG"));
    // A POI file and a TRK file near the centre.
    fs::create_directories(folder_ / "U33" / "POI");
    fs::create_directories(folder_ / "U33" / "TRK");
    if (with_poi_file_)
      Write("U33/POI/HUTS.POI", "\xFE 6581.500  401.250 Old hut\r\n\xFE 6590.000  420.000 Far hut\r\n");
    std::string trk;
    for (int i = 0; i <= 20; ++i) {
      char line[64];
      std::snprintf(line, sizeof line, "\xFE%9.3f%9.3f 20240501 %02d%02d", 6570.0 + i * 0.9, 390.0 + (i % 7) * 2.1,
                    10 + i / 60, i % 60);
      trk += line;
      trk += "\r\n";
    }
    Write("U33/TRK/20240501.TRK", trk);
    Write("U33/TRK/20240502.TRK", "");
    Write("ZEBLON.INI", "TEMP=" + folder_.string() + "\r\nUMAPS=" + (folder_ / "MAPS").string() +
                            "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\nUTN=6581.5\r\nUTE=401.25\r\n"
                            "UUN=0\r\nUUE=0\r\nCALL=QW7TK\r\nNOAT=1\r\n" +
                            (with_poi_file_ ? "POIF=HUTS\r\n" : "") + "TRKF=20240501\r\n");
    // The desktop opener: a stand-in that records its arguments, one per line.
    fs::create_directories(folder_ / "bin");
    record_ = folder_ / "opened.txt";
    Write("bin/xdg-open", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + record_.string() + "'; done\n");
    ::chmod((folder_ / "bin" / "xdg-open").c_str(), 0755);
    old_path_ = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", ((folder_ / "bin").string() + ":" + old_path_).c_str(), 1);

    // Message boxes are answered OK, also under a real display.
    platform::SetMessageResponder([](const platform::MessageRecord&) { return platform::MsgResult::Ok; });
    StartForm();
  }
  // The main window (again) from the program folder as it is now.
  void StartForm() {
    form_.reset();
    form_ = std::make_unique<Form1>();
    form_->resize(1024, 768);
    form_->show();
    PumpUntil([&] { return form_->Map().state().MapDrawnOnce == 1; });
    picture_ = form_->Picture1;
    service_ = dynamic_cast<map::MapService*>(&form_->MapDisplay());
    ASSERT_NE(service_, nullptr);
    ASSERT_NE(service_->tools(), nullptr);
  }
  void TearDown() override {
    form_.reset();
    platform::SetMessageResponder(nullptr);
    setenv("PATH", old_path_.c_str(), 1);
    ProgramFolderTest::TearDown();
  }
  void Click(const char* name) { Find<platform::CommandButton>(*form_, name)->click(); }
  void Mouse(QWidget* w, QEvent::Type type, Qt::MouseButton b, QPoint p) {
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), b,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : b, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  QPoint Centre() const { return QPoint(picture_->width() / 2, picture_->height() / 2); }
  // The opener's record once it holds `lines` lines (at most 5 s).
  std::vector<std::string> Opened(std::size_t lines) {
    std::vector<std::string> got;
    PumpUntil(
        [&] {
          std::string b;
          ReadWholeFile(record_, b);
          got = SplitLines(b);
          return got.size() >= lines;
        },
        5000);
    return got;
  }
  std::string Read(const fs::path& f) {
    std::string b;
    ReadWholeFile(f, b);
    return b;
  }
  // A video at the map centre, opened by PIC and a right click there.
  panels::PictureViewer* OpenVideoAtTheCentre() {
    Write("MAPS/UTMPICS/65810402.avi", TinyAvi(20));
    service_->BuildMapIndex();
    Find<platform::CheckBox>(*form_, "Check12")->click();
    Mouse(picture_, QEvent::MouseMove, Qt::NoButton, Centre());
    Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, Centre());
    Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, Centre());
    return Find<panels::PictureViewer>(*form_, "Frame8");
  }
  // At 50 m per pixel (a search square of 0.5 km) with the POIs and their texts
  // shown, a right click at the map centre opens the POI editor.
  panels::PoiEditor* OpenPoiEditorAtTheCentre() {
    for (int i = 0; i < 3; ++i) Click("Command2");
    Click("Command73");  // POI points
    Click("Command73");  // points with texts
    Mouse(picture_, QEvent::MouseMove, Qt::NoButton, Centre());
    Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, Centre());
    Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, Centre());
    return Find<panels::PoiEditor>(*form_, "PoiEditor");
  }
  void Shot(QWidget* w, const char* name) {
    w->grab().save(QString(ZEBLON_BINARY_DIR) + "/map_tools_" + name + ".png");
  }

  bool with_poi_file_ = true;  // HUTS.POI, the chosen POI file
  std::unique_ptr<Form1> form_;
  QWidget* picture_ = nullptr;
  map::MapService* service_ = nullptr;
  fs::path record_;
  std::string old_path_;
};

TEST_F(MapToolsWindowTest, WebMapsGlobeAndReadmeOpenThroughTheDesktopOpener) {
  form_->Form_KeyDown(120);  // F9
  auto opened = Opened(1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].rfind("https://www.google.com/maps/@59.", 0), 0u) << opened[0];
  form_->Form_KeyDown(117);  // F6
  opened = Opened(2);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[1], "https://minkarta.lantmateriet.se/?e=401250&n=6581500&z=12&background=2&boundaries=false");
  // F4: ZEBLON.KML written and handed over as one argument.
  form_->Form_KeyDown(115);
  opened = Opened(3);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[2], (folder_ / "ZEBLON.KML").string());
  const std::string kml = Read(folder_ / "ZEBLON.KML");
  EXPECT_EQ(kml.rfind("<kml>\r\n<Placemark>\r\n<name> 59.", 0), 0u) << kml;
  EXPECT_NE(kml.find("</Placemark>\r\n</kml>\r\n"), std::string::npos);
}

// One left click on the globe button hands the map over once.
TEST_F(MapToolsWindowTest, OneClickOnTheGlobeButtonHandsTheMapOverOnce) {
  testing_support::ClickWith(*Find(*form_, "Command58"), Qt::LeftButton);
  ASSERT_EQ(Opened(1).size(), 1u);
  PumpUntil([] { return false; }, 1000);  // a second hand-over would have arrived meanwhile
  EXPECT_EQ(Opened(1), std::vector<std::string>{(folder_ / "ZEBLON.KML").string()});
}

// F1 opens the program folder's help page; without it a box says so and the
// opener is not started.
TEST_F(MapToolsWindowTest, AMissingHelpPageIsSaid) {
  platform::ClearMessageLog();
  form_->Form_KeyDown(112);
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  EXPECT_EQ(platform::MessageLog()[0].text, "FILE NOT FOUND:\r\n" + (folder_ / "README.HTM").string());
  Write("README.HTM", "<html></html>");
  form_->Form_KeyDown(112);
  const auto opened = Opened(1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], (folder_ / "README.HTM").string());
  EXPECT_EQ(platform::MessageLog().size(), 1u);
}

// The map save's question shows its buttons in the window's language.
TEST_F(MapToolsWindowTest, MessageBoxButtonsSpeakTheWindowsLanguage) {
  platform::SetMessageResponder([](const platform::MessageRecord&) { return platform::MsgResult::Cancel; });
  const std::pair<int, const char*> cases[] = {{12, "Abbrechen"}, {13, "Avbryt"}, {11, "Cancel"}};
  for (const auto& [language, cancel] : cases) {
    form_->SetLanguage(language);
    platform::ClearMessageLog();
    form_->Form_KeyDown(114);
    ASSERT_EQ(platform::MessageLog().size(), 1u) << language;
    EXPECT_EQ(platform::MessageLog()[0].buttonTexts, (std::vector<std::string>{"OK", cancel})) << language;
  }
}

TEST_F(MapToolsWindowTest, ClipboardReadBacksCentreTheMap) {
  const Settings& s = form_->CurrentSettings();
  QGuiApplication::clipboard()->setText("https://www.google.com/maps/place/Somewhere,+Sweden/@59.0,15.0,12z");
  form_->Form_KeyDown(121);  // a place name before the "@": no position
  EXPECT_DOUBLE_EQ(s.CentreNorth, 6581.5);
  QGuiApplication::clipboard()->setText("https://www.google.com/maps/@58.6402969,15.0,1008m/data=!3m1!1e3");
  form_->Form_KeyDown(121);
  EXPECT_NEAR(s.CentreNorth, 6500.0, 0.002);
  EXPECT_NEAR(s.CentreEast, 500.0, 0.002);
  EXPECT_EQ(form_->Map().state().CentreMode, 0);
  QGuiApplication::clipboard()->setText(QString::fromUtf8("59\u00B0 19.5' N  18\u00B0 4.25' E"));
  form_->Form_KeyDown(116);  // F5: degrees and decimal minutes
  const map::CentreKm c = map::CentreOfLatLon({59.325, 18 + 4.25 / 60}, 15, 500000);
  EXPECT_DOUBLE_EQ(s.CentreNorth, c.north);
  EXPECT_DOUBLE_EQ(s.CentreEast, c.east);
}

TEST_F(MapToolsWindowTest, MapSaveAsksAndNeverOverwrites) {
  platform::SetMessageResponder([](const platform::MessageRecord&) { return platform::MsgResult::Cancel; });
  form_->Form_KeyDown(114);
  ASSERT_FALSE(platform::MessageLog().empty());
  EXPECT_EQ(platform::MessageLog().back().text,
            "SAVE MAP WINDOW TO FILE...  " + (folder_ / "MY_MAPS" / "MAP_0001.BMP").string());
  EXPECT_FALSE(fs::exists(folder_ / "MY_MAPS" / "MAP_0001.BMP"));
  platform::SetMessageResponder([](const platform::MessageRecord&) { return platform::MsgResult::Ok; });
  Write("MY_MAPS/MAP_0002.BMP", "not ours");
  Click("Command59");
  ASSERT_TRUE(fs::exists(folder_ / "MY_MAPS" / "MAP_0001.BMP"));
  QImageReader reader(QString::fromStdString((folder_ / "MY_MAPS" / "MAP_0001.BMP").string()));
  EXPECT_EQ(reader.read().size(), picture_->size());
  form_->Form_KeyDown(114);
  EXPECT_TRUE(fs::exists(folder_ / "MY_MAPS" / "MAP_0003.BMP"));
  EXPECT_EQ(Read(folder_ / "MY_MAPS" / "MAP_0002.BMP"), "not ours");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "MY_MAPS"), fs::directory_iterator{}), 3)
      << "no temporary file left behind";
}

TEST_F(MapToolsWindowTest, PictureViewerFromTheRightClickFinder) {
  Find<platform::CheckBox>(*form_, "Check12")->click();  // PIC
  Mouse(picture_, QEvent::MouseMove, Qt::NoButton, Centre());
  Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, Centre());
  Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, Centre());
  auto* viewer = Find<panels::PictureViewer>(*form_, "Frame8");
  ASSERT_TRUE(viewer->isVisible()) << service_->display().index().Pictures().size() << " pictures, display "
                                   << service_->display().state().PictureDisplay << " sel "
                                   << service_->display().state().SelectedNorth << " "
                                   << service_->display().state().SelectedEast << " mpp "
                                   << service_->display().state().MetresPerPixel;
  EXPECT_EQ(form_->Map().state().PictureMode, 1);
  EXPECT_EQ(viewer->Caption(), "65810401.JPG");
  const std::string path = (folder_ / "MAPS" / "UTMPICS" / "65810401.JPG").string();
  EXPECT_EQ(Read(folder_ / "PIC.HTM"), "<html>\r\n<body bgcolor=\"#505050\">\r\n<center>\r\n<img src=\"" + path +
                                           "\">\r\n</center>\r\n</body>\r\n</html>\r\n");
  QLabel* view = service_->tools()->pictureView();
  ASSERT_NE(view, nullptr);
  ASSERT_FALSE(view->pixmap().isNull());
  EXPECT_FALSE(viewer->Command70->isVisible()) << "START only for a video";
  Shot(form_.get(), "picture_viewer");
  // One picture: "<" and ">" change nothing.
  Click("Command30");
  Click("Command29");
  EXPECT_EQ(service_->tools()->pictureIndex(), 1);
  // MAP closes the viewer and centres one metre short of the square's middle.
  viewer->Command71->click();
  EXPECT_FALSE(viewer->isVisible());
  EXPECT_EQ(form_->Map().state().PictureMode, 0);
  EXPECT_NEAR(form_->CurrentSettings().CentreNorth, 6581.499, 1e-9);
  EXPECT_NEAR(form_->CurrentSettings().CentreEast, 401.499, 1e-9);
}

TEST_F(MapToolsWindowTest, VideoInTheViewerWithStart) {
  auto* viewer = OpenVideoAtTheCentre();
  ASSERT_TRUE(viewer->isVisible());
  EXPECT_EQ(viewer->Caption(), "65810402.avi");  // the last hit of the wide square
  EXPECT_TRUE(viewer->Command70->isVisible());
  const std::string page = Read(folder_ / "PIC.HTM");
  EXPECT_NE(page.find("<img dynsrc=\"" + (folder_ / "MAPS" / "UTMPICS" / "65810402.avi").string() + "\">\r\n"),
            std::string::npos)
      << page;
#ifdef ZEBLON_HAVE_VIDEO
  QMediaPlayer* player = service_->tools()->videoPlayer();
  ASSERT_NE(player, nullptr);
  PumpUntil(
      [&] {
        const auto st = player->mediaStatus();
        return st == QMediaPlayer::LoadedMedia || st == QMediaPlayer::BufferedMedia || st == QMediaPlayer::EndOfMedia ||
               st == QMediaPlayer::InvalidMedia || player->error() != QMediaPlayer::NoError;
      },
      5000);
  if (player->isAvailable()) {
    EXPECT_EQ(player->error(), QMediaPlayer::NoError) << player->errorString().toStdString();
    const auto st = player->mediaStatus();
    EXPECT_TRUE(st == QMediaPlayer::LoadedMedia || st == QMediaPlayer::BufferedMedia || st == QMediaPlayer::EndOfMedia)
        << int(st);
  }
  // "<" back to the photograph: the player stops, START hides.
  viewer->Command29->click();
  EXPECT_EQ(player->playbackState(), QMediaPlayer::StoppedState);
  EXPECT_FALSE(viewer->Command70->isVisible());
#endif
}

// The centring options leave the viewer: Option1 with either button (the right
// one opens USER QTH SETUP), Option2 with the left one only; a video stops.
TEST_F(MapToolsWindowTest, CentringOptionsCloseTheViewerAndStopItsVideo) {
  Write("MAPS/UTMPICS/65810402.avi", TinyAvi(20));
  service_->BuildMapIndex();
  Find<platform::CheckBox>(*form_, "Check12")->click();
  auto* viewer = Find<panels::PictureViewer>(*form_, "Frame8");
  auto* qth = Find<panels::QthSetupPanel>(*form_, "Frame2");
  struct Case {
    const char* option;
    Qt::MouseButton button;
    bool closes;
    int centreMode;  // after the click
  };
  const Case cases[] = {
      {"Option2", Qt::RightButton, false, 0},
      {"Option2", Qt::LeftButton, true, 1},
      {"Option1", Qt::RightButton, true, 0},
      {"Option1", Qt::LeftButton, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.option << " button " << c.button);
    qth->hide();
    Mouse(picture_, QEvent::MouseMove, Qt::NoButton, Centre());
    Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, Centre());
    Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, Centre());
    ASSERT_TRUE(viewer->isVisible());
    ASSERT_EQ(viewer->Caption(), "65810402.avi");
#ifdef ZEBLON_HAVE_VIDEO
    QMediaPlayer* player = service_->tools()->videoPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_NE(player->playbackState(), QMediaPlayer::StoppedState);
#endif
    auto* option = Find<platform::OptionButton>(*form_, c.option);
    const QPoint inside(4, option->height() / 2);
    Mouse(option, QEvent::MouseButtonPress, c.button, inside);
    Mouse(option, QEvent::MouseButtonRelease, c.button, inside);
    EXPECT_EQ(viewer->isVisible(), !c.closes);
    EXPECT_EQ(form_->Map().state().PictureMode, c.closes ? 0 : 1);
    EXPECT_EQ(form_->Map().state().CentreMode, c.centreMode);
    EXPECT_EQ(qth->isVisible(), std::string(c.option) == "Option1" && c.button == Qt::RightButton);
#ifdef ZEBLON_HAVE_VIDEO
    if (c.closes) {
      EXPECT_EQ(player->playbackState(), QMediaPlayer::StoppedState);
    }
#endif
  }
}

TEST_F(MapToolsWindowTest, StationFinderOpensTheInfoPanelBeforeThePoiEditor) {
  for (int i = 0; i < 3; ++i) Click("Command2");  // 50 m per pixel
  Click("Command73");                             // POIs shown too
  std::string record(120, ' ');
  record.replace(0, 11, "240501 1200");
  record.replace(12, 19, "\xFE 6581.500  401.250");
  record.replace(32, 6, "SM0XYZ");
  record.replace(42, 9, "hut & bed");
  record.replace(100, 2, "/-");
  form_->StoreHeardReport(record);
  Mouse(picture_, QEvent::MouseMove, Qt::NoButton, Centre());
  Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, Centre());
  Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, Centre());
  auto* info = Find<panels::InfoPanel>(*form_, "Frame1");
  EXPECT_TRUE(info->isVisible());
  EXPECT_EQ(info->Caption(), "SM0XYZ");
  EXPECT_EQ(Find<platform::Label>(*form_, "Label5")->Caption(), record);
  EXPECT_FALSE(Find<panels::PoiEditor>(*form_, "PoiEditor")->isVisible())
      << "the first finder that finds ends the search";

  // A station search that hits nothing closes the panel; the POI finder goes on.
  const QPoint away = Centre() + QPoint(100, 60);
  Mouse(picture_, QEvent::MouseMove, Qt::NoButton, away);
  Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, away);
  Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, away);
  EXPECT_FALSE(info->isVisible());
  EXPECT_EQ(form_->Reception().info.Call(), "");
  EXPECT_TRUE(Find<panels::PoiEditor>(*form_, "PoiEditor")->isVisible());
}

// With smart logging the watched station's reports with a deviating time stamp
// leave its track before every drawing, also before those that close the picture
// viewer (a left click on the map, the viewer's MAP): the map never shows them.
// Without smart logging they stay, in their own colour. While the viewer covers
// the map (here when the station is chosen anew and its log read again) they stay.
TEST_F(MapToolsWindowTest, StampedReportsLeaveTheTrackBeforeEveryDrawing) {
  auto record = [](const std::string& time, const std::string& position, bool stamped) {
    std::string r(120, ' ');
    r.replace(0, 11, "240501 " + time);
    if (stamped) r[11] = 'T';
    r.replace(12, 19, "\xFE" + position);
    r.replace(32, 5, "QW7TK");
    r.replace(90, 5, "WIDE1");
    r.replace(100, 2, "/>");
    r.replace(104, 3, "CAR");
    return r.substr(0, 107) + "\r\n";
  };
  // The map starts on the newest report, 1.5 km north of the picture's square.
  const std::string log = record("1200", " 6580.000  400.000", false) + record("1201", " 6581.000  403.000", true) +
                          record("1202", " 6583.000  401.500", false);
  const std::string ini = Read(folder_ / "ZEBLON.INI");
  const QColor stamped_colour(208, 208, 208);
  struct Case {
    bool smartLog;
    bool byMapButton;  // else a left click on the map
  } cases[] = {{true, false}, {true, true}, {false, false}, {false, true}};
  for (const Case& c : cases) {
    form_.reset();
    Write("ZEBLON.INI", ini + "SLOG=" + (c.smartLog ? "1" : "0") + "\r\n");
    Write("U33/LOG/QW7TK.TXT", log);
    StartForm();
    for (int i = 0; i < 3; ++i) Click("Command2");  // 50 m per pixel
    // The viewer over the map, then the station chosen again: its whole log read back.
    Find<platform::CheckBox>(*form_, "Check12")->click();
    const QPoint square = Centre() + QPoint(0, 30);
    Mouse(picture_, QEvent::MouseMove, Qt::NoButton, square);
    Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, square);
    Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, square);
    auto* viewer = Find<panels::PictureViewer>(*form_, "Frame8");
    ASSERT_TRUE(viewer->isVisible());
    auto* combo9 = Find<platform::ComboBox>(*form_, "Combo9");
    combo9->SetText("QW7TK");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(combo9->lineEdit(), &enter);
    ASSERT_TRUE(viewer->isVisible());

    if (c.byMapButton) {
      viewer->Command71->click();
    } else {
      Mouse(picture_, QEvent::MouseButtonPress, Qt::LeftButton, Centre());
      Mouse(picture_, QEvent::MouseButtonRelease, Qt::LeftButton, Centre());
    }
    ASSERT_FALSE(viewer->isVisible());
    const QImage shown = picture_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int stamped_pixels = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) stamped_pixels += shown.pixelColor(x, y) == stamped_colour ? 1 : 0;
    if (c.smartLog)
      EXPECT_EQ(stamped_pixels, 0) << "closed by " << (c.byMapButton ? "MAP" : "a click");
    else
      EXPECT_GT(stamped_pixels, 20) << "closed by " << (c.byMapButton ? "MAP" : "a click");
    // The log keeps every report.
    EXPECT_EQ(Read(folder_ / "U33" / "LOG" / "QW7TK.TXT"), log);
  }
}

// Below 630 pixels of inner height the right button searches for nothing: the
// station under it opens no panel, the sun curve shows instead.
TEST_F(MapToolsWindowTest, ALowWindowSearchesForNothing) {
  for (int i = 0; i < 3; ++i) Click("Command2");
  std::string record(120, ' ');
  record.replace(0, 11, "240501 1200");
  record.replace(12, 19, "\xFE 6581.500  401.250");
  record.replace(32, 6, "SM0XYZ");
  record.replace(100, 2, "/-");
  form_->StoreHeardReport(record);
  auto* info = Find<panels::InfoPanel>(*form_, "Frame1");
  QLabel* sun = service_->tools()->sunCurve();
  for (int height : {629, 630}) {
    SCOPED_TRACE(height);
    form_->resize(1024, height);
    PumpUntil([&] { return form_->height() == height; }, 2000);
    ASSERT_EQ(form_->height(), height);
    Mouse(picture_, QEvent::MouseMove, Qt::NoButton, Centre());
    Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, Centre());
    EXPECT_EQ(info->isVisible(), height >= 630);
    EXPECT_EQ(sun->isVisible(), height < 630);
    Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, Centre());
    info->hide();
  }
}

TEST_F(MapToolsWindowTest, SunCurveWhileTheRightButtonIsHeld) {
  Mouse(picture_, QEvent::MouseMove, Qt::NoButton, Centre());
  Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, Centre());
  QLabel* sun = service_->tools()->sunCurve();
  ASSERT_TRUE(sun->isVisible());
  ASSERT_FALSE(sun->pixmap().isNull());
  EXPECT_EQ(sun->pixmap().size(), QSize(400, 290));
  Shot(form_.get(), "sun_curve");
  Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, Centre());
  EXPECT_FALSE(sun->isVisible());
}

TEST_F(MapToolsWindowTest, PoiEditorChangesTheFileAndOpensOnlySafeLinks) {
  auto* editor = OpenPoiEditorAtTheCentre();
  ASSERT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->Text4->Text(), "Old hut");
  EXPECT_EQ(service_->tools()->poiEditIndex(), 1);
  Shot(form_.get(), "poi_editor");
  // A link that is a shell command is never opened; a web address is, as one argument.
  editor->Text4->SetText("Old hut {; touch /tmp/zeblon_owned}");
  editor->Command67->click();
  EXPECT_EQ(platform::MessageLog().back().text, "LINK NOT OPENED: ; touch /tmp/zeblon_owned");
  editor->Text4->SetText("Old hut {https://example.org/hut?a=1&b=2}");
  editor->Command67->click();
  const auto opened = Opened(1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "https://example.org/hut?a=1&b=2");
  editor->Command26->click();  // OK
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(Read(folder_ / "U33" / "POI" / "HUTS.POI"),
            "\xFE 6581.500  401.250 Old hut {https://example.org/hut?a=1&b=2}\r\n\xFE 6590.000  420.000 Far hut\r\n");
  EXPECT_EQ(service_->tools()->pois().lines().size(), 2u);
}

TEST_F(MapToolsWindowTest, PoiComboEnterCreatesOrLoadsAndLeavingStoresTheName) {
  auto* combo = Find<platform::ComboBox>(*form_, "Combo2");
  const auto enter = [&](const char* text) {
    combo->SetText(text);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(combo->lineEdit() != nullptr ? static_cast<QWidget*>(combo->lineEdit()) : combo, &key);
  };
  EXPECT_EQ(service_->tools()->pois().lines().size(), 2u);
  enter(" walks ");  // not listed: an empty file, current, listed
  EXPECT_TRUE(fs::exists(folder_ / "U33" / "POI" / "WALKS.POI"));
  EXPECT_EQ(form_->CurrentSettings().PoiFileName, "WALKS");
  EXPECT_EQ(service_->tools()->pois().lines().size(), 0u);
  EXPECT_EQ(combo->Text(), "WALKS");
  EXPECT_EQ(combo->ListCount(), 2);
  enter("  huts");  // listed, in another case and with blanks
  EXPECT_EQ(form_->CurrentSettings().PoiFileName, "HUTS");
  EXPECT_EQ(service_->tools()->pois().lines().size(), 2u);
  // Typing without Enter, then leaving: the current name comes back and is stored.
  combo->SetText("UNCONFIRMED");
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(combo, &out);
  EXPECT_EQ(combo->Text(), "HUTS");
  EXPECT_NE(Read(folder_ / "ZEBLON.INI").find("POIF=HUTS\r\n"), std::string::npos);
}

// No POI file yet: the first point goes into a file with a name, which the combo
// then shows, and the map draws it with its mark and its text.
class FirstPoiTest : public MapToolsWindowTest {
 protected:
  FirstPoiTest() { with_poi_file_ = false; }
};

TEST_F(FirstPoiTest, TheFirstPointStartsANamedFileAndShowsWithItsText) {
  const QColor poi_colour(255, 224, 0);
  auto* combo = Find<platform::ComboBox>(*form_, "Combo2");
  ASSERT_EQ(combo->Text(), "");
  auto* editor = OpenPoiEditorAtTheCentre();
  ASSERT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->Text4->Text(), "");
  // The POI colour where the mark and its text will go, before the point.
  const auto count = [&](const QImage& image, QRect area) {
    int n = 0;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == poi_colour;
    return n;
  };
  const QPoint c = Centre();
  const QRect mark(c.x() - 12, c.y() - 14, 26, 26), text(c.x() + 12, c.y() - 6, 8 * 15, 13);
  const QImage before = picture_->grab().toImage();
  editor->Text4->SetText("Hut on the hill");
  editor->Command26->click();  // OK
  EXPECT_FALSE(editor->isVisible());

  const fs::path poi = folder_ / "U33" / "POI";
  EXPECT_FALSE(fs::exists(poi / ".POI"));
  const std::string line = Read(poi / "MY_POINTS.POI");
  ASSERT_EQ(line.size(), 37u) << line;
  EXPECT_EQ(line[0], '\xFE');
  EXPECT_EQ(line.substr(19), " Hut on the hill\r\n");
  EXPECT_NEAR(std::atof(line.substr(1, 9).c_str()), form_->Map().state().SelectedNorth, 0.0011);
  EXPECT_NEAR(std::atof(line.substr(10, 9).c_str()), form_->Map().state().SelectedEast, 0.0011);
  EXPECT_EQ(combo->Text(), "MY_POINTS");
  ASSERT_EQ(combo->ListCount(), 1);
  EXPECT_EQ(combo->List(0), "MY_POINTS");
  EXPECT_EQ(form_->CurrentSettings().PoiFileName, "MY_POINTS");

  // The map: the mark, a filled triangle point up (wider at its foot than at its
  // head), and the text on its black box beside it.
  const QImage after = picture_->grab().toImage();
  Shot(form_.get(), "first_poi");
  EXPECT_EQ(count(before, mark) + count(before, text), 0);
  EXPECT_GE(count(after, mark), 120);
  const int head = count(after, QRect(mark.left(), mark.top(), mark.width(), 8));
  const int foot = count(after, QRect(mark.left(), mark.top() + 14, mark.width(), 8));
  EXPECT_GT(foot, 2 * head) << head << " " << foot;
  EXPECT_GE(count(after, text), 40);

  // The next start finds the file chosen and the point on the map again.
  form_->close();
  form_ = std::make_unique<Form1>();
  form_->resize(1024, 768);
  form_->show();
  PumpUntil([&] { return form_->Map().state().MapDrawnOnce == 1; });
  EXPECT_EQ(Find<platform::ComboBox>(*form_, "Combo2")->Text(), "MY_POINTS");
}

TEST_F(MapToolsWindowTest, TrackOnTheMapItsPointsAndItsEnd) {
  panels::ControlColumn* col = nullptr;
  auto* check14 = Find<platform::CheckBox>(*form_, "Check14");
  (void)col;
  EXPECT_EQ(service_->tools()->tracks().lines().size(), 21u);
  for (int i = 0; i < 3; ++i) Click("Command2");  // to 50 m per pixel
  const QImage before = picture_->grab().toImage();
  check14->click();
  // A right click shows the selection frame and keeps the box ticked.
  auto* frame10 = Find<panels::TrkPanel>(*form_, "Frame10");
  check14->OnMouseUp(2);
  EXPECT_TRUE(frame10->isVisible());
  EXPECT_EQ(check14->Value(), 1);
  PumpUntil([&] { return picture_->grab().toImage() != before; }, 2000);
  EXPECT_NE(picture_->grab().toImage(), before) << "the track is drawn";
  Shot(form_.get(), "trk_on_map");
  // A press on the frame centres the map on the track's last point.
  Mouse(frame10, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(150, 10));
  EXPECT_NEAR(form_->CurrentSettings().CentreNorth, 6588.0, 1e-9);
  EXPECT_NEAR(form_->CurrentSettings().CentreEast, 390.0 + 6 * 2.1, 1e-6);
  // A right click on that point prints its time.
  Mouse(picture_, QEvent::MouseMove, Qt::NoButton, Centre());
  Mouse(picture_, QEvent::MouseButtonPress, Qt::RightButton, Centre());
  Mouse(picture_, QEvent::MouseButtonRelease, Qt::RightButton, Centre());
  auto* text = picture_->findChild<QLabel*>("TrackPointText");
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->isVisible());
  EXPECT_EQ(text->text(), "20240501 1020");
  // Next file: the empty day; the end of a track with no points does nothing.
  Click("Command69");
  EXPECT_EQ(form_->CurrentSettings().TrackFileName, "20240502");
  EXPECT_EQ(service_->tools()->tracks().lines().size(), 0u);
  const double north = form_->CurrentSettings().CentreNorth;
  Mouse(frame10, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(150, 10));
  EXPECT_DOUBLE_EQ(form_->CurrentSettings().CentreNorth, north);
  EXPECT_NE(Read(folder_ / "ZEBLON.INI").find("TRKF=20240502"), std::string::npos);
  Click("Command68");
  EXPECT_EQ(service_->tools()->tracks().lines().size(), 21u);
}

#ifdef ZEBLON_HAVE_VIDEO
TEST_F(MapToolsWindowTest, AVideoStopsWhenTheReceivePassClosesTheViewer) {
  auto* viewer = OpenVideoAtTheCentre();
  ASSERT_TRUE(viewer->isVisible());
  QMediaPlayer* player = service_->tools()->videoPlayer();
  ASSERT_NE(player, nullptr);
  ASSERT_NE(player->playbackState(), QMediaPlayer::StoppedState);
  // A report of the watched station closes the viewer (the receive passes' hook): its video stops.
  form_->ClosePictureViewer();
  EXPECT_FALSE(viewer->isVisible());
  EXPECT_EQ(form_->Map().state().PictureMode, 0);
  EXPECT_EQ(player->playbackState(), QMediaPlayer::StoppedState);
}
#endif

}  // namespace
}  // namespace zeblon

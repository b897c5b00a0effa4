// The receive passes' window hooks in the program's own main window with the
// radio link it installs: the watched station's marker, read-outs, distance
// line and centring follow its every new report (by radio and from the web
// poll); the map follows the station unless the GPS fix moves the own
// position; the tone beeps for a new MONI 1 report and a new message; the
// picture viewer closes for a MONI 1 report and is not drawn over by other
// reports; a pass that hears nothing redraws only for a GPS fix that moved or
// stopped and gives the map the focus; the MONI 1 read-outs follow every change
// of the store of heard stations.
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <cmath>
#include <memory>

#include "app/program.h"
#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "map/map_service.h"
#include "map/readouts.h"
#include "reception/receive_pass.h"
#include "reception/station_record.h"
#include "tests/support/find.h"
#include "tests/support/one_frame.h"
#include "tests/support/web_folder_test.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;
using testing_support::Find;

// The watched station's reports: home, then two moves to the north-east.
struct Report {
  const char* payload;
  double lat, lon;
};
constexpr Report kHome{"!5930.00N/01400.00E-home", 59.5, 14.0};
constexpr Report kMoves[] = {{"!5930.50N/01402.00E>", 59.5 + 0.5 / 60, 14 + 2.0 / 60},
                             {"!5931.00N/01404.00E>", 59.5 + 1.0 / 60, 14 + 4.0 / 60}};

class ReceptionHooksTest : public testing_support::WebFolderTest {
 protected:
  void SetUp() override {
    WebFolderTest::SetUp();
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=SM5XYZ\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\nUTN=6600\r\nUTE=440\r\nUUN=6600\r\n"
                            "UUE=440\r\nCALL=QW7TK-9\r\nNOAT=1\r\nWVER=WIN10\r\nDIST=50\r\nDISA=1\r\n");
    program_ = std::make_unique<Program>();
    main_ = &program_->MainWindow();
    main_->Beep = [this] { ++beeps_; };
    main_->show();
    PumpUntil([&] { return main_->Map().state().MapDrawnOnce == 1; });
    ASSERT_EQ(main_->Map().state().MapDrawnOnce, 1);
    ASSERT_NE(dynamic_cast<links::LiveRadioLink*>(&main_->RadioLink()), nullptr);
    fs::create_directories(main_->Reception().settings.dataFolder / "LOG");
    Map().hooks().drawn = [this] { ++drawings_; };
  }
  void TearDown() override {
    program_.reset();
    WebFolderTest::TearDown();
  }

  map::MapDisplay& Map() { return dynamic_cast<map::MapService&>(main_->MapDisplay()).display(); }
  void Heard(const std::string& call, const std::string& payload) {
    testing_support::RunOneFrame(*main_, call + "*>WIDE2-1>APRS", payload);
  }
  // A pass that hears nothing.
  void NothingHeard() {
    struct Silence : reception::MonitorSource {
      reception::TurnRead ReadTurn() override { return {}; }
    } silence;
    main_->RunReceivePass(silence);
  }
  // Enter in the MONI 1 call box, as the user types it.
  void WatchByEnter(const std::string& call) {
    auto* combo9 = Find<platform::ComboBox>(*main_, "Combo9");
    combo9->SetText(call);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(combo9->lineEdit(), &enter);
    ASSERT_EQ(main_->CurrentSettings().MoniOneCall, call);
  }
  // A left click on a centring option (Option1 USER QTH, Option2 MONI 1 QTH).
  void ClickOption(const char* name) {
    auto* option = Find<platform::OptionButton>(*main_, name);
    option->setChecked(true);
    option->OnMouseUp(1);
  }
  bool Checked(const char* name) { return Find<platform::OptionButton>(*main_, name)->isChecked(); }
  void OpenPictureViewer() {
    main_->Map().SetPictureMode(1);
    Find(*main_, "Frame8")->show();
  }
  bool ViewerShown() { return Find(*main_, "Frame8")->isVisible(); }
  const std::string& Newest() { return main_->HeardStations().MoniOneTrack()[main_->HeardStations().MoniOneCount()]; }
  static double Km(const std::string& record, int from) { return std::atof(record.substr(from - 1, 9).c_str()); }
  std::string Caption(const char* label) { return Find<platform::Label>(*main_, label)->Caption(); }

  std::unique_ptr<Program> program_;
  Form1* main_ = nullptr;
  int beeps_ = 0;
  int drawings_ = 0;
};

TEST_F(ReceptionHooksTest, TheWatchedStationMovesOnTheMapWithEveryNewReport) {
  Heard("SM5DEF", kHome.payload);
  // The user at the station's home.
  const std::string home = main_->HeardStations().MoniAll()[main_->HeardStations().MoniAllCount()];
  main_->Map().SetUserPosition(Km(home, 14), Km(home, 23));
  WatchByEnter("SM5DEF");
  ASSERT_EQ(main_->HeardStations().MoniOneCount(), 1);
  ASSERT_EQ(main_->Map().state().CentreMode, 1);
  ASSERT_TRUE(Checked("Option2"));

  for (const Report& r : kMoves) {
    SCOPED_TRACE(r.payload);
    const int drawn = drawings_;
    Heard("SM5DEF", r.payload);
    const double north = Km(Newest(), 14), east = Km(Newest(), 23);
    const map::MapState& s = Map().state();
    EXPECT_GT(drawings_, drawn);
    // The newest report everywhere the map shows the station.
    EXPECT_DOUBLE_EQ(main_->HeardStations().Newest().north, north);
    EXPECT_NEAR(s.MoniOneNorth, north, 0.001);
    EXPECT_NEAR(s.MoniOneEast, east, 0.001);
    EXPECT_EQ(s.MoniOnePixelX, static_cast<long>(Map().view().PixelX(east)));
    EXPECT_EQ(s.MoniOnePixelY, static_cast<long>(Map().view().PixelY(north)));
    // MONI 1 QTH: the map centred on it.
    EXPECT_NEAR(main_->CurrentSettings().CentreNorth, north, 0.001);
    EXPECT_NEAR(main_->CurrentSettings().CentreEast, east, 0.001);
    // UTMmon read-out and the distance line from the user's position.
    EXPECT_NE(Caption("Label7").find(map::TrackedValueText(map::CutToWholeMetres(north))), std::string::npos)
        << Caption("Label7");
    EXPECT_NE(Caption("Label8").find(map::TrackedValueText(map::CutToWholeMetres(east))), std::string::npos)
        << Caption("Label8");
    const double km = map::ComputeDistanceBearing(kHome.lat, kHome.lon, r.lat, r.lon).distanceKm;
    const std::string dist = std::to_string(static_cast<int>(std::lround(km)));
    EXPECT_EQ(Caption("Label11").substr(0, 14), "DIST:" + std::string(6 - dist.size(), ' ') + dist + " km")
        << Caption("Label11");
    // The alarm (50 km) tells the same distance.
    EXPECT_NE(main_->DistanceAlarmFrame().Label25->Caption().find("D = " + std::to_string(static_cast<int>(km)) + "."),
              std::string::npos)
        << main_->DistanceAlarmFrame().Label25->Caption();
  }
}

TEST_F(ReceptionHooksTest, TheMapFollowsTheWatchedStationUnlessTheGpsMovesTheUser) {
  WatchByEnter("SM5DEF");
  struct Case {
    const char* payload;
    int gpsFixMoved;
    bool follows;
  } cases[] = {{kMoves[0].payload, 0, true}, {kMoves[1].payload, 1, false}, {kHome.payload, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.payload);
    ClickOption("Option1");
    ASSERT_EQ(main_->Map().state().CentreMode, 2);
    main_->Gps().GpsFixMoved = c.gpsFixMoved;
    main_->Gps().GpsNorth = main_->CurrentSettings().UserNorth;  // the fix where the user is
    main_->Gps().GpsEast = main_->CurrentSettings().UserEast;
    Heard("SM5DEF", c.payload);
    EXPECT_EQ(main_->Map().state().CentreMode, c.follows ? 1 : 2);
    EXPECT_EQ(Checked("Option2"), c.follows);
    EXPECT_EQ(Checked("Option1"), !c.follows);
    if (c.follows) {
      EXPECT_NEAR(main_->CurrentSettings().CentreNorth, Km(Newest(), 14), 0.001);
    }
  }
  main_->Gps().GpsFixMoved = 0;
}

TEST_F(ReceptionHooksTest, TheToneBeepsForANewWatchedReportAndANewMessage) {
  WatchByEnter("SM5DEF");
  struct Case {
    const char* what;
    std::string call, payload;
    int beeps;
  } cases[] = {
      {"a MONI 1 report", "SM5DEF", kMoves[0].payload, 1},
      {"another station", "SM5ABC", "!5929.00N/01401.00E>", 0},
      {"a message to the user", "SM5ABC", ":SM5XYZ   :hello there", 1},
      {"the same message again", "SM5ABC", ":SM5XYZ   :hello there", 0},
      {"a message to another call", "SM5ABC", ":SM5QQQ   :not for you", 0},
  };
  ASSERT_TRUE(main_->Reception().settings.toneOn);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    beeps_ = 0;
    Heard(c.call, c.payload);
    EXPECT_EQ(beeps_, c.beeps);
  }
  // The tone box off: silence, on again: the beep is back.
  auto* tone = Find<platform::CheckBox>(*main_, "Check1");
  tone->SetValue(0);
  ASSERT_FALSE(main_->Reception().settings.toneOn);
  beeps_ = 0;
  Heard("SM5DEF", kMoves[1].payload);
  Heard("SM5ABC", ":SM5XYZ   :quiet now");
  EXPECT_EQ(beeps_, 0);
  tone->SetValue(1);
  Heard("SM5DEF", kHome.payload);
  EXPECT_EQ(beeps_, 1);
}

TEST_F(ReceptionHooksTest, ThePictureViewerClosesForAWatchedReportAndIsNotDrawnOver) {
  WatchByEnter("SM5DEF");
  Heard("SM5DEF", kHome.payload);
  OpenPictureViewer();
  ASSERT_TRUE(ViewerShown());

  // Another station's report: stored, the viewer stays and the map is not redrawn under it.
  int drawn = drawings_;
  Heard("SM5ABC", "!5929.00N/01401.00E>");
  EXPECT_EQ(main_->HeardStations().MoniAll()[main_->HeardStations().MoniAllCount()].substr(32, 6), "SM5ABC");
  EXPECT_TRUE(ViewerShown());
  EXPECT_EQ(main_->Map().state().PictureMode, 1);
  EXPECT_EQ(drawings_, drawn);

  // The watched station: the viewer closes and the map shows its new position.
  Heard("SM5DEF", kMoves[0].payload);
  EXPECT_FALSE(ViewerShown());
  EXPECT_EQ(main_->Map().state().PictureMode, 0);
  EXPECT_GT(drawings_, drawn);
  EXPECT_NEAR(Map().state().MoniOneNorth, Km(Newest(), 14), 0.001);
}

TEST_F(ReceptionHooksTest, AQuietPassRedrawsForAMovedGpsFixAndFocusesTheMap) {
  struct Case {
    int moved, movedBefore;
    bool redraws;
  } cases[] = {{0, 0, false}, {1, 0, true}, {1, 1, true}, {0, 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.moved) + " after " + std::to_string(c.movedBefore));
    main_->Gps().GpsFixMoved = c.moved;
    main_->Gps().GpsFixMovedBefore = c.movedBefore;
    const int drawn = drawings_;
    NothingHeard();
    EXPECT_EQ(drawings_ > drawn, c.redraws);
    EXPECT_TRUE(main_->Timer1->isActive());
  }
  main_->Gps().GpsFixMoved = main_->Gps().GpsFixMovedBefore = 0;

  // The focus: to the map from a button of the active window; a text box being typed in keeps it.
  main_->activateWindow();
  QApplication::setActiveWindow(main_);
  PumpUntil([&] { return main_->isActiveWindow(); }, 2000);
  ASSERT_TRUE(main_->isActiveWindow());
  auto* button = Find(*main_, "Command1");
  button->setFocus();
  ASSERT_TRUE(button->hasFocus());
  NothingHeard();
  EXPECT_TRUE(main_->Picture1->hasFocus());
  QLineEdit* text = Find<platform::ComboBox>(*main_, "Combo9")->lineEdit();
  text->setFocus();
  ASSERT_TRUE(text->hasFocus());
  NothingHeard();
  EXPECT_FALSE(main_->Picture1->hasFocus());
}

TEST_F(ReceptionHooksTest, TheWebPollOfTheWatchedStationBeepsMovesItAndClosesTheViewer) {
  const QDateTime utc = QDateTime::currentDateTimeUtc();
  auto line = [&](int minutesAgo, const std::string& packet) {
    return utc.addSecs(-60 * minutesAgo).toString("yyyy-MM-dd HH:mm:ss").toStdString() + ": " + packet + "\n";
  };
  server_.routes["/aprs/raw"] =
      testing_support::Route{200, "text/plain",
                             line(10, std::string("SM5DEF>APRS,TCPIP*:") + kHome.payload) +
                                 line(5, std::string("SM5DEF>APRS,TCPIP*:") + kMoves[1].payload) +
                                 line(4, "SM5DEF>APRS,TCPIP*::SM5XYZ   :seen on the web")};
  WatchByEnter("SM5DEF");
  ClickOption("Option1");
  OpenPictureViewer();
  beeps_ = 0;

  Find<platform::CheckBox>(*main_, "Check22")->SetValue(1);
  links::TickInputs in;
  in.interfaceKind = 4;
  const QDateTime t = QDateTime::currentDateTime();
  in.now = {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), 0};
  in.userCall = "SM5XYZ";
  ASSERT_EQ(main_->RunTick(in), links::TickEnd::MoniOnePoll);
  PumpUntil([&] { return main_->Timer1->isActive(); }, 5000);
  ASSERT_EQ(main_->HeardStations().MoniOneCount(), 2);

  // The new message and the end of a pass that added to the track.
  EXPECT_EQ(beeps_, 2);
  EXPECT_EQ(main_->Map().state().CentreMode, 1);
  EXPECT_TRUE(Checked("Option2"));
  EXPECT_FALSE(ViewerShown());
  const double north = Km(Newest(), 14), east = Km(Newest(), 23);
  EXPECT_NEAR(Map().state().MoniOneNorth, north, 0.001);
  EXPECT_NEAR(Map().state().MoniOneEast, east, 0.001);
  EXPECT_NEAR(main_->CurrentSettings().CentreNorth, north, 0.001);
  EXPECT_NE(Caption("Label7").find(map::TrackedValueText(map::CutToWholeMetres(north))), std::string::npos)
      << Caption("Label7");
}

// The MONI 1 read-outs follow the store of heard stations at its every change,
// whether a drawing follows or not: the watched station's report shows its
// count, time and comment, and a report of another station stored without a
// drawing shows the labels from the store anew.
TEST_F(ReceptionHooksTest, TheMoniOneReadoutsFollowEveryChangeOfTheStore) {
  WatchByEnter("SM5DEF");
  Heard("SM5DEF", kHome.payload);
  const reception::StationStore& stations = main_->HeardStations();
  ASSERT_EQ(stations.MoniOneCount(), 1);
  const std::string stamp = "20" + stations.Newest().date.substr(0, 2) + "-" + stations.Newest().date.substr(2, 2) +
                            "-" + stations.Newest().date.substr(4, 2) + " " + stations.Newest().time;
  const auto expectReadouts = [&] {
    EXPECT_EQ(Caption("Label6"), "1");
    EXPECT_EQ(Caption("Label9"), stamp);
    EXPECT_EQ(Caption("Label10"), "TEXT: home");
  };
  expectReadouts();

  for (const char* label : {"Label6", "Label9", "Label10"}) Find<platform::Label>(*main_, label)->SetCaption("?");
  const int drawn = drawings_;
  main_->StoreHeardReport(stations.MoniAll()[static_cast<std::size_t>(stations.MoniAllCount())]);
  EXPECT_EQ(drawings_, drawn);
  expectReadouts();
}

}  // namespace
}  // namespace zeblon

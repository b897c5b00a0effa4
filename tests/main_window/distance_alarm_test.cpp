// The distance-alarm notice (Frame12 with Label25) through the real receive
// pass of the main window: a station heard inside the alarm distance opens it
// with the MONI ALL colours, the watched station with the MONI 1 colours; the
// notice keeps the last alarm, stations outside the distance or with the
// alarm switched off leave it alone, and its close button hides it.
#include <cmath>
#include <memory>

#include "links/own_beacon.h"
#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "platform/controls.h"
#include "reception/station_record.h"
#include "tests/reception/fakes.h"
#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

constexpr double kUserNorth = 5818.0, kUserEast = 391.0;  // km of zone 33

class DistanceAlarmTest : public testing_support::ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                            "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\nDIST=5\r\nDISA=1\r\n"
                            "UTN=5818\r\nUTE=391\r\nUUN=5818\r\nUUE=391\r\nCALL=QW7TK-9\r\nNOAT=1\r\nWVER=WIN10\r\n");
    form_ = std::make_unique<Form1>();
    form_->SetRadioLink(std::make_unique<links::LiveRadioLink>());
    form_->show();
    PumpUntil([&] { return form_->Map().state().MapDrawnOnce == 1; });
    ASSERT_EQ(form_->Map().state().MapDrawnOnce, 1);
    std::filesystem::create_directories(form_->Reception().settings.dataFolder / "LOG");
  }

  platform::CheckBox* Box(const char* name) {
    return static_cast<platform::CheckBox*>(platform::FindControl(*form_, name));
  }
  // A left click on a km ALARM box: its value, then the release.
  void SetAlarmBox(const char* name, bool on) {
    Box(name)->SetValue(on ? 1 : 0);
    Box(name)->OnMouseUp(1);
  }

  // One receive pass over a position report of `call` at the given offset from
  // the user's position, as the TNC hands it over.
  void Heard(const std::string& call, double northKm, double eastKm, const char* symbol = "/>") {
    const auto& rs = form_->Reception().settings;
    const links::LatLon p =
        links::MapKmToLatLon(kUserNorth + northKm, kUserEast + eastKm, rs.mapCentralMeridian, rs.mapFalseEasting);
    const std::string row = std::string(symbol) + " ";
    reception::testing::ScriptedSource source;
    source.reads.push_back({call + ">APRS <UI>:\r\n!" + links::FormatAprsPosition(p, row, "") + "test\r\n",
                            reception::TurnRead::Leave::No});
    form_->RunReceivePass(source);
  }

  panels::DistanceAlarmPanel& Notice() { return form_->DistanceAlarmFrame(); }
  bool Shown() { return !Notice().isHidden(); }
  // "20YY-MM-DD HH:MM" of a stored record.
  static std::string Stamp(const std::string& record) {
    return "20" + record.substr(0, 2) + "-" + record.substr(2, 2) + "-" + record.substr(4, 2) + " " +
           record.substr(7, 2) + ":" + record.substr(9, 2);
  }
  std::string NewestMoniAll() { return form_->HeardStations().MoniAll()[form_->HeardStations().MoniAllCount()]; }
  void ExpectColours(QWidget* w, const QColor& back, const QColor& fore) {
    EXPECT_EQ(w->palette().color(QPalette::Window), back) << w->objectName().toStdString();
    EXPECT_EQ(w->palette().color(QPalette::WindowText), fore) << w->objectName().toStdString();
  }

  std::unique_ptr<Form1> form_;
};

TEST_F(DistanceAlarmTest, MoniAllStationInsideTheDistanceOpensTheNotice) {
  SetAlarmBox("Check21", true);
  ASSERT_TRUE(form_->Reception().settings.moniAllAlarmOn);
  ASSERT_EQ(form_->Reception().settings.alarmDistanceKm, 5);
  ASSERT_FALSE(Shown());

  // Outside the distance and at 6 km: nothing.
  Heard("DL1FAR", 6.0, 0);
  EXPECT_FALSE(Shown());

  Heard("DL2NEAR-7", 2.35, 0);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Notice().Caption(), "MONI ALL  < 5 km  ALARM   " + Stamp(NewestMoniAll()));
  EXPECT_EQ(Notice().Label25->Caption(), "DL2NEAR-7    D = 2.3 km !");
  ExpectColours(&Notice(), QColor(152, 0, 184), QColor(255, 255, 255));
  ExpectColours(Notice().Label25, QColor(152, 0, 184), QColor(255, 255, 255));
  // At the top of the window over the map's left edge, on top of the map.
  EXPECT_EQ(Notice().y(), 0);
  EXPECT_EQ(Notice().x(), platform::FindControl(*form_, "Picture1")->x());
  EXPECT_TRUE(form_->windowState() & Qt::WindowMaximized);

  // A later station outside the distance leaves the notice as it was; the close button hides it.
  Heard("DL3FAR", 0, -8.0);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(Notice().Label25->Caption(), "DL2NEAR-7    D = 2.3 km !");
  Notice().Command34->click();
  EXPECT_FALSE(Shown());

  // The user's own call, with or without SSID, never alarms.
  Heard("AB1CD-9", 0.5, 0.5);
  EXPECT_FALSE(Shown());

  // With the MONI ALL box off a near station passes quietly.
  SetAlarmBox("Check21", false);
  Heard("DL4NEAR", 0.4, -0.2);
  EXPECT_FALSE(Shown());
}

TEST_F(DistanceAlarmTest, WatchedStationAlarmsInMoniOneColoursAndReplacesTheTexts) {
  SetAlarmBox("Check21", true);
  Heard("DL2NEAR", 0, 1.25);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Notice().Label25->Caption(), "DL2NEAR    D = 1.2 km !");

  form_->MoniOneSelect().SelectMoniOneStation("DL5WALK");
  Heard("DL5WALK", -0.55, 0);
  ASSERT_GE(form_->HeardStations().MoniOneCount(), 1);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(
      Notice().Caption(),
      "MONI 1  < 5 km  ALARM   " + Stamp(form_->HeardStations().MoniOneTrack()[form_->HeardStations().MoniOneCount()]));
  EXPECT_EQ(Notice().Label25->Caption(), "DL5WALK    D = 0.5 km !");
  ExpectColours(&Notice(), QColor(0, 0, 0), QColor(255, 255, 0));
  ExpectColours(Notice().Label25, QColor(0, 0, 0), QColor(255, 255, 0));

  // The MONI 1 box off switches both alarms off.
  Notice().Command34->click();
  SetAlarmBox("Check20", false);
  EXPECT_FALSE(form_->Reception().settings.moniAllAlarmOn);
  Heard("DL5WALK", -0.2, 0);
  Heard("DL6NEAR", 0.2, 0);
  EXPECT_FALSE(Shown());
}

}  // namespace
}  // namespace zeblon

// The internet boxes against a local web server: an area poll asks around the
// centre of the map the port shows, under the notice over the map in the poll's
// colour; the page in, the notice is hidden and green again.
#include "panels/internet_boxes.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <cstdlib>
#include <string>
#include <vector>

#include "fakes.h"
#include "internet/web_requests.h"
#include "tests/support/run_until.h"
#include "tests/support/tiny_http_server.h"

namespace zeblon::panels {
namespace {

using testing_support::Route;
using testing_support::RunUntil;
using testing_support::TinyHttpServer;

// The window as the boxes see it: a map, the main cycle and a record of what
// they asked of it.
class FakeWindow : public InternetBoxesPort, public links::CycleControl {
 public:
  void StopCycle() override { cycleOn = false; }
  void StartCycle() override { cycleOn = true; }
  void HoldCycle() override { cycleOn = false; }
  void ArmPause(int) override {}
  void StopWatchdog() override {}
  int CycleInterval() const override { return 1000; }
  void SetCycleInterval(int) override {}
  void ShowBusy(bool) override {}
  void PumpEvents() override { QCoreApplication::processEvents(); }
  void DrawMap() override {}
  void FocusMap() override {}
  const map::MapState& Map() const override { return map; }
  void WriteSettings(double, double) override {}
  void WebNoticeTaken() override { ++noticesTaken; }
  reception::ChatPanel* ChatLines() override { return nullptr; }
  void HideChat() override {}
  void SelectMoniOneCall() override {}
  void RestoreMoniOneFrames() override {}
  double PollLimitSeconds() const override { return 900; }
  void ShowNewestInfoReport() override {}
  double ClockSeconds() const override { return 0; }
  int Hhmm() const override { return 0; }

  map::MapState map;
  bool cycleOn = true;
  int noticesTaken = 0;
};

QColor NoticeColour(const platform::TextBox& notice) { return notice.palette().color(QPalette::Base); }

TEST(InternetBoxes, AreaPollAsksAroundTheMapCentreUnderItsNotice) {
  TinyHttpServer server;
  server.routes["/aprs/area"] = Route{200, "application/json", "[]", 300};
  setenv("ZEBLON_WEB_BASE", server.Base().c_str(), 1);
  reception::testing::TempDataFolder folder;
  reception::ReceptionState reception;
  reception.settings.dataFolder = folder.path();
  QWidget window;
  ControlColumn column(&window);
  platform::TextBox notice(&window, "Text10");
  IonoPanel iono(&window);
  FakeWindow port;
  reception::testing::FakeHost host;
  // The centre on the zone's central meridian (15 degrees E) at the equator.
  port.map.MapCentralMeridian = 15;
  port.map.MapFalseEasting = 500000;
  port.map.CentreNorth = 0;
  port.map.CentreEast = 500;
  InternetBoxes boxes(column, notice, iono, reception, host, port, port);
  unsetenv("ZEBLON_WEB_BASE");

  column.Check23->SetValue(1);
  ASSERT_TRUE(boxes.Internet().SwitchState().areaSupport);
  boxes.Internet().Web().StartAreaPoll();
  EXPECT_FALSE(notice.isHidden());
  EXPECT_EQ(notice.Text(), "COLLECTING INTERNET DATA (MONI ALL) ...");
  EXPECT_EQ(NoticeColour(notice), QColor(0xE0, 0x80, 0xFF));  // violet
  EXPECT_EQ(port.noticesTaken, 1);

  port.cycleOn = false;
  ASSERT_TRUE(RunUntil([&] { return port.cycleOn; }));
  ASSERT_EQ(server.targets.size(), 1u);
  EXPECT_EQ(server.targets[0], "/aprs/area?lat=0&lon=15&distance=100000&seconds=3600");
  EXPECT_TRUE(notice.isHidden());
  EXPECT_EQ(NoticeColour(notice), QColor(0x00, 0xC0, 0x00));  // green
}

}  // namespace
}  // namespace zeblon::panels

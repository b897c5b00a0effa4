// The WX STATION window offscreen, on records the receive pass stored: its
// title, its labels and its compass picture; a record too short for a
// report; the close button.
#include "panels/wx_station_panel.h"

#include <gtest/gtest.h>

#include "received.h"
#include "stations/wx_report.h"

namespace zeblon::panels {
namespace {

std::string Received(const std::string& line, int hour = 9, int minute = 30) {
  stations::testing::Received rx;
  rx.host.now = {2024, 5, 17, hour, minute, 0};
  rx.Receive(line, hour, minute);
  return rx.Newest(line.substr(0, line.find('>')));
}

TEST(WxStationPanel, TitleLabelsAndPicture) {
  WxStationPanel panel;
  EXPECT_EQ(panel.Label29->Caption(), "WIND DIR    deg:");
  EXPECT_EQ(panel.Label32->Caption(),
            "TEMPERATURE  \xB0"
            "C:");
  EXPECT_EQ(panel.Label38->Caption(), "");
  // Wind from the east 10 kt, gust 18 kt, 20 C, rain 12 mm in 24 h and 2 mm in
  // the last hour, humidity 40, pressure 1030.
  const std::string record =
      Received("SM5WX>APRS:!5920.00N/01800.00E_090/010g018t068r008p047P020h40b10300/in the park");
  ASSERT_FALSE(record.empty());
  panel.ShowStation("SM5WX", record);
  EXPECT_EQ(panel.Caption(), "WX STATION  SM5WX  2024-05-17 0930");
  const std::pair<platform::Label*, const char*> labels[] = {
      {panel.Label29, "WIND DIR   deg:   90"},
      {panel.Label30, "WIND SPEED m/s:    5"},
      {panel.Label31, "GUST SPEED m/s:    9"},
      {panel.Label32,
       "TEMPERATURE \xB0"
       "C:   20"},
      {panel.Label35, "RAIN 24 h   mm:   12"},
      {panel.Label33, "RAIN TODAY  mm:    5"},
      {panel.Label34, "RAIN  1 h   mm:    2"},
      {panel.Label36, "HUMIDITY     %:   40"},
      {panel.Label37, "PRESSURE   hPa: 1030"},
      {panel.Label38, "in"},
  };
  for (const auto& [label, text] : labels) EXPECT_EQ(label->Caption(), text) << label->objectName().toStdString();
  // Its places in the frame, from the top.
  EXPECT_EQ(panel.Label35->geometry(), QRect(8, 24 + 16 * 4, 169, 15));
  EXPECT_EQ(panel.Picture2->geometry(), QRect(184, 24, 159, 159));

  const QImage& pic = panel.Picture();
  ASSERT_EQ(pic.size(), QSize(159, 159));
  // Temperature centre, humidity blend ring, shaded pressure ring, compass tick.
  EXPECT_EQ(pic.pixelColor(81, 81), QColor(220, 220, 0));
  const stations::WxColour blend =
      stations::HumidityBlend(stations::TemperatureColour(20), *stations::DecodeWxReport(record));
  EXPECT_EQ(pic.pixelColor(81 + 14, 81), QColor(blend.red, blend.green, blend.blue));
  const QColor ring = pic.pixelColor(80, 80 - 36);
  EXPECT_EQ(ring.red(), ring.green());
  EXPECT_GT(ring.red(), 192);  // lit at the top above 1013
  EXPECT_EQ(pic.pixelColor(80, 80 - 36 - 13), QColor(0, 0, 0));
  // The wind bar runs from the east edge toward the ring; 5 pixels wide, in a
  // grey gust bar 9 wide.
  EXPECT_EQ(pic.pixelColor(158, 80), QColor(0, 0, 0));
  int black = 0, grey = 0;
  for (int y = 70; y <= 90; ++y) {
    black += pic.pixelColor(80 + 36 + 17, y) == QColor(0, 0, 0);
    grey += pic.pixelColor(80 + 36 + 17, y) == QColor(128, 128, 128);
  }
  EXPECT_EQ(black, 5);
  EXPECT_EQ(grey, 4);
  // Rain: 12 mm at the left edge, 2 mm and a 48-pixel outline at the right.
  EXPECT_EQ(pic.pixelColor(5, 158 - 11), QColor(0, 0, 255));
  EXPECT_NE(pic.pixelColor(5, 158 - 14), QColor(0, 0, 255));
  EXPECT_EQ(pic.pixelColor(152, 157), QColor(0, 0, 255));
  EXPECT_EQ(pic.pixelColor(148, 158 - 48), QColor(0, 0, 255));
  EXPECT_EQ(panel.Picture2->pixmap().toImage().convertToFormat(QImage::Format_RGB32), pic);

  // A record too short for a report: new title, cleared picture, old labels.
  std::string shortRecord = std::string(120, ' ');
  shortRecord.replace(0, 11, "240518 1015");
  panel.ShowStation("OTHER", shortRecord);
  EXPECT_EQ(panel.Caption(), "WX STATION  OTHER  2024-05-18 1015");
  EXPECT_EQ(panel.Label29->Caption(), "WIND DIR   deg:   90");
  EXPECT_EQ(panel.Picture().pixelColor(81, 81), QColor(224, 224, 224));
}

TEST(WxStationPanel, OnlyWindDirectionAndFewColours) {
  WxStationPanel panel;
  const std::string record = Received("SM6WX>APRS:!5800.00N/01200.00E_c225xxxxxxxxxxxxxx", 0, 0);
  panel.ShowStation("SM6WX", record, 8);
  EXPECT_EQ(panel.Label29->Caption(), "WIND DIR   deg:  225");
  EXPECT_EQ(panel.Label30->Caption(), "WIND SPEED m/s:");
  EXPECT_EQ(panel.Label37->Caption(), "PRESSURE   hPa:");
  // A thin black line toward the lower left, from the edge to 46.5 pixels out.
  const QImage& pic = panel.Picture();
  auto blackNear = [&](double distance) {
    const int x = static_cast<int>(std::lround(80 - distance / std::sqrt(2.0)));
    const int y = static_cast<int>(std::lround(80 + distance / std::sqrt(2.0)));
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (pic.pixelColor(x + dx, y + dy) == QColor(0, 0, 0)) return true;
    return false;
  };
  EXPECT_TRUE(blackNear(60));
  EXPECT_TRUE(blackNear(100));
  EXPECT_FALSE(blackNear(40));
}

TEST(WxStationPanel, CloseButtonHidesAndTells) {
  WxStationPanel panel;
  panel.show();
  int closed = 0;
  panel.OnClosed = [&] { ++closed; };
  panel.Command15->click();
  EXPECT_FALSE(panel.isVisible());
  EXPECT_EQ(closed, 1);
}

}  // namespace
}  // namespace zeblon::panels

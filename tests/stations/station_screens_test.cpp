// The station display on the whole map redraw, filled from a real receive run:
// a few hundred stations are sent as AFSK audio (direwolf's gen_packets),
// decoded from the recording (direwolf's atest), passed through the receive
// pass and drawn by the map display's station hooks. Screenshots of the busy
// map, a weather diagram, the WX STATION window and MONI 1 with a long track
// go to build/artefacts.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "layers_fixture.h"
#include "map/map_display.h"
#include "panels/wx_station_panel.h"
#include "run_process.h"
#include "scene.h"

namespace zeblon::stations {
namespace {

using testing::RunProcess;
using testing::StationMap;

constexpr double kLat = 59.33, kLon = 18.06;

std::filesystem::path Artefacts() {
  const std::filesystem::path p = ZEBLON_BINARY_DIR "/artefacts";
  std::filesystem::create_directories(p);
  return p;
}

// The stations decoded from the recording, as TNC2 lines in the order heard.
std::vector<std::string> SendThroughTheAir(const std::vector<scene::HeardLine>& lines,
                                           const std::filesystem::path& dir) {
  {
    std::ofstream f(dir / "packets.txt", std::ios::binary);
    for (const auto& l : lines) f << l.line << "\n";
  }
  const std::string wav = (dir / "air.wav").string();
  if (RunProcess({"gen_packets", "-r", "22050", "-o", wav, (dir / "packets.txt").string()}, "", "", 60) != 0) return {};
  const std::string decoded = (dir / "decoded.txt").string();
  RunProcess({"atest", wav}, "", decoded, 120);
  std::ifstream in(decoded, std::ios::binary);
  std::vector<std::string> out;
  std::string l;
  while (std::getline(in, l)) {
    // "[0] SRC>DEST:payload<0x0a>" (gen_packets keeps the file's line end in the packet).
    std::string clean;
    for (std::size_t i = 0; i < l.size(); ++i) {
      if (l[i] == '\x1b') {
        while (i < l.size() && !std::isalpha(static_cast<unsigned char>(l[i]))) ++i;
        continue;
      }
      clean += l[i];
    }
    if (clean.rfind("[0] ", 0) != 0) continue;
    clean.erase(0, 4);
    const std::size_t lf = clean.find("<0x0a>");
    if (lf != std::string::npos) clean.erase(lf);
    out.push_back(clean);
  }
  return out;
}

class Screens : public ::testing::Test {
 protected:
  Screens() : display(tiles.path(), index.path()) {
    const auto [n, e] = testing::MapKm(kLat, kLon);
    north = n;
    east = e;
    scene::WriteLandTiles(tiles.path(), 50, n - 40, n + 40, e - 50, e + 50);
    scene::WriteLandTiles(tiles.path(), 10, n - 8, n + 8, e - 10, e + 10);
    display.BuildMapIndex();
    map::MapState& s = display.mutable_state();
    s.MapWidthPx = 1200;
    s.MapHeightPx = 900;
    s.CentreNorth = n;
    s.CentreEast = e;
    s.MapScale = 50;
    s.MoniAllDisplayLevel = 2;
    s.CentreMode = 0;
    s.GridOn = 1;
    passes.Attach(display);
    passes.onMoniOneReadouts = [this](const MoniOneReadouts& r) { readouts = r; };
  }
  void Draw() {
    display.mutable_state().MoniAllDisplayLevel = rx.settings.moniAllLevel;
    display.mutable_state().MoniOneNorth = rx.st.stations.Newest().north;
    display.mutable_state().MoniOneEast = rx.st.stations.Newest().east;
    display.DrawMap();
    drawn = passes.DrawnOrder().size();
  }
  reception::testing::TempDataFolder tiles, index, work;
  map::MapDisplay display;
  StationMap rx;
  StationPasses passes{rx.st, ZEBLON_PROGRAM_DIR, [this] { return rx.now; }, [this] { return rx.settings; }};
  MoniOneReadouts readouts;
  double north = 0, east = 0;
  std::size_t drawn = 0;
};

// The station passes only read the store: with smart logging on, a track
// holding reports with a deviating time stamp comes out of a redraw as it went
// in, and the store announces no change.
TEST_F(Screens, ARedrawLeavesTheStoreAsItWas) {
  rx.st.settings.smartLog = true;
  rx.st.settings.moniOneCall = "SM5WALK";
  for (int i = 0; i < 6; ++i) {
    const std::string pos = "!5919.80N/01803.60E>";
    std::string line = "SM5WALK>APRS:" + pos;
    line[line.size() - 3] = static_cast<char>('0' + i);  // another position each time
    rx.Receive(line, 12, i);
  }
  std::vector<std::string> track(rx.st.stations.TrackRecords().begin(), rx.st.stations.TrackRecords().end());
  ASSERT_EQ(track.size(), 6u);
  for (std::size_t i : {0u, 2u, 5u}) reception::WriteAt(track[i], 12, "T");
  rx.st.stations.LoadTrack(track);
  int announced = 0;
  rx.st.stations.OnChanged([&announced] { ++announced; });
  const std::vector<std::string> before = rx.st.stations.MoniAll();
  Draw();
  Draw();
  EXPECT_EQ(announced, 0);
  EXPECT_TRUE(std::equal(track.begin(), track.end(), rx.st.stations.TrackRecords().begin(),
                         rx.st.stations.TrackRecords().end()));
  EXPECT_EQ(rx.st.stations.MoniAll(), before);
  EXPECT_EQ(readouts.count, "6");
}

TEST_F(Screens, BusyMapFromARealReceiveRun) {
  const auto sent = scene::BusyStations(260, 11, kLat, kLon, 0.17, 0.4, 12 * 60);
  const auto heard = SendThroughTheAir(sent, work.path());
  if (heard.empty()) GTEST_SKIP() << "gen_packets or atest gave nothing";
  EXPECT_GE(heard.size(), sent.size() * 95 / 100);
  // The frames as the receive pass takes them, each at the minute it was heard.
  std::size_t k = 0;
  for (const auto& line : heard) {
    while (k < sent.size() && sent[k].line != line) ++k;
    const int minute = k < sent.size() ? sent[k].minuteOfDay : 12 * 60;
    rx.Receive(line, minute / 60, minute % 60);
  }
  rx.now = {2024, 5, 1, 12, 0, 0};
  EXPECT_GT(rx.st.stations.MoniAllCount(), 400);

  rx.settings.moniAllLevel = 2;
  Draw();
  EXPECT_GT(drawn, 240u);
  ASSERT_TRUE(display.picture().save(QString::fromStdString((Artefacts() / "busy_map.png").string())));
  // Every drawn station's marker stands at its pixel: the centre cross of its
  // newest direct report (white at level 2), where nothing newer covers it.
  const QImage& img = display.picture();
  int probed = 0, found = 0;
  for (const auto& call : std::vector<std::string>{"SMA2CAA", "SAL0KAA", "SMM6GAA", "SAA3DAA"}) {
    const std::string r = rx.Newest(call);
    if (r.empty()) continue;
    const QPoint p = rx.PixelOf(r);
    ++probed;
    found += img.pixelColor(p.x(), p.y() - 1) != QColor(226, 222, 196);
  }
  EXPECT_EQ(found, probed);

  rx.settings.moniAllLevel = 5;
  Draw();
  display.picture().save(QString::fromStdString((Artefacts() / "busy_map_symbols.png").string()));
}

TEST_F(Screens, WeatherDiagramWindowAndLongMoniOneTrack) {
  // A weather station close up (scale 10) at the "WX" level.
  rx.Receive("SM5WX-13>APRS,WIDE2-1:!" + scene::Position(kLat + 0.002, kLon - 0.004, '/', '_') +
                 "225/012g020t068r010p047P020h62b10230",
             11, 50);
  rx.Receive("SM5FIX>APRS:=" + scene::Position(kLat + 0.01, kLon + 0.02, '/', '-') + "home", 11, 52);
  rx.now = {2024, 5, 1, 12, 0, 0};
  StationSwitches s;
  for (int i = 0; i < 4; ++i) s.LevelUp();
  rx.settings = StationDrawSettings::From(s);
  display.mutable_state().MapScale = 10;
  display.mutable_state().MapWidthPx = 400;
  display.mutable_state().MapHeightPx = 300;
  Draw();
  const QImage wx = display.picture().copy(100, 50, 200, 200).scaled(600, 600);
  ASSERT_TRUE(wx.save(QString::fromStdString((Artefacts() / "wx_diagram.png").string())));

  // The WX STATION window for the same record.
  panels::WxStationPanel panel;
  panel.ShowStation("SM5WX-13", rx.Newest("SM5WX-13"));
  panel.show();
  ASSERT_TRUE(panel.grab().save(QString::fromStdString((Artefacts() / "wx_station_window.png").string())));
  EXPECT_EQ(panel.Label37->Caption(), "PRESSURE   hPa: 1023");

  // MONI 1 walking for hours: 600 reports, shown at level 6.
  rx.st.settings.moniOneCall = "SM5WALK-7";
  double lat = kLat - 0.12, lon = kLon - 0.3, heading = 0.9;
  for (int i = 0; i < 600; ++i) {
    heading += std::sin(i * 0.021) * 0.03;
    lat += std::cos(heading) * 0.0005;
    lon += std::sin(heading) * 0.001;
    const int minute = 6 * 60 + i * 3 / 5;
    rx.Receive("SM5WALK-7>APRS:!" + scene::Position(lat, lon, '/', i < 300 ? '>' : '[') + "walk " + std::to_string(i),
               minute / 60, minute % 60);
  }
  EXPECT_GT(rx.st.stations.MoniOneCount(), 500);
  rx.now = {2024, 5, 1, 12, 0, 0};
  rx.settings.moniOneLevel = 6;
  rx.settings.wxLevel = false;
  rx.settings.moniAllLevel = 2;
  display.mutable_state().MapScale = 50;
  display.mutable_state().ZoomFactor = 0.5;
  display.mutable_state().MapWidthPx = 1200;
  display.mutable_state().MapHeightPx = 900;
  // The middle of the track's extent.
  double n0 = 1e9, n1 = -1e9, e0 = 1e9, e1 = -1e9;
  for (int i = 1; i <= rx.st.stations.MoniOneCount(); ++i) {
    const RecordView r(rx.st.stations.MoniOneTrack()[i]);
    n0 = std::min(n0, r.NorthKm());
    n1 = std::max(n1, r.NorthKm());
    e0 = std::min(e0, r.EastKm());
    e1 = std::max(e1, r.EastKm());
  }
  display.mutable_state().CentreNorth = (n0 + n1) / 2;
  display.mutable_state().CentreEast = (e0 + e1) / 2;
  Draw();
  ASSERT_TRUE(display.picture().save(QString::fromStdString((Artefacts() / "moni1_track.png").string())));
  // The newest report's marker: its class ring (half side 12, circle of the
  // pedestrian's colour) is drawn last, over everything.
  const QPoint w(static_cast<int>(display.view().PixelX(rx.st.stations.Newest().east)),
                 static_cast<int>(display.view().PixelY(rx.st.stations.Newest().north)));
  EXPECT_EQ(display.picture().pixelColor(w.x(), w.y() - 12), ToQColor(kTrackColourPedestrian));
  EXPECT_EQ(readouts.call, "SM5WALK-7");
  EXPECT_EQ(readouts.count, std::to_string(rx.st.stations.MoniOneCount()));
  EXPECT_EQ(readouts.text, "TEXT: walk 599");
}

}  // namespace
}  // namespace zeblon::stations

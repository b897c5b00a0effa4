// The map redraw with the station passes against the bare map redraw of the
// same view, in one run: the stores as full as they get - a MONI ALL log of
// 3000 reports (every slot of its 3001, slot 0 unused) from 1500 stations,
// every one with a track of two reports, and a MONI 1 track of 9998 points
// (the most the track keeps) - at the display levels the program starts with
// (2 and 2), with the program's fonts. Every redraw compares each record of
// both stores with what it read before and draws every station; what the
// layers read of a record (position, time, call, symbol) and the label texts'
// layouts are kept from one redraw to the next, as the program keeps them.
// Timed apart: the first redraw, which lays out every label, and redraws after
// every record of both stores has changed (each is read anew). Prints the
// ratio of the redraw times to the bare redraw (goal: at most 2.0).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>

#include "map/map_display.h"
#include "fakes.h"
#include "reception/receive_pass.h"
#include "layers_fixture.h"
#include "scene.h"
#include "stations/station_layers.h"

namespace {

namespace zmap = zeblon::map;
namespace reception = zeblon::reception;
namespace stations = zeblon::stations;

constexpr double kNorth = 6580.0, kEast = 670.0;  // km of zone 33, near Stockholm
constexpr int kWidth = 1280, kHeight = 1024;

std::string Record(const std::string& call, double northKm, double eastKm, int minuteOfDay, const char* symbol) {
  reception::RecordParts p;
  p.date = "240501";
  char t[8];
  std::snprintf(t, sizeof t, "%02d%02d", (minuteOfDay / 60) % 24, minuteOfDay % 60);
  p.time = t;
  p.position = reception::PositionPart(northKm * 1000, eastKm * 1000);
  p.call = call;
  p.comment = "on the move";
  p.symbol = symbol;
  p.symbolName = "Car";
  return p.Build(false);
}

struct Scene {
  Scene() : display(root.path(), index.path()), sheets(ZEBLON_PROGRAM_DIR) {
    const double halfN = kHeight / 2.0 * 50 / 1000 + 60, halfE = kWidth / 2.0 * 50 / 1000 + 60;
    stations::scene::WriteLandTiles(root.path(), 50, kNorth - halfN, kNorth + halfN, kEast - halfE, kEast + halfE);
    display.BuildMapIndex();
    zmap::MapState& s = display.mutable_state();
    s.MapWidthPx = kWidth;
    s.MapHeightPx = kHeight;
    s.MapScale = 50;
    s.CentreNorth = kNorth;
    s.CentreEast = kEast;
    s.MoniAllDisplayLevel = 2;
    s.CentreMode = 0;
    sheets.Reload();

    // MONI ALL: 1500 stations, two reports each, spread over the view: mobiles,
    // fixed stations, digipeaters and weather stations as they are heard.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> n(-24, 24), e(-30, 30), step(-0.4, 0.4);
    constexpr int kStations = (reception::kMoniAllSlots - 1) / 2;
    std::vector<std::pair<double, double>> at(kStations);
    for (auto& p : at) p = {kNorth + n(rng), kEast + e(rng)};
    const char* symbols[10] = {"/>", "/>", "/>", "/>", "/>", "/-", "/-", "/#", "/_", "/>"};
    std::vector<std::string> all, track;
    for (int round = 0; round < 2; ++round)
      for (int i = 0; i < kStations; ++i) {
        at[i].first += step(rng);
        at[i].second += step(rng);
        char call[12];
        std::snprintf(call, sizeof call, "SM%dA%03d", i % 10, i);
        all.push_back(Record(call, at[i].first, at[i].second, 600 + round * 10, symbols[i % 10]));
      }
    // MONI 1: 9998 points wandering across the view, 100 m (2 pixels) apart,
    // turning back at the edges of the view.
    st.settings.moniOneCall = "SM5WALK";
    double pn = kNorth - 20, pe = kEast - 25, heading = 0.7;
    for (int i = 1; i <= reception::kMoniOneMaxLines; ++i) {
      heading += std::sin(i * 0.013) * 0.05;
      if (std::fabs(pn + std::cos(heading) * 0.1 - kNorth) > 24 || std::fabs(pe + std::sin(heading) * 0.1 - kEast) > 30)
        heading += 2.2;
      pn += std::cos(heading) * 0.1;
      pe += std::sin(heading) * 0.1;
      track.push_back(Record("SM5WALK", pn, pe, 300 + i / 40, "/>"));
    }
    reception::MoniOneNewest newest;
    newest.north = pn;
    newest.east = pe;
    newest.symbol = "/>";
    // The same stores with every record a minute later, to swap in.
    auto later = [](std::vector<std::string> log) {
      for (std::string& r : log)
        if (r.size() > 10 && r[10] >= '0' && r[10] < '9') ++r[10];
      return log;
    };
    const auto fill = [&newest](reception::StationStore& store, const std::vector<std::string>& reports,
                                std::vector<std::string> points) {
      for (const std::string& r : reports) store.Add(r, reception::kMoniAllSlots);
      store.LoadTrack(std::move(points));
      store.SetNewest(newest);
    };
    fill(st.stations, all, track);
    fill(other, later(all), later(track));
  }

  void Hooks(bool on) {
    if (!registered) {
      display.layers().Add(zmap::LayerPlace::kMoniAll, &allPass);
      display.layers().Add(zmap::LayerPlace::kMoniOne, &onePass);
      registered = true;
    }
    if (!on) {
      allPass.draw = nullptr;
      onePass.draw = nullptr;
      return;
    }
    // The layers live as long as the map, as in the program (the labels they
    // have laid out are kept from one redraw to the next).
    allPass.draw = [this](QPainter& p, const zmap::MapView& v) {
      p.setFont(zmap::MapFont());
      moniAll.render(p, v);
    };
    onePass.draw = [this](QPainter& p, const zmap::MapView& v) {
      p.setFont(zmap::MapFont());
      const zmap::MapState& s = display.state();
      moniOne.SetStationPixel(QPoint(static_cast<int>(s.MoniOnePixelX), static_cast<int>(s.MoniOnePixelY)));
      moniOne.render(p, v);
    };
  }

  reception::testing::TempDataFolder root, index;
  zmap::MapDisplay display;
  zmap::FunctionLayer allPass, onePass;  // the two station passes in the map's stack
  bool registered = false;
  reception::ReceptionState st;
  reception::StationStore other;
  stations::StationDrawSettings settings;
  stations::SymbolSheets sheets;
  std::function<reception::LocalTime()> now = [] { return reception::LocalTime{2024, 5, 1, 12, 0, 0}; };
  stations::MoniAllLayer moniAll{st.stations, st.alarm, st.settings.moniOneCall, settings, sheets, now};
  stations::MoniOneLayer moniOne{st.stations, settings, sheets, now};
};

Scene* scene = nullptr;

void BM_BareMapRedraw(benchmark::State& state) {
  scene->Hooks(false);
  for (auto _ : state) scene->display.DrawMap();
}

void BM_MapRedrawWithStations(benchmark::State& state) {
  scene->Hooks(true);
  for (auto _ : state) scene->display.DrawMap();
  state.counters["moni_all_reports"] = scene->st.stations.MoniAllCount();
  state.counters["moni_all_stations"] = static_cast<double>(scene->moniAll.DrawnOrder().size());
  state.counters["moni_one_points"] = scene->st.stations.MoniOneCount();
}

// Every record of both stores changed since the redraw before.
void BM_MapRedrawEveryRecordNew(benchmark::State& state) {
  scene->Hooks(true);
  for (auto _ : state) {
    std::swap(scene->st.stations, scene->other);
    scene->display.DrawMap();
  }
}

void BM_MoniAllOnly(benchmark::State& state) {
  scene->Hooks(true);
  scene->onePass.draw = nullptr;
  for (auto _ : state) scene->display.DrawMap();
}
void BM_MoniOneOnly(benchmark::State& state) {
  scene->Hooks(true);
  scene->allPass.draw = nullptr;
  for (auto _ : state) scene->display.DrawMap();
}
// The pixels a pass leaves changed, as runs of a row, to write back alone.
struct PixelRuns {
  struct Run {
    std::ptrdiff_t at;
    int length;
    std::size_t from;
  };
  std::vector<Run> runs;
  std::vector<QRgb> pixels;
  // The pixels of `after` that differ from `before`.
  PixelRuns(const QImage& before, const QImage& after) {
    for (int y = 0; y < after.height(); ++y) {
      const auto* b = reinterpret_cast<const QRgb*>(before.constScanLine(y));
      const auto* a = reinterpret_cast<const QRgb*>(after.constScanLine(y));
      for (int x = 0; x < after.width();) {
        if (a[x] == b[x]) {
          ++x;
          continue;
        }
        Run r{static_cast<std::ptrdiff_t>(y) * after.bytesPerLine() / 4 + x, 0, pixels.size()};
        for (; x < after.width() && a[x] != b[x]; ++x, ++r.length) pixels.push_back(a[x]);
        runs.push_back(r);
      }
    }
  }
  void WriteInto(QPainter& p) const {
    auto* bits = reinterpret_cast<QRgb*>(static_cast<QImage*>(p.device())->bits());
    for (const Run& r : runs) std::memcpy(bits + r.at, pixels.data() + r.from, r.length * sizeof(QRgb));
  }
};

// The least any drawing of these stations must do: the pixels the two passes
// leave changed, worked out beforehand, written into the bare redraw as runs
// at the two passes' places (no record read, no figure drawn, no pixel written
// twice).
void BM_StationPixelsAlone(benchmark::State& state) {
  scene->Hooks(false);
  scene->display.DrawMap();
  const QImage bare = scene->display.picture().copy();
  scene->Hooks(true);
  scene->onePass.draw = nullptr;
  scene->display.DrawMap();
  const QImage all = scene->display.picture().copy();
  scene->Hooks(true);
  scene->display.DrawMap();
  const QImage both = scene->display.picture().copy();
  const PixelRuns allRuns(bare, all), oneRuns(all, both);
  scene->allPass.draw = [&](QPainter& p, const zmap::MapView&) { allRuns.WriteInto(p); };
  scene->onePass.draw = [&](QPainter& p, const zmap::MapView&) { oneRuns.WriteInto(p); };
  for (auto _ : state) scene->display.DrawMap();
  if (scene->display.picture() != both) state.SkipWithError("the runs do not make the stations' picture");
  state.counters["pixels"] = static_cast<double>(allRuns.pixels.size() + oneRuns.pixels.size());
  state.counters["runs"] = static_cast<double>(allRuns.runs.size() + oneRuns.runs.size());
}

// Every redraw with a new MONI ALL layer: no label laid out before.
void BM_FirstRedrawWithStations(benchmark::State& state) {
  scene->Hooks(true);
  scene->allPass.draw = [](QPainter& p, const zmap::MapView& v) {
    stations::MoniAllLayer fresh(scene->st.stations, scene->st.alarm, scene->st.settings.moniOneCall, scene->settings,
                                 scene->sheets, scene->now);
    p.setFont(zmap::MapFont());
    fresh.render(p, v);
  };
  for (auto _ : state) scene->display.DrawMap();
}
BENCHMARK(BM_FirstRedrawWithStations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoniAllOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoniOneOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareMapRedraw)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MapRedrawWithStations)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MapRedrawEveryRecordNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StationPixelsAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the time per iteration of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.iterations > 0) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  stations::testing::LoadProgramFonts();
  benchmark::Initialize(&argc, argv);
  Scene s;
  scene = &s;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double bare = 0, full = 0, all = 0, one = 0, first = 0, renewed = 0, alone = 0;
  for (const auto& [name, t] : reporter.times) {
    if (name.rfind("BM_BareMapRedraw", 0) == 0) bare = t;
    if (name.rfind("BM_MapRedrawWithStations", 0) == 0) full = t;
    if (name.rfind("BM_MoniAllOnly", 0) == 0) all = t;
    if (name.rfind("BM_MoniOneOnly", 0) == 0) one = t;
    if (name.rfind("BM_FirstRedrawWithStations", 0) == 0) first = t;
    if (name.rfind("BM_MapRedrawEveryRecordNew", 0) == 0) renewed = t;
    if (name.rfind("BM_StationPixelsAlone", 0) == 0) alone = t;
  }
  if (bare > 0 && full > 0) {
    std::printf("station redraw: %.2f ms, bare map redraw: %.2f ms, ratio %.2f (goal: at most 2.0)\n", full, bare,
                full / bare);
    if (all > 0 && one > 0)
      std::printf("over the bare redraw: MONI ALL pass %.2f ms, MONI 1 pass %.2f ms\n", all - bare, one - bare);
    if (first > 0) std::printf("first station redraw (every label laid out): %.2f ms\n", first);
    if (renewed > 0) std::printf("redraw after every record changed: %.2f ms, ratio %.2f\n", renewed, renewed / bare);
    if (alone > 0)
      std::printf("bare redraw with only the stations' changed pixels written: %.2f ms, ratio %.2f\n", alone,
                  alone / bare);
  }
  scene = nullptr;
  return 0;
}

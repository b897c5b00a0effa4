// The map's memory in the running program, and the time of its redraws. The
// program's own objects (bench/app/program_run.h) on a later start's program
// folder with the stock maps, the main window 1280 x 1024 pixels, the map steered
// as a user steers it: the scale and zoom buttons and presses on the map.
//   - BM_MemoryOverScalesAndPans (one run, before the others): START; then each
//     scale from M5000 to M0002 at zoom 1; then at the working scale M0050 each
//     zoom factor from 0.125 to 8; then 200 pans, each a left press on the map
//     three quarters of the picture away from its centre, in a square spiral
//     around the start, the zoom factor changing every 25 pans (1, 0.5, 2, 0.25,
//     4, 0.125, 8, 1). After each scale, zoom and pan the resident memory (VmRSS),
//     the most it ever held (VmHWM) and the tile cache's own count of its bytes
//     go into a table printed at the end; the counters hold the figures after
//     START, after the scales, after the zooms and after the pans, and the mean
//     time of a pan with its redraw.
//   - BM_Redraw: the window's redraw of an unchanged view at M0050, zoom 1 (its
//     tiles in the cache).
//   - BM_RedrawAfterZoom/<z>: the zoom button from zoom 1 to z and back, each click
//     with its redraw (timed per click).
//
//   xvfb-run -a -s '-screen 0 1280x1024x24' env QT_QPA_PLATFORM=xcb build/bench/app/bench_map_memory
// or offscreen (the default).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/app/program_run.h"
#include "main_window/form1.h"
#include "platform/controls.h"
#include "tests/support/find.h"

namespace {

using zeblon::Form1;
using zeblon::Program;
using zeblon::bench::ProcessMemory;
using zeblon::bench::ProgramFolder;
using zeblon::bench::Pump;
using zeblon::bench::Seconds;

constexpr int kWidth = 1280, kHeight = 1024;
constexpr double kMB = 1024.0;  // kB in a MB

// One program through START, kept for all the runs.
struct Session {
  explicit Session(int engine_port) : folder(true, engine_port) {
    program = zeblon::bench::StartWindowUp();
    if (!program) return;
    Form1& main = program->MainWindow();
    main.resize(kWidth, kHeight);
    main.OpenDocument = [](const std::string&) { return false; };
    QCoreApplication::processEvents();
    zeblon::bench::StartWatch watch(main);
    watch.Start();
    program->StartWindow()->Command1->click();
    if (!watch.Finish()) program.reset();
    Settle();
  }
  ~Session() {
    if (program) program->MainWindow().CloseByUser();
  }
  Form1& Main() { return program->MainWindow(); }
  // A button of the main window, clicked; its handler redraws.
  void Click(const char* name) { zeblon::testing_support::Find<platform::CommandButton>(Main(), name)->click(); }
  // A left press and release on the map at (x, y): the map centres there.
  void Press(int x, int y) {
    QWidget* picture = Main().Picture1;
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent e(type, QPointF(x, y), QPointF(picture->mapToGlobal(QPoint(x, y))), Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &e);
    }
  }
  // The events of the redraw (the paint on the screen) run.
  static void Settle() {
    Pump([] { return false; }, 50);
  }
  void ToScale(int scale) {
    const auto& s = Main().Map().state();
    while (s.MapScale > scale && s.MapScale > 2) Click("Command2");
    while (s.MapScale < scale && s.MapScale < 5000) Click("Command1");
  }
  void ToZoom(double zoom) {
    const auto& s = Main().Map().state();
    Click("Command9");  // zoom 1
    while (s.ZoomFactor < zoom && s.ZoomFactor < 8) Click("Command7");
    while (s.ZoomFactor > zoom && s.ZoomFactor > 0.125) Click("Command8");
  }

  ProgramFolder folder;
  std::unique_ptr<Program> program;
};

int g_engine_port = 0;
std::unique_ptr<Session> g_session;

Session* TheSession(benchmark::State& state) {
  if (!g_session) g_session = std::make_unique<Session>(g_engine_port);
  if (!g_session->program) {
    state.SkipWithError("no map drawn after START");
    return nullptr;
  }
  return g_session.get();
}

struct Step {
  std::string what;
  ProcessMemory memory;
  std::size_t cacheBytes = 0;
};
std::vector<Step> g_steps;

void Note(Session& session, const std::string& what) {
  Session::Settle();
  g_steps.push_back({what, zeblon::bench::ReadProcessMemory(), session.Main().Map().cache().bytes()});
}

void BM_MemoryOverScalesAndPans(benchmark::State& state) {
  Session* session = TheSession(state);
  if (session == nullptr) return;
  const auto& s = session->Main().Map().state();
  double pan_seconds = 0;
  int pans = 0;
  for (auto _ : state) {
    Note(*session, "after START");
    const std::size_t after_start = g_steps.size() - 1;
    for (int scale : {5000, 1000, 200, 50, 10, 2}) {
      session->ToScale(scale);
      Note(*session, "scale " + std::to_string(scale));
    }
    const std::size_t after_scales = g_steps.size() - 1;
    session->ToScale(50);
    for (double zoom : {0.125, 0.25, 0.5, 1.0, 2.0, 4.0, 8.0}) {
      session->ToZoom(zoom);
      Note(*session, "scale 50, zoom " + std::to_string(zoom).substr(0, 5));
    }
    const std::size_t after_zooms = g_steps.size() - 1;
    // The square spiral: legs of 1, 1, 2, 2, 3, 3, ... pans, turning east, north,
    // west, south.
    constexpr double kZooms[] = {1, 0.5, 2, 0.25, 4, 0.125, 8, 1};
    const int w = session->Main().Picture1->width(), h = session->Main().Picture1->height();
    const int dx[] = {1, 0, -1, 0}, dy[] = {0, -1, 0, 1};
    int leg = 1, on_leg = 0, heading = 0, turns = 0;
    for (pans = 0; pans < 200; ++pans) {
      if (pans % 25 == 0) session->ToZoom(kZooms[pans / 25]);
      QElapsedTimer t;
      t.start();
      session->Press(w / 2 + dx[heading] * w * 3 / 8, h / 2 + dy[heading] * h * 3 / 8);
      pan_seconds += Seconds(t);
      if (++on_leg == leg) {
        on_leg = 0;
        heading = (heading + 1) % 4;
        if (++turns % 2 == 0) ++leg;
      }
      if ((pans + 1) % 25 == 0)
        Note(*session, std::to_string(pans + 1) + " pans (zoom " + std::to_string(s.ZoomFactor).substr(0, 5) + ")");
    }
    state.counters["rss_start_MB"] = static_cast<double>(g_steps[after_start].memory.rss) / kMB;
    state.counters["rss_scales_MB"] = static_cast<double>(g_steps[after_scales].memory.rss) / kMB;
    state.counters["rss_zooms_MB"] = static_cast<double>(g_steps[after_zooms].memory.rss) / kMB;
    state.counters["rss_pans_MB"] = static_cast<double>(g_steps.back().memory.rss) / kMB;
    state.counters["hwm_MB"] = static_cast<double>(g_steps.back().memory.hwm) / kMB;
  }
  state.counters["pan_ms"] = pans > 0 ? pan_seconds * 1000 / pans : 0;
}

void BM_Redraw(benchmark::State& state) {
  Session* session = TheSession(state);
  if (session == nullptr) return;
  session->ToScale(50);
  session->ToZoom(1);
  session->Main().DrawMap();
  for (auto _ : state) session->Main().DrawMap();
}

void BM_RedrawAfterZoom(benchmark::State& state) {
  Session* session = TheSession(state);
  if (session == nullptr) return;
  const double zoom = static_cast<double>(state.range(0)) / 8;  // the argument in eighths
  session->ToScale(50);
  session->ToZoom(1);
  const char* away = zoom > 1 ? "Command7" : "Command8";
  const char* back = zoom > 1 ? "Command8" : "Command7";
  session->Click(away);  // both views' tiles in the cache
  session->Click(back);
  bool there = false;
  for (auto _ : state) {
    session->Click(there ? back : away);
    there = !there;
  }
}

void PrintSteps() {
  if (g_steps.empty()) return;
  const auto& s = g_session->Main().Map().state();
  std::printf("\nThe program's memory (MB) while the map is viewed, %d x %d window, map picture %.0f x %.0f:\n", kWidth,
              kHeight, s.MapWidthPx, s.MapHeightPx);
  std::printf("%-28s %9s %9s %9s %12s\n", "after", "VmRSS", "VmHWM", "RssAnon", "tile cache");
  for (const Step& step : g_steps)
    std::printf("%-28s %9.1f %9.1f %9.1f %12.1f\n", step.what.c_str(), static_cast<double>(step.memory.rss) / kMB,
                static_cast<double>(step.memory.hwm) / kMB, static_cast<double>(step.memory.anon) / kMB,
                static_cast<double>(step.cacheBytes) / (1024.0 * 1024.0));
}

}  // namespace

BENCHMARK(BM_MemoryOverScalesAndPans)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawAfterZoom)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zeblon::RegisterProgramFonts(ZEBLON_PROGRAM_DIR);
  zeblon::bench::AnswerEveryBox();
  zeblon::bench::PacketEngine engine;
  g_engine_port = engine.port;
  benchmark::RunSpecifiedBenchmarks();
  PrintSteps();
  g_session.reset();
  benchmark::Shutdown();
  return 0;
}

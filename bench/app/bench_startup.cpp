// The program's start-up, step by step, with its own objects (the program object,
// its start window and main window with the radio link the program installs) on
// a program folder of its own, laid out as the build's program folder with the
// built STOCK.ZIP. The main window is 1280 x 1024 pixels; the packet engine is
// Debian's direwolf on a free port (the start goes on without one when it is not
// installed). Timed:
//   - BM_StartWindowStartUp: a later start's start window, from its creation to
//     START enabled (this loads the hidden main window);
//   - BM_FirstStartWindowStartUp: the same on a first start, which unpacks
//     STOCK.ZIP (the help page is not opened: its wait is the user's reading);
//   - BM_StartToDrawnMap: START to the drawn map on the screen, with each step as
//     a counter: START's own work up to the hand-over (`to_main_window`, its one
//     second of waiting with events included), the main window's start-up up to
//     the end of the map drawing (`to_map_drawn`), and the first paint of the map
//     on the screen (`to_map_on_screen`, the iteration's time);
//   - BM_FirstStartToDrawnMap: the same right after a first start's unpacking
//     (the map folders read for the first time).
// After the runs it prints the process's memory (resident, anonymous, file) with
// a main window open and its map drawn. The program's message boxes are answered
// by their default button (bench/app/program_run.h), so a first start's box about
// the help page does not wait for a user on a real display.
//
// Run offscreen (the default) or on a real X server:
//   QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1280x1024x24' build/bench/app/bench_startup
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/program.h"
#include "bench/app/program_run.h"
#include "main_window/form1.h"
#include "platform/controls.h"
#include "start_window/form0.h"

namespace {

using zeblon::Form0;
using zeblon::Form1;
using zeblon::Program;
using zeblon::bench::ProgramFolder;
using zeblon::bench::Pump;
using zeblon::bench::Seconds;
using zeblon::bench::StartWatch;
using zeblon::bench::StartWindowUp;

constexpr int kWidth = 1280, kHeight = 1024;
int engine_port = 0;

// START after the start window's start-up, on a later start's folder or on a first
// start's freshly unpacked one (the call typed in, as a new user does).
void RunStart(benchmark::State& state, bool first_start) {
  double to_main = 0, to_drawn = 0, to_screen = 0;
  for (auto _ : state) {
    std::unique_ptr<ProgramFolder> folder;
    if (!first_start) {
      static ProgramFolder later(true, engine_port);
      later.Use();
      later.WriteSettings();
    } else {
      folder = std::make_unique<ProgramFolder>(false, engine_port);
    }
    auto program = StartWindowUp();
    if (!program) {
      state.SkipWithError("the start window ended the program");
      return;
    }
    Form0* form0 = program->StartWindow();
    if (first_start) {
      form0->Text8->SetText("SM5XYZ");
      form0->Text4->SetText(std::to_string(engine_port));  // the engine port box
    }
    Form1& main = program->MainWindow();
    main.resize(kWidth, kHeight);
    main.OpenDocument = [](const std::string&) { return false; };
    QCoreApplication::processEvents();
    StartWatch watch(main);
    watch.Start();
    form0->Command1->click();
    if (!watch.Finish()) {
      state.SkipWithError("no map drawn");
      return;
    }
    state.SetIterationTime(watch.onScreen);
    to_main += watch.shown;
    to_drawn += watch.drawn;
    to_screen += watch.onScreen;
    main.CloseByUser();
    program.reset();
    QCoreApplication::processEvents();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["to_main_window"] = to_main / n;
  state.counters["to_map_drawn"] = to_drawn / n;
  state.counters["to_map_on_screen"] = to_screen / n;
}

void BM_StartToDrawnMap(benchmark::State& state) { RunStart(state, false); }
void BM_FirstStartToDrawnMap(benchmark::State& state) { RunStart(state, true); }

void RunStartWindow(benchmark::State& state, bool first_start) {
  static std::unique_ptr<ProgramFolder> later;
  if (!first_start && !later) later = std::make_unique<ProgramFolder>(true, engine_port);
  for (auto _ : state) {
    std::unique_ptr<ProgramFolder> folder;
    if (first_start)
      folder = std::make_unique<ProgramFolder>(false, engine_port);
    else
      later->Use();
    QElapsedTimer t;
    t.start();
    auto program = StartWindowUp();
    if (!program) {
      state.SkipWithError("the start window ended the program");
      return;
    }
    state.SetIterationTime(Seconds(t));
    program.reset();
    QCoreApplication::processEvents();
  }
}

void BM_StartWindowStartUp(benchmark::State& state) { RunStartWindow(state, false); }
void BM_FirstStartWindowStartUp(benchmark::State& state) { RunStartWindow(state, true); }

BENCHMARK(BM_StartWindowStartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstStartWindowStartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StartToDrawnMap)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstStartToDrawnMap)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Resident memory of the process.
void PrintMemory(const char* when) {
  const auto m = zeblon::bench::ReadProcessMemory();
  std::printf("memory %s: resident %ld kB (anonymous %ld kB, files %ld kB, shared %ld kB; at most %ld kB)\n", when,
              m.rss, m.anon, m.file, m.shmem, m.hwm);
}

// One program through START, its map drawn, held open for the memory read-out.
void MeasureMemory() {
  ProgramFolder folder(true, engine_port);
  auto program = StartWindowUp();
  if (!program) return;
  Form0* form0 = program->StartWindow();
  Form1& main = program->MainWindow();
  main.resize(kWidth, kHeight);
  QCoreApplication::processEvents();
  StartWatch watch(main);
  watch.Start();
  form0->Command1->click();
  watch.Finish();
  Pump([] { return false; }, 500);
  PrintMemory("with the map drawn");
  main.CloseByUser();
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  zeblon::RegisterProgramFonts(ZEBLON_PROGRAM_DIR);
  zeblon::bench::AnswerEveryBox();
  zeblon::bench::PacketEngine engine;
  engine_port = engine.port;
  PrintMemory("before the start");
  benchmark::RunSpecifiedBenchmarks();
  MeasureMemory();
  benchmark::Shutdown();
  return 0;
}

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
// a main window open and its map drawn.
//
// Run offscreen (the default) or on a real X server:
//   QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1280x1024x24' build/bench/app/bench_startup
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/program.h"
#include "main_window/form1.h"
#include "platform/controls.h"
#include "start_window/form0.h"
#include "tests/support/direwolf.h"

namespace {

namespace fs = std::filesystem;
using zeblon::Form0;
using zeblon::Form1;
using zeblon::Program;

constexpr int kWidth = 1280, kHeight = 1024;
int engine_port = 0;

double Seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

template <typename F>
bool Pump(F done, int limit_ms = 30000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > limit_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

// A program whose start window has run its start-up; null when it ended the program.
std::unique_ptr<Program> StartWindowUp() {
  auto program = std::make_unique<Program>();
  program->EndProgram = [](int) {};
  Form0* form0 = program->StartWindow();
  form0->OpenDocument = [](const std::string&) { return false; };
  form0->show();
  if (!form0->Form_Activate()) return nullptr;
  return program;
}

// A program folder below the temporary folder: the build's program files, the
// STOCK.ZIP, and for a later start the unpacked stock data and a settings file.
class ProgramFolder {
 public:
  explicit ProgramFolder(bool later_start) {
    fs::remove_all(path_);
    fs::create_directories(path_);
    const fs::path built = ZEBLON_PROGRAM_DIR;
    for (const auto& e : fs::directory_iterator(built)) {
      const std::string name = e.path().filename().string();
      if (name == "ZEBLON" || name == "TALMOR" || name == "U33" || name == "ZEBLON.INI" || name == "STOCK.ZIP")
        continue;
      fs::copy(e.path(), path_ / name, fs::copy_options::recursive);
    }
    fs::copy_file(ZEBLON_STOCK_ARCHIVE, path_ / "STOCK.ZIP");
    Use();
    if (later_start) {
      // Unpacked once by a first start of the program's own start window.
      StartWindowUp();
      WriteSettings();
    }
  }
  ~ProgramFolder() {
    unsetenv("ZEBLON_PROGRAM_FOLDER");
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  // The program's objects find their program folder here from now on.
  void Use() const { setenv("ZEBLON_PROGRAM_FOLDER", path_.c_str(), 1); }

  // A user who has been here before: own call, own position, the packet engine
  // on this computer, the map's own temporary folder inside the program folder.
  void WriteSettings() const {
    fs::create_directories(path_ / "TMP");
    std::ofstream(path_ / "ZEBLON.INI", std::ios::binary)
        << "TEMP=" << (path_ / "TMP").string() << "\r\nUSER=SM5XYZ\r\nCALL=SM5XYZ\r\nMODEM=0\r\nHOSTC=localhost\r\n"
        << "HOSTP=" << engine_port << "\r\nMSYS=U33\r\nUUN=6580.123\r\nUUE=670.456\r\nUTN=6580\r\nUTE=670\r\n";
  }

 private:
  static inline int made_ = 0;
  fs::path path_ = fs::temp_directory_path() /
                   ("zeblon_bench_startup_" + std::to_string(::getpid()) + "_" + std::to_string(++made_));
};

// Times of one START: the hand-over (the main window shown), the end of the map
// drawing, and the first paint of the map widget after it.
class StartWatch : public QObject {
 public:
  StartWatch(Form1& main) : main_(main) {
    main.installEventFilter(this);
    main.Picture1->installEventFilter(this);
  }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == &main_ && e->type() == QEvent::Show && shown < 0) shown = Seconds(clock);
    if (o == main_.Picture1 && e->type() == QEvent::Paint && drawn >= 0 && onScreen < 0) onScreen = Seconds(clock);
    return false;
  }
  void Start() { clock.start(); }
  // After START: runs the events until the map is on the screen.
  bool Finish() {
    if (!Pump([&] { return main_.Map().state().MapDrawnOnce == 1; })) return false;
    drawn = Seconds(clock);
    return Pump([&] { return onScreen >= 0; });
  }
  QElapsedTimer clock;
  double shown = -1, drawn = -1, onScreen = -1;

 private:
  Form1& main_;
};

// START after the start window's start-up, on a later start's folder or on a first
// start's freshly unpacked one (the call typed in, as a new user does).
void RunStart(benchmark::State& state, bool first_start) {
  double to_main = 0, to_drawn = 0, to_screen = 0;
  for (auto _ : state) {
    std::unique_ptr<ProgramFolder> folder;
    if (!first_start) {
      static ProgramFolder later(true);
      later.Use();
      later.WriteSettings();
    } else {
      folder = std::make_unique<ProgramFolder>(false);
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
  if (!first_start && !later) later = std::make_unique<ProgramFolder>(true);
  for (auto _ : state) {
    std::unique_ptr<ProgramFolder> folder;
    if (first_start)
      folder = std::make_unique<ProgramFolder>(false);
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

// Resident memory of the process (kB), from /proc/self/status.
void PrintMemory(const char* when) {
  std::ifstream status("/proc/self/status");
  std::string line, rss, anon, file, shmem;
  while (std::getline(status, line)) {
    auto value = [&](const char* key, std::string& out) {
      if (line.rfind(key, 0) == 0) out = line.substr(line.find_first_not_of(" \t", std::string(key).size()));
    };
    value("VmRSS:", rss);
    value("RssAnon:", anon);
    value("RssFile:", file);
    value("RssShmem:", shmem);
  }
  std::printf("memory %s: resident %s (anonymous %s, files %s, shared %s)\n", when, rss.c_str(), anon.c_str(),
              file.c_str(), shmem.c_str());
}

// One program through START, its map drawn, held open for the memory read-out.
void MeasureMemory() {
  ProgramFolder folder(true);
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
  QTemporaryDir dir;
  engine_port = zeblon::testing_support::FreePort();
  std::unique_ptr<zeblon::testing_support::Direwolf> engine;
  if (std::system("command -v direwolf >/dev/null 2>&1") == 0) {
    engine = std::make_unique<zeblon::testing_support::Direwolf>(dir, engine_port);
    if (!engine->started()) std::printf("direwolf did not start: the start goes on without a packet engine\n");
  } else {
    std::printf("no direwolf: the start goes on without a packet engine\n");
  }
  PrintMemory("before the start");
  benchmark::RunSpecifiedBenchmarks();
  MeasureMemory();
  benchmark::Shutdown();
  return 0;
}

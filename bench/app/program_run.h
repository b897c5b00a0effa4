// The running program for the benchmarks: its own objects (the program object,
// its start window and main window with the radio link the program installs) on a
// program folder of their own below the temporary folder, laid out as the build's
// program folder with the built STOCK.ZIP; the message boxes answered as a user
// who reads them and presses their default button; the process's memory read from
// /proc/self/status.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/program.h"
#include "main_window/form1.h"
#include "platform/message_box.h"
#include "start_window/form0.h"
#include "tests/support/direwolf.h"

namespace zeblon::bench {

namespace fs = std::filesystem;

inline double Seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

// Runs the events until `done` (false when `limit_ms` passed first).
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

// Every box the program shows is answered at once by its default button, as the
// program answers it without a display: on a real display a first start's "NO
// PROGRAM FOUND TO OPEN" box (no browser for the help page) would otherwise wait
// for a user who is not there. The boxes are still recorded in the message log.
inline void AnswerEveryBox() {
  platform::SetMessageResponder(
      [](const platform::MessageRecord& r) { return platform::DefaultAnswer(r.buttons, r.defaultButton); });
}

// The packet engine on this computer: Debian's direwolf on a free port (the
// start goes on without one when it is not installed).
struct PacketEngine {
  PacketEngine() : port(testing_support::FreePort()) {
    if (std::system("command -v direwolf >/dev/null 2>&1") == 0) {
      engine = std::make_unique<testing_support::Direwolf>(dir, port);
      if (!engine->started()) std::printf("direwolf did not start: the start goes on without a packet engine\n");
    } else {
      std::printf("no direwolf: the start goes on without a packet engine\n");
    }
  }
  QTemporaryDir dir;
  int port;
  std::unique_ptr<testing_support::Direwolf> engine;
};

// A program whose start window has run its start-up; null when it ended the program.
inline std::unique_ptr<Program> StartWindowUp() {
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
  ProgramFolder(bool later_start, int engine_port) : engine_port_(engine_port) {
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
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  // The program's objects find their program folder here from now on.
  void Use() const { setenv("ZEBLON_PROGRAM_FOLDER", path_.c_str(), 1); }

  // A user who has been here before: own call, own position, the packet engine
  // on this computer, the map's own temporary folder inside the program folder.
  void WriteSettings() const {
    fs::create_directories(path_ / "TMP");
    std::ofstream(path_ / "ZEBLON.INI", std::ios::binary)
        << "TEMP=" << (path_ / "TMP").string() << "\r\nUSER=SM5XYZ\r\nCALL=SM5XYZ\r\nMODEM=0\r\nHOSTC=localhost\r\n"
        << "HOSTP=" << engine_port_ << "\r\nMSYS=U33\r\nUUN=6580.123\r\nUUE=670.456\r\nUTN=6580\r\nUTE=670\r\n";
  }

 private:
  static inline int made_ = 0;
  int engine_port_;
  fs::path path_ = fs::temp_directory_path() /
                   ("zeblon_bench_program_" + std::to_string(::getpid()) + "_" + std::to_string(++made_));
};

// Times of one START: the hand-over (the main window shown), the end of the map
// drawing, and the first paint of the map widget after it.
class StartWatch : public QObject {
 public:
  explicit StartWatch(Form1& main) : main_(main) {
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

// The process's memory in kB, from /proc/self/status.
struct ProcessMemory {
  long rss = 0;    // VmRSS: resident now
  long hwm = 0;    // VmHWM: the most ever resident
  long anon = 0;   // RssAnon
  long file = 0;   // RssFile
  long shmem = 0;  // RssShmem
};

inline ProcessMemory ReadProcessMemory() {
  ProcessMemory m;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    const auto value = [&](const char* key, long& out) {
      const std::string k = key;
      if (line.rfind(k, 0) == 0) out = std::strtol(line.c_str() + k.size(), nullptr, 10);
    };
    value("VmRSS:", m.rss);
    value("VmHWM:", m.hwm);
    value("RssAnon:", m.anon);
    value("RssFile:", m.file);
    value("RssShmem:", m.shmem);
  }
  return m;
}

}  // namespace zeblon::bench

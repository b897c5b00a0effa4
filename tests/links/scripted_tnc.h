// The far end of a serial line for tests: a scripted TNC on one end of a socat
// pseudo-terminal pair. Records what arrives, answers a line end with the
// prompt (or stays silent, or keeps prompting), and sends what the test says.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "links/tnc_commands.h"
#include "tests/support/program_folder.h"

namespace zeblon::links::test {

// TNC settings of the tests: the TNC on COM7, the usual speeds, call and path.
inline TncSettings TncSettingsOnCom7(int kind) {
  TncSettings s;
  s.interfaceKind = kind;
  s.comPort = 7;
  s.tncBaud = "9600";
  s.scsComPort = 7;
  s.scsBaud = "38400";
  s.radioMode = "1200";
  s.crossMode = "NONE";
  s.txLevel = 300;
  s.txAfc = 0;
  s.userCall = "QW7TK";
  s.destination = "ZEBL";
  s.path = "WIDE1-1,WIDE2-1";
  return s;
}

class ScriptedTnc {
 public:
  enum class Mode { Prompt, Silent, Chatter };
  ScriptedTnc(const std::string& device, Mode mode) : mode_(mode) {
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0) thread_ = std::thread([this] { Run(); });
  }
  ~ScriptedTnc() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  // Sends bytes to the program's end of the line.
  void Say(const std::string& text) {
    std::lock_guard<std::mutex> lock(write_mutex_);
    [[maybe_unused]] auto n = ::write(fd_, text.data(), text.size());
    ++said_;
  }
  // How often the TNC has spoken so far.
  int Said() const { return said_; }
  std::string Received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

 private:
  void Run() {
    auto last_chatter = std::chrono::steady_clock::now();
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
        char buf[512];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
          std::lock_guard<std::mutex> lock(mutex_);
          received_.append(buf, static_cast<size_t>(n));
          if (mode_ != Mode::Silent && std::find(buf, buf + n, '\r') != buf + n) Say("\r\ncmd:");
        }
      }
      if (mode_ == Mode::Chatter && std::chrono::steady_clock::now() - last_chatter > std::chrono::milliseconds(5)) {
        Say("cmd:");
        last_chatter = std::chrono::steady_clock::now();
      }
    }
  }

  Mode mode_;
  int fd_ = -1;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> said_{0};
  std::mutex mutex_;
  std::mutex write_mutex_;
  std::string received_;
};

// A program folder (a scratch folder of the running test) whose COM7 is one end
// of a socat pseudo-terminal pair; the scripted TNC opens the other end
// (TncDevice). socat is ended and the folder removed at the end.
class ComSevenLine {
 public:
  explicit ComSevenLine(const std::string& prefix) : scratch_(prefix, true) {
    const std::filesystem::path& dir = scratch_.path();
    std::filesystem::create_directories(dir / "LOG");
    socat_.start("socat", {"pty,raw,echo=0,link=" + QString::fromStdString((dir / "COM7").string()),
                           "pty,raw,echo=0,link=" + QString::fromStdString((dir / "TNC").string())});
    if (!socat_.waitForStarted(5000)) return;
    for (int i = 0; i < 200 && !Ready(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ~ComSevenLine() { Pull(); }
  bool Ready() const {
    return std::filesystem::exists(scratch_.path() / "COM7") && std::filesystem::exists(scratch_.path() / "TNC");
  }
  std::string TncDevice() const { return (scratch_.path() / "TNC").string(); }
  // The line goes away: socat ends.
  void Pull() {
    if (socat_.state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(socat_.processId()), SIGTERM);
      socat_.waitForFinished(3000);
    }
  }

 private:
  testing_support::ScratchFolder scratch_;
  QProcess socat_;
};

}  // namespace zeblon::links::test

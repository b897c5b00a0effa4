// A serial line for tests: a socat pseudo-terminal pair whose two ends are links
// in a folder; the program opens one end, the test's scripted device (a TNC, a GPS
// receiver) reads and writes the other through a file descriptor. The destructor
// ends socat.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/process.h"

namespace zeblon::testing_support {

class PtyPair {
 public:
  // `program_end` and `device_end` name the links made in `folder`.
  PtyPair(const std::filesystem::path& folder, const std::string& program_end, const std::string& device_end)
      : program_(folder / program_end), device_(folder / device_end) {
    if (!platform::ProgramExists("socat")) return;
    socat_.start("socat", {"pty,raw,echo=0,link=" + QString::fromStdString(program_.string()),
                           "pty,raw,echo=0,link=" + QString::fromStdString(device_.string())});
    if (!socat_.waitForStarted(5000)) return;
    for (int i = 0; i < 300 && !(std::filesystem::exists(program_) && std::filesystem::exists(device_)); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fd_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  }
  ~PtyPair() {
    if (fd_ >= 0) ::close(fd_);
    if (socat_.state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(socat_.processId()), SIGTERM);
      socat_.waitForFinished(3000);
    }
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return fd_ >= 0; }
  // The end the program opens.
  const std::filesystem::path& ProgramEnd() const { return program_; }
  // The device's end.
  int fd() const { return fd_; }

  // What the device received within `ms`.
  std::string Read(int ms) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 10) > 0) {
        char buf[512];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) got.append(buf, static_cast<std::size_t>(n));
      }
    }
    return got;
  }
  // Reads until `want` bytes arrived or `ms` passed.
  std::string ReadBytes(std::size_t want, int ms) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < want && std::chrono::steady_clock::now() < end) got += Read(10);
    return got;
  }
  // The device sends.
  bool Write(const std::string& bytes) {
    return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

 private:
  std::filesystem::path program_, device_;
  QProcess socat_;
  int fd_ = -1;
};

}  // namespace zeblon::testing_support

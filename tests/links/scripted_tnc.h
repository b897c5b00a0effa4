// The far end of a serial line for tests: a scripted TNC on one end of a socat
// pseudo-terminal pair. Records what arrives, answers a line end with the
// prompt (or stays silent, or keeps prompting), and sends what the test says.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace zeblon::links::test {

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
  }
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
      if (mode_ == Mode::Chatter &&
          std::chrono::steady_clock::now() - last_chatter > std::chrono::milliseconds(5)) {
        Say("cmd:");
        last_chatter = std::chrono::steady_clock::now();
      }
    }
  }

  Mode mode_;
  int fd_ = -1;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::mutex write_mutex_;
  std::string received_;
};

}  // namespace zeblon::links::test

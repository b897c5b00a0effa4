// A program folder of its own for the main window tests, offscreen, with fast waits.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/message_box.h"
#include "platform/wait.h"
#include "settings/settings.h"

namespace zeblon::testing_support {

namespace fs = std::filesystem;

class ProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("zeblon_main_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    setenv("ZEBLON_PROGRAM_FOLDER", folder_.c_str(), 1);
    unsetenv("TEMP");
    platform::SetWaitClock([t = 0.0]() mutable { return t += 0.25; });
    platform::ClearMessageLog();
  }
  void TearDown() override {
    platform::SetWaitClock(nullptr);
    unsetenv("ZEBLON_PROGRAM_FOLDER");
    fs::remove_all(folder_);
  }
  void Write(const fs::path& rel, const std::string& bytes) {
    fs::create_directories((folder_ / rel).parent_path());
    WriteFileAtomically(folder_ / rel, bytes);
  }
  std::string Read(const fs::path& rel) {
    std::string b;
    ReadWholeFile(folder_ / rel, b);
    return b;
  }
  std::string Ini() { return Read("ZEBLON.INI"); }
  bool IniHas(const std::string& line) { return ("\r\n" + Ini()).find("\r\n" + line + "\r\n") != std::string::npos; }
  template <typename F>
  static void PumpUntil(F done, int limit_ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limit_ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  fs::path folder_;
};

// A MONI 1 log record of 110 characters.
inline std::string LogRecord(const std::string& date, const std::string& north, const std::string& east,
                             const std::string& comment) {
  std::string r(110, ' ');
  r.replace(0, 6, date);
  r.replace(7, 4, "1200");
  r[12] = '\xFE';
  r.replace(13, 9, north);
  r.replace(22, 9, east);
  r.replace(32, 5, "QW7TK");
  r.replace(42, comment.size(), comment);
  r.replace(100, 2, "/>");
  r.replace(104, 3, "CAR");
  return r;
}

}  // namespace zeblon::testing_support

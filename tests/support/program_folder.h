// Folders of a test's own: a scratch folder named after the running test, and a
// program folder (ZEBLON_PROGRAM_FOLDER) for the window tests, with fast waits.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/message_box.h"
#include "platform/wait.h"
#include "settings/settings.h"

namespace zeblon::testing_support {

namespace fs = std::filesystem;

// A fresh folder below the temporary folder, named after the running test; its
// destructor removes it. `as_program_folder` makes it the run's program folder.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix, bool as_program_folder = false)
      : path_(fs::temp_directory_path() / (prefix + "_" + std::to_string(::getpid()) + "_" + TestName())),
        program_folder_(as_program_folder) {
    fs::remove_all(path_);
    fs::create_directories(path_);
    if (program_folder_) setenv("ZEBLON_PROGRAM_FOLDER", path_.c_str(), 1);
  }
  ~ScratchFolder() {
    if (program_folder_) unsetenv("ZEBLON_PROGRAM_FOLDER");
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  // The running test's name as one folder name: a parameterised test's "/" would
  // make a folder below one that nothing removes.
  static std::string TestName() {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
  }
  fs::path path_;
  bool program_folder_;
};

class ProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<ScratchFolder>("zeblon_main", true);
    folder_ = scratch_->path();
    unsetenv("TEMP");
    platform::SetWaitClock([t = 0.0]() mutable { return t += 0.25; });
    platform::ClearMessageLog();
  }
  void TearDown() override {
    platform::SetWaitClock(nullptr);
    scratch_.reset();
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
  std::unique_ptr<ScratchFolder> scratch_;
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

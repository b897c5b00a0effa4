#include "platform/safe_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/file_faults.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class SafeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(ZEBLON_BINARY_DIR) / "test_tmp" /
           ("safe_file_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  void Touch(const std::string& name) const { std::ofstream(dir_ / name) << "x"; }

  fs::path dir_;
};

TEST_F(SafeFile, ReplacesTheFileWholeAndLeavesNothingElse) {
  const fs::path file = dir_ / "ZEBLON.INI";
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(file, std::string(100, 'a'), &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(file, std::string(50, 'b'), &error)) << error;
  EXPECT_EQ(Read(file), std::string(50, 'b'));
  const std::vector<std::uint8_t> bytes = {0, 1, 2, 0xFF};
  ASSERT_TRUE(WriteFileAtomically(file, bytes, &error, false)) << error;
  EXPECT_EQ(Read(file), std::string("\0\1\2\xFF", 4));
  EXPECT_EQ(Names(), std::vector<std::string>{"ZEBLON.INI"});
  EXPECT_EQ(TemporaryFileFor(file), dir_ / ("ZEBLON.INI.tmp" + std::to_string(::getpid())));

  EXPECT_FALSE(WriteFileAtomically(dir_ / "missing" / "x.BMP", "x", &error));
  EXPECT_EQ(error.rfind("CANNOT WRITE " + (dir_ / "missing" / "x.BMP").string() + " (", 0), 0u) << error;
}

TEST_F(SafeFile, FullDiskIsReportedAndLeavesTheOldFile) {
  const fs::path file = dir_ / "T.TRK";
  ASSERT_TRUE(WriteFileAtomically(file, "old"));
  std::string error;
  bool written = true;
  {
    const zeblon::testing_support::FileSizeLimit full(1000);
    ASSERT_TRUE(full.set());
    written = WriteFileAtomically(file, std::string(5000, 'n'), &error);
  }
  EXPECT_FALSE(written);
  EXPECT_NE(error.find("CANNOT WRITE"), std::string::npos) << error;
  EXPECT_EQ(Read(file), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"T.TRK"});
}

TEST_F(SafeFile, ALinkInPlaceOfTheTemporaryFileIsNotFollowed) {
  const fs::path file = dir_ / "QTHACT.TXT", victim = dir_ / "victim";
  Touch("victim");
  fs::create_symlink(victim, TemporaryFileFor(file));
  ASSERT_TRUE(WriteFileAtomically(file, "new"));
  EXPECT_EQ(Read(file), "new");
  EXPECT_EQ(Read(victim), "x");
  EXPECT_FALSE(fs::is_symlink(file));
}

TEST_F(SafeFile, LeftoversOfEndedProcessesAreRemovedOthersStay) {
  const std::string dead = std::to_string(zeblon::testing_support::EndedProcessId());
  const std::string own = std::to_string(::getpid());
  for (const std::string& name :
       {"ZEBLON.INI.tmp" + dead, "QW7TK.TXT.tmp" + dead, "ZEBLON.INI.tmp" + own, std::string("ZEBLON.INI.tmp1"),
        std::string("NOTES.tmp"), "X.tmp" + dead + "a", ".tmp" + dead, "LONE.TXT.tmp" + dead, std::string("ZEBLON.INI"),
        std::string("QW7TK.TXT"), std::string("X")})
    Touch(name);
  fs::create_directory(dir_ / ("FOLDER.tmp" + dead));
  fs::create_directory(dir_ / "FOLDER");
  EXPECT_EQ(RemoveLeftoverTemporaryFiles(dir_), 2);
  std::vector<std::string> expected = {
      ".tmp" + dead,        "FOLDER",     "FOLDER.tmp" + dead, "LONE.TXT.tmp" + dead, "NOTES.tmp", "QW7TK.TXT", "X",
      "X.tmp" + dead + "a", "ZEBLON.INI", "ZEBLON.INI.tmp1",   "ZEBLON.INI.tmp" + own};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(), expected);
  EXPECT_EQ(RemoveLeftoverTemporaryFiles(dir_ / "missing"), 0);

  long pid = 0;
  EXPECT_TRUE(IsTemporaryFileName("A.BMP.tmp123", &pid));
  EXPECT_EQ(pid, 123);
  for (const char* name : {"A.tmp", "A.tmp12345678901", "A.tmp-1", ".tmp5", "A.TMP5"})
    EXPECT_FALSE(IsTemporaryFileName(name)) << name;
}

// Writers killed at any moment of their rewrite: the file is always one of the
// whole versions, and the next start removes what the killed writer left.
TEST_F(SafeFile, AWriterKilledAtAnyMomentLeavesAWholeFileAndNoLeftoverAfterTheCleanup) {
  const fs::path file = dir_ / "ZEBLON.INI";
  const std::string a(200000, 'a'), b(150000, 'b');
  ASSERT_TRUE(WriteFileAtomically(file, a));
  int leftovers = 0;
  for (int trial = 0; trial < 30; ++trial) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (int i = 0;; ++i) WriteFileAtomically(file, i % 2 ? a : b, nullptr, i % 3 != 0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(300 + 397 * trial % 5000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = Read(file);
    ASSERT_TRUE(now == a || now == b) << "trial " << trial << ": " << now.size() << " bytes";
    leftovers += RemoveLeftoverTemporaryFiles(dir_);
    ASSERT_EQ(Names(), std::vector<std::string>{"ZEBLON.INI"}) << "trial " << trial;
  }
  // Most kills land inside a write; the test would prove nothing if none did.
  EXPECT_GT(leftovers, 0);
}

}  // namespace
}  // namespace platform

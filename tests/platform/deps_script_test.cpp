// scripts/deps.sh, the first step of the run and test commands: it asks dpkg once
// and calls apt-get only for what is missing, so a second start begins at once.
// dpkg-query, apt-get and id are stand-ins on PATH; apt-get records its calls.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/process.h"

namespace {

namespace fs = std::filesystem;

class DepsScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zeblon_deps_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    // Every package asked about is installed, except those named in STUB_MISSING,
    // which dpkg knows only as removed.
    Stub("dpkg-query",
         "shift 2\nfor p in \"$@\"; do case \" $STUB_MISSING \" in *\" $p \"*) printf '%s=not-installed ' \"$p\";; "
         "*) printf '%s=installed ' \"$p\";; esac; done\n");
    Stub("apt-get", "echo \"$*\" >> '" + (dir_ / "apt.txt").string() + "'\n");
    Stub("id", "echo \"$STUB_UID\"\n");
    old_path_ = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", ((dir_ / "bin").string() + ":" + old_path_).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", old_path_.c_str(), 1);
    unsetenv("STUB_MISSING");
    unsetenv("STUB_UID");
    fs::remove_all(dir_);
  }
  void Stub(const std::string& name, const std::string& body) {
    const fs::path p = dir_ / "bin" / name;
    std::ofstream(p) << "#!/bin/sh\n" << body;
    ::chmod(p.c_str(), 0755);
  }
  std::string AptCalls() {
    std::ifstream in(dir_ / "apt.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir_;
  std::string old_path_;
};

TEST_F(DepsScriptTest, InstallsOnlyWhatIsMissing) {
  struct Case {
    const char* missing;
    const char* uid;
    int exitCode;
    const char* aptCalls;
  };
  const Case cases[] = {
      {"", "1000", 0, ""},  // all there: no apt-get and no root needed
      {"", "0", 0, ""},
      {"xdg-utils direwolf", "0", 0,
       "-o DPkg::Lock::Timeout=600 update\n"
       "-o DPkg::Lock::Timeout=600 install -y --no-install-recommends direwolf xdg-utils\n"},
      {"xdg-utils", "1000", 1, ""},  // missing without root: said, nothing called
  };
  const std::string script = std::string(ZEBLON_SOURCE_DIR) + "/scripts/deps.sh";
  for (const Case& c : cases) {
    fs::remove(dir_ / "apt.txt");
    setenv("STUB_MISSING", c.missing, 1);
    setenv("STUB_UID", c.uid, 1);
    EXPECT_EQ(platform::RunProgram("bash", {script}, 20000), c.exitCode) << c.missing << " uid " << c.uid;
    EXPECT_EQ(AptCalls(), c.aptCalls) << c.missing << " uid " << c.uid;
  }
}

// Another program holding apt's lock of the package lists is waited for (apt-get
// update itself gives up at once); any other failure ends the script at once.
TEST_F(DepsScriptTest, WaitsForAnotherProgramsLock) {
  const std::string script = std::string(ZEBLON_SOURCE_DIR) + "/scripts/deps.sh";
  const std::string calls = (dir_ / "apt.txt").string(), held = (dir_ / "held").string();
  // The lock is held for the first call; the stand-in says so as apt-get does.
  Stub("apt-get",
       "echo \"$*\" >> '" + calls + "'\nif [ -e '" + held + "' ]; then rm '" + held +
           "'; echo \"E: Could not get lock /var/lib/apt/lists/lock. It is held by process 42 (apt-get)\" >&2;"
           " exit 100; fi\n[ -n \"$STUB_FAIL\" ] && { echo 'E: Unable to locate package' >&2; exit 100; }\n"
           "exit 0\n");
  setenv("STUB_MISSING", "direwolf", 1);
  setenv("STUB_UID", "0", 1);
  std::ofstream(held) << "x";
  EXPECT_EQ(platform::RunProgram("bash", {script}, 60000), 0);
  EXPECT_EQ(AptCalls(),
            "-o DPkg::Lock::Timeout=600 update\n-o DPkg::Lock::Timeout=600 update\n"
            "-o DPkg::Lock::Timeout=600 install -y --no-install-recommends direwolf\n");

  fs::remove(dir_ / "apt.txt");
  setenv("STUB_FAIL", "1", 1);
  EXPECT_EQ(platform::RunProgram("bash", {script}, 60000), 100);
  unsetenv("STUB_FAIL");
  EXPECT_EQ(AptCalls(), "-o DPkg::Lock::Timeout=600 update\n");
}

}  // namespace

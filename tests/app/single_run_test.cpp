#include "app/single_run.h"

#include <QSysInfo>
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

TEST(SingleRunGuardTest, ASecondStartInTheSameFolderIsRefused) {
  testing_support::ScratchFolder folder("single_run");
  SingleRunGuard first(folder.path().string());
  ASSERT_TRUE(first.Acquired());
  SingleRunGuard second(folder.path().string());
  EXPECT_FALSE(second.Acquired());
  // A lock left behind by a run that no longer lives does not block.
  std::filesystem::create_directories(folder.path() / "OTHER");
  std::ofstream(folder.path() / "OTHER" / "ZEBLON.LCK", std::ios::binary)
      << "4194000\nZEBLON\n" + QSysInfo::machineHostName().toStdString() + "\n";
  SingleRunGuard after_crash((folder.path() / "OTHER").string());
  EXPECT_TRUE(after_crash.Acquired());
}

}  // namespace
}  // namespace zeblon

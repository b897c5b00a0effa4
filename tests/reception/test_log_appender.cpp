// The log files kept open between passes: what was appended is in the file
// when the append returns, and a file deleted (or its folder removed) while
// open is made anew by its name, also when the deletion happened while another
// file of the folder was being written.
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes.h"
#include "reception/log_appender.h"

namespace zeblon::reception {
namespace {

using testing::TempDataFolder;
namespace fs = std::filesystem;

TEST(LogAppender, AppendsAreInTheFileAtOnceAndOneFileOpenEach) {
  TempDataFolder folder;
  LogAppender appender;
  const fs::path a = folder.log("A.TXT"), b = folder.log("B.TXT");
  ASSERT_TRUE(appender.Append(a, "one\r\n"));
  EXPECT_EQ(folder.read("A.TXT"), "one\r\n");
  LogAppender::Piece batch[] = {{&a, "two\r\n"}, {&b, "x"}, {&a, "three\r\n"}};
  appender.AppendAll(batch, 3);
  for (const auto& p : batch) EXPECT_TRUE(p.ok);
  EXPECT_EQ(folder.read("A.TXT"), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(folder.read("B.TXT"), "x");
  EXPECT_EQ(appender.OpenFiles(), 2u);
}

TEST(LogAppender, AFileThatWentIsMadeAnew) {
  struct Case {
    const char* what;
    void (*remove)(const TempDataFolder&);
    const char* aAfter;  // what A.TXT holds in the end
  };
  const Case cases[] = {
      {"deleted", [](const TempDataFolder& f) { fs::remove(f.log("B.TXT")); }, "a1a2"},
      {"renamed away", [](const TempDataFolder& f) { fs::rename(f.log("B.TXT"), f.path() / "B.OLD"); }, "a1a2"},
      {"folder removed and made again",
       [](const TempDataFolder& f) {
         fs::remove_all(f.path() / "LOG");
         fs::create_directories(f.path() / "LOG");
       },
       "a2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDataFolder folder;
    LogAppender appender;
    const fs::path a = folder.log("A.TXT"), b = folder.log("B.TXT");
    ASSERT_TRUE(appender.Append(a, "a1"));
    ASSERT_TRUE(appender.Append(b, "b1"));
    c.remove(folder);
    // A batch without B comes first: B's going must still be seen at B's next append.
    ASSERT_TRUE(appender.Append(a, "a2"));
    ASSERT_TRUE(appender.Append(b, "b2"));
    EXPECT_EQ(folder.read("B.TXT"), "b2");
    EXPECT_EQ(folder.read("A.TXT"), c.aAfter);
  }
}

TEST(LogAppender, AFolderThatIsGoneFailsTheAppendUntilItIsBack) {
  TempDataFolder folder;
  LogAppender appender;
  const fs::path a = folder.log("A.TXT");
  ASSERT_TRUE(appender.Append(a, "a1"));
  fs::remove_all(folder.path() / "LOG");
  EXPECT_FALSE(appender.Append(a, "lost"));
  fs::create_directories(folder.path() / "LOG");
  EXPECT_TRUE(appender.Append(a, "a2"));
  EXPECT_EQ(folder.read("A.TXT"), "a2");
}

}  // namespace
}  // namespace zeblon::reception

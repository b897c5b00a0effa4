// The log files kept open between passes: what was appended is in the file
// when the append returns, and a file deleted (or its folder removed) while
// open is made anew by its name, also when the deletion happened while another
// file of the folder was being written. A disk that fills in the middle of a
// line leaves whole lines only, and the RAW list is told once when the logs stop
// being written and once when they are written again. A line torn by a program
// killed in the middle of an append is ended by the next program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "fakes.h"
#include "reception/log_appender.h"
#include "tests/support/file_faults.h"

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

// A disk that takes `room` bytes more, at most `chunk` bytes a write, and then
// fails with ENOSPC (or, `takesNothing`, writes nothing).
struct FillingDisk {
  std::size_t room = static_cast<std::size_t>(-1);
  std::size_t chunk = static_cast<std::size_t>(-1);
  bool takesNothing = false;
  WriteFunction Write() {
    return [this](int fd, const void* bytes, std::size_t count) -> ssize_t {
      if (room == 0) {
        if (takesNothing) return 0;
        errno = ENOSPC;
        return -1;
      }
      const ssize_t n = ::write(fd, bytes, std::min({count, chunk, room}));
      if (n > 0) room -= static_cast<std::size_t>(n);
      return n;
    };
  }
};

TEST(LogAppender, AFullDiskLeavesWholeLinesOnly) {
  struct Case {
    const char* what;
    FillingDisk disk;
    bool ok;
    const char* kept;  // of "one\r\ntwo\r\nthree\r\n" after "old\r\n"
  };
  const Case cases[] = {
      {"full in the first line", {2}, false, ""},
      {"full in the second line", {8}, false, "one\r\n"},
      {"full right after a line end", {5}, false, "one\r\n"},
      {"full in the last line end", {16}, false, "one\r\ntwo\r\n"},
      {"a write that takes nothing", {8, static_cast<std::size_t>(-1), true}, false, "one\r\n"},
      {"short writes, room enough", {100, 3}, true, "one\r\ntwo\r\nthree\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDataFolder folder;
    LogAppender appender;
    FillingDisk disk = c.disk;
    appender.SetWriteFunction(disk.Write());
    const fs::path a = folder.log("A.TXT"), b = folder.log("B.TXT");
    disk.room += 5;
    ASSERT_TRUE(appender.Append(a, "old\r\n"));
    LogAppender::Piece batch[] = {{&a, "one\r\ntwo\r\nthree\r\n"}, {&b, "b\r\n"}};
    appender.AppendAll(batch, 2);
    EXPECT_EQ(batch[0].ok, c.ok);
    EXPECT_EQ(batch[0].error, c.ok ? 0 : ENOSPC);
    EXPECT_EQ(folder.read("A.TXT"), std::string("old\r\n") + c.kept);
    // Room again: the next line follows on a line of its own.
    disk.room = static_cast<std::size_t>(-1);
    ASSERT_TRUE(appender.Append(a, "next\r\n"));
    EXPECT_EQ(folder.read("A.TXT"), std::string("old\r\n") + c.kept + "next\r\n");
  }
}

TEST(LogAppender, AFileSizeLimitCutsTheAppendsOfTheOpenedFilesBackToWholeLines) {
  // The kernel's own short write: a file may not grow beyond 20 bytes.
  TempDataFolder folder;
  const fs::path a = folder.log("A.TXT");
  ASSERT_TRUE(AppendToFile(a, "0123456789\r\n"));
  {
    testing_support::FileSizeLimit limit(20);
    ASSERT_TRUE(limit.set());
    int error = 0;
    EXPECT_FALSE(AppendToFile(a, "abc\r\ndefghij\r\n", &error));
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(folder.read("A.TXT"), "0123456789\r\nabc\r\n");
    EXPECT_FALSE(AppendToFile(a, "klmnopqrstu\r\n", &error));
    EXPECT_EQ(folder.read("A.TXT"), "0123456789\r\nabc\r\n");
  }
  EXPECT_TRUE(AppendToFile(a, "end\r\n"));
  EXPECT_EQ(folder.read("A.TXT"), "0123456789\r\nabc\r\nend\r\n");
}

// A program killed (kill -9) in the middle of an append of many lines leaves
// the last line torn; the next program's first append, through either
// appender, ends that line (a CR already there gets its LF) before its own.
TEST(LogAppender, ALineTornByAKilledProgramIsEndedByTheNextOne) {
  std::string lines;
  for (int i = 0; lines.size() < 10000; ++i) lines += "line " + std::to_string(i) + std::string(50, '.') + "\r\n";
  ASSERT_NE(lines[4095], '\n');
  const std::size_t afterCr = lines.find('\r', 4096) + 1;
  struct Case {
    const char* what;
    std::size_t written;  // of the lines, when the program is killed
    bool sameAppender;    // the next program appends through a LogAppender, else AppendToFile
    const char* owed;
  };
  const Case cases[] = {
      {"torn in a line, the next appends through a LogAppender", 4096, true, "\r\n"},
      {"torn in a line, the next appends through AppendToFile", 4096, false, "\r\n"},
      {"torn after a CR, the next appends through a LogAppender", afterCr, true, "\n"},
      {"torn after a CR, the next appends through AppendToFile", afterCr, false, "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDataFolder folder;
    const fs::path a = folder.log("A.TXT");
    ASSERT_TRUE(AppendToFile(a, "before\r\n"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      LogAppender appender;
      appender.SetWriteFunction([&c](int fd, const void* bytes, std::size_t) -> ssize_t {
        [[maybe_unused]] const ssize_t n = ::write(fd, bytes, c.written);
        ::kill(::getpid(), SIGKILL);
        return -1;
      });
      appender.Append(a, lines);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const std::string torn = "before\r\n" + lines.substr(0, c.written);
    ASSERT_EQ(folder.read("A.TXT"), torn);

    if (c.sameAppender) {
      LogAppender next;
      ASSERT_TRUE(next.Append(a, "next\r\n"));
      ASSERT_TRUE(next.Append(a, "last\r\n"));
    } else {
      ASSERT_TRUE(AppendToFile(a, "next\r\n"));
      ASSERT_TRUE(AppendToFile(a, "last\r\n"));
    }
    EXPECT_EQ(folder.read("A.TXT"), torn + c.owed + "next\r\nlast\r\n");
  }
}

// The receive pass on a disk that fills: every log keeps whole lines, the RAW
// list is told once that the disk is full and once that the logs are written
// again, and nothing received is lost from the stores.
TEST(LogAppender, TheReceivePassOnAFillingDisk) {
  TempDataFolder folder;
  ReceptionState st;
  st.settings.dataFolder = folder.path();
  st.settings.logsOn = true;
  st.settings.mapCentralMeridian = -75.0;
  st.settings.mapZoneText = "18";
  testing::FakeHost host;
  ChatLines chat;
  ReceivePass pass(st, host, chat);
  FillingDisk disk;
  pass.SetLogWriteFunction(disk.Write());
  int heard = 0;
  // Passes of one frame each.
  const auto passOf = [&](int frames) {
    for (int i = 0; i < frames; ++i, ++heard) {
      testing::ScriptedSource source;
      const std::string minutes = std::to_string(10 + heard % 50);
      source.reads.push_back({testing::Monitor("S" + std::to_string(heard) + "*>APRS",
                                               "!4903." + minutes + "N/07201.75W-station " + std::to_string(heard)),
                              TurnRead::Leave::No});
      pass.Run(source);
    }
  };
  const auto notices = [&](const std::string& text) {
    int n = 0;
    for (int i = 0; i <= st.monitorLines.count; ++i) n += st.monitorLines.lines[i].find(text) != std::string::npos;
    return n;
  };
  passOf(3);
  ASSERT_EQ(st.stations.MoniAllCount(), 3);
  // The disk fills in the middle of the next pass's lines, and stays full.
  disk.room = 150;
  for (int i = 0; i < 4; ++i) passOf(2);
  EXPECT_EQ(st.stations.MoniAllCount(), 11);
  EXPECT_TRUE(st.logWritesFailing);
  EXPECT_GT(st.failedLogWrites, 0);
  EXPECT_EQ(notices("*** DISK FULL: THE LOG FILES ARE NOT WRITTEN ***"), 1);
  // Room again.
  disk.room = static_cast<std::size_t>(-1);
  passOf(1);
  passOf(1);
  EXPECT_FALSE(st.logWritesFailing);
  EXPECT_EQ(notices("*** THE LOG FILES ARE WRITTEN AGAIN ***"), 1);
  EXPECT_EQ(notices("DISK FULL"), 1);
  // Every log line is whole: the records 120 characters, the short lines 90,
  // the raw lines those of the frames; the last station is in every log.
  const auto lines = [&](const std::string& name) {
    std::vector<std::string> out;
    const std::string text = folder.read(name);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      EXPECT_NE(end, std::string::npos) << name << " ends in a torn line";
      if (end == std::string::npos) break;
      out.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return out;
  };
  for (const auto& [name, length] : {std::pair<std::string, std::size_t>{"_LOGL_.TXT", 120}, {"_LOG_.TXT", 90}}) {
    SCOPED_TRACE(name);
    const std::vector<std::string> got = lines(name);
    EXPECT_GE(got.size(), 5u);
    for (const std::string& line : got) EXPECT_EQ(line.size(), length) << line;
    EXPECT_NE(got.back().find("S" + std::to_string(heard - 1) + " "), std::string::npos);
  }
  const std::vector<std::string> raw = lines("_LOGRAW_.TXT");
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const bool header = raw[i].size() > 1 && raw[i][0] == 'S' && raw[i].find("*>APRS <UI>:") != std::string::npos;
    const bool payload = raw[i].rfind("!4903.", 0) == 0;
    EXPECT_TRUE(header || payload) << raw[i];
  }
}

}  // namespace
}  // namespace zeblon::reception

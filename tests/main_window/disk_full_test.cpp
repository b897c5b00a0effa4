// The main window's logs on a small file system that fills: through the real
// receive pass with the host the program installs, every line of every log
// stays whole, the RAW list says once that the disk is full and once that the
// logs are written again, and the title's log field shows it in between.
// Needs a tmpfs of its own: run as root, skipped otherwise.
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

#include "main_window/form1.h"
#include "links/live_radio_link.h"
#include "platform/qtext.h"
#include "tests/reception/fakes.h"
#include "tests/support/program_folder.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;

// A tmpfs of `bytes` mounted on the folder (made when missing), unmounted at the end.
class SmallDisk {
 public:
  SmallDisk(const fs::path& path, std::size_t bytes) : path_(path) {
    std::error_code ec;
    fs::create_directories(path_, ec);
    mounted_ =
        ::geteuid() == 0 && ::mount("tmpfs", path_.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool mounted() const { return mounted_; }
  const fs::path& path() const { return path_; }
  // Fills the disk with a file of its own (FILLER) until no byte more fits.
  void Fill() {
    std::FILE* f = std::fopen((path_ / "FILLER").c_str(), "ab");
    if (f == nullptr) return;
    std::setvbuf(f, nullptr, _IONBF, 0);
    const std::string block(512, 'f');
    while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
    }
    while (std::fwrite("f", 1, 1, f) == 1) {
    }
    std::fclose(f);
  }
  void Free() { fs::remove(path_ / "FILLER"); }

 private:
  fs::path path_;
  bool mounted_ = false;
};

class DiskFullTest : public testing_support::ProgramFolderTest {};

TEST_F(DiskFullTest, LogsStayWholeAndTheUserIsToldOnceEachWay) {
  // The data folder (the map system's folder) on the small disk.
  SmallDisk disk(folder_ / "U33", 512 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << "no tmpfs of its own can be mounted here (needs root)";
  Write("ZEBLON.INI", "TEMP=" + folder_.string() +
                          "\r\nUSER=AB1CD\r\nMODEM=4\r\nMSYS=U33\r\nLANG=11\r\nLOGS=1\r\n"
                          "UTN=5818\r\nUTE=391\r\nUUN=5818\r\nUUE=391\r\nCALL=QW7TK-9\r\nNOAT=1\r\nWVER=WIN10\r\n");
  auto form = std::make_unique<Form1>();
  form->SetRadioLink(std::make_unique<links::LiveRadioLink>());
  form->show();
  PumpUntil([&] { return form->Map().state().MapDrawnOnce == 1; });
  ASSERT_EQ(form->Map().state().MapDrawnOnce, 1);
  const reception::ReceptionState& st = form->Reception();
  ASSERT_TRUE(st.settings.logsOn);
  const fs::path logs = st.settings.dataFolder / "LOG";
  fs::create_directories(logs);

  int heard = 0;
  // Passes of one frame each.
  auto passOf = [&](int frames) {
    for (int i = 0; i < frames; ++i, ++heard) {
      reception::testing::ScriptedSource source;
      const std::string n = std::to_string(heard);
      source.reads.push_back(
          {reception::testing::Monitor("DL" + n + "ABC>APRS", "!5230." + std::to_string(10 + heard % 80) +
                                                                  "N/01320.00E>station number " + n + " on the air"),
           reception::TurnRead::Leave::No});
      form->RunReceivePass(source);
    }
  };
  auto told = [&](const std::string& text) {
    int n = 0;
    for (int i = 0; i <= st.monitorLines.count; ++i) n += st.monitorLines.lines[i].find(text) != std::string::npos;
    return n;
  };
  auto tick = [&] { form->CycleSteps().AprsIsTitleAndAgeing(); };
  auto title = [&] { return platform::FromQ(form->windowTitle()); };

  passOf(3);
  disk.Fill();
  ASSERT_EQ(fs::canonical(st.settings.dataFolder), fs::canonical(disk.path()));
  for (int i = 0; i < 40; ++i) passOf(2);
  tick();
  EXPECT_TRUE(st.logWritesFailing);
  EXPECT_EQ(told("*** DISK FULL: THE LOG FILES ARE NOT WRITTEN ***"), 1);
  EXPECT_NE(title().find("DISK FULL"), std::string::npos) << title();
  const int storedWhileFull = st.stations.MoniAllCount();

  disk.Free();
  for (int i = 0; i < 3; ++i) passOf(1);
  tick();
  EXPECT_FALSE(st.logWritesFailing);
  EXPECT_EQ(told("*** THE LOG FILES ARE WRITTEN AGAIN ***"), 1);
  EXPECT_EQ(told("DISK FULL"), 1);
  EXPECT_EQ(title().find("DISK FULL"), std::string::npos) << title();
  EXPECT_GE(st.stations.MoniAllCount(), storedWhileFull);

  // Every line whole: the records 120 characters, the short lines 90, the raw
  // lines the frames' header and payload lines; the newest station in each.
  std::map<std::string, std::size_t> longest;
  for (const char* name : {"_LOGL_.TXT", "_LOG_.TXT", "_LOGRAW_.TXT"}) {
    SCOPED_TRACE(name);
    std::ifstream in(logs / name, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    std::size_t lines = 0;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2, ++lines) {
      end = text.find("\r\n", at);
      ASSERT_NE(end, std::string::npos);
      const std::string line = text.substr(at, end - at);
      longest[name] = std::max(longest[name], line.size());
      const std::string file = name;
      if (file == "_LOGRAW_.TXT") {
        EXPECT_TRUE(line.rfind("DL", 0) == 0 || line.rfind("!5230.", 0) == 0) << line;
      } else {
        EXPECT_EQ(line.size(), file == "_LOGL_.TXT" ? 120u : 90u) << line;
      }
    }
    EXPECT_NE(text.find("DL" + std::to_string(heard - 1) + "ABC"), std::string::npos);
    std::printf("%s: %zu lines, the longest %zu characters\n", name, lines, longest[name]);
  }
  EXPECT_EQ(longest["_LOGL_.TXT"], 120u);
  EXPECT_EQ(longest["_LOG_.TXT"], 90u);
  form->close();
}

}  // namespace
}  // namespace zeblon

// The radio link's own steps of the main cycle and of the shutdown on a socat
// pseudo-terminal pair: the SCS TNC's keep-alive in HF dual mode, the title's log
// field told through the window port, and the bounded drain of a stuck port.
#include "links/radio_link.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <utility>

#include "links/cycle_tick.h"
#include "platform/process.h"
#include "tests/reception/fakes.h"
#include "tests/support/pty_pair.h"

namespace zeblon::links {
namespace {

namespace fs = std::filesystem;

// A window that does nothing but keep its title, the HF dual switch and the log
// field it was told.
class QuietWindow : public RadioLinkWindow {
 public:
  bool hfDual = false;
  std::string title = "ZEBLON";
  std::optional<std::pair<bool, bool>> logField;

  std::string TxCall() override { return "QW7TK"; }
  bool HfDualOn() override { return hfDual; }
  bool GpsTimeValid() override { return false; }
  std::string WindowTitle() override { return title; }
  void SetWindowTitle(const std::string& t) override { title = t; }
  void LogWriteTitleField(bool failing, bool diskFull) override { logField = {failing, diskFull}; }
  void EndProgram(int) override {}
  void Message(const std::string&, const std::string&) override {}
  void Note(const std::string&, const std::string&) override {}
  void Notice(const std::string&) override {}
  void EngineNotice(const std::string&) override {}
  reception::ChatPanel* ChatLines() override { return nullptr; }
};

class RadioLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zeblon_radio_link_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    link_.Attach(settings_, reception_, window_, host_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  Settings settings_;
  reception::ReceptionState reception_;
  QuietWindow window_;
  reception::testing::FakeHost host_;
  MinimalRadioLink link_;
};

TEST_F(RadioLinkTest, TheKeepAliveGoesOutOnlyInHfDualMode) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  for (const bool hfDual : {true, false}) {
    testing_support::PtyPair line(dir_, "COM1", "TNC");
    ASSERT_TRUE(line.ok());
    ASSERT_TRUE(link_.State().MSComm1.Open(1, "9600,N,8,1", line.ProgramEnd().string()));
    window_.hfDual = hfDual;
    link_.HfDualKeepAlive();
    EXPECT_EQ(line.Read(300), hfDual ? "\x1B%AU1\r" : "") << "HF dual " << hfDual;
    link_.State().MSComm1.Close();
  }
}

TEST_F(RadioLinkTest, TheTitleStepTellsTheWindowWhetherTheLogsAreWritten) {
  struct Case {
    bool failing;
    int error;
    std::pair<bool, bool> told;
  } const cases[] = {{false, 0, {false, false}}, {true, ENOSPC, {true, true}}, {true, EACCES, {true, false}}};
  for (const Case& c : cases) {
    reception_.logWritesFailing = c.failing;
    reception_.logWriteError = c.error;
    window_.logField.reset();
    link_.TitleFieldsAndAgeing();
    EXPECT_EQ(window_.logField, c.told) << c.error;
  }
}

TEST_F(RadioLinkTest, TheSerialDrainAtShutdownIsBounded) {
  if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
  // Nobody reads the far end: the pair's buffers fill and the output never drains.
  testing_support::PtyPair line(dir_, "ttyA", "ttyB");
  ASSERT_TRUE(line.ok());
  ASSERT_TRUE(link_.State().MSComm1.Open(1, "9600,N,8,1", line.ProgramEnd().string()));
  link_.State().MSComm1.Write(std::string(1 << 20, 'x'), 500);
  QElapsedTimer t;
  t.start();
  link_.DrainAndClosePorts();
  EXPECT_LT(t.elapsed(), 6000);
  EXPECT_FALSE(link_.State().MSComm1.IsOpen());
}

}  // namespace
}  // namespace zeblon::links

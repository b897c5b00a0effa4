// The radio link and GPS port bring-up by interface kind.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpServer>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <thread>
#include <unistd.h>

#include "links/radio_bringup.h"
#include "platform/process.h"
#include "platform/serial_port.h"

namespace zeblon::links {
namespace {

namespace fs = std::filesystem;

TEST(RadioBringUp, TncStepsByKind) {
  struct Case {
    int kind;
    std::string bytes;
    double waits;
  };
  const Case cases[] = {
      {1, "ECHO ON\rK\r", 0.2 + 1.0 + 0.2},
      {5, "", 1.0},
      {6, "K\r", 1.0 + 0.2},
      {0, "", 0},
      {3, "", 0},
      {4, "", 0},
      {2, "", 0},
  };
  for (const Case& c : cases) {
    const TncCommandSet set = TncBringUpSet(c.kind, "1200");
    EXPECT_EQ(SentBytes(set), c.bytes) << c.kind;
    EXPECT_NEAR(TotalWaitSeconds(set), c.waits, 1e-6) << c.kind;
    if (!set.empty()) {
      EXPECT_EQ(set.front().action, TncAction::Open);
      EXPECT_EQ(set.front().bytes, "1200");
    }
    for (const TncStep& st : set) EXPECT_FALSE(st.withEvents);  // the start-up's waits let no events run
  }
}

TEST(RadioBringUp, EnginePortFromHostp) {
  const std::pair<const char*, int> cases[] = {{"8000", 8000},   {" 8000 ", 8000}, {"65535", 65535}, {"40000", 40000},
                                               {"65536", 0},     {"0", 0},         {"-1", 0},        {"abc", 0},
                                               {"8000.5", 8000}, {"8001.5", 8002}};
  for (const auto& [text, port] : cases) EXPECT_EQ(AgwPortFrom(text), port) << text;
}

TEST(RadioBringUp, EngineMissingAtTheStart) {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  const int port = probe.serverPort();
  probe.close();
  Settings s;
  s.AgwHost = "127.0.0.1";
  s.AgwPort = std::to_string(port);
  s.GpsSource = "0";
  {  // Another computer's engine: the program ends after its message.
    s.InterfaceKind = 3;
    AgwTcpLink engine;
    BringUpPorts ports;
    ports.engine = &engine;
    const BringUpResult r = BringUpRadioLink(s, "N0CALL", ports);
    EXPECT_TRUE(r.endProgram);
    EXPECT_EQ(r.message, kAgwHostNotFound);
    EXPECT_EQ(r.messageTitle, kAgwTitle);
  }
  {  // The engine on this computer: the start goes on, the upkeep keeps trying.
    s.InterfaceKind = 0;
    AgwTcpLink engine;
    BringUpPorts ports;
    ports.engine = &engine;
    const BringUpResult r = BringUpRadioLink(s, "", ports);
    EXPECT_TRUE(r.engineTried);
    EXPECT_EQ(r.engine, AgwTcpLink::ConnectResult::Pending);  // not waited for
    EXPECT_FALSE(r.endProgram);
    EXPECT_TRUE(r.message.empty());
  }
}

class BringUpLine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
    dir_ = fs::temp_directory_path() / ("zeblon_bringup_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    setenv("ZEBLON_PROGRAM_FOLDER", dir_.c_str(), 1);
    socat_.start("socat", {"pty,raw,echo=0,link=" + QString::fromStdString((dir_ / "COM7").string()),
                           "pty,raw,echo=0,link=" + QString::fromStdString((dir_ / "TNC").string())});
    ASSERT_TRUE(socat_.waitForStarted(5000));
    for (int i = 0; i < 200 && !(fs::exists(dir_ / "COM7") && fs::exists(dir_ / "TNC")); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(dir_ / "TNC"));
  }
  void TearDown() override {
    if (socat_.state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(socat_.processId()), SIGTERM);
      socat_.waitForFinished(3000);
    }
    unsetenv("ZEBLON_PROGRAM_FOLDER");
    fs::remove_all(dir_);
  }
  fs::path dir_;
  QProcess socat_;
};

TEST_F(BringUpLine, Pk232PortOpenedAndTold) {
  const int far = ::open((dir_ / "TNC").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(far, 0);
  Settings s;
  s.InterfaceKind = 1;
  s.TncComPort = 7;
  s.TncBaud = "1200";
  s.GpsSource = "8 SAVE";  // a GPS port that is not there
  s.GpsBaud = "4800";
  platform::SerialPort tnc, gps;
  BringUpPorts ports;
  ports.tnc = &tnc;
  ports.gps = &gps;
  ports.wait = [](float seconds, bool) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds / 20)); };
  const BringUpResult r = BringUpRadioLink(s, "N0CALL", ports);
  EXPECT_TRUE(r.tncOpened);
  EXPECT_TRUE(tnc.IsOpen());  // open for the receive pass
  EXPECT_TRUE(r.gpsTried);
  EXPECT_FALSE(r.gpsOpened);
  ASSERT_EQ(r.portErrors.size(), 1u);
  EXPECT_EQ(r.portErrors[0].rfind("GPS PORT COM8", 0), 0u);
  std::string got;
  for (int i = 0; i < 100 && got.size() < 11; ++i) {
    char buf[64];
    const ssize_t n = ::read(far, buf, sizeof buf);
    if (n > 0) got.append(buf, static_cast<std::size_t>(n));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(got, "ECHO ON\rK\r");
  ::close(far);
  // A GPS source naming a drop file leaves the GPS port closed; a second
  // bring-up closes and reopens the TNC port.
  s.GpsSource = "C:\\GPS\\DROP.TXT";
  s.InterfaceKind = 5;
  s.ScsComPort = 9;
  const BringUpResult r2 = BringUpRadioLink(s, "N0CALL", ports);
  EXPECT_FALSE(r2.gpsTried);
  EXPECT_FALSE(r2.tncOpened);  // no COM9 here
  ASSERT_EQ(r2.portErrors.size(), 1u);
  EXPECT_EQ(r2.portErrors[0].rfind("CANNOT OPEN COM9 FOR THE SCS TNC", 0), 0u);
}

}  // namespace
}  // namespace zeblon::links

// The packet engine's TCP host frames and our client of them, against a small
// engine of the test's own on 127.0.0.1 (tests/support/agw_engine.h; the real
// engine is in direwolf_test).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "links/agw_frame.h"
#include "links/agw_tcp_link.h"
#include "links/transmit.h"
#include "tests/support/agw_engine.h"

namespace zeblon::links {
namespace {

using namespace std::string_literals;

std::string Field(const std::string& call) { return call + std::string(10 - call.size(), '\0'); }

TEST(AgwFrame, HeaderLayout) {
  const auto f = BuildAgwFrame('X', 1, "N0CALL-10", "APRS");
  ASSERT_TRUE(f);
  const std::string expected = "\x01\0\0\0X\0\0\0"s + Field("N0CALL-10") + Field("APRS") + "\0\0\0\0ZEBL"s;
  EXPECT_EQ(*f, expected);
  EXPECT_EQ(f->size(), kAgwHeaderSize);
}

TEST(AgwFrame, CallsLongerThanTheirFieldAreRefused) {
  EXPECT_FALSE(BuildAgwFrame('X', 0, "ABCDEFGHIJK", "APRS"));
  EXPECT_FALSE(BuildAgwFrame('V', 0, "N0CALL", "DESTINATION"));
  EXPECT_TRUE(BuildAgwFrame('X', 0, "ABCDEFGHIJ", "APRS"));
  EXPECT_FALSE(BuildUiFrameData("WIDE1-1,VERYLONGCALL", "x"));
}

TEST(AgwFrame, UiFrameData) {
  struct Case {
    const char* path;
    std::string data;
  };
  const Case cases[] = {
      {"WIDE1-1,WIDE2-1", "\x02"s + Field("WIDE1-1") + Field("WIDE2-1") + "info"},
      {"", "\x00"s + "info"},
      {"  WIDE1-1  ", "\x01"s + Field("WIDE1-1") + "info"},
      // Empty elements are left out: the count equals the calls that follow.
      {"WIDE1-1,,WIDE2-1,", "\x02"s + Field("WIDE1-1") + Field("WIDE2-1") + "info"},
      {",", "\x00"s + "info"},
  };
  for (const Case& c : cases) {
    const auto d = BuildUiFrameData(c.path, "info");
    ASSERT_TRUE(d) << c.path;
    EXPECT_EQ(*d, c.data) << c.path;
  }
  const auto frame = BuildAgwFrame('V', 0, "N0CALL", "APZEB", *BuildUiFrameData("WIDE1-1,WIDE2-1", "hello"));
  ASSERT_TRUE(frame);
  EXPECT_EQ(static_cast<unsigned char>((*frame)[28]), 21u + 5u);  // DataLen = 21 + text
}

TEST(AgwFrame, RadioPortByMode) {
  EXPECT_EQ(AgwRadioPortFor("1200", 0), 1);
  EXPECT_EQ(AgwRadioPortFor("300", 1), 0);
  EXPECT_EQ(AgwRadioPortFor("300R", 1), 0);
  EXPECT_EQ(AgwRadioPortFor("9600", 1), 1);
  EXPECT_EQ(AgwRadioPortFor("9600", 0), 0);
}

std::string MonitorData(const std::string& header, const std::string& info) {
  return " 1:Fm " + header + " <UI pid=F0 Len=" + std::to_string(info.size()) + " PF=0 >[12:00:00]\r" + info + "\r\0"s;
}

TEST(AgwFrame, ReaderReassemblesByLength) {
  std::string stream;
  std::vector<std::string> infos = {"first", std::string(3000, 'x'), "th\0ird"s};
  for (const auto& i : infos) stream += *BuildAgwFrame('U', 0, "SRC", "APRS", MonitorData("SRC To APRS", i));
  // Every way of cutting the stream gives the same frames.
  for (std::size_t step : {std::size_t{1}, std::size_t{7}, std::size_t{36}, std::size_t{37}, stream.size()}) {
    AgwFrameReader r;
    std::vector<AgwFrame> got;
    for (std::size_t at = 0; at < stream.size(); at += step) {
      ASSERT_TRUE(r.Feed(std::string_view(stream).substr(at, step)));
      while (r.HasFrame()) got.push_back(r.Take());
    }
    ASSERT_EQ(got.size(), infos.size()) << step;
    for (std::size_t i = 0; i < infos.size(); ++i) {
      EXPECT_EQ(got[i].kind, 'U');
      EXPECT_EQ(got[i].callFrom, "SRC");
      EXPECT_EQ(got[i].data, MonitorData("SRC To APRS", infos[i]));
    }
    EXPECT_EQ(r.Pending(), 0u);
  }
}

TEST(AgwFrame, ReaderRefusesAnInsaneLength) {
  std::string head = *BuildAgwFrame('U', 0, "SRC", "APRS");
  head[31] = '\x7f';  // a length of about two gigabytes
  AgwFrameReader r;
  EXPECT_FALSE(r.Feed(head));
  EXPECT_FALSE(r.HasFrame());
  EXPECT_EQ(r.Pending(), 0u);
}

TEST(AgwFrame, MonitorTextEndsInCrCr) {
  EXPECT_EQ(AgwMonitorText(" 1:Fm A To B <UI >\rabc\r\0"s), " 1:Fm A To B <UI >\rabc\r\r");
  EXPECT_EQ(AgwMonitorText(" 1:Fm A To B <UI >\rabc\r\r"), " 1:Fm A To B <UI >\rabc\r\r");
  EXPECT_EQ(AgwMonitorText("abc\r\0\0\0"s), "abc\r\r");
}

// The engine of the test: answers the registration, records what it gets,
// sends what the test gives it.
using FakeEngine = testing_support::AgwEngine;

template <typename Pred>
bool RunUntil(Pred pred, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

TEST(AgwTcpLink, RegistersAndSwitchesMonitoringOn) {
  FakeEngine engine;
  AgwTcpLink link;
  ASSERT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL-5"), AgwTcpLink::ConnectResult::Registered);
  EXPECT_TRUE(link.DataPending());
  ASSERT_TRUE(RunUntil([&] { return engine.Count('m') == 1; }));
  EXPECT_EQ(engine.received[0].kind, 'X');
  EXPECT_EQ(engine.received[0].callFrom, "N0CALL-5");
  EXPECT_EQ(engine.received[0].callTo, "APRS");
}

TEST(AgwTcpLink, FailuresOfTheStart) {
  {  // No engine listening.
    FakeEngine engine;
    const int port = engine.port();
    engine.Close();
    AgwTcpLink link;
    EXPECT_EQ(link.Connect("127.0.0.1", port, "N0CALL"), AgwTcpLink::ConnectResult::HostNotFound);
    EXPECT_FALSE(link.DataPending());
  }
  {  // The engine says "not registered": known at once, without the full wait.
    FakeEngine engine;
    engine.registrationAnswer = '\0';
    AgwTcpLink link;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL"), AgwTcpLink::ConnectResult::NotRegistered);
    EXPECT_LT(t.elapsed(), 2000);
  }
  {  // The engine never answers: the registration's time limit.
    FakeEngine engine;
    engine.answerRegistration = false;
    AgwTcpLink link;
    link.SetLimits({2000, 300, 5000});
    EXPECT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL"), AgwTcpLink::ConnectResult::NotRegistered);
  }
  {  // A call that does not fit the frame.
    FakeEngine engine;
    AgwTcpLink link;
    EXPECT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL-1234"), AgwTcpLink::ConnectResult::CallRefused);
    EXPECT_FALSE(engine.HasClient());
  }
  {  // Ports outside 1..65535.
    AgwTcpLink link;
    EXPECT_EQ(link.Connect("127.0.0.1", 70000, "N0CALL"), AgwTcpLink::ConnectResult::HostNotFound);
  }
}

// A local port that swallows connection attempts: its listener's queue is full
// and it never accepts, so a new connection's SYN goes unanswered.
class SwallowingPort {
 public:
  SwallowingPort() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(listener_, 0) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
      return;
    port_ = ntohs(a.sin_port);
    for (int i = 0; i < 4; ++i) {
      const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      ::connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a);
      fillers_.push_back(c);
    }
  }
  ~SwallowingPort() {
    for (int c : fillers_) ::close(c);
    ::close(listener_);
  }
  int port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

// The start-up's connect to the engine on this computer does not wait for the
// engine's answer (an engine may read a new client's commands a second late):
// the link comes up when the answer arrives, and the hook tells every change.
TEST(AgwTcpLink, ConnectInBackgroundRegistersWhenTheEngineAnswers) {
  FakeEngine engine;
  engine.answerRegistration = false;
  AgwTcpLink link;
  std::vector<bool> told;
  link.SetUpDownHook([&](bool up) { told.push_back(up); });
  ASSERT_EQ(link.ConnectInBackground("127.0.0.1", engine.port(), "N0CALL"), AgwTcpLink::ConnectResult::Pending);
  EXPECT_FALSE(link.DataPending());
  ASSERT_TRUE(RunUntil([&] { return engine.Count('X') == 1; }));
  EXPECT_FALSE(link.DataPending());
  EXPECT_TRUE(told.empty());
  engine.Send(*BuildAgwFrame('X', 0, "N0CALL", "", "\x01"));
  ASSERT_TRUE(RunUntil([&] { return link.DataPending(); }));
  ASSERT_TRUE(RunUntil([&] { return engine.Count('m') == 1; }));
  EXPECT_EQ(told, std::vector<bool>{true});
  engine.DropClient();
  ASSERT_TRUE(RunUntil([&] { return !link.DataPending(); }));
  EXPECT_EQ(told, (std::vector<bool>{true, false}));
  // What is known before any attempt is said at once.
  EXPECT_EQ(link.ConnectInBackground("127.0.0.1", engine.port(), "N0CALL-1234"),
            AgwTcpLink::ConnectResult::CallRefused);
  EXPECT_EQ(link.ConnectInBackground("127.0.0.1", 70000, "N0CALL"), AgwTcpLink::ConnectResult::HostNotFound);
}

// A background attempt that fails says so once, by itself, without the main
// cycle's upkeep: refused at once, or when its connection or registration runs
// past its limit. An attempt given up by Disconnect is no failure.
TEST(AgwTcpLink, AFailedBackgroundAttemptIsToldByItself) {
  FakeEngine refusing;
  const int refusedPort = refusing.port();
  refusing.Close();
  SwallowingPort swallowing;
  ASSERT_GT(swallowing.port(), 0);
  FakeEngine silent;
  silent.answerRegistration = false;
  struct Case {
    const char* what;
    int port;
    int atLeastMs;
  };
  for (const Case& c : {Case{"refused", refusedPort, 0}, Case{"swallowed", swallowing.port(), 250},
                        Case{"not registered", silent.port(), 350}}) {
    SCOPED_TRACE(c.what);
    AgwTcpLink link;
    link.SetLimits({300, 400, 60000});
    int failures = 0;
    link.SetAttemptFailedHook([&] { ++failures; });
    QElapsedTimer t;
    t.start();
    ASSERT_EQ(link.ConnectInBackground("127.0.0.1", c.port, "N0CALL"), AgwTcpLink::ConnectResult::Pending);
    EXPECT_TRUE(RunUntil([&] { return failures > 0; }, 3000));
    EXPECT_GE(t.elapsed(), c.atLeastMs);
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(link.state(), AgwTcpLink::State::Down);
  }
  AgwTcpLink link;
  int failures = 0;
  link.SetAttemptFailedHook([&] { ++failures; });
  ASSERT_EQ(link.ConnectInBackground("127.0.0.1", silent.port(), "N0CALL"), AgwTcpLink::ConnectResult::Pending);
  ASSERT_TRUE(RunUntil([&] { return silent.Count('X') == 2; }));
  link.Disconnect(0);
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(failures, 0);
}

TEST(AgwTcpLink, ConnectHasATimeLimit) {
  // A connection attempt that is never answered: the start never hangs.
  SwallowingPort swallowing;
  ASSERT_GT(swallowing.port(), 0);
  AgwTcpLink link;
  link.SetLimits({300, 300, 5000});
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(link.Connect("127.0.0.1", swallowing.port(), "N0CALL"), AgwTcpLink::ConnectResult::HostNotFound);
  EXPECT_GE(t.elapsed(), 250);  // the attempt was swallowed, not refused
  EXPECT_LT(t.elapsed(), 3000);
}

TEST(AgwTcpLink, OnlyMonitorFramesReachTheSink) {
  FakeEngine engine;
  AgwTcpLink link;
  std::vector<std::string> texts;
  link.SetMonitorSink([&](std::string t) { texts.push_back(std::move(t)); });
  ASSERT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL"), AgwTcpLink::ConnectResult::Registered);
  ASSERT_TRUE(RunUntil([&] { return engine.Count('m') == 1; }));
  std::string burst;
  burst += *BuildAgwFrame('U', 0, "SRC", "APRS", MonitorData("SRC To APRS Via WIDE1-1", "!5930.00N/01800.00E>a"));
  burst += *BuildAgwFrame('R', 0, "", "", std::string(8, '\x02'));  // a version answer
  burst += *BuildAgwFrame('T', 0, "N0CALL", "APZEB", MonitorData("N0CALL To APZEB", "=own"));
  burst += *BuildAgwFrame('U', 0, "SRC2", "APRS", MonitorData("SRC2 To APRS", "b"));
  // Coalesced and split: the first 50 bytes, then the rest in one arrival.
  engine.Send(burst.substr(0, 50));
  ASSERT_TRUE(RunUntil([&] { return link.DataPending(); }));
  engine.Send(burst.substr(50));
  ASSERT_TRUE(RunUntil([&] { return texts.size() == 3; }));
  EXPECT_EQ(texts[0], AgwMonitorText(MonitorData("SRC To APRS Via WIDE1-1", "!5930.00N/01800.00E>a")));
  EXPECT_EQ(texts[1].substr(texts[1].size() - 7), "\r=own\r\r");  // the own frame, as the engine sent it
  EXPECT_EQ(texts[2].substr(texts[2].size() - 4), "\rb\r\r");
}

TEST(AgwTcpLink, SendsUiFramesAndNothingWhileDown) {
  FakeEngine engine;
  AgwTcpLink link;
  EXPECT_FALSE(link.SendUiFrame("n0call", "apzeb", "WIDE1-1", "x", "1200"));  // before the start
  ASSERT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL"), AgwTcpLink::ConnectResult::Registered);
  EXPECT_TRUE(link.SendUiFrame(" n0call ", "apzeb", "WIDE1-1,WIDE2-1", "=5930.00N/01800.00E>hi", "1200"));
  EXPECT_FALSE(link.SendUiFrame("n0call", "apzeb", "WIDE1-1,TOOLONGACALL", "x", "1200"));
  ASSERT_TRUE(RunUntil([&] { return engine.Count('V') == 1; }));
  const AgwFrame& v = engine.received.back();
  EXPECT_EQ(v.port, 1);
  EXPECT_EQ(v.callFrom, "N0CALL");
  EXPECT_EQ(v.callTo, "APZEB");
  EXPECT_EQ(v.data, "\x02"s + Field("WIDE1-1") + Field("WIDE2-1") + "=5930.00N/01800.00E>hi");
  link.Disconnect(0.2f);
  ASSERT_TRUE(RunUntil([&] { return engine.Count('x') == 1; }));
  EXPECT_FALSE(link.SendUiFrame("N0CALL", "APZEB", "", "x", "1200"));
  EXPECT_EQ(engine.Count('V'), 1);
}

TEST(AgwTcpLink, LossIsToldAndTheUpkeepReconnects) {
  FakeEngine engine;
  AgwTcpLink link;
  link.SetLimits({1000, 1000, 100});
  std::vector<std::string> status;
  std::vector<std::string> texts;
  link.SetStatusHook([&](const std::string& s) { status.push_back(s); });
  link.SetMonitorSink([&](std::string t) { texts.push_back(std::move(t)); });
  ASSERT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL"), AgwTcpLink::ConnectResult::Registered);
  ASSERT_TRUE(RunUntil([&] { return engine.Count('m') == 1; }));
  engine.Send(*BuildAgwFrame('U', 0, "SRC", "APRS", MonitorData("SRC To APRS", "one")));
  ASSERT_TRUE(RunUntil([&] { return texts.size() == 1; }));

  engine.DropClient();
  ASSERT_TRUE(RunUntil([&] { return !link.DataPending(); }));
  ASSERT_EQ(status.size(), 1u);
  EXPECT_EQ(status[0], kAgwLinkLost);
  // The main cycle's upkeep brings it back.
  ASSERT_TRUE(RunUntil([&] {
    link.Upkeep();
    return link.DataPending();
  }));
  ASSERT_TRUE(RunUntil([&] { return engine.Count('m') == 2; }));
  EXPECT_EQ(status.back(), kAgwLinkRestored);
  EXPECT_EQ(link.Reconnections(), 1);
  engine.Send(*BuildAgwFrame('U', 0, "SRC", "APRS", MonitorData("SRC To APRS", "two")));
  ASSERT_TRUE(RunUntil([&] { return texts.size() == 2; }));
}

TEST(AgwTcpLink, SendErrorMarksTheLinkDown) {
  auto engine = std::make_unique<FakeEngine>();
  AgwTcpLink link;
  std::vector<std::string> status;
  link.SetStatusHook([&](const std::string& s) { status.push_back(s); });
  ASSERT_EQ(link.Connect("127.0.0.1", engine->port(), "N0CALL"), AgwTcpLink::ConnectResult::Registered);
  engine.reset();  // the engine goes away
  ASSERT_TRUE(RunUntil([&] {
    link.SendUiFrame("N0CALL", "APZEB", "", "x", "1200");
    return !link.DataPending();
  }));
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status[0], kAgwLinkLost);
}

TEST(TransmitInfoField, EngineKindsAndTheirRadioPort) {
  // The engine on this computer: port 1 for "1200", 0 for every other mode. The
  // engine on another computer: "300"/"300R" 0, "1200" 1, other modes keep the last.
  struct Case {
    int kind;
    const char* mode;
    int port;
  };
  const Case cases[] = {{0, "1200", 1}, {0, "9600", 0}, {3, "1200", 1},
                        {3, "9600", 1}, {3, "300R", 0}, {3, "19200", 0}};
  FakeEngine engine;
  AgwTcpLink link;
  ASSERT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL"), AgwTcpLink::ConnectResult::Registered);
  for (const Case& c : cases) {
    TransmitLink t;
    t.interfaceKind = c.kind;
    t.engine = &link;
    t.txCall = "N0CALL";
    t.destination = "APZEB";
    t.path = "WIDE1-1";
    t.radioMode = c.mode;
    t.pause = [](float) {};
    const int before = engine.Count('V');
    ASSERT_TRUE(TransmitInfoField(t, ">status"));
    ASSERT_TRUE(RunUntil([&] { return engine.Count('V') == before + 1; }));
    EXPECT_EQ(engine.received.back().port, c.port) << c.kind << " " << c.mode;
    EXPECT_EQ(engine.received.back().data, "\x01"s + Field("WIDE1-1") + ">status");
  }
}

}  // namespace
}  // namespace zeblon::links

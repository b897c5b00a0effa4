// The APRS-IS link: login line, answer, title field and upkeep decisions over a
// scripted socket; then the real TCP link against a small APRS-IS line server
// on 127.0.0.1, and the receive pass gating through it.
#include "links/aprs_is_link.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../reception/fakes.h"
#include "aprs_is_server.h"

namespace zeblon::links {
namespace {

using Clock = AprsIsLink::Clock;
using reception::InterfaceKind;

AprsIsSettings Settings() {
  AprsIsSettings s;
  s.interfaceKind = InterfaceKind::Pk232;
  s.igateOn = true;
  s.server = "127.0.0.1";
  s.port = "14580";
  s.userCall = "N0CALL";
  s.passcode = ComputeAprsIsPasscode("N0CALL");
  return s;
}

TEST(AprsIsLogin, LineAndAnswer) {
  EXPECT_EQ(AprsIsLoginLine(" N0CALL ", "13023", "8.08"),
            "user N0CALL pass 13023 vers ZEBLON 8.08 filter b/ZZ9ZZZ\r\n");
  struct Case {
    const char* received;
    LoginAnswer want;
  };
  const Case cases[] = {
      {"# aprsc 2.1\r\n# logresp N0CALL verified, server T2TEST\r\n", LoginAnswer::Verified},
      {"# logresp N0CALL unverified, server T2TEST\r\n", LoginAnswer::Unverified},
      {"# logresp N0CALL-1 verified, server T2TEST\r\n", LoginAnswer::None},  // another call
      {"# logresp N0CAL verified\r\n", LoginAnswer::None},
      {"# logresp N0CALL verif", LoginAnswer::None},
      {"", LoginAnswer::None},
  };
  for (const Case& c : cases) EXPECT_EQ(FindLoginAnswer(c.received, " N0CALL "), c.want) << c.received;
}

TEST(AprsIsLogin, SettingsFromTheMainWindow) {
  zeblon::Settings m;
  m.InterfaceKind = 5;
  m.IGateOn = 1;
  m.AprsIsServer = "rotate.aprs2.net";
  m.AprsIsPort = "14580";
  m.UserCall = "QW7TK";
  const AprsIsSettings a = AprsIsSettingsFrom(m, "1234", "8.08");
  EXPECT_EQ(a.interfaceKind, InterfaceKind::ScsTnc);
  EXPECT_TRUE(a.igateOn);
  EXPECT_EQ(a.server, "rotate.aprs2.net");
  EXPECT_EQ(a.port, "14580");
  EXPECT_EQ(a.userCall, "QW7TK");
  EXPECT_EQ(a.passcode, "1234");
  EXPECT_EQ(AprsIsLoginLine(a.userCall, a.passcode, a.version),
            "user QW7TK pass 1234 vers ZEBLON 8.08 filter b/ZZ9ZZZ\r\n");
}

TEST(AprsIsLogin, PortAndWhenTheLinkIsKept) {
  EXPECT_EQ(AprsIsPortNumber("14580"), 14580);
  EXPECT_EQ(AprsIsPortNumber(" 65535 "), 65535);
  EXPECT_EQ(AprsIsPortNumber("65536"), 0);
  EXPECT_EQ(AprsIsPortNumber("14580x"), 14580);
  EXPECT_EQ(AprsIsPortNumber("x"), 0);
  AprsIsSettings s = Settings();
  for (InterfaceKind k :
       {InterfaceKind::AgwLocal, InterfaceKind::Pk232, InterfaceKind::ScsTnc, InterfaceKind::ScsPtc}) {
    s.interfaceKind = k;
    EXPECT_TRUE(AprsIsLinkKept(s));
  }
  for (InterfaceKind k : {InterfaceKind::AgwRemote, InterfaceKind::NoRadio}) {
    s.interfaceKind = k;
    EXPECT_FALSE(AprsIsLinkKept(s));
  }
  s.interfaceKind = InterfaceKind::Pk232;
  s.passcode = "0";
  EXPECT_FALSE(AprsIsLinkKept(s));
}

TEST(AprsIsLogin, TitleField) {
  const std::string head = "ZEBLON 8.08  QW7TK";
  auto at76 = [](const std::string& t) { return t.size() > 75 ? t.substr(75) : std::string(); };
  const std::string connected = WithIGateTitleField(head, true, true);
  EXPECT_EQ(connected.substr(0, head.size()), head);
  EXPECT_EQ(connected.size(), 90u);
  EXPECT_EQ(at76(connected), "IGate connected");
  EXPECT_EQ(at76(WithIGateTitleField(connected, false, true)), "IGate");
  EXPECT_EQ(WithIGateTitleField(connected, false, false), head);
  EXPECT_EQ(at76(WithIGateTitleField(head, true, false)), "      connected");
  EXPECT_EQ(WithIGateTitleField(head, false, true), head);  // nothing written yet stays blank
  // Once there, "IGate connected" is left as it is.
  EXPECT_EQ(WithIGateTitleField(connected, true, false), connected);
}

// ---------------------------------------------------------------------------
// The upkeep over a scripted socket.

class ScriptedSocket : public AprsIsSocket {
 public:
  bool connected = false;
  bool connecting = false;
  bool sendFails = false;
  int connects = 0;
  std::vector<std::string> sent;
  bool Connected() const override { return connected; }
  void Close() override { connected = connecting = false; }
  void Connect(const std::string&, int) override {
    ++connects;
    connecting = true;
  }
  bool Send(const std::string& text) override {
    if (!connected || sendFails) return false;
    sent.push_back(text);
    return true;
  }
  // Between ticks: a connection in progress completes.
  void Settle() {
    if (connecting) connected = true;
    connecting = false;
  }
  void Arrive(const std::string& text) { onData(text); }
};

class UpkeepTest : public ::testing::Test {
 protected:
  UpkeepTest() {
    auto sock = std::make_unique<ScriptedSocket>();
    socket = sock.get();
    AprsIsLink::Hooks hooks;
    hooks.message = [this](const std::string& m) { messages.push_back(m); };
    hooks.notice = [this](const std::string& m) { notices.push_back(m); };
    link = std::make_unique<AprsIsLink>(hooks, std::move(sock));
  }
  void Tick(double atSeconds) {
    link->Upkeep(settings, title,
                 Clock::time_point(std::chrono::milliseconds(static_cast<long long>(atSeconds * 1000))));
    socket->Settle();
  }
  std::string Field() const { return title.size() > 75 ? title.substr(75) : std::string(); }
  ScriptedSocket* socket;
  std::unique_ptr<AprsIsLink> link;
  AprsIsSettings settings = Settings();
  std::string title = "ZEBLON";
  std::vector<std::string> messages, notices;
};

TEST_F(UpkeepTest, ConnectLoginOnceThenVerified) {
  Tick(6);
  EXPECT_EQ(socket->connects, 1);
  EXPECT_TRUE(socket->sent.empty());
  Tick(12);
  // Before the login counts nothing is gated, and the link stays as it is.
  EXPECT_FALSE(link->SendGatedLine("AB1CD>APRS,qAR,QW7TK:>status\r\n"));
  EXPECT_TRUE(socket->connected);
  ASSERT_EQ(socket->sent.size(), 1u);
  EXPECT_EQ(socket->sent[0], "user N0CALL pass 13023 vers ZEBLON 8.08 filter b/ZZ9ZZZ\r\n");
  Tick(18);  // no answer yet: the login is not sent again
  EXPECT_EQ(socket->sent.size(), 1u);
  EXPECT_FALSE(link->Verified());
  socket->Arrive("# aprsc 2.1\r\n# logresp N0CALL ver");
  Tick(24);
  EXPECT_FALSE(link->Verified());
  socket->Arrive("ified, server TEST\r\n");
  Tick(30);
  EXPECT_TRUE(link->Verified());
  EXPECT_EQ(Field(), "IGate connected");
  EXPECT_TRUE(link->ReceiveBuffer().buffer.empty());
  EXPECT_EQ(socket->connects, 1);
  EXPECT_EQ(socket->sent.size(), 1u);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(notices.empty());
}

TEST_F(UpkeepTest, IGateOffClosesAndOtherKindsLeaveTheLinkAlone) {
  Tick(6);
  Tick(12);
  socket->Arrive("# logresp N0CALL verified, server TEST\r\n");
  Tick(18);
  ASSERT_TRUE(link->Verified());
  settings.igateOn = false;
  Tick(24);
  EXPECT_FALSE(link->Verified());
  EXPECT_FALSE(socket->connected);
  EXPECT_EQ(title, "ZEBLON");
  Tick(30);
  EXPECT_EQ(socket->connects, 1);

  // The engine over TCP, no radio, no passcode: nothing happens at all.
  for (auto change : {+[](AprsIsSettings& s) { s.interfaceKind = InterfaceKind::AgwRemote; },
                      +[](AprsIsSettings& s) { s.interfaceKind = InterfaceKind::NoRadio; },
                      +[](AprsIsSettings& s) { s.passcode = "0"; }}) {
    settings = Settings();
    change(settings);
    Tick(40);
    EXPECT_EQ(socket->connects, 1);
  }
}

TEST_F(UpkeepTest, UnverifiedAnswerStopsTheIGateWithAMessage) {
  Tick(6);
  Tick(12);
  socket->Arrive("# logresp N0CALL unverified, server TEST\r\n");
  Tick(18);
  EXPECT_FALSE(link->Verified());
  EXPECT_TRUE(link->StoppedUnverified());
  EXPECT_FALSE(socket->connected);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("DID NOT VERIFY THE LOGIN OF N0CALL"), std::string::npos);
  EXPECT_EQ(title, "ZEBLON");
  for (int t = 24; t < 120; t += 6) Tick(t);
  EXPECT_EQ(socket->connects, 1);  // stays stopped
  EXPECT_EQ(messages.size(), 1u);
  // The IGate switched off and on again tries anew.
  settings.igateOn = false;
  Tick(126);
  settings.igateOn = true;
  Tick(132);
  EXPECT_EQ(socket->connects, 2);
  EXPECT_FALSE(link->StoppedUnverified());
}

TEST_F(UpkeepTest, NoAnswerReconnectsAfterTheLimit) {
  Tick(6);
  Tick(12);  // login sent
  for (int t = 18; t <= 72; t += 6) Tick(t);
  EXPECT_EQ(socket->connects, 1);
  Tick(73);  // 61 s after the login
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "NO LOGIN ANSWER FROM APRS-IS SERVER 127.0.0.1");
  Tick(79);
  EXPECT_EQ(socket->connects, 2);
  Tick(85);
  EXPECT_EQ(socket->sent.size(), 2u);  // one login per connection
}

TEST_F(UpkeepTest, DroppedLinkIsReportedAndReopened) {
  Tick(6);
  Tick(12);
  socket->Arrive("# logresp N0CALL verified, server TEST\r\n");
  Tick(18);
  ASSERT_TRUE(link->Verified());
  socket->connected = false;  // the server closed the link
  Tick(24);
  EXPECT_FALSE(link->Verified());
  EXPECT_EQ(Field(), "IGate");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "APRS-IS SERVER 127.0.0.1 CLOSED THE LINK");
  EXPECT_EQ(socket->connects, 2);
  // A server that refuses: every tick tries again, said only once.
  for (int t = 30; t < 60; t += 6) {
    socket->connected = socket->connecting = false;
    link->Upkeep(settings, title, Clock::time_point(std::chrono::seconds(t)));
  }
  EXPECT_EQ(socket->connects, 7);
  EXPECT_EQ(notices.size(), 1u);
}

TEST_F(UpkeepTest, DuplicateListAgedOncePerVerifiedTick) {
  Tick(6);
  Tick(12);
  socket->Arrive("# logresp N0CALL verified, server TEST\r\n");
  Tick(18);
  const std::string line = "AB1CD>APRS,qAR,QW7TK:>status\r\n";
  EXPECT_TRUE(link->SendGatedLine(line, Clock::time_point(std::chrono::seconds(19))));
  EXPECT_TRUE(link->SendGatedLine(line, Clock::time_point(std::chrono::seconds(20))));  // a repeat, dropped
  EXPECT_EQ(socket->sent.size(), 2u);                                                   // the login and the line
  for (int t = 24; t <= 48; t += 6) Tick(t);
  EXPECT_EQ(link->DuplicateList().Text(1), "");  // five ageings: gone
  EXPECT_TRUE(link->SendGatedLine(line, Clock::time_point(std::chrono::seconds(49))));
  EXPECT_EQ(socket->sent.size(), 3u);
}

// A gated line that cannot go out drops the login; every frame still reaches the stores.
TEST_F(UpkeepTest, FailedSendDropsTheLoginAndLosesNoFrame) {
  Tick(6);
  Tick(12);
  socket->Arrive("# logresp N0CALL verified, server TEST\r\n");
  Tick(18);
  ASSERT_TRUE(link->Verified());
  socket->sendFails = true;

  reception::testing::TempDataFolder folder;
  reception::ReceptionState st;
  st.settings.dataFolder = folder.path();
  st.settings.interfaceKind = InterfaceKind::Pk232;
  st.settings.userCall = "QW7TK";
  st.settings.txCall = "QW7TK";
  st.settings.mapCentralMeridian = 15.0;
  reception::testing::FakeHost host;
  reception::ChatLines chat;
  reception::ReceivePass pass(st, host, chat);
  std::vector<std::string> reads;
  for (int i = 0; i < 6; ++i) {
    reads.push_back("AB" + std::to_string(i) + "CD>APRS,WIDE1-1 <UI>:\r\n!5230.0" + std::to_string(i) +
                    "N/01320.00E>\r\n");
  }
  std::size_t next = 0;
  reception::Pk232Source source([&] { return next < reads.size() ? reads[next++] : std::string(); },
                                link->GateHookFor(InterfaceKind::Pk232, "QW7TK"));
  for (int p = 0; p < 6; ++p) pass.Run(source);
  EXPECT_FALSE(link->Verified());
  EXPECT_FALSE(socket->connected);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("LOST WHILE SENDING"), std::string::npos);
  EXPECT_EQ(st.stations.MoniAllCount(), 6);
  // The next tick connects and logs in anew.
  socket->sendFails = false;
  Tick(24);
  Tick(30);
  EXPECT_EQ(socket->connects, 2);
  EXPECT_EQ(socket->sent.back().rfind("user N0CALL ", 0), 0u);
}

TEST(AprsIsReceiveBufferBound, ATalkativeServerCannotGrowIt) {
  AprsIsReceiveBuffer rx;
  const std::string comment = "# a server comment line that never ends the login\r\n";
  for (int i = 0; i < 10000; ++i) {
    rx.Arrived(comment);
    ASSERT_LE(rx.buffer.size(), AprsIsReceiveBuffer::kLimit);
  }
  rx.Arrived("# logresp N0CALL ");
  for (int i = 0; i < 400; ++i) rx.Arrived(std::string(1, "verified, server T\r\n"[i % 20]));
  EXPECT_TRUE(rx.LoginVerified("N0CALL"));
}

// ---------------------------------------------------------------------------
// The real TCP link against the line server.

class TcpLinkTest : public ::testing::Test {
 protected:
  void Make(test::AprsIsLineServer::Answer answer) {
    server = std::make_unique<test::AprsIsLineServer>(answer);
    ASSERT_TRUE(server->Listening());
    settings.port = std::to_string(server->Port());
    AprsIsLink::Hooks hooks;
    hooks.message = [this](const std::string& m) { messages.push_back(m); };
    hooks.notice = [this](const std::string& m) { notices.push_back(m); };
    link = std::make_unique<AprsIsLink>(hooks);
  }
  // One tick, then the events of the time between ticks.
  void Tick() {
    link->Upkeep(settings, title, now);
    now += std::chrono::seconds(6);
    test::PumpEvents(60);
  }
  bool TickUntil(const std::function<bool()>& done, int ticks = 40) {
    for (int i = 0; i < ticks; ++i) {
      if (done()) return true;
      Tick();
    }
    return done();
  }
  AprsIsSettings settings = Settings();
  std::string title = "ZEBLON";
  Clock::time_point now = Clock::now();
  std::unique_ptr<test::AprsIsLineServer> server;
  std::unique_ptr<AprsIsLink> link;
  std::vector<std::string> messages, notices;
};

TEST_F(TcpLinkTest, LoginByteForByteVerifiedAndGatedLines) {
  Make(test::AprsIsLineServer::Answer::VerifiedSplit);
  ASSERT_TRUE(TickUntil([&] { return link->Verified(); }));
  EXPECT_EQ(server->Received(), "user N0CALL pass 13023 vers ZEBLON 8.08 filter b/ZZ9ZZZ\r\n");
  EXPECT_EQ(title.substr(75), "IGate connected");

  const reception::GateHook hook = link->GateHookFor(InterfaceKind::Pk232, "QW7TK");
  hook.Offer("AB1CD>APRS,WIDE1-1*,WIDE2-1 <UI>:\r\n!5230.00N/01320.00E>\r\n");
  // The same frame through a digipeater a moment later is a repeat.
  hook.Offer("AB1CD>APRS,DIGI1*,WIDE2-1 <UI>:\r\n!5230.00N/01320.00E>\r\n");
  hook.Offer("QW7TK-9>APRS <UI>:\r\n>own status\r\n");
  ASSERT_TRUE(test::PumpUntil([&] { return server->Lines().size() >= 3; }, 3000));
  test::PumpEvents(100);
  EXPECT_EQ(server->Lines(), (std::vector<std::string>{
                                 "user N0CALL pass 13023 vers ZEBLON 8.08 filter b/ZZ9ZZZ",
                                 "AB1CD>APRS,WIDE1-1,WIDE2-1,qAR,QW7TK:!5230.00N/01320.00E>",
                                 "QW7TK-9>APRS,qAR,TCPIP:>own status",
                             }));
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(notices.empty());
}

TEST_F(TcpLinkTest, ServerThatDropsTheLinkIsReconnected) {
  Make(test::AprsIsLineServer::Answer::Verified);
  ASSERT_TRUE(TickUntil([&] { return link->Verified(); }));
  server->DropClients();
  test::PumpEvents(100);
  // A gated line meets the closed link: the login no longer counts.
  link->GateHookFor(InterfaceKind::Pk232, "QW7TK").gate("AB1CD>APRS <UI>:\r\n>status text\r\n");
  EXPECT_FALSE(link->Verified());
  ASSERT_TRUE(TickUntil([&] { return link->Verified(); }));
  EXPECT_EQ(server->Connections(), 2);
  EXPECT_FALSE(notices.empty());
  EXPECT_EQ(title.substr(75), "IGate connected");
}

TEST_F(TcpLinkTest, ServerThatClosesBetweenTicksIsSaid) {
  Make(test::AprsIsLineServer::Answer::Verified);
  ASSERT_TRUE(TickUntil([&] { return link->Verified(); }));
  server->DropClients();
  test::PumpEvents(100);
  Tick();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], "APRS-IS SERVER 127.0.0.1 CLOSED THE LINK");
  ASSERT_TRUE(TickUntil([&] { return link->Verified(); }));
  EXPECT_EQ(server->Connections(), 2);
}

TEST_F(TcpLinkTest, ServerThatNeverAnswers) {
  Make(test::AprsIsLineServer::Answer::Silent);
  for (int i = 0; i < 8; ++i) Tick();  // 48 s
  EXPECT_FALSE(link->Verified());
  EXPECT_EQ(server->Connections(), 1);
  EXPECT_EQ(server->Received(), "user N0CALL pass 13023 vers ZEBLON 8.08 filter b/ZZ9ZZZ\r\n");
  EXPECT_EQ(title, "ZEBLON");
  ASSERT_TRUE(TickUntil([&] { return server->Connections() == 2; }, 6));
  EXPECT_EQ(notices, (std::vector<std::string>{"NO LOGIN ANSWER FROM APRS-IS SERVER 127.0.0.1"}));
  ASSERT_TRUE(TickUntil([&] { return server->Lines().size() == 2; }, 6));
}

TEST_F(TcpLinkTest, UnverifiedLoginStopsTheIGate) {
  Make(test::AprsIsLineServer::Answer::Unverified);
  ASSERT_TRUE(TickUntil([&] { return !messages.empty(); }));
  EXPECT_TRUE(link->StoppedUnverified());
  for (int i = 0; i < 5; ++i) Tick();
  EXPECT_EQ(server->Connections(), 1);
  EXPECT_EQ(server->Lines().size(), 1u);
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(TcpLinkTest, NoServerListening) {
  Make(test::AprsIsLineServer::Answer::Verified);
  const std::string port = settings.port;
  server.reset();  // nothing listens on the port any more
  for (int i = 0; i < 4; ++i) Tick();
  EXPECT_FALSE(link->Verified());
  EXPECT_TRUE(notices.empty());
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace zeblon::links

// A message exchange with a second station through the real packet engine:
// Debian's direwolf serves the engine's TCP host protocol on a free local port;
// the other station's packets reach it as audio made by gen_packets. Our
// numbered message goes out through the engine, the other side's
// acknowledgement comes back and turns the chat line acknowledged, and the
// retries stop; without one they follow the main cycle's schedule (a clock of
// the test, no real minutes). The other side's numbered message is answered
// with one acknowledgement of exactly the protocol's bytes. The same exchange
// with the IGate logged in to a local APRS-IS line server: the other side's
// frames are gated as heard, ours (heard back from the engine) as the own
// station's, each once.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "links/agw_tcp_link.h"
#include "links/aprs_is_link.h"
#include "links/cycle_tick.h"
#include "tests/support/quiet_tick_steps.h"
#include "links/message_sender.h"
#include "links/radio_receiver.h"
#include "links/transmit.h"
#include "panels/chat.h"
#include "platform/process.h"
#include "tests/links/aprs_is_server.h"
#include "tests/reception/fakes.h"
#include "settings/text_files.h"
#include "tests/support/direwolf.h"

namespace zeblon::panels {
namespace {

using namespace zeblon::testing_support;
using reception::InterfaceKind;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The receive side's host: its acknowledgements go out through the sender.
class EngineHost : public reception::testing::FakeHost {
 public:
  links::MessageLink* link = nullptr;
  void SendAprsMessage(const std::string& m) override {
    FakeHost::SendAprsMessage(m);
    if (link != nullptr) links::SendAprsMessage(*link, m);
  }
};

class ChatThroughEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"direwolf", "gen_packets"})
      if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
    ASSERT_TRUE(dir.isValid());
    st.settings.dataFolder = folder.path();
    st.settings.userCall = "N0CALL";
    st.settings.txCall = "N0CALL";
    st.settings.ownEchoHeader = "N0CALL*>";
    st.settings.moniAllLimit = 667;
    host.now = {2024, 5, 9, 20, 15, 0};
    // The engine's transmit step, as the main window's link does it.
    tl.engine = &engine;
    tl.txCall = "N0CALL";
    tl.destination = "APZEB";
    tl.path = "WIDE1-1";
    tl.radioMode = "300";
    tl.pause = [](float) {};  // the 0.8 s after each frame: not here
    ml.transmit = [this](const std::string& info) {
      ++transmissions;
      return links::TransmitInfoField(tl, info);
    };
    host.link = &ml;
    // The main cycle with a clock of its own; only the chat's steps do anything.
    tick.clock = [this] { return seconds; };
    // The automatic answer: what the window's Enter does with the two boxes.
    chat.window.queueMessage = [this](const std::string& to, const std::string& text) { Queue(to, text); };
  }

  void Start(InterfaceKind kind) {
    st.settings.interfaceKind = kind;
    tl.interfaceKind = ml.interfaceKind = static_cast<int>(kind);
    port = FreePort();
    dw = std::make_unique<Direwolf>(dir, port);
    ASSERT_TRUE(dw->started()) << dw->output();
    rx = std::make_unique<links::RadioReceiver>(st, host, chat);
    rx->AttachEngine(engine);
    ASSERT_EQ(engine.Connect("127.0.0.1", port, "N0CALL"), links::AgwTcpLink::ConnectResult::Registered);
    RunUntil([] { return false; }, 1200);  // the engine reads a new client's commands late
  }
  void TearDown() override {
    engine.Disconnect(0.2f);
    if (dw) dw->Stop();
  }

  void Queue(const std::string& to, const std::string& text) {
    const auto m = BuildChatMessage(to, text, "N0CALL", counter, false);
    ASSERT_TRUE(m.has_value());
    chat.Add(m->line, m->colour);
    waiting = true;
  }
  // One full tick of the main cycle, six seconds after the last.
  void Tick() {
    seconds += 6;
    links::TickInputs in;
    in.interfaceKind = static_cast<int>(st.settings.interfaceKind);
    in.now = host.now;
    in.userCall = "N0CALL";
    in.chatOn = true;
    in.messageWaiting = waiting;
    tick.Run(in, steps, steps);
  }
  void Hear(const std::string& packet) { dw->Feed(PacketAudio(dir, packet)); }
  bool Decoded(const std::function<bool()>& done, int ms = 15000) {
    return RunUntil(
        [&] {
          rx->DecodeReceivedTraffic();
          return done();
        },
        ms);
  }

  QTemporaryDir dir;
  reception::testing::TempDataFolder folder;
  reception::ReceptionState st;
  EngineHost host;
  ChatQueue chat;
  int counter = 0;
  bool waiting = false;
  int port = 0;
  std::unique_ptr<Direwolf> dw;
  links::AgwTcpLink engine;
  std::unique_ptr<links::RadioReceiver> rx;
  links::TransmitLink tl;
  links::MessageLink ml;
  int transmissions = 0;
  links::CycleTick tick;
  // The chat's steps of the tick: the receive pass and the retries.
  struct ChatSteps : testing_support::QuietTickSteps {
    ChatThroughEngine& t;
    explicit ChatSteps(ChatThroughEngine& test) : t(test) {}
    void DecodeReceivedTraffic() override {
      if (t.rx) t.rx->DecodeReceivedTraffic();
    }
    void SendPendingMessages() override {
      t.waiting = false;
      t.chat.RetryPass([this](const std::string& info, long) {
        return links::SendAprsMessage(t.ml, info) == links::MessageSent::Yes ? ChatQueue::Sent::Yes
                                                                             : ChatQueue::Sent::No;
      });
    }
  } steps{*this};
  double seconds = 1000;
};

TEST_F(ChatThroughEngine, OwnMessageAcknowledgedStopsTheRetriesAndUnansweredOnesFollowTheSchedule) {
  Start(InterfaceKind::AgwRemote);
  Queue("AB9CD", "hello");  // numbered 01
  const std::string frame = "N0CALL>APZEB,WIDE1-1::AB9CD    :hello{01";
  std::vector<int> sentAt;  // the ticks that transmitted
  for (int t = 1; t <= 6; ++t) {
    const int before = transmissions;
    Tick();
    if (transmissions > before) sentAt.push_back(t);
  }
  EXPECT_EQ(sentAt, (std::vector<int>{1, 6}));
  ASSERT_TRUE(RunUntil([&] { return Count(dw->output(), frame) == 2; }, 10000)) << dw->output();
  EXPECT_EQ(chat.At(7).colour, 252);

  // The other side acknowledges.
  Hear("AB9CD>APRS,WIDE1-1::N0CALL   :ack01");
  ASSERT_TRUE(Decoded([&] { return chat.At(7).colour == reception::kChatAcknowledged; })) << dw->output();
  for (int t = 0; t < 12; ++t) Tick();
  RunUntil([] { return false; }, 1000);
  EXPECT_EQ(Count(dw->output(), frame), 2u);
  EXPECT_TRUE(host.sent.empty());  // an acknowledgement is not acknowledged

  // A message nobody answers: five tries, at the first tick and every fifth after, then given up.
  Queue("AB8CD", "anyone?");
  sentAt.clear();
  for (int t = 1; t <= 30; ++t) {
    const int before = transmissions;
    Tick();
    if (transmissions > before) sentAt.push_back(t);
  }
  EXPECT_EQ(sentAt, (std::vector<int>{1, 6, 11, 16, 21}));
  EXPECT_EQ(chat.At(7).colour, reception::kChatGivenUp);
  ASSERT_TRUE(RunUntil([&] { return Count(dw->output(), "N0CALL>APZEB,WIDE1-1::AB8CD    :anyone?{02") == 5; }, 15000))
      << dw->output();
}

TEST_F(ChatThroughEngine, TheOtherSidesNumberedMessageIsAcknowledgedOnceAndAnswered) {
  Start(InterfaceKind::AgwRemote);
  st.settings.autoAnswerOn = true;
  st.settings.autoAnswerText = "AA: away";
  Hear("AB9CD>APRS,WIDE1-1::N0CALL   :how are you{7");
  ASSERT_TRUE(Decoded([&] { return !host.sent.empty(); })) << dw->output();
  EXPECT_EQ(host.sent, (std::vector<std::string>{":AB9CD    :ack7"}));
  EXPECT_EQ(Trim(chat.At(6).text), "AB9CD    :N0CALL   :how are you{7");
  EXPECT_EQ(chat.At(6).colour, reception::kChatToUser);
  // The automatic answer waits as a numbered own line for the retry pass.
  EXPECT_EQ(chat.At(7).text, "N0CALL   :AB9CD    :AA: away{01");
  EXPECT_EQ(chat.At(7).colour, 250);
  Tick();
  const std::string ack = "N0CALL>APZEB,WIDE1-1::AB9CD    :ack7";
  const std::string answer = "N0CALL>APZEB,WIDE1-1::AB9CD    :AA: away{01";
  ASSERT_TRUE(RunUntil([&] { return Count(dw->output(), answer) == 1; }, 10000)) << dw->output();
  RunUntil([] { return false; }, 1500);
  EXPECT_EQ(Count(dw->output(), ack), 1u) << dw->output();
  // Our own frames come back through the monitor and are not taken for messages.
  for (int t = 0; t < 3; ++t) rx->DecodeReceivedTraffic();
  EXPECT_EQ(host.sent.size(), 1u);
}

TEST_F(ChatThroughEngine, WithTheIGateLoggedInTheExchangeReachesAprsIs) {
  links::test::AprsIsLineServer server(links::test::AprsIsLineServer::Answer::Verified);
  ASSERT_TRUE(server.Listening());
  links::AprsIsLink aprsIs;
  const links::AprsIsSettings s = links::test::SettingsFor(server, InterfaceKind::AgwLocal, "N0CALL");
  ASSERT_TRUE(links::test::LogIn(aprsIs, s));
  Start(InterfaceKind::AgwLocal);
  rx->SetGate(aprsIs.GateHookFor(InterfaceKind::AgwLocal, "N0CALL"));

  Queue("AB9CD", "hello");
  Tick();
  Hear("AB9CD>APRS,WIDE1-1::N0CALL   :ack01");
  ASSERT_TRUE(Decoded([&] { return chat.At(7).colour == reception::kChatAcknowledged; })) << dw->output();
  Hear("AB9CD>APRS,WIDE1-1::N0CALL   :thanks{8");
  ASSERT_TRUE(Decoded([&] { return !host.sent.empty(); })) << dw->output();
  EXPECT_EQ(host.sent, (std::vector<std::string>{":AB9CD    :ack8"}));
  ASSERT_TRUE(links::test::PumpUntil(
      [&] { return Count(server.Received(), "AB9CD>APRS,WIDE1-1,qAR,N0CALL::N0CALL   :thanks{8\r\n") == 1; }, 5000))
      << server.Received();
  ASSERT_TRUE(RunUntil([&] { return Count(dw->output(), "N0CALL>APZEB,WIDE1-1::AB9CD    :ack8") == 1; }, 10000))
      << dw->output();
  // Our own frames come back through the engine's monitor and reach the server
  // as the own station's (TCPIP), each once: the message and the acknowledgement.
  const std::string ownMessage = "N0CALL>APZEB,WIDE1-1,qAR,TCPIP::AB9CD    :hello{01\r\n";
  const std::string ownAck = "N0CALL>APZEB,WIDE1-1,qAR,TCPIP::AB9CD    :ack8\r\n";
  ASSERT_TRUE(Decoded([&] { return Count(server.Received(), ownAck) == 1; }, 10000)) << server.Received();
  EXPECT_EQ(Count(server.Received(), ownMessage), 1u) << server.Received();
  EXPECT_EQ(Count(server.Received(), "AB9CD>APRS,WIDE1-1,qAR,N0CALL::N0CALL   :ack01\r\n"), 1u);
  // They are not taken for messages to the user.
  EXPECT_EQ(host.sent.size(), 1u);
}

}  // namespace
}  // namespace zeblon::panels

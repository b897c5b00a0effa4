// The receive path of both engine kinds (the engine on this computer, kind 0,
// and on another, kind 3) against an engine of the test's own that sends what
// no sane engine should: ill-formed monitor texts, floods of empty frames. The
// link, the receiver and the receive pass are the program's; one call of
// DecodeReceivedTraffic is one tick of the main cycle.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "links/agw_tcp_link.h"
#include "links/radio_receiver.h"
#include "tests/reception/fakes.h"
#include "tests/support/agw_engine.h"
#include "tests/support/run_until.h"

namespace zeblon::links {
namespace {

using namespace std::string_literals;
using reception::InterfaceKind;
using testing_support::AgwEngine;
using testing_support::RunUntil;

// A position report as the engine monitors it, ending CR NUL as the real one does.
std::string GoodText(const std::string& call, int i) {
  const std::string info = "!" + std::to_string(5900 + i % 59) + ".50N/01800.00E>" + call;
  return " 1:Fm " + call + " To APRS Via WIDE1-1 <UI pid=F0 Len=" + std::to_string(info.size()) +
         " PF=0 >[12:00:00]\r" + info + "\r\0"s;
}

// The ill-formed monitor texts, each sent as a frame of its kind.
struct Bad {
  const char* name;
  char kind;
  std::string data;
};
const std::vector<Bad>& BadFrames() {
  static const std::vector<Bad> bad = {
      {"an empty U frame", 'U', ""},
      {"a text with two CR", 'U', " 1:Fm BAD1 To APRS <UI pid=F0 Len=0 PF=0 >[12:00:00]\r\r\0"s},
      {"a supervisory frame's short text", 'S', " 1:Fm BAD2 To BAD3 <RR R2 >[12:00:00]\r\0"s},
      {"a text without its end", 'U', " 1:Fm QW7ODD To APRS <UI pid=F0 Len=1 >\rx\0"s},
      {"a text with four CR", 'U', " 1:Fm BAD4 To APRS <UI pid=F0 Len=3 >[12:00:00]\ra\rb\r\0"s},
      {"a text without a header", 'U', "\rjunk\r\r"},
  };
  return bad;
}

long ResidentKb() {
  std::ifstream in("/proc/self/status");
  std::string key;
  long kb = 0;
  while (in >> key) {
    if (key == "VmRSS:") {
      in >> kb;
      return kb;
    }
    in.ignore(4096, '\n');
  }
  return 0;
}

class EngineHostile : public ::testing::TestWithParam<InterfaceKind> {
 protected:
  void SetUp() override {
    st.settings.interfaceKind = GetParam();
    st.settings.dataFolder = folder.path();
    st.settings.logsOn = true;
    st.settings.moniAllLimit = 9000;
    rx.AttachEngine(link);
    rx.SetNotice([this](const std::string& text) { notices.push_back(text); });
    ASSERT_EQ(link.Connect("127.0.0.1", engine.port(), "N0CALL"), AgwTcpLink::ConnectResult::Registered);
    ASSERT_TRUE(RunUntil([&] { return engine.Count('m') == 1; }));
  }
  bool IsStored(const std::string& call) const {
    for (int i = 1; i <= st.stations.MoniAllCount(); ++i)
      if (reception::TrimmedColumns(st.stations.MoniAll()[i], 33, 41) == call) return true;
    return false;
  }
  // Lets the link take what the engine sent, up to `texts` waiting.
  void Arrive(std::size_t texts) {
    ASSERT_TRUE(RunUntil([&] { return rx.EngineTextsWaiting() >= texts; }, 10000)) << rx.EngineTextsWaiting();
  }

  reception::testing::TempDataFolder folder;
  reception::ReceptionState st;
  reception::testing::FakeHost host;
  reception::ChatLines chat;
  AgwEngine engine;
  AgwTcpLink link;
  RadioReceiver rx{st, host, chat};
  std::vector<std::string> notices;
};

TEST_P(EngineHostile, IllFormedFramesCostNeitherATickNorAGoodFrame) {
  // 1 000 ill-formed frames of every sort, a good one after every hundred, and
  // the good one at the end.
  std::string burst;
  std::vector<std::string> good;
  for (int i = 0; i < 1000; ++i) {
    const Bad& b = BadFrames()[static_cast<std::size_t>(i) % BadFrames().size()];
    burst += AgwEngine::MonitorFrame(b.data, b.kind);
    if (i % 100 == 99) {
      good.push_back("MID" + std::to_string(i / 100));
      burst += AgwEngine::MonitorFrame(GoodText(good.back(), i));
    }
  }
  good.push_back("GOOD");
  burst += AgwEngine::MonitorFrame(GoodText("GOOD", 0));
  QElapsedTimer sent;
  sent.start();
  engine.Send(burst);
  Arrive(1000 + good.size());
  // One tick.
  QElapsedTimer pass;
  pass.start();
  rx.DecodeReceivedTraffic();
  const qint64 passMs = pass.elapsed();
  for (const std::string& call : good) EXPECT_TRUE(IsStored(call)) << call;
  EXPECT_EQ(st.stations.MoniAllCount(), static_cast<int>(good.size()));
  EXPECT_EQ(rx.EngineTextsWaiting(), 0u);
  std::cout << "[ figure ] kind " << static_cast<int>(GetParam()) << ": good frame behind 1000 ill-formed ones stored "
            << sent.elapsed() << " ms after it was sent, in the first pass (" << passMs << " ms)\n";

  // Each sort alone, ahead of a good frame: stored in the next tick.
  for (const Bad& b : BadFrames()) {
    SCOPED_TRACE(b.name);
    const std::string call = "AFTER" + std::to_string(&b - BadFrames().data());
    engine.Send(AgwEngine::MonitorFrame(b.data, b.kind) + AgwEngine::MonitorFrame(GoodText(call, 3)));
    Arrive(2);
    rx.DecodeReceivedTraffic();
    EXPECT_TRUE(IsStored(call));
  }
}

TEST_P(EngineHostile, AFloodOfEmptyFramesKeepsMemoryBoundedAndIsTold) {
  constexpr std::uint64_t kFlood = 1'000'000;
  // A first good frame before the flood is not lost by it.
  engine.Send(AgwEngine::MonitorFrame(GoodText("BEFORE", 1)));
  Arrive(1);
  rx.DecodeReceivedTraffic();
  ASSERT_TRUE(IsStored("BEFORE"));
  const long before = ResidentKb();
  long highest = before;
  std::size_t mostWaiting = 0;
  engine.Flood(AgwEngine::MonitorFrame(""), kFlood);
  ASSERT_TRUE(RunUntil(
      [&] {
        highest = std::max(highest, ResidentKb());
        mostWaiting = std::max(mostWaiting, rx.EngineTextsWaiting());
        return engine.FloodLeft() == 0 && rx.EngineTextsDropped() + rx.EngineTextsWaiting() >= kFlood;
      },
      120000))
      << engine.FloodLeft() << " " << rx.EngineTextsWaiting() << " " << rx.EngineTextsDropped();
  std::cout << "[ figure ] kind " << static_cast<int>(GetParam()) << ": " << kFlood << " empty frames: resident memory "
            << before / 1024 << " MB before, at most " << highest / 1024 << " MB during the flood\n";
  EXPECT_LE(mostWaiting, kAgwTextsCap);
  EXPECT_LT(highest - before, 24 * 1024);
  const std::size_t dropped = rx.EngineTextsDropped();
  EXPECT_EQ(dropped, kFlood - kAgwTextsCap);

  // The good frame behind the flood is stored in the tick that takes it, and the
  // drop is told once, in that pass.
  engine.Send(AgwEngine::MonitorFrame(GoodText("AFTER", 2)));
  Arrive(kAgwTextsCap);
  ASSERT_TRUE(RunUntil([&] { return rx.EngineTextsDropped() > dropped; }, 10000));
  rx.DecodeReceivedTraffic();
  EXPECT_TRUE(IsStored("AFTER"));
  EXPECT_TRUE(IsStored("BEFORE"));
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], DroppedFramesText(dropped + 1));
  rx.DecodeReceivedTraffic();
  EXPECT_EQ(notices.size(), 1u);
}

TEST_P(EngineHostile, EveryFrameOfABurstIsStoredInThePassThatReceivedIt) {
  // Position reports, status texts and a message to somebody else: reports
  // and frames that store nothing, in one burst.
  std::string burst;
  std::vector<std::string> calls;
  for (int i = 0; i < 20; ++i) {
    calls.push_back("B" + std::to_string(i));
    burst += AgwEngine::MonitorFrame(GoodText(calls.back(), i));
    if (i % 3 == 0)
      burst += AgwEngine::MonitorFrame(" 1:Fm S" + std::to_string(i) +
                                       " To APRS <UI pid=F0 Len=7 >[12:00:00]\r>status\r\0"s);
    if (i % 5 == 0)
      burst += AgwEngine::MonitorFrame(" 1:Fm M" + std::to_string(i) +
                                       " To APRS <UI pid=F0 Len=16 >[12:00:00]\r:OTHER    :hello\r\0"s);
  }
  engine.Send(burst);
  Arrive(20 + 7 + 4);
  rx.DecodeReceivedTraffic();
  for (const std::string& call : calls) EXPECT_TRUE(IsStored(call)) << call;
  EXPECT_EQ(st.stations.MoniAllCount(), 20);
  EXPECT_EQ(host.drawMaps, 1);
  const std::string logl = folder.read("_LOGL_.TXT");
  EXPECT_EQ(std::count(logl.begin(), logl.end(), '\n'), 20);

  // One frame alone on a quiet link: stored and drawn in the first tick.
  engine.Send(AgwEngine::MonitorFrame(GoodText("ALONE", 5)));
  Arrive(1);
  rx.DecodeReceivedTraffic();
  EXPECT_TRUE(IsStored("ALONE"));
  EXPECT_EQ(host.drawMaps, 2);
  EXPECT_NE(folder.read("_LOGL_.TXT").find("ALONE"), std::string::npos);
  EXPECT_TRUE(host.timer1);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, EngineHostile, ::testing::Values(InterfaceKind::AgwLocal, InterfaceKind::AgwRemote),
                         [](const auto& p) {
                           return p.param == InterfaceKind::AgwLocal ? "ThisComputer" : "AnotherComputer";
                         });

}  // namespace
}  // namespace zeblon::links

// The receive pass over the engine's texts: a backlog of either engine kind is
// taken a turn's share at a time, in arrival order, and nothing is lost; the
// serial kinds read through the reader they are given.
#include <gtest/gtest.h>

#include <string>

#include "links/radio_receiver.h"
#include "tests/reception/fakes.h"

namespace zeblon::links {
namespace {

using reception::InterfaceKind;

std::string EngineText(int i) {
  const std::string lat = std::to_string(5900 + i % 59) + "." + std::to_string(10 + i % 89) + "N";
  const std::string info = "!" + lat + "/01800.00E>n" + std::to_string(i);
  return " 1:Fm S" + std::to_string(i) + " To APRS Via WIDE1-1 <UI pid=F0 Len=" + std::to_string(info.size()) +
         " PF=0 >[12:00:00]\r" + info + "\r\r";
}

TEST(RadioReceiver, EngineBacklogTakenInShares) {
  for (InterfaceKind kind : {InterfaceKind::AgwRemote, InterfaceKind::AgwLocal}) {
    SCOPED_TRACE(static_cast<int>(kind));
    reception::testing::TempDataFolder folder;
    reception::ReceptionState st;
    st.settings.interfaceKind = kind;
    st.settings.dataFolder = folder.path();
    st.settings.logsOn = true;
    st.settings.moniAllLimit = 667;
    reception::testing::FakeHost host;
    reception::ChatLines chat;
    RadioReceiver rx(st, host, chat);
    constexpr int kTexts = 600;
    for (int i = 0; i < kTexts; ++i) rx.EngineText(EngineText(i));
    // The main cycle's passes, until three in a row store nothing more.
    std::size_t largest = 0;
    for (int pass = 0, quiet = 0; pass < 2000 && quiet < 3; ++pass) {
      const int before = st.stations.MoniAllCount();
      rx.DecodeReceivedTraffic();
      largest = std::max(largest, st.receiveBuffer.size());
      quiet = st.stations.MoniAllCount() == before ? quiet + 1 : 0;
    }
    EXPECT_EQ(rx.EngineTextsWaiting(), 0u);
    EXPECT_LE(largest, 3 * kAgwTextPerTurn);
    EXPECT_EQ(st.stations.MoniAllCount(), kTexts);
    // In arrival order, every one logged.
    const std::string log = folder.read("_LOGL_.TXT");
    std::size_t at = 0;
    for (int i = 0; i < kTexts; ++i) {
      const std::size_t p = log.find(" n" + std::to_string(i) + " ", at);
      ASSERT_NE(p, std::string::npos) << i;
      at = p;
    }
    EXPECT_TRUE(host.timer1);
  }
}

TEST(RadioReceiver, SerialKindsReadThroughTheirReader) {
  reception::testing::TempDataFolder folder;
  reception::ReceptionState st;
  st.settings.interfaceKind = InterfaceKind::Pk232;
  st.settings.dataFolder = folder.path();
  st.settings.moniAllLimit = 667;
  reception::testing::FakeHost host;
  reception::ChatLines chat;
  RadioReceiver rx(st, host, chat);
  // Without a reader the pass leaves (nothing read) and redraws.
  rx.DecodeReceivedTraffic();
  EXPECT_EQ(host.drawMaps, 1);
  std::string waiting = "SRC>APRS,WIDE1-1 <UI>:\r\n!5930.00N/01800.00E>pk\r\n";
  rx.AttachTnc([&] { return std::exchange(waiting, std::string()); });
  rx.DecodeReceivedTraffic();
  ASSERT_EQ(st.stations.MoniAllCount(), 1);
  EXPECT_EQ(reception::TrimmedColumns(st.stations.MoniAll()[1], 33, 41), "SRC");
}

}  // namespace
}  // namespace zeblon::links

// Every way out of the receive pass leaves the main cycle running, the receive
// buffer bounded and every log line of the pass in its file.
#include <gtest/gtest.h>

#include <stdexcept>

#include "fakes.h"
#include "reception/receive_pass.h"

namespace zeblon::reception {
namespace {

using testing::FakeHost;
using testing::Monitor;
using testing::ScriptedSource;
using testing::TempDataFolder;

class PassEnds : public ::testing::Test {
 protected:
  PassEnds() {
    st.settings.dataFolder = folder.path();
    st.settings.logsOn = true;
    st.settings.mapCentralMeridian = -75.0;
    st.settings.mapZoneText = "18";
    st.settings.userCall = "N0CALL";
    st.settings.txCall = "N0CALL-1";
    st.settings.moniAllLimit = 667;
  }
  TempDataFolder folder;
  ReceptionState st;
  FakeHost host;
  ChatLines chat;
  ReceivePass pass{st, host, chat};
};

TEST_F(PassEnds, EveryEarlyEndSwitchesTimer1On) {
  const std::string frame = Monitor("SRC*>APRS", "!4903.50N/07201.75W-one");
  struct Case {
    const char* name;
    TurnRead second;  // what the turn after the first frame reads
    bool pictureShown;
  };
  const Case cases[] = {
      {"a later read leaves at once (an SCS read past its limit)", {"", TurnRead::Leave::AtOnce}, false},
      {"a later read leaves with a redraw", {"", TurnRead::Leave::WithRedraw}, false},
      {"the pass ends while a picture replaces the map", {"", TurnRead::Leave::No}, true},
  };
  for (const Case& c : cases) {
    ScriptedSource source;
    // Enough text that the pass takes a second turn after the first report.
    source.reads.push_back({frame + std::string(200, 'x') + "\r\n", TurnRead::Leave::No});
    source.reads.push_back(c.second);
    host.pictureShown = c.pictureShown;
    host.timer1 = true;
    pass.Run(source);
    EXPECT_TRUE(host.timer1) << c.name;
    st.receiveBuffer = "\n";
  }
}

class ThrowingSource : public MonitorSource {
 public:
  int turns = 0;
  TurnRead ReadTurn() override {
    if (++turns == 2) throw std::runtime_error("port gone");
    return {Monitor("SRC*>APRS", "!4903.50N/07201.75W-one") + std::string(500, 'y') + "\r\n", TurnRead::Leave::No};
  }
};

TEST_F(PassEnds, AFaultOutsideAFrameEmptiesTheBufferAndRedraws) {
  ThrowingSource source;
  host.drawMaps = 0;
  pass.Run(source);
  EXPECT_TRUE(host.timer1);
  EXPECT_EQ(host.drawMaps, 1);
  EXPECT_TRUE(st.receiveBuffer.empty());
  EXPECT_EQ(st.stations.MoniAllCount(), 1);  // the frame before the fault is stored and logged
  EXPECT_NE(folder.read("_LOGL_.TXT").find("SRC"), std::string::npos);
}

TEST_F(PassEnds, AFrameStartWithoutLineEndCannotGrowTheBuffer) {
  // A header, then a payload line that never ends, a little more on every pass.
  ScriptedSource start;
  start.reads.push_back({"SRC*>APRS <UI>:\r\n!4903.50N/07201.75W-", TurnRead::Leave::No});
  pass.Run(start);
  for (int i = 0; i < 200; ++i) {
    ScriptedSource more;
    more.reads.push_back({std::string(100, 'z'), TurnRead::Leave::No});
    pass.Run(more);
    ASSERT_LE(st.receiveBuffer.size(), kReceiveBufferCap + 2100) << i;
  }
  // A whole frame after it is still taken.
  ScriptedSource good;
  good.reads.push_back({"\r\n" + Monitor("GOOD*>APRS", "!4903.50N/07201.75W-ok"), TurnRead::Leave::No});
  for (int i = 0; i < 5 && st.stations.MoniAllCount() == 0; ++i) pass.Run(good);
  ASSERT_GE(st.stations.MoniAllCount(), 1);
  EXPECT_EQ(TrimmedColumns(st.stations.MoniAll()[st.stations.MoniAllCount()], 33, 41), "GOOD");
}

TEST_F(PassEnds, LogLinesOfAPassAreInTheirFilesWhenItEnds) {
  std::string text;
  for (int i = 0; i < 50; ++i) {
    const std::string lat = std::to_string(4900 + i) + ".50N";
    text += Monitor("S" + std::to_string(i) + "*>APRS", "!" + lat + "/07201.75W-n" + std::to_string(i));
  }
  ScriptedSource source;
  source.reads.push_back({text, TurnRead::Leave::No});
  // The last frames wait for the passes of the next ticks.
  for (int i = 0; i < 5; ++i) pass.Run(source);
  ASSERT_EQ(st.stations.MoniAllCount(), 50);
  // The same lines as when each is appended at once, in arrival order.
  std::string shortLines, longLines;
  for (int i = 1; i <= 50; ++i) {
    shortLines += ShortLogLine(st.stations.MoniAll()[i]) + "\r\n";
    longLines += st.stations.MoniAll()[i] + "\r\n";
  }
  EXPECT_EQ(folder.read("_LOG_.TXT"), shortLines);
  EXPECT_EQ(folder.read("_LOGL_.TXT"), longLines);
  EXPECT_EQ(folder.read("_LOGRAW_.TXT"), ApplyHeardMark(text));
  // A second pass appends behind the first; a report stored outside a pass is
  // written at once.
  ScriptedSource again;
  again.reads.push_back({Monitor("LAST*>APRS", "!4800.50N/07201.75W-z"), TurnRead::Leave::No});
  pass.Run(again);
  EXPECT_EQ(folder.read("_LOGL_.TXT"), longLines + st.stations.MoniAll()[51] + "\r\n");
  ASSERT_EQ(pass.ProcessFrame("ONE*>APRS <UI>:\r\n!4700.50N/07201.75W-x\r"), kLevelReport);
  EXPECT_EQ(folder.read("_LOGL_.TXT"),
            longLines + st.stations.MoniAll()[51] + "\r\n" + st.stations.MoniAll()[52] + "\r\n");
}

}  // namespace
}  // namespace zeblon::reception

// The live radio link against the real packet engine: Debian's direwolf serves
// the engine's TCP host protocol on a free local port and decodes audio made by
// gen_packets from its standard input. What we store must hold the positions
// that decode_aprs gives for the same packets; what we transmit must come out of
// direwolf as the frame we built.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "links/agw_tcp_link.h"
#include "links/own_beacon.h"
#include "links/radio_receiver.h"
#include "links/transmit.h"
#include "platform/process.h"
#include "reception/symbol_table.h"
#include "tests/links/engine_transmit.h"
#include "tests/reception/fakes.h"
#include "tests/support/direwolf.h"

namespace zeblon::links {
namespace {

using namespace zeblon::testing_support;

using reception::InterfaceKind;

// decode_aprs's positions of the packets, as metres of UTM zone 33, by the
// name the record carries (the source call, or the object's or item's name).
std::map<std::string, std::pair<double, double>> ReferencePositions() {
  std::string lines;
  for (const auto& p : Packets()) lines += p + "\n";
  const std::string out = RunTool("decode_aprs", {}, lines);
  std::map<std::string, std::pair<double, double>> ref;
  const std::regex pos(R"(([NS]) (\d+) ([\d.]+), ([EW]) (\d+) ([\d.]+))");
  const std::regex named("(Object|Item), \"([^\"]+)\"");
  std::string name;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    std::smatch m;
    if (line.find('>') != std::string::npos && line.find(':') != std::string::npos && line.rfind("AB", 0) == 0) {
      name = line.substr(0, line.find('>'));
    } else if (std::regex_search(line, m, named)) {
      name = m[2];
    } else if (std::regex_search(line, m, pos)) {
      double lat = std::stod(m[2]) + std::stod(m[3]) / 60.0;
      double lon = std::stod(m[5]) + std::stod(m[6]) / 60.0;
      if (m[1] == "S") lat = -lat;
      if (m[4] == "W") lon = -lon;
      // The decoder moves every position by 0.00005 degree away from the
      // equator and the meridian before it projects it (its rounding of
      // hundredths of a minute); the reference takes the same step.
      lat = (lat < 0 ? -1 : 1) * std::fabs(lat + 0.00005);
      lon = (lon < 0 ? -1 : 1) * std::fabs(lon + 0.00005);
      double e = 0, n = 0;
      geodesy::ConvertLatLonToUtm(lon, lat, 15.0, e, n, 500000.0);
      ref[name] = {n, e};
    }
  }
  return ref;
}

class LiveEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"direwolf", "gen_packets", "decode_aprs"})
      if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
    ASSERT_TRUE(dir.isValid());
    st.settings.dataFolder = folder.path();
    st.settings.logsOn = true;
    st.settings.userCall = "N0CALL";
    st.settings.txCall = "N0CALL";
    st.settings.ownEchoHeader = "N0CALL*>";
    st.settings.moniAllLimit = 667;
    // The decoding needs a host whose clock is now.
    host.now = {2024, 5, 9, 23, 50, 0};
  }

  // Records stored, by name (columns 33-41).
  std::map<std::string, std::string> Stored() const {
    std::map<std::string, std::string> r;
    for (int i = 1; i <= st.stations.MoniAllCount(); ++i)
      r[reception::TrimmedColumns(st.stations.MoniAll()[i], 33, 41)] = st.stations.MoniAll()[i];
    return r;
  }

  // Feeds the packets' audio and runs the receive pass as the main cycle would
  // until every position is stored.
  void HearAll(Direwolf& dw, RadioReceiver& rx, std::size_t expected) {
    std::string audio;
    for (const auto& p : Packets()) audio += PacketAudio(dir, p);
    dw.Feed(audio);
    ASSERT_TRUE(RunUntil(
        [&] {
          rx.DecodeReceivedTraffic();
          return Stored().size() >= expected && !host.sent.empty();
        },
        20000))
        << "stored " << Stored().size() << "\n"
        << dw.output();
  }

  void CheckAgainstReference() {
    const auto ref = ReferencePositions();
    ASSERT_EQ(ref.size(), 8u);
    const auto stored = Stored();
    for (const auto& [name, ne] : ref) {
      ASSERT_TRUE(stored.count(name)) << name;
      const std::string& rec = stored.at(name);
      const double n = LeadingNumber(reception::Columns(rec, 14, 22)) * 1000.0;
      const double e = LeadingNumber(reception::Columns(rec, 23, 31)) * 1000.0;
      EXPECT_NEAR(n, ne.first, 1.5) << name;
      EXPECT_NEAR(e, ne.second, 1.5) << name;
    }
    // The message to the user was acknowledged.
    ASSERT_FALSE(host.sent.empty());
    EXPECT_EQ(host.sent[0], ":AB9CD    :ack01");
    // And the logs on disk hold every report.
    const std::string log = folder.read("_LOGL_.TXT");
    for (const auto& [name, ne] : ref) EXPECT_NE(log.find(name), std::string::npos) << name;
  }

  QTemporaryDir dir;
  reception::testing::TempDataFolder folder;
  reception::ReceptionState st;
  reception::testing::FakeHost host;
  reception::ChatLines chat;
};

TEST_F(LiveEngine, StoresWhatTheEngineHearsAsDecodeAprsDecodesIt) {
  // Kind 3 reaches the engine through its address; kind 0 is the engine on
  // this computer, reached by name.
  const std::pair<InterfaceKind, const char*> kinds[] = {{InterfaceKind::AgwRemote, "127.0.0.1"},
                                                         {InterfaceKind::AgwLocal, "localhost"}};
  for (const auto& [kind, host_name] : kinds) {
    SCOPED_TRACE(static_cast<int>(kind));
    st = reception::ReceptionState{};
    SetUp();
    host.sent.clear();
    st.settings.interfaceKind = kind;
    const int port = FreePort();
    Direwolf dw(dir, port);
    ASSERT_TRUE(dw.started()) << dw.output();
    AgwTcpLink link;
    RadioReceiver rx(st, host, chat);
    rx.AttachEngine(link);
    ASSERT_EQ(link.Connect(host_name, port, "N0CALL"), AgwTcpLink::ConnectResult::Registered);
    RunUntil([] { return false; }, 1200);  // the engine reads a new client's commands late
    HearAll(dw, rx, 8);
    CheckAgainstReference();
    link.Disconnect(0.2f);
  }
}

TEST_F(LiveEngine, OwnBeaconComesOutOfTheEngineAsBuilt) {
  st.settings.interfaceKind = InterfaceKind::AgwRemote;
  st.settings.txCall = "N0CALL-5";
  st.settings.ownEchoHeader = "N0CALL-5*>WIDE1-1>WIDE2-1>APZEB";
  const int port = FreePort();
  Direwolf dw(dir, port);
  ASSERT_TRUE(dw.started()) << dw.output();
  AgwTcpLink link;
  RadioReceiver rx(st, host, chat);
  rx.AttachEngine(link);
  ASSERT_EQ(link.Connect("127.0.0.1", port, "N0CALL-5"), AgwTcpLink::ConnectResult::Registered);
  RunUntil([] { return false; }, 1200);

  OwnBeacon beacon;
  const auto info = beacon.NextInfoField(testing::HomeBeacon("ZEBLON test beacon"), host.now, false);
  ASSERT_TRUE(info);
  ASSERT_TRUE(TransmitInfoField(testing::EngineTransmitLink(link, "n0call-5"), *info));
  const std::string sent = "N0CALL-5>APZEB,WIDE1-1,WIDE2-1:" + *info;
  ASSERT_TRUE(RunUntil([&] { return dw.output().find(sent) != std::string::npos; }, 10000)) << dw.output();
  // The frame as decode_aprs reads it: the home position, to the hundredth of a minute.
  const std::string decoded = RunTool("decode_aprs", {}, sent + "\n");
  EXPECT_NE(decoded.find("N 59 30.1200, E 018 03.4500"), std::string::npos) << decoded;
  // The engine's own transmission comes back through the monitor and is not stored.
  RunUntil(
      [&] {
        rx.DecodeReceivedTraffic();
        return false;
      },
      1500);
  EXPECT_EQ(st.stations.MoniAllCount(), 0);
}

TEST_F(LiveEngine, EngineKilledAndRestartedDuringARun) {
  st.settings.interfaceKind = InterfaceKind::AgwRemote;
  const int port = FreePort();
  auto dw = std::make_unique<Direwolf>(dir, port);
  ASSERT_TRUE(dw->started()) << dw->output();
  AgwTcpLink link;
  link.SetLimits({2000, 3000, 300});
  std::vector<std::string> status;
  link.SetStatusHook([&](const std::string& s) { status.push_back(s); });
  RadioReceiver rx(st, host, chat);
  rx.AttachEngine(link);
  ASSERT_EQ(link.Connect("127.0.0.1", port, "N0CALL"), AgwTcpLink::ConnectResult::Registered);
  RunUntil([] { return false; }, 1200);
  // One packet heard, not yet decoded, when the engine dies.
  dw->Feed(PacketAudio(dir, Packets()[0]));
  ASSERT_TRUE(RunUntil([&] { return rx.EngineTextsWaiting() == 1; }, 10000));
  dw.reset();
  ASSERT_TRUE(RunUntil([&] { return !link.DataPending(); }, 5000));
  ASSERT_EQ(status.size(), 1u);
  EXPECT_EQ(status[0], kAgwLinkLost);
  // The line already received is not lost.
  rx.DecodeReceivedTraffic();
  EXPECT_EQ(Stored().count("AB1CD-9"), 1u);
  // Ticks go on while the engine is away, then it comes back.
  for (int i = 0; i < 3; ++i) {
    link.Upkeep();
    rx.DecodeReceivedTraffic();
    RunUntil([] { return false; }, 100);
  }
  dw = std::make_unique<Direwolf>(dir, port);
  ASSERT_TRUE(dw->started()) << dw->output();
  ASSERT_TRUE(RunUntil(
      [&] {
        link.Upkeep();
        return link.DataPending();
      },
      10000));
  EXPECT_EQ(status.back(), kAgwLinkRestored);
  RunUntil([] { return false; }, 1200);
  dw->Feed(PacketAudio(dir, Packets()[1]));
  ASSERT_TRUE(RunUntil(
      [&] {
        rx.DecodeReceivedTraffic();
        return Stored().count("AB2CD") == 1;
      },
      10000))
      << dw->output();
  EXPECT_EQ(Stored().count("AB1CD-9"), 1u);
}

}  // namespace
}  // namespace zeblon::links

// What the packet engine puts on the air: our own position and status beacons
// and the acknowledgement of a message heard, handed to direwolf over its TCP
// host interface, come out of its sound output (ALSA's PulseAudio plugin into a
// private null sink); the sink's monitor is recorded, decoded by atest, and
// every decoded frame must carry exactly the calls and information field we built.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "links/radio_receiver.h"
#include "platform/process.h"
#include "tests/links/engine_transmit.h"
#include "tests/reception/fakes.h"
#include "tests/support/direwolf.h"
#include "tests/support/pulse_sink.h"

namespace zeblon::links {
namespace {

using namespace zeblon::testing_support;

// One frame atest decoded: its monitor line and its bytes (addresses, control,
// protocol, information field; without the check sum).
struct Heard {
  std::string line;
  std::vector<unsigned char> bytes;
};

std::vector<Heard> DecodeWithAtest(const std::string& wav) {
  const std::string out = RunTool("atest", {"-h", QString::fromStdString(wav)}, "");
  std::vector<Heard> heard;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("DECODED[", 0) == 0) {
      heard.emplace_back();
    } else if (!heard.empty() && heard.back().line.empty() && line.rfind("[0] ", 0) == 0) {
      heard.back().line = line.substr(4);
    } else if (!heard.empty() && line.size() > 8 && line.compare(5, 3, ":  ") == 0) {
      // "  010:  68 65 6c ...   hello": up to 16 bytes in hex, then the text.
      std::istringstream hex(line.substr(8, 48));
      std::string pair;
      while (hex >> pair) heard.back().bytes.push_back(static_cast<unsigned char>(std::stoi(pair, nullptr, 16)));
    }
  }
  return heard;
}

// An AX.25 address field: six shifted characters and the SSID byte.
struct Address {
  std::string call;  // "CALL-5", no SSID when 0
  bool repeated = false;
  bool last = false;
};

std::vector<Address> Addresses(const std::vector<unsigned char>& bytes, std::size_t& end) {
  std::vector<Address> a;
  for (std::size_t i = 0; i + 7 <= bytes.size(); i += 7) {
    Address x;
    for (int k = 0; k < 6; ++k)
      if ((bytes[i + k] >> 1) != ' ') x.call += static_cast<char>(bytes[i + k] >> 1);
    const int ssid = (bytes[i + 6] >> 1) & 0x0F;
    if (ssid != 0) x.call += "-" + std::to_string(ssid);
    x.repeated = (bytes[i + 6] & 0x80) != 0;
    x.last = (bytes[i + 6] & 0x01) != 0;
    a.push_back(x);
    end = i + 7;
    if (x.last) break;
  }
  return a;
}

// A host that answers a message as the main window does: through the engine.
struct TransmittingHost : reception::testing::FakeHost {
  TransmitLink* link = nullptr;
  void SendAprsMessage(const std::string& m) override {
    FakeHost::SendAprsMessage(m);
    TransmitInfoField(*link, m);
  }
};

TEST(EngineSound, BeaconsAndAcknowledgementDecodedFromTheEnginesAudio) {
  for (const char* tool : {"direwolf", "gen_packets", "atest", "pulseaudio", "parec", "pactl"})
    if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  PulseSink sink(dir.filePath("pulse"));
  ASSERT_TRUE(sink.started()) << sink.log();
  ASSERT_TRUE(sink.StartRecording()) << sink.RecorderErrors();

  const int port = FreePort();
  Direwolf dw(dir, port, {}, "pulse", sink.Environment());
  ASSERT_TRUE(dw.started()) << dw.output();
  ASSERT_NE(dw.output().find("Audio out device for transmit: pulse"), std::string::npos) << dw.output();

  reception::testing::TempDataFolder folder;
  reception::ReceptionState st;
  st.settings.dataFolder = folder.path();
  st.settings.userCall = "N0CALL";
  st.settings.txCall = "N0CALL-5";
  st.settings.ownEchoHeader = "N0CALL-5*>WIDE1-1>WIDE2-1>APZEB";
  st.settings.moniAllLimit = 667;
  st.settings.interfaceKind = reception::InterfaceKind::AgwRemote;
  reception::ChatLines chat;
  TransmittingHost host;
  host.now = {2024, 5, 9, 23, 50, 0};

  AgwTcpLink link;
  TransmitLink tl = testing::EngineTransmitLink(link);
  host.link = &tl;
  RadioReceiver rx(st, host, chat);
  rx.AttachEngine(link);
  ASSERT_EQ(link.Connect("127.0.0.1", port, tl.txCall), AgwTcpLink::ConnectResult::Registered);
  RunUntil([] { return false; }, 1200);  // the engine reads a new client's commands late

  // A message for the user is heard; the receive pass acknowledges it on the air.
  dw.Feed(PacketAudio(dir, "AB9CD>APRS::N0CALL   :hello{01"));
  ASSERT_TRUE(RunUntil(
      [&] {
        rx.DecodeReceivedTraffic();
        return !host.sent.empty();
      },
      10000))
      << dw.output();

  // The own position beacon, then the status beacon.
  BeaconSettings b = testing::HomeBeacon("ZEBLON sound test");
  b.digiOn = true;  // the status beacon tells the digipeater
  OwnBeacon beacon;
  const auto position = beacon.NextInfoField(b, host.now, false);
  const auto status = beacon.NextInfoField(b, host.now, true);
  ASSERT_TRUE(position && status);
  ASSERT_TRUE(TransmitInfoField(tl, *position));
  ASSERT_TRUE(TransmitInfoField(tl, *status));

  const std::vector<std::string> infos = {":AB9CD    :ack01", *position, *status};
  const std::string header = "N0CALL-5>APZEB,WIDE1-1,WIDE2-1:";
  ASSERT_TRUE(RunUntil(
      [&] {
        return std::all_of(infos.begin(), infos.end(),
                           [&](const std::string& i) { return dw.output().find(header + i) != std::string::npos; });
      },
      15000))
      << dw.output();
  // The console tells a frame as its sound begins: record until a second of
  // silence follows the last sound.
  const int rate = sink.rate();
  RunUntil(
      [&] {
        const auto& r = sink.Recorded();
        const auto loud = std::find_if(r.rbegin(), r.rend(), [](std::int16_t s) { return std::abs(s) > 1000; });
        return loud != r.rend() && loud - r.rbegin() > rate;
      },
      10000);
  sink.StopRecording();
  const std::string wav = dir.filePath("monitor.wav").toStdString();
  ASSERT_TRUE(WriteMonoWav(wav, sink.Recorded(), rate));

  const std::vector<Heard> heard = DecodeWithAtest(wav);
  ASSERT_EQ(heard.size(), infos.size()) << RunTool("atest", {QString::fromStdString(wav)}, "");
  for (std::size_t i = 0; i < infos.size(); ++i) {
    SCOPED_TRACE(infos[i]);
    EXPECT_EQ(heard[i].line, header + infos[i]);
    std::size_t end = 0;
    const std::vector<Address> a = Addresses(heard[i].bytes, end);
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[0].call, "APZEB");
    EXPECT_EQ(a[1].call, "N0CALL-5");
    EXPECT_EQ(a[2].call, "WIDE1-1");
    EXPECT_EQ(a[3].call, "WIDE2-1");
    EXPECT_FALSE(a[2].repeated || a[3].repeated);  // sent, not yet repeated by anyone
    EXPECT_TRUE(a[3].last);
    ASSERT_GE(heard[i].bytes.size(), end + 2);
    EXPECT_EQ(heard[i].bytes[end], 0x03);      // UI
    EXPECT_EQ(heard[i].bytes[end + 1], 0xF0);  // no layer 3
    const std::string info(heard[i].bytes.begin() + static_cast<std::ptrdiff_t>(end) + 2, heard[i].bytes.end());
    EXPECT_EQ(info, infos[i]);  // byte for byte
  }
}

}  // namespace
}  // namespace zeblon::links

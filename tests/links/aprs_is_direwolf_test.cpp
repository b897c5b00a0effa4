// Our IGate against direwolf's on the same received packets: direwolf hears
// audio made by gen_packets and gates it to the local line server; the same
// frames, as direwolf's engine monitor shows them over its AGW port, go through
// our formatter and link to the same server. The lines are compared.
#include <QProcess>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "aprs_is_server.h"
#include "links/aprs_is_link.h"
#include "platform/process.h"

namespace zeblon::links {
namespace {

namespace fs = std::filesystem;

int FreePort() {
  QTcpServer s;
  s.listen(QHostAddress::LocalHost, 0);
  return s.serverPort();
}

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The audio samples (no WAV header) of one packet.
std::string PacketAudio(const std::string& packet, const fs::path& dir) {
  const fs::path wav = dir / "p.wav";
  QProcess gen;
  gen.start("gen_packets", {"-r", "44100", "-o", QString::fromStdString(wav.string()), "-"});
  if (!gen.waitForStarted(5000)) return {};
  gen.write(packet.data(), static_cast<qint64>(packet.size()));
  gen.closeWriteChannel();
  gen.waitForFinished(10000);
  const std::string bytes = ReadFile(wav);
  return bytes.size() > 44 ? bytes.substr(44) : std::string();
}

// The engine's monitor frames ('U') from direwolf's AGW port, taken by their length field.
class AgwMonitor {
 public:
  bool Open(int port) {
    socket_.abort();
    socket_.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    if (!socket_.waitForConnected(5000)) return false;
    std::string m(36, '\0');
    m[4] = 'm';
    socket_.write(m.data(), 36);
    socket_.flush();
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
      const QByteArray d = socket_.readAll();
      buffer_.append(d.constData(), static_cast<std::size_t>(d.size()));
      while (buffer_.size() >= 36) {
        const auto b = [&](int i) { return static_cast<unsigned char>(buffer_[static_cast<std::size_t>(i)]); };
        const std::size_t len = b(28) | (b(29) << 8) | (b(30) << 16) | (static_cast<std::size_t>(b(31)) << 24);
        if (buffer_.size() < 36 + len) break;
        if (buffer_[4] == 'U') frames.push_back(buffer_.substr(36, len));
        buffer_.erase(0, 36 + len);
      }
    });
    return true;
  }
  std::vector<std::string> frames;

 private:
  QTcpSocket socket_;
  std::string buffer_;
};

TEST(IGateAgainstDirewolf, SameReceivedPacketsSameGatedLines) {
  if (!platform::ProgramExists("direwolf") || !platform::ProgramExists("gen_packets")) {
    GTEST_SKIP() << "direwolf is not installed";
  }
  const fs::path dir = fs::temp_directory_path() / ("zeblon_igate_dw_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);

  test::AprsIsLineServer server(test::AprsIsLineServer::Answer::Verified);
  ASSERT_TRUE(server.Listening());
  const int agwPort = FreePort();
  {
    std::ofstream conf(dir / "dw.conf");
    conf << "ADEVICE stdin null\nARATE 44100\nACHANNELS 1\nCHANNEL 0\nMYCALL N0CALL-10\nMODEM 1200\n"
         << "AGWPORT " << agwPort << "\nKISSPORT 0\n"
         << "IGSERVER 127.0.0.1:" << server.Port()
         << "\nIGLOGIN N0CALL-10 13023\n"
         // Able to transmit: an IGate that gates from RF with qAR.
         << "IGTXVIA 0\n";
  }
  QProcess direwolf;
  // direwolf ends with its input; whatever way the test ends.
  struct Ender {
    QProcess& p;
    fs::path dir;
    ~Ender() {
      if (p.state() != QProcess::NotRunning) {
        p.closeWriteChannel();
        if (!p.waitForFinished(3000)) {
          p.kill();
          p.waitForFinished(3000);
        }
      }
      fs::remove_all(dir);
    }
  } ender{direwolf, dir};
  direwolf.setProcessChannelMode(QProcess::MergedChannels);
  direwolf.setStandardOutputFile(QString::fromStdString((dir / "dw.log").string()));
  direwolf.start("direwolf", {"-t", "0", "-c", QString::fromStdString((dir / "dw.conf").string()), "-r", "44100", "-"});
  ASSERT_TRUE(direwolf.waitForStarted(5000));
  const std::string silence(2 * 44100, '\0');
  direwolf.write(silence.data(), static_cast<qint64>(silence.size()));

  AgwMonitor monitor;
  ASSERT_TRUE(test::PumpUntil([&] { return monitor.Open(agwPort); }, 10000));

  // direwolf logs in a few seconds after start and gates only some seconds after its login.
  ASSERT_TRUE(test::PumpUntil([&] { return server.Connections() >= 1 && !server.Lines(1).empty(); }, 20000))
      << ReadFile(dir / "dw.log");
  EXPECT_EQ(server.Lines(1)[0].rfind("user N0CALL-10 pass 13023 ", 0), 0u);

  const AprsIsSettings s = test::SettingsFor(server, reception::InterfaceKind::AgwLocal, "N0CALL");
  AprsIsLink link;
  ASSERT_TRUE(test::LogIn(link, s));
  test::PumpEvents(9000);

  const std::vector<std::string> packets = {
      "AB1CD-9>APRS,WIDE1-1,WIDE2-1:!5230.00N/01320.00E>test",
      "XY9Z>APZ,SM4DIG*,WIDE2-1:>status text",
      "EF2GH>APRS,RFONLY:!5230.00N/01320.00E>",
      "N0CALL-7>APRS:>own",
      "AB1CD>APRS:?APRS?",
      "AB1CD>APRS,TCPIP*:>x",
      "QW7AB>APRS:}QW7CD>APRS,WIDE1-1:>inner",
      "QW7EF>APRS:`(_fn\"Oj/]mic-e",
  };
  std::string audio;
  for (const std::string& p : packets) {
    const std::string a = PacketAudio(p, dir);
    ASSERT_FALSE(a.empty()) << p;
    audio += a + silence;
  }
  direwolf.write(audio.data(), static_cast<qint64>(audio.size()));
  ASSERT_TRUE(test::PumpUntil([&] { return monitor.frames.size() >= packets.size(); }, 15000))
      << monitor.frames.size() << "\n"
      << ReadFile(dir / "dw.log");

  // Our side: each engine text, as it came, through the formatter.
  const reception::GateHook hook = link.GateHookFor(reception::InterfaceKind::AgwLocal, "N0CALL-10");
  for (const std::string& text : monitor.frames) hook.Offer(text);
  const std::vector<std::string> ours = {
      "AB1CD-9>APRS,WIDE1-1,WIDE2-1,qAR,N0CALL-10:!5230.00N/01320.00E>test",
      // direwolf's monitor header leaves out the "*" of the digipeater that repeated the frame.
      "XY9Z>APZ,SM4DIG,WIDE2-1,qAR,N0CALL-10:>status text",
      "N0CALL-7>APRS,qAR,N0CALL-10:>own",
      "QW7EF>APRS,qAR,N0CALL-10:`(_fn\"Oj/]mic-e",
  };
  ASSERT_TRUE(test::PumpUntil([&] { return server.Connections() >= 2 && server.Lines(2).size() >= 5; }, 5000));
  test::PumpEvents(500);
  std::vector<std::string> ourLines = server.Lines(2);
  ourLines.erase(ourLines.begin());  // the login
  EXPECT_EQ(ourLines, ours);

  // direwolf's lines of the same packets.
  ASSERT_TRUE(test::PumpUntil([&] { return server.Lines(1).size() >= 5; }, 5000)) << ReadFile(dir / "dw.log");
  test::PumpEvents(500);
  std::vector<std::string> theirs = server.Lines(1);
  theirs.erase(theirs.begin());
  std::map<std::string, std::string> bySource;
  for (const std::string& l : theirs) bySource[l.substr(0, l.find('>'))] = l;
  // The same lines, but for the repeating digipeater's "*" that direwolf keeps.
  EXPECT_EQ(bySource["AB1CD-9"], ours[0]);
  EXPECT_EQ(bySource["XY9Z"], "XY9Z>APZ,SM4DIG*,WIDE2-1,qAR,N0CALL-10:>status text");
  EXPECT_EQ(bySource["N0CALL-7"], ours[2]);
  EXPECT_EQ(bySource["QW7EF"], ours[3]);
  // Neither gates RFONLY, a query or a TCPIP path.
  EXPECT_EQ(bySource.count("EF2GH"), 0u);
  EXPECT_EQ(bySource.count("AB1CD"), 0u);
  // direwolf unwraps a third-party frame and gates the inner packet; we gate no third-party frame.
  EXPECT_EQ(bySource.count("QW7AB"), 0u);
  EXPECT_EQ(bySource["QW7CD"], "QW7CD>APRS,WIDE1-1,qAR,N0CALL-10:>inner");
  EXPECT_EQ(theirs.size(), 5u);
}

}  // namespace
}  // namespace zeblon::links

// The real packet engine for tests: Debian's direwolf on a free local port,
// fed audio made by gen_packets on its standard input; and the packets the
// live tests hear.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_until.h"

namespace zeblon::testing_support {

inline int FreePort() {
  QTcpServer s;
  s.listen(QHostAddress::LocalHost, 0);
  return s.serverPort();
}

inline std::string RunTool(const QString& program, const QStringList& args, const std::string& input) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  if (!p.waitForStarted(5000)) return {};
  p.write(input.data(), static_cast<qint64>(input.size()));
  p.closeWriteChannel();
  if (!p.waitForFinished(10000)) {
    p.kill();
    p.waitForFinished(2000);
  }
  const QByteArray out = p.readAll();
  // Without its colour codes.
  return std::regex_replace(out.toStdString(), std::regex("\x1b\\[[0-9;]*m"), "");
}

// The audio of one packet line (16-bit samples at 44100 Hz, without the WAV
// header), then a second of silence so the channel is free again.
inline std::string PacketAudio(const QTemporaryDir& dir, const std::string& line) {
  const QString wav = dir.filePath("p.wav");
  RunTool("gen_packets", {"-r", "44100", "-o", wav, "-"}, line);
  std::ifstream in(wav.toStdString(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  std::string audio = s.str();
  if (audio.size() > 44) audio.erase(0, 44);
  audio.append(88200, '\0');
  return audio;
}

class Direwolf {
 public:
  // `extraArgs` go before the others (e.g. "-d", "a": the AGW clients' frames on the console).
  // `audioOut` is the sound device its transmissions go to ("null": none; "pulse":
  // ALSA's PulseAudio plugin, reaching the server that `environment` names).
  explicit Direwolf(const QTemporaryDir& dir, int port, const QStringList& extraArgs = {},
                    const std::string& audioOut = "null",
                    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
      : port_(port) {
    const std::string conf = dir.filePath("dw.conf").toStdString();
    std::ofstream(conf) << "ADEVICE stdin " << audioOut
                        << "\nARATE 44100\nACHANNELS 1\nCHANNEL 0\nMYCALL N0CALL-10\n"
                           "MODEM 1200\nAGWPORT "
                        << port << "\nKISSPORT 0\n";
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&process_, &QProcess::readyRead, [this] { output_ += process_.readAll().toStdString(); });
    process_.start("direwolf",
                   extraArgs + QStringList{"-t", "0", "-c", QString::fromStdString(conf), "-r", "44100", "-"});
    started_ = process_.waitForStarted(5000) && RunUntil(
                                                    [this] {
                                                      QTcpSocket s;
                                                      s.connectToHost("127.0.0.1", static_cast<quint16>(port_));
                                                      return s.waitForConnected(200);
                                                    },
                                                    10000);
  }
  ~Direwolf() { Stop(); }
  void Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(3000);
  }
  bool started() const { return started_; }
  void Feed(const std::string& audio) { process_.write(audio.data(), static_cast<qint64>(audio.size())); }
  const std::string& output() const { return output_; }

 private:
  int port_;
  QProcess process_;
  std::string output_;
  bool started_ = false;
};

// The packets heard: positions of every form, an object, an item, a weather
// report and a message for the user.
inline const std::vector<std::string>& Packets() {
  static const std::vector<std::string> p = {
      "AB1CD-9>APRS,WIDE1-1:!5930.00N/01800.00E>plain",
      "AB2CD>APRS:=/0G!!S*e8>7P[compressed",
      "AB3CD-7>UYSP00,WIDE1-1:`.Y&n\"Oj/]mic",
      "AB4CD>GPSXYZ:$GPRMC,123456,A,5930.000,N,01800.000,E,0.0,0.0,010524,,*1E",
      "AB5CD>APRS:;OBJNAME  *111111z5931.00N/01801.00E-object",
      "AB6CD>APRS:)ITEM!5932.00N/01802.00E-item",
      "AB7CD>APRS:@092345z5933.12N/01803.45E>stamped",
      "AB8CD>APRS:@092345z5934.00N/01804.00E_090/005g010t068r000p000P000h50b10150",
      "AB9CD>APRS::N0CALL   :hello{01",
  };
  return p;
}

}  // namespace zeblon::testing_support

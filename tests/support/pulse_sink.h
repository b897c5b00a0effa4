// A private PulseAudio sound server for tests: Debian's `pulseaudio` with one
// null sink, its socket, runtime, state and home folders below the test's own
// folder, and a recorder (`parec`) on the sink's monitor. Programs the test
// starts reach it through Environment(); Qt Multimedia in the test's own process
// through UseInThisProcess(). The server and the recorder end with this object,
// and with the test process should it die (a parent-death signal).
#pragma once

#include <signal.h>
#include <sys/prctl.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace zeblon::testing_support {

// A WAV file of 16-bit mono samples.
inline bool WriteMonoWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate) {
  std::string wav;
  auto put = [&wav](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) wav += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  wav += "RIFF";
  put(36 + dataBytes, 4);
  wav += "WAVEfmt ";
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(static_cast<std::uint32_t>(rate), 4);
  put(static_cast<std::uint32_t>(rate) * 2, 4);
  put(2, 2);
  put(16, 2);
  wav += "data";
  put(dataBytes, 4);
  for (std::int16_t s : samples) put(static_cast<std::uint16_t>(s), 2);
  std::ofstream out(path, std::ios::binary);
  out.write(wav.data(), static_cast<std::streamsize>(wav.size()));
  return static_cast<bool>(out);
}

class PulseSink {
 public:
  static constexpr const char* kSink = "zeblon_sink";

  // Starts the server in `folder` (created when missing) with a null sink of
  // `rate` Hz, one channel; waits at most 10 s for the sink to be there.
  explicit PulseSink(const QString& folder, int rate = 44100) : folder_(folder), rate_(rate) {
    for (const char* sub : {"run", "state", "home"}) QDir().mkpath(folder_ + "/" + sub);
    QFile::setPermissions(folder_ + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // No client may start a server of its own when this one is not there.
    std::ofstream(Path("client.conf").toStdString()) << "autospawn = no\n";
    socket_ = Path("run/native");

    QProcessEnvironment env = Environment();
    env.insert("HOME", Path("home"));
    env.insert("PULSE_STATE_PATH", Path("state"));
    server_.setProcessEnvironment(env);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    EndWithParent(server_);
    QObject::connect(&server_, &QProcess::readyRead, [this] { log_ += server_.readAll().toStdString(); });
    // As root the server warns that it is meant for users and runs all the same
    // (--system would ignore the private folders).
    server_.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no",
                                 "--realtime=no", "--high-priority=no", "--disable-shm=yes", "--log-target=stderr",
                                 "-L", "module-native-protocol-unix socket=" + socket_ + " auth-anonymous=1", "-L",
                                 QString("module-null-sink sink_name=%1 rate=%2 channels=1").arg(kSink).arg(rate_)});
    if (!server_.waitForStarted(5000)) return;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000 && server_.state() == QProcess::Running) {
      QProcess ctl;
      ctl.setProcessEnvironment(Environment());
      ctl.start("pactl", {"list", "short", "sinks"});
      if (ctl.waitForFinished(3000) && ctl.exitCode() == 0 && ctl.readAllStandardOutput().contains(kSink)) {
        started_ = true;
        return;
      }
      if (ctl.state() != QProcess::NotRunning) {
        ctl.kill();
        ctl.waitForFinished(1000);
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    }
  }

  ~PulseSink() {
    StopRecording();
    if (server_.state() != QProcess::NotRunning) {
      server_.terminate();
      if (!server_.waitForFinished(3000)) {
        server_.kill();
        server_.waitForFinished(3000);
      }
    }
  }
  PulseSink(const PulseSink&) = delete;
  PulseSink& operator=(const PulseSink&) = delete;

  bool started() const { return started_; }
  int rate() const { return rate_; }
  // The server's own messages.
  std::string log() {
    log_ += server_.readAll().toStdString();
    return log_;
  }

  // The variables that lead a client to this server and nowhere else.
  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : ClientVariables()) env.insert(name, value);
    return env;
  }
  // The same for Qt Multimedia in this process: call before its first use of sound.
  void UseInThisProcess() const {
    for (const auto& [name, value] : ClientVariables()) qputenv(name.toUtf8().constData(), value.toUtf8());
  }

  // Records the sink's monitor (raw 16-bit mono samples at the sink's rate);
  // true once the first samples came (the monitor gives silence while nothing plays).
  bool StartRecording(int timeoutMs = 5000) {
    samples_.clear();
    pending_.clear();
    recorder_.setProcessEnvironment(Environment());
    EndWithParent(recorder_);
    QObject::connect(&recorder_, &QProcess::readyReadStandardOutput, [this] { Take(); });
    recorder_.start("parec", {"-d", QString(kSink) + ".monitor", "--raw", "--format=s16le",
                              "--rate=" + QString::number(rate_), "--channels=1", "--latency-msec=20"});
    if (!recorder_.waitForStarted(5000)) return false;
    QElapsedTimer t;
    t.start();
    while (samples_.empty() && t.elapsed() < timeoutMs && recorder_.state() == QProcess::Running)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !samples_.empty();
  }
  void StopRecording() {
    if (recorder_.state() == QProcess::NotRunning) return;
    recorder_.terminate();
    if (!recorder_.waitForFinished(3000)) {
      recorder_.kill();
      recorder_.waitForFinished(3000);
    }
    Take();
  }
  // The samples recorded so far (they grow while events run).
  const std::vector<std::int16_t>& Recorded() const { return samples_; }
  std::string RecorderErrors() { return recorder_.readAllStandardError().toStdString(); }

 private:
  QString Path(const QString& rel) const { return folder_ + "/" + rel; }

  std::vector<std::pair<QString, QString>> ClientVariables() const {
    return {{"PULSE_SERVER", "unix:" + socket_},         {"PULSE_SINK", kSink},
            {"PULSE_CLIENTCONFIG", Path("client.conf")}, {"PULSE_COOKIE", Path("home/cookie")},
            {"PULSE_RUNTIME_PATH", Path("run")},         {"XDG_RUNTIME_DIR", Path("run")}};
  }

  static void EndWithParent(QProcess& p) {
    p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
  }

  void Take() {
    pending_ += recorder_.readAllStandardOutput();
    const qsizetype whole = pending_.size() / 2 * 2;
    const auto* bytes = reinterpret_cast<const unsigned char*>(pending_.constData());
    for (qsizetype i = 0; i < whole; i += 2)
      samples_.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8))));
    pending_.remove(0, whole);
  }

  QString folder_;
  int rate_;
  QString socket_;
  QProcess server_;
  QProcess recorder_;
  std::string log_;
  bool started_ = false;
  QByteArray pending_;
  std::vector<std::int16_t> samples_;
};

}  // namespace zeblon::testing_support

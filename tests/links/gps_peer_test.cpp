// The GPS reader against a simulated receiver on a serial line (a socat
// pseudo-terminal pair) and against gpsd's reading of the same sentences.
//
// The receiver sends one group of sentences per second of a known track, at the
// speed of the settings, with the quirks of real receivers: no fix at first, empty
// fields, a sentence with a bad checksum and a wrong latitude, a sentence cut in
// two reads, and at the end it stops. ZEBLON's tick reads the port after every
// second; each fix it takes must be the one gpsd (gpsfake, in pipe mode) gives for
// that second, and it must never take the bad sentence's position nor a fix after
// the receiver stopped.
#include <signal.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <thread>

#include "links/gps_reader.h"
#include "platform/process.h"
#include "platform/serial_port.h"
#include "settings/text_files.h"
#include "tests/links/gps_nmea.h"
#include "tests/support/program_folder.h"
#include "tests/support/pty_pair.h"

namespace zeblon::links {
namespace {

namespace fs = std::filesystem;
using testing::Nmea;
using testing::NmeaBadChecksum;

constexpr int kBaud = 4800;
constexpr int kSeconds = 12;
constexpr int kBadSecond = 6;  // its RMC has a bad checksum and a wrong latitude
constexpr int kCutSecond = 8;  // its RMC arrives in two reads

std::string TwoDigit(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

// The latitude field of second s: moving north 0.01 minute a second from 59 20'.
std::string LatField(int s) {
  char b[16];
  std::snprintf(b, sizeof b, "%09.4f", 5920.0 + s * 0.01);
  return b;
}

// The sentences of one second, one entry per sentence.
std::vector<std::string> Second(int s) {
  const std::string t = "1235" + TwoDigit(10 + s);
  if (s < 2) {  // no fix yet: status V and quality 0, empty fields
    return {Nmea("GPRMC," + t + ",V,,,,,,,230324,,,N"), Nmea("GPGGA," + t + ",,,,,0,00,99.9,,,,,,"),
            Nmea("GPGSV,1,1,03,01,40,083,,02,17,308,,03,07,344,")};
  }
  const std::string lat = LatField(s);
  std::string rmc_body = "GPRMC," + t + ",A," + lat + ",N,01803.5000,E,10.8,084.4,230324,003.1,W";
  const std::string gga_body = "GPGGA," + t + "," + lat + ",N,01803.5000,E,1,08,0.9,,M,,M,,";  // no altitude
  if (s == kBadSecond) {
    rmc_body = "GPRMC," + t + ",A,6020.0000,N,01803.5000,E,10.8,084.4,230324,003.1,W";
    return {NmeaBadChecksum(rmc_body), Nmea(gga_body)};
  }
  return {Nmea(rmc_body), Nmea(gga_body)};
}

// gpsd's fixes of the log: second -> (lat, lon).
std::map<int, std::pair<double, double>> GpsdFixes(const fs::path& log) {
  std::map<int, std::pair<double, double>> out;
  QProcess p;
  // gpsfake leaves its daemon's control socket in TMPDIR: the log's folder, which
  // goes with the test.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("TMPDIR", QString::fromStdString(log.parent_path().string()));
  p.setProcessEnvironment(env);
  p.start("gpsfake", {"-1", "-p", "-q", "-c", "0.02", QString::fromStdString(log.string())});
  if (!p.waitForStarted(5000)) return out;
  if (!p.waitForFinished(40000)) {
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    p.waitForFinished(5000);
  }
  auto number = [](const std::string& line, const std::string& key, double& v) {
    const std::size_t at = line.find("\"" + key + "\":");
    if (at == std::string::npos) return false;
    const char* b = line.data() + at + key.size() + 3;
    return std::from_chars(b, line.data() + line.size(), v).ec == std::errc();
  };
  for (const std::string& line : SplitLines(p.readAllStandardOutput().toStdString())) {
    if (line.find("\"class\":\"TPV\"") == std::string::npos) continue;
    const std::size_t t = line.find("T12:35:");
    double lat = 0, lon = 0;
    if (t == std::string::npos || !number(line, "lat", lat) || !number(line, "lon", lon)) continue;
    out[std::stoi(line.substr(t + 7, 2)) - 10] = {lat, lon};
  }
  return out;
}

class GpsPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::ProgramExists("socat")) GTEST_SKIP() << "socat is not installed";
    scratch_ = std::make_unique<testing_support::ScratchFolder>("zeblon_gps_peer");
    dir_ = scratch_->path();
    line_ = std::make_unique<testing_support::PtyPair>(dir_, "GPS", "RECEIVER");
    ASSERT_TRUE(line_->ok());
  }
  void TearDown() override {
    line_.reset();
    scratch_.reset();
  }
  // The receiver sends bytes at the line's speed (ten bits a character).
  void Send(const std::string& bytes) {
    ASSERT_TRUE(line_->Write(bytes));
    std::this_thread::sleep_for(std::chrono::microseconds(bytes.size() * 10 * 1000000 / kBaud));
    in_flight_ += bytes.size();
  }
  // Everything sent has reached the program's end of the line (socat relays it).
  void Arrived(platform::SerialPort& port) {
    for (int i = 0; i < 200 && port.InBufferCount() < static_cast<long long>(in_flight_); ++i) {
      port.WaitForInput(10);
    }
    in_flight_ = 0;
  }
  std::size_t in_flight_ = 0;

  std::unique_ptr<testing_support::ScratchFolder> scratch_;
  fs::path dir_;
  std::unique_ptr<testing_support::PtyPair> line_;
};

TEST_F(GpsPeerTest, FixesAgreeWithGpsdAndQuirksAreSafe) {
  // The log as gpsd reads it.
  std::string log;
  for (int s = 0; s < kSeconds; ++s) {
    for (const std::string& sentence : Second(s)) log += sentence;
  }
  ASSERT_TRUE(WriteFileAtomically(dir_ / "track.nmea", log));
  std::map<int, std::pair<double, double>> gpsd;
  if (platform::ProgramExists("gpsfake")) {
    gpsd = GpsdFixes(dir_ / "track.nmea");
    ASSERT_GE(gpsd.size(), static_cast<std::size_t>(kSeconds - 3)) << "gpsd gave too few fixes";
    EXPECT_EQ(gpsd.count(0), 0u);  // no fix in the first seconds
    EXPECT_EQ(gpsd.count(1), 0u);
  }

  // ZEBLON on the serial line, at the speed of the settings.
  platform::SerialPort port;
  ASSERT_TRUE(port.Open(3, GpsLineSettings(std::to_string(kBaud)), (dir_ / "GPS").string())) << port.LastError();
  GpsReader reader;
  NavigationState nav;
  GpsTickContext c;
  c.mapCentralMeridian = 15;
  c.dataFolder = dir_;
  c.now = {2024, 3, 23, 13, 35, 0};
  std::map<int, std::pair<double, double>> ours;
  auto tick = [&](int second) {
    Arrived(port);
    c.now.second = second;
    c.now.minute = 35 + second / 4;  // a track line every few ticks
    const GpsTickResult r = ReadGps(reader, nav, &port, {}, c);
    if (r.fix) ours[second] = {r.latitude, r.longitude};
    return r;
  };

  for (int s = 0; s < kSeconds; ++s) {
    const std::vector<std::string> sentences = Second(s);
    if (s == kCutSecond) {
      // The RMC in two reads with a tick between: the half line is not read.
      Send(sentences[0].substr(0, 30));
      EXPECT_FALSE(tick(s).fix) << "half a sentence";
      Send(sentences[0].substr(30));
      for (std::size_t i = 1; i < sentences.size(); ++i) Send(sentences[i]);
    } else {
      for (const std::string& sentence : sentences) Send(sentence);
    }
    tick(s);
  }
  // The receiver stops: its last sentences stay in the buffer but give no fix.
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(tick(kSeconds + i).fix) << "stale buffer, tick " << i;

  // No fix before two agreeing sentences, none from the bad sentence, most of the rest.
  EXPECT_EQ(ours.count(0) + ours.count(1) + ours.count(2), 0u);
  EXPECT_GE(ours.size(), 6u);
  for (const auto& [second, pos] : ours) {
    EXPECT_LT(pos.first, 59.5) << "the bad sentence's latitude was taken at " << second;
    // The position of that second's sentence, to the five decimals of the degree texts.
    const double lat = 59 + (20.0 + second * 0.01) / 60.0;
    EXPECT_NEAR(pos.first, lat, 1e-5) << second;
    EXPECT_NEAR(pos.second, 18 + 3.5 / 60.0, 1e-5) << second;
    if (!gpsd.empty()) {
      ASSERT_EQ(gpsd.count(second), 1u) << "gpsd has no fix at second " << second;
      EXPECT_NEAR(pos.first, gpsd[second].first, 1e-5) << second;
      EXPECT_NEAR(pos.second, gpsd[second].second, 1e-5) << second;
    }
  }
  // The track file got a line per clock minute with a fix.
  std::string trk;
  ASSERT_TRUE(ReadWholeFile(dir_ / "TRK" / "20240323.TRK", trk));
  EXPECT_GE(SplitLines(trk).size(), 2u);
  for (const std::string& line : SplitLines(trk)) EXPECT_EQ(line.size(), 33u) << line;
  port.Close();
}

}  // namespace
}  // namespace zeblon::links

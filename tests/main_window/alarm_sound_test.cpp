// The alarm sound is heard: with Qt Multimedia led to a private PulseAudio
// server, an emergency report through the receive pass opens the EMERGENCY
// window, and the null sink's monitor holds our ALARM.WAV: its length, its two
// tones in their quarter seconds, and its loudness, measured alike in the file
// and in the recording.
#include <QSoundEffect>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <sstream>
#include <vector>

#include "platform/process.h"
#include "tests/main_window/emergency_fixture.h"
#include "tests/support/pulse_sink.h"

namespace zeblon {
namespace {

// The samples of a 16-bit mono PCM WAV file; empty when it is not one.
std::vector<std::int16_t> ReadMonoWav(const std::filesystem::path& path, int& rate) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  const std::string b = s.str();
  auto u = [&b](std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
    return v;
  };
  std::vector<std::int16_t> samples;
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return samples;
  bool mono16 = false;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const std::size_t size = u(at + 4, 4);
    if (at + 8 + size > b.size()) break;
    if (id == "fmt " && size >= 16) {
      mono16 = u(at + 8, 2) == 1 && u(at + 10, 2) == 1 && u(at + 22, 2) == 16;
      rate = static_cast<int>(u(at + 12, 4));
    } else if (id == "data" && mono16) {
      for (std::size_t i = 0; i + 1 < size; i += 2)
        samples.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(u(at + 8 + i, 2))));
      break;
    }
    at += 8 + size + (size & 1);
  }
  return samples;
}

double MeanSquare(const std::vector<std::int16_t>& s, std::size_t begin, std::size_t end) {
  double sum = 0;
  for (std::size_t i = begin; i < end; ++i) sum += static_cast<double>(s[i]) * s[i];
  return end > begin ? sum / static_cast<double>(end - begin) : 0.0;
}

// The share of the samples' power that lies in a sine of `freq` (Goertzel).
double ToneShare(const std::vector<std::int16_t>& s, std::size_t begin, std::size_t end, double freq, int rate) {
  const double w = 2.0 * std::numbers::pi * freq / rate;
  double s1 = 0, s2 = 0;
  for (std::size_t i = begin; i < end; ++i) {
    const double s0 = s[i] + 2.0 * std::cos(w) * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double n = static_cast<double>(end - begin);
  const double power = (s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2) * 2.0 / (n * n);
  const double total = MeanSquare(s, begin, end);
  return total > 0 ? power / total : 0.0;
}

// What is measured of a siren: where it sounds, how loud, and which of the two
// tones holds each quarter second.
struct Siren {
  std::size_t onset = 0, end = 0;
  double seconds = 0, rms = 0;
  std::vector<double> share960, share720;
};

// The quarter seconds are counted back from the sound's end, `sirenSeconds`
// before it (0: as long as the sound measures): a null sink's monitor may miss
// the first milliseconds of a new stream, never its end.
Siren Measure(const std::vector<std::int16_t>& s, int rate, double sirenSeconds = 0) {
  Siren m;
  auto loud = [](std::int16_t x) { return std::abs(x) > 2000; };
  const auto first = std::find_if(s.begin(), s.end(), loud);
  if (first == s.end()) return m;
  m.onset = static_cast<std::size_t>(first - s.begin());
  m.end = s.size() - static_cast<std::size_t>(std::find_if(s.rbegin(), s.rend(), loud) - s.rbegin());
  m.seconds = static_cast<double>(m.end - m.onset) / rate;
  m.rms = std::sqrt(MeanSquare(s, m.onset, m.end));
  const double start = static_cast<double>(m.end) - (sirenSeconds > 0 ? sirenSeconds : m.seconds) * rate;
  for (int q = 0; q < 8; ++q) {
    // A quarter second without the 30 ms around each change of tone.
    const double b = start + (q * 0.25 + 0.03) * rate;
    const double e = start + ((q + 1) * 0.25 - 0.03) * rate;
    if (b < 0 || e > static_cast<double>(s.size())) break;
    const auto from = static_cast<std::size_t>(b), to = static_cast<std::size_t>(e);
    m.share960.push_back(ToneShare(s, from, to, 960.0, rate));
    m.share720.push_back(ToneShare(s, from, to, 720.0, rate));
  }
  return m;
}

using AlarmSoundTest = testing_support::EmergencyWindowTest;

TEST_F(AlarmSoundTest, TheEmergencyAlarmIsHeardInTheSoundServer) {
  for (const char* tool : {"pulseaudio", "parec", "pactl"})
    if (!platform::ProgramExists(tool)) GTEST_SKIP() << tool << " is not installed";
  int fileRate = 0;
  const std::vector<std::int16_t> file = ReadMonoWav(std::filesystem::path(ZEBLON_PROGRAM_DIR) / "ALARM.WAV", fileRate);
  ASSERT_FALSE(file.empty());
  const Siren expected = Measure(file, fileRate);
  ASSERT_EQ(expected.share960.size(), 8u);

  testing_support::PulseSink sink(QString::fromStdString((folder_ / "pulse").string()));
  ASSERT_TRUE(sink.started()) << sink.log();
  sink.UseInThisProcess();  // before Qt Multimedia's first sound
  ASSERT_TRUE(sink.StartRecording()) << sink.RecorderErrors();

  WithSound();
  Start();
  const std::size_t before = sink.Recorded().size();
  Frame("SOS*>012U6T", "`(_fn\"Oj/]help");  // a Mic-E emergency
  ASSERT_TRUE(Visible());
  ASSERT_EQ(form_->AlarmSoundPlayer().PlayRequests(), 1);

  // Until the whole sound and a quarter second after it are recorded.
  const int rate = sink.rate();
  PumpUntil(
      [&] {
        const auto& r = sink.Recorded();
        const auto loud = std::find_if(r.begin() + static_cast<std::ptrdiff_t>(before), r.end(),
                                       [](std::int16_t x) { return std::abs(x) > 2000; });
        return loud != r.end() && r.end() - loud > static_cast<std::ptrdiff_t>(expected.seconds * rate + rate / 4);
      },
      10000);
  QSoundEffect* player = form_->AlarmSoundPlayer().Player();
  ASSERT_NE(player, nullptr);
  EXPECT_NE(player->status(), QSoundEffect::Error);
  sink.StopRecording();
  form_.reset();  // the player leaves before the server

  const std::vector<std::int16_t> recorded(sink.Recorded().begin() + static_cast<std::ptrdiff_t>(before),
                                           sink.Recorded().end());
  const Siren heard = Measure(recorded, rate, expected.seconds);
  ASSERT_GT(heard.seconds, 0.0) << "silence in the sink; server:\n" << sink.log();
  std::cout << "alarm heard " << static_cast<double>(heard.onset) / rate << " s after the report, " << heard.seconds
            << " s long (file " << expected.seconds << " s), rms " << heard.rms << " (file " << expected.rms << ")\n";
  EXPECT_NEAR(heard.seconds, expected.seconds, 0.05);
  EXPECT_NEAR(heard.rms / expected.rms, 1.0, 0.15);
  ASSERT_EQ(heard.share960.size(), 8u);
  for (std::size_t q = 0; q < 8; ++q) {
    SCOPED_TRACE(q);
    // The file's tone of each quarter second, and the same tone in the recording.
    const bool high = expected.share960[q] > expected.share720[q];
    EXPECT_GT(std::max(expected.share960[q], expected.share720[q]), 0.9);
    EXPECT_EQ(high, q % 2 == 0);
    EXPECT_GT(high ? heard.share960[q] : heard.share720[q], 0.9);
    EXPECT_LT(high ? heard.share720[q] : heard.share960[q], 0.05);
  }
}

}  // namespace
}  // namespace zeblon

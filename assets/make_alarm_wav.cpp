// Writes the alarm sound ALARM.WAV: a two-tone siren of two seconds, 16-bit mono
// PCM at 22 050 Hz, followed by a quarter second of silence (Qt's sound effect
// stops its audio stream as soon as the last bytes are handed over, dropping
// what is still buffered: the silence is what it drops, not the siren's end).
// Usage: make_alarm_wav <output file>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <algorithm>
#include <string>
#include <vector>

namespace {

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_alarm_wav <output file>\n";
    return 2;
  }
  constexpr std::uint32_t kRate = 22050;
  constexpr std::uint32_t kSirenSamples = kRate * 2;
  constexpr std::uint32_t kSamples = kSirenSamples + kRate / 4;
  std::vector<std::int16_t> samples(kSamples);  // the tail stays silent
  double phase = 0.0;
  for (std::uint32_t i = 0; i < kSirenSamples; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double freq = (static_cast<int>(t * 4.0) % 2 == 0) ? 960.0 : 720.0;  // a quarter second each
    phase += 2.0 * std::numbers::pi * freq / kRate;
    const double fade = std::min({1.0, t * 50.0, (2.0 - t) * 50.0});
    samples[i] = static_cast<std::int16_t>(std::lround(std::sin(phase) * 0.6 * 32767.0 * fade));
  }
  std::string wav;
  const std::uint32_t dataBytes = kSamples * 2;
  wav += "RIFF";
  Put32(wav, 36 + dataBytes);
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);  // PCM
  Put16(wav, 1);  // mono
  Put32(wav, kRate);
  Put32(wav, kRate * 2);
  Put16(wav, 2);
  Put16(wav, 16);
  wav += "data";
  Put32(wav, dataBytes);
  for (std::int16_t s : samples) Put16(wav, static_cast<std::uint16_t>(s));
  std::ofstream out(argv[1], std::ios::binary);
  out.write(wav.data(), static_cast<std::streamsize>(wav.size()));
  out.close();
  if (!out) {
    std::cerr << "make_alarm_wav: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}

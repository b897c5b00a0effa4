#include "stations/wx_report.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "reception/station_record.h"
#include "settings/text_files.h"

namespace zeblon::stations {
namespace {

bool IsWxDigit(char c) { return (c >= '0' && c <= '9') || c == '-'; }

bool AllDigits(std::string_view word, std::size_t from, std::size_t count) {
  if (from + count > word.size()) return false;
  for (std::size_t k = 0; k < count; ++k)
    if (!IsWxDigit(word[from + k])) return false;
  return true;
}

// The value of a part of the word: an optional "-", digits, an optional "."
// and digits; 0 when it does not start that way.
double ValueOf(std::string_view part) { return LeadingNumber(part); }

void Set(WxReading& r, double value) {
  r.value = ToWholeNumber<std::int16_t>(value);
  std::string digits = std::to_string(r.value);
  r.text = std::string(digits.size() < 5 ? 5 - digits.size() : 0, ' ') + digits;
}

// Every position i (0-based) where letter stands with `digits` digit
// characters behind it, in order; the last match wins as each one overwrites.
template <typename F>
void EachMatch(std::string_view word, char letter, std::size_t digits, F&& take) {
  if (word.size() < digits + 1) return;
  for (std::size_t i = 0; i + digits < word.size(); ++i)
    if (word[i] == letter && AllDigits(word, i + 1, digits)) take(i);
}

constexpr double kKnots = 1.852 / 3.6;
constexpr double kMph = 1.609344 / 3.6;

}  // namespace

std::string WxWordOf(std::string_view record) {
  std::string text = zeblon::Trim(reception::Columns(record, 43, static_cast<int>(record.size())));
  const std::size_t blank = text.find(' ');
  if (blank != std::string::npos) text.resize(blank);
  return text;
}

std::optional<WxReport> DecodeWxReport(std::string_view record) {
  const std::string text = zeblon::Trim(reception::Columns(record, 43, static_cast<int>(record.size())));
  if (text.size() < 16) return std::nullopt;
  return DecodeWxWord(WxWordOf(record));
}

WxReport DecodeWxWord(std::string_view w) {
  WxReport r;
  const std::size_t n = w.size();
  // The opening form: three digits, "/", three digits (wind in knots).
  if (n >= 7 && AllDigits(w, 0, 3) && w[3] == '/' && AllDigits(w, 4, 3)) {
    r.windInKnots = true;
    Set(r.windDirection, ValueOf(w.substr(0, 3)));
    Set(r.windSpeed, ValueOf(w.substr(4, 3)) * kKnots);
  } else {
    EachMatch(w, 'c', 3, [&](std::size_t i) { Set(r.windDirection, ValueOf(w.substr(i + 1, 3))); });
    EachMatch(w, 's', 3, [&](std::size_t i) { Set(r.windSpeed, ValueOf(w.substr(i + 1, 3)) * kMph); });
  }
  const double gustUnit = r.windInKnots ? kKnots : kMph;
  EachMatch(w, 'g', 3, [&](std::size_t i) { Set(r.gustSpeed, ValueOf(w.substr(i + 1, 3)) * gustUnit); });
  EachMatch(w, 't', 3, [&](std::size_t i) { Set(r.temperature, (ValueOf(w.substr(i + 1, 3)) - 32) / 1.8); });
  EachMatch(w, 'r', 3, [&](std::size_t i) { Set(r.rainLastHour, ValueOf(w.substr(i + 1, 3)) * 25.4 / 100); });
  EachMatch(w, 'p', 3, [&](std::size_t i) { Set(r.rainLast24Hours, ValueOf(w.substr(i + 1, 3)) * 25.4 / 100); });
  EachMatch(w, 'P', 3, [&](std::size_t i) { Set(r.rainToday, ValueOf(w.substr(i + 1, 3)) * 25.4 / 100); });
  EachMatch(w, 'h', 2, [&](std::size_t i) { Set(r.humidity, ValueOf(w.substr(i + 1, 2))); });
  // Pressure: four digits must follow "b"; the value is taken from five characters.
  if (n >= 6)
    for (std::size_t i = 0; i + 5 < n; ++i)
      if (w[i] == 'b' && AllDigits(w, i + 1, 4)) {
        double hpa = RoundHalfEven(ValueOf(w.substr(i + 1, 5)) / 10);
        if (hpa >= 1 && hpa <= 199) hpa += 1000;
        Set(r.pressure, hpa);
      }
  if (n >= 10) {
    const std::string_view tail = w.substr(9);
    const std::size_t slash = tail.find('/');
    if (slash != std::string_view::npos) r.remark = std::string(tail.substr(slash + 1));
  }
  return r;
}

WxColour TemperatureColour(int t) {
  if (t <= -40) return {250, 250, 250};
  if (t >= 40) return {0, 0, 0};
  if (t <= -30) {
    const int v = 225 - 25 * (t + 39);
    return {v, v, 250};
  }
  if (t <= -20) {
    static constexpr std::array<int, 10> g{16, 32, 48, 64, 80, 88, 96, 104, 112, 120};
    static constexpr std::array<int, 10> b{249, 248, 247, 250, 245, 244, 243, 242, 241, 240};
    return {0, g[t + 29], b[t + 29]};
  }
  if (t <= -10) {
    static constexpr std::array<int, 10> g{124, 128, 132, 136, 140, 142, 144, 146, 148, 150};
    return {0, g[t + 19], 239 - (t + 19)};
  }
  if (t <= -1) return {0, 154 + 4 * (t + 9), 226 - 4 * (t + 9)};
  if (t == 0) return {0, 190, 190};
  if (t <= 10) {
    static constexpr std::array<int, 10> b{180, 170, 160, 150, 140, 112, 84, 56, 28, 0};
    return {0, 196 + 6 * (t - 1), b[t - 1]};
  }
  if (t <= 20) {
    static constexpr std::array<int, 10> r{38, 76, 114, 152, 190, 196, 202, 208, 214, 220};
    static constexpr std::array<int, 10> g{248, 246, 244, 242, 240, 236, 232, 228, 224, 220};
    return {r[t - 11], g[t - 11], 0};
  }
  if (t <= 29) {
    static constexpr std::array<int, 9> g{210, 200, 190, 180, 170, 160, 140, 120, 60};
    static constexpr std::array<int, 9> r{224, 228, 232, 236, 240, 242, 244, 246, 248};
    return {r[t - 21], g[t - 21], 0};
  }
  return {250 - 25 * (t - 30), 0, 0};
}

WxColour HumidityBlend(WxColour c, const WxReport& report) {
  const int h = report.humidity.present() ? std::clamp<int>(report.humidity.value, 0, 100) : 50;
  auto mix = [h](int component) {
    const int v = static_cast<int>(RoundHalfEven(component - component * h / 100.0)) +
                  static_cast<int>(RoundHalfEven(192 * h / 100.0));
    return std::clamp(v, 0, 255);
  };
  return {mix(c.red), mix(c.green), mix(c.blue)};
}

int PressureStep(int pressure) {
  if (pressure == 1013) pressure = 1014;
  const double step = RoundHalfEven(25.0 / std::abs(pressure - 1013));
  return static_cast<int>(std::clamp(step, 1.0, 25.0));
}

int PressureShade(double angle, int pressure, int step) {
  if (pressure < 1013) angle += geodesy::kShortPi;
  if (step < 1) step = 1;
  return 192 + static_cast<int>(std::floor(63 * std::sin(angle) / step));
}

double RainOver24Hours(const WxReport& report, int hours, int minutes) {
  double r24 = 0;
  if (report.rainLast24Hours.present()) r24 = report.rainLast24Hours.value;
  if (report.rainToday.present()) {
    const double h = hours + minutes / 60.0;
    if (h > 0) r24 = std::max(r24, report.rainToday.value / h * 24);
  }
  return r24;
}

double RainOver24HoursOfRecord(const WxReport& report, std::string_view record) {
  const int hours = static_cast<int>(LeadingNumber(reception::Columns(record, 8, 9)));
  const int minutes = static_cast<int>(LeadingNumber(reception::Columns(record, 10, 11)));
  return RainOver24Hours(report, hours, minutes);
}

}  // namespace zeblon::stations

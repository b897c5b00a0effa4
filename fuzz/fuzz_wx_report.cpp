// libFuzzer target: any text as a station record (and as a bare weather word)
// through the weather decoder and the colour rules of both weather drawings.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "geodesy/geodesy.h"
#include "stations/wx_report.h"

using namespace zeblon::stations;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckReading(const WxReading& r) { Check(r.text.empty() || r.text.size() >= 5); }

void CheckReport(const WxReport& r) {
  for (const WxReading* x : {&r.windDirection, &r.windSpeed, &r.gustSpeed, &r.temperature, &r.rainLastHour,
                             &r.rainLast24Hours, &r.rainToday, &r.humidity, &r.pressure})
    CheckReading(*x);
  const WxColour c = HumidityBlend(TemperatureColour(r.temperature.value), r);
  for (int v : {c.red, c.green, c.blue}) Check(v >= 0 && v <= 255);
  const int step = PressureStep(r.pressure.value);
  Check(step >= 1 && step <= 25);
  for (int k = 0; k < 64; ++k) {
    const int g = PressureShade(k * geodesy::kShortPi / 32, r.pressure.value, step);
    Check(g >= 129 && g <= 255);
  }
  (void)RainOver24Hours(r, 12, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // As the comment of a record: 42 columns in front, blank-padded to 120.
  std::string record = std::string(42, ' ') + text;
  if (record.size() < 120) record.resize(120, ' ');
  if (auto r = DecodeWxReport(record)) CheckReport(*r);
  CheckReport(DecodeWxWord(text));
  return 0;
}

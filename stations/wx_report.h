// Weather readings in the comment of a station report, in metric units, and
// the colour rules both weather drawings (the map diagram and the WX STATION
// window) use.
//
// The readings are searched in the first word of the record's text from
// column 43 on (comment, object mark, heard-via, symbol): letters each followed
// by a fixed number of digits ("-" counts as a digit). The opening form
// "ddd/sss" gives direction and speed in knots and makes the gust count in
// knots; otherwise "c" and "s" give direction and speed in mph. Every value is
// rounded half to even and kept as a 16-bit whole number with a 5-character
// text; an absent reading has an empty text (a present reading may be 0).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeblon::stations {

// One reading: its value and its text (empty when absent, else the value
// right-aligned in 5 characters).
struct WxReading {
  std::int16_t value = 0;
  std::string text;
  bool present() const { return !text.empty(); }
};

struct WxReport {
  WxReading windDirection;  // degrees
  WxReading windSpeed;      // m/s
  WxReading gustSpeed;      // m/s
  WxReading temperature;    // degrees Celsius
  WxReading rainLastHour;   // mm
  WxReading rainLast24Hours;
  WxReading rainToday;  // since midnight
  WxReading humidity;   // percent
  WxReading pressure;   // hPa
  bool windInKnots = false;
  std::string remark;
};

// The first word of a record's text from column 43, trimmed (WxWord).
std::string WxWordOf(std::string_view record);

// The readings of a 120-character station record; nothing when the record's
// text from column 43, trimmed, is shorter than 16 characters.
std::optional<WxReport> DecodeWxReport(std::string_view record);

// The same over a weather word (what DecodeWxReport searches).
WxReport DecodeWxWord(std::string_view word);

struct WxColour {
  int red = 0, green = 0, blue = 0;
  friend bool operator==(const WxColour&, const WxColour&) = default;
};

// The colour of a whole-degree Celsius temperature (end rows below -39 and above 39).
WxColour TemperatureColour(int celsius);

// The temperature colour mixed with grey (192) by the humidity (50 when absent).
// A humidity outside 0..100, from malformed input, is held to 0..100, so every
// component stays within 0..255.
WxColour HumidityBlend(WxColour colour, const WxReport& report);

// 1..25: the spacing of the pressure rings and the strength of their shading.
int PressureStep(int pressure);

// The grey level (129..255) of the arc at angle a (radians) of the shaded ring.
int PressureShade(double angle, int pressure, int step);

// The 24-hour rain amount of the diagrams: the 24-hour reading, or the larger
// projection of the rain since midnight over the day when the report's time
// (hours, minutes) lies after 00:00.
double RainOver24Hours(const WxReport& report, int hours, int minutes);
// The same with the report's time taken from its record (columns 8-11).
double RainOver24HoursOfRecord(const WxReport& report, std::string_view record);

}  // namespace zeblon::stations

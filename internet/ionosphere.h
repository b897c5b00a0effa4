// The ionosphere values from the web: the magnetogram page (the K index from its
// three-hour and current Kiel values, and the sunspot number) and the
// space-weather bulletin as the fallback for whatever is still wanted.
#pragma once

#include <string>
#include <string_view>

namespace zeblon::internet {

struct IonoState {
  double sunspotNumber = 0;  // SSPT
  double kIndex = 0;         // KIND
  // Both values are wanted until a page has given them, also by the first
  // update after start-up.
  bool sunspotPending = true;
  bool kIndexPending = true;
  std::string status;       // Label46
  bool autoUpdate = false;  // IONA: take the values from the web
};

// What a parser asks of the window after it ran.
struct IonoOutcome {
  int settingsWrites = 0;        // Form1.WriteSettingsFile calls (each switches Timer1 on)
  bool requestBulletin = false;  // load the second source
  bool sunspotTaken = false;     // Text17 shows the new value and " (INET)"
  bool kIndexTaken = false;      // Text18 likewise
};

// `clock` is the time of day as HH:MM:SS for the status line.
IonoOutcome ParseMagnetogramPage(std::string_view page, IonoState& state, std::string_view clock);
IonoOutcome ParseSpaceWeatherBulletin(std::string_view page, IonoState& state, std::string_view clock);

// OK of the IONO DATA frame: without automatic update the two boxes' leading
// numbers become the values (a box without one gives 0); with it nothing is
// taken. True when the values were taken (the settings are then written).
bool ApplyManualIonoInput(std::string_view sunspotBox, std::string_view kIndexBox, IonoState& state);

// The K index of the magnetogram's two values: (h + c) * 10 rounded half to
// even, halved toward zero, over 10.
double CombinedKIndex(double threeHour, double current);

// A value as the boxes show it after an update: the number text and " (INET)".
std::string InetValueText(double value);

}  // namespace zeblon::internet

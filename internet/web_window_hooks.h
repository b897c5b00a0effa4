// What the web requests reach of the main window, apart from the requests
// themselves (so that the window's code can fill them without the page fetcher).
#pragma once

#include <functional>
#include <string>

#include "internet/ionosphere.h"

namespace zeblon::internet {

// Notice colours (platform colour values).
inline constexpr int kNoticeGreen = 0x00C000;
inline constexpr int kNoticeOlive = 0x00C0C0;
inline constexpr int kNoticeViolet = 0xFF80E0;

// What the requests reach of the window.
struct WebWindowHooks {
  std::function<void(bool on)> setTimer1;
  std::function<void(int ms)> armTimer2;  // Timer2 off, the interval, on
  std::function<void()> stopTimer2;
  std::function<void(const std::string& text, int colour)> showNotice;  // Text10 shown
  std::function<void()> hideNotice;                                     // Text10 hidden, its colour green
  std::function<void(bool busy)> hourglass;                             // the pointers of the window and Picture1
  std::function<void()> pumpEvents;
  std::function<void(double& latitude, double& longitude)> mapCentre;  // the map centre in degrees
  std::function<void()> writeSettings;                                 // Form1.WriteSettingsFile (switches Timer1 on)
  std::function<void(const IonoOutcome&)> showIono;                    // Text17, Text18, Label46 after a parse
  // The INFO panel's newest-report button (Command37) at work: a pass stored a
  // new report of the shown station while the panel is open.
  std::function<void()> showNewestInfoReport;
};

}  // namespace zeblon::internet

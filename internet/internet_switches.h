// The internet support switches beside the MONI 1 call box: MONI 1 internet
// support (Check22, with the choice of the raw-packet source), MONI ALL
// internet support (Check23) and the internet scan of every stored MONI 1
// station (Check27). Setting a box from code runs its handler when the value
// changes, as a click does.
#pragma once

#include <string>
#include <vector>

#include "internet/internet_ports.h"

namespace zeblon::internet {

// Back colours (platform colour values, blue * 65536 + green * 256 + red).
inline constexpr int kSwitchColour = 0xC0C0A0;
inline constexpr int kComboColour = 0xC8C8C8;
inline constexpr int kScanColour = 0x80C0E0;

struct InternetSwitchState {
  bool moniOneSupport = false;  // Check22
  bool areaSupport = false;     // Check23
  bool scan = false;            // Check27
  int webSource = 0;            // 0 source 1, 1 source 2
  bool internetScanBusy = false;
  int scanCountdown = 0;
  int webRequestCount = 0;
  int lastRawRequestHhmm = -5000;
  int lastAreaRequestHhmm = 0;
  double internetPollStart = 0;
  int comboColour = kComboColour, moniOneColour = kSwitchColour, scanColour = kSwitchColour;
};

class InternetSwitches {
 public:
  InternetSwitches(InternetSwitchState& state, InternetControls& controls, InternetWindow& window)
      : st_(state), controls_(controls), window_(window) {}

  void SetMoniOneSupport(bool on);  // Check22.Value = on
  void SetAreaSupport(bool on);     // Check23.Value = on
  void SetScan(bool on);            // Check27.Value = on
  // The CHAT window opened: the scan stops, and the boxes take their normal colours.
  void StopScan();
  // A right click on Check22: the other source.
  void ToggleWebSource() { st_.webSource = st_.webSource == 0 ? 1 : 0; }
  std::string MoniOneCaption() const { return st_.webSource == 0 ? "i  1" : "i  2"; }

  // The main cycle's scan step while the scan runs: counts down and takes the
  // next station at 0. True when it took a step (the tick ends).
  bool Tick();

 private:
  void MoniOneSupportChanged();
  void AreaSupportChanged();
  void ScanClicked();
  void NormalColours();

  InternetSwitchState& st_;
  InternetControls& controls_;
  InternetWindow& window_;
};

// The call that follows `current` in the list (wrapping; the first entry after
// a text that is not in the list is the second, or the only one); "" for an
// empty list.
std::string NextScanCall(const std::vector<std::string>& calls, const std::string& current);

}  // namespace zeblon::internet

// What the internet layer reaches outside itself, as two ports: the controls
// the internet boxes show their state in (implemented by the boxes) and the
// rest of the main window (implemented by the window). The main cycle's
// timers it reaches through links::CycleControl.
#pragma once

#include <string>
#include <vector>

#include "internet/ionosphere.h"
#include "reception/reception_host.h"

namespace zeblon::internet {

// Notice colours (platform colour values).
inline constexpr int kNoticeGreen = 0x00C000;
inline constexpr int kNoticeOlive = 0x00C0C0;
inline constexpr int kNoticeViolet = 0xFF80E0;

// The controls around the internet boxes: the notice over the map (Text10), the
// switch boxes with the CHAT (Check7) and direct-only (Check24) boxes and the
// MONI 1 combo (Combo9), and the IONO DATA values.
class InternetControls {
 public:
  virtual ~InternetControls() = default;
  // Text10 shown with `text` in `colour`; hidden, its colour green again.
  virtual void ShowNotice(const std::string& text, int colour) = 0;
  virtual void HideNotice() = 0;
  // The switch boxes show the switch state anew.
  virtual void SwitchesChanged() = 0;
  // Check7 ticked; Check7 unticked (its handler runs) and Frame3 hidden.
  virtual bool ChatOpen() = 0;
  virtual void CloseChat() = 0;
  // Check24 unticked.
  virtual void DirectOnlyOff() = 0;
  // Combo9's list, its text, and its text set.
  virtual std::vector<std::string> StoredCalls() = 0;
  virtual std::string ComboText() = 0;
  virtual void SetComboText(const std::string& text) = 0;
  // The map centre in degrees, for the area query.
  virtual void MapCentre(double& latitude, double& longitude) = 0;
  // The settings file written with the ionosphere values as they are now
  // (Form1.WriteSettingsFile, which switches Timer1 on).
  virtual void WriteSettings() = 0;
  // Text17, Text18 and Label46 after a parse of an ionosphere page.
  virtual void ShowIono(const IonoOutcome& outcome) = 0;
};

// The rest of the main window as the internet layer reaches it.
class InternetWindow {
 public:
  virtual ~InternetWindow() = default;
  // The wait pointer over the window and the map picture, or the normal one.
  virtual void ShowBusy(bool busy) = 0;
  // The window's events handled before the next step.
  virtual void PumpEvents() = 0;
  virtual void DrawMap() = 0;
  // The map picture takes the focus while the window is the active one.
  virtual void FocusMap() = 0;
  // The call in the MONI 1 combo selected, as the Enter key in the combo selects it.
  virtual void SelectMoniOneCall() = 0;
  // The MONI 1 read-out frames back at their standard width.
  virtual void RestoreMoniOneFrames() = 0;
  // How long the web polls may run, in seconds (InternetPollLimit).
  virtual double PollLimitSeconds() const = 0;
  // The INFO panel's newest-report button (Command37) at work: a pass stored a
  // new report of the shown station while the panel is open.
  virtual void ShowNewestInfoReport() = 0;
  // The local time: seconds since midnight, and HHMM.
  virtual double ClockSeconds() const = 0;
  virtual int Hhmm() const = 0;
  // The chat window's lines, the radio link's; null while there are none (the
  // internet layer keeps lines of its own then).
  virtual reception::ChatPanel* ChatLines() = 0;
};

}  // namespace zeblon::internet

// The internet boxes of the control column at work: MONI 1 internet support
// (Check22, its right click the other web source), MONI ALL internet support
// (Check23), the scan of the stored MONI 1 stations (Check27) and the IONO DATA
// frame opened from the distance-circle box (Check9). It shows the web requests'
// notice over the map (Text10) and joins the switches, the polls and the
// ionosphere values (internet/internet_wiring.h) to the controls it is given;
// the rest of the main window it reaches through its port.
#pragma once

#include <memory>
#include <string>

#include "internet/internet_wiring.h"
#include "internet/web_window_hooks.h"
#include "map/map_display.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/iono_data.h"
#include "platform/controls.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"

namespace zeblon::panels {

// What the internet boxes need of the rest of the program.
class InternetBoxesPort {
 public:
  virtual ~InternetBoxesPort() = default;
  // The main cycle: Timer1 on or off; the pause of a web request (Timer1 off,
  // the watchdog Timer2 armed with the interval) and the watchdog stopped.
  virtual void SetCycle(bool on) = 0;
  virtual void PauseCycle(int interval_ms) = 0;
  virtual void StopWatchdog() = 0;
  // The wait pointer over the window and the map picture, or the normal one.
  virtual void ShowBusy(bool busy) = 0;
  virtual void DrawMap() = 0;
  // The map picture takes the focus while the window is the active one.
  virtual void FocusMap() = 0;
  // The map as it stands: its centre for the web requests, its first drawing
  // for the IONO DATA frame.
  virtual const map::MapState& Map() const = 0;
  // The settings file written with these ionosphere values in it.
  virtual void WriteSettings(double sunspot_number, double k_index) = 0;
  // The chat: the notice over the map is a web poll's now (a message's web send
  // shows its own again when it shows); the chat window's lines (null: the
  // wiring keeps lines of its own); the CHAT frame hidden.
  virtual void WebNoticeTaken() = 0;
  virtual reception::ChatPanel* ChatLines() = 0;
  virtual void HideChat() = 0;
  // The call in the MONI 1 combo selected, as the Enter key in the combo selects it.
  virtual void SelectMoniOneCall() = 0;
  // The MONI 1 read-out frames back at their standard width.
  virtual void RestoreMoniOneFrames() = 0;
  // How long the web polls may run, in seconds (InternetPollLimit).
  virtual double PollLimitSeconds() const = 0;
  // The INFO panel's newest-report button (Command37): a web pass stored a new
  // report of the station the open panel shows.
  virtual void ShowNewestInfoReport() = 0;
};

class InternetBoxes {
 public:
  // `column`: the internet boxes, the CHAT and direct-only boxes and the MONI 1
  // combo (Combo9); `notice`: the web requests' notice over the map; `iono`: the
  // IONO DATA frame; `reception`: the state the web polls store their reports in;
  // `host`: the window's receive host the web passes decode through.
  InternetBoxes(ControlColumn& column, platform::TextBox& notice, IonoPanel& iono, reception::ReceptionState& reception,
                reception::ReceptionHost& host, InternetBoxesPort& port);
  ~InternetBoxes();
  InternetBoxes(const InternetBoxes&) = delete;
  InternetBoxes& operator=(const InternetBoxes&) = delete;

  // The station data from the web: switches, polls, ionosphere values.
  InternetWiring& Internet() { return *internet_; }
  // The web requests' hooks into the window (the chat's web send shows the same notice).
  const internet::WebWindowHooks& WebHooks() const { return web_hooks_; }
  // The boxes show the switch state, Check22 the web source, and the MONI 1
  // combo, Check22 and Check27 their back colours (the scan's while it runs);
  // the boxes' handlers do not run meanwhile.
  void ShowSwitches();
  // At start-up: the saved ionosphere values, the switches from their first state
  // (the first web source, no request made yet) shown, and with the automatic
  // update the magnetogram page requested.
  void StartUp(double sunspot_number, double k_index, bool auto_update);

 private:
  void MakeWebHooks();
  internet::SwitchHooks MakeSwitchHooks();
  InternetWiring::Hooks MakeWiringHooks();
  void WireBoxes();
  void ShowNotice(const std::string& text, int colour);
  void HideNotice();
  void SetNoticeColour(int colour);
  // The map centre in degrees; a centre the conversion cannot take leaves both as they are.
  void MapCentre(double& latitude, double& longitude) const;
  void SaveIonoValues();

  ControlColumn& column_;
  platform::TextBox& notice_;
  IonoPanel& iono_;
  InternetBoxesPort& port_;
  internet::WebWindowHooks web_hooks_;
  std::unique_ptr<InternetWiring> internet_;
  std::unique_ptr<IonoData> iono_data_;  // the IONO DATA frame at work
  bool showing_switches_ = false;
};

}  // namespace zeblon::panels

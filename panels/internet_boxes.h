// The internet boxes of the control column at work: MONI 1 internet support
// (Check22, its right click the other web source), MONI ALL internet support
// (Check23), the scan of the stored MONI 1 stations (Check27) and the IONO DATA
// frame opened from the distance-circle box (Check9). It shows the web requests'
// notice over the map (Text10) and joins the switches, the polls and the
// ionosphere values (internet/internet_wiring.h) to the controls it is given,
// for which it answers the internet layer's controls port; the rest of the main
// window the internet layer and the boxes reach through the boxes' port, and the
// main cycle through links::CycleControl.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "internet/internet_ports.h"
#include "internet/internet_wiring.h"
#include "links/cycle_control.h"
#include "map/map_display.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/iono_data.h"
#include "platform/controls.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"

namespace zeblon::panels {

// What the internet boxes need of the rest of the program: what the internet
// layer reaches of the window, and the boxes' own questions.
class InternetBoxesPort : public internet::InternetWindow {
 public:
  // The map as it stands: its centre for the web requests, its first drawing
  // for the IONO DATA frame.
  virtual const map::MapState& Map() const = 0;
  // The settings file written with these ionosphere values in it.
  virtual void WriteSettings(double sunspot_number, double k_index) = 0;
  // The chat: the notice over the map is a web poll's now (a message's web send
  // shows its own again when it shows); the CHAT frame hidden.
  virtual void WebNoticeTaken() = 0;
  virtual void HideChat() = 0;
};

class InternetBoxes : private internet::InternetControls {
 public:
  // `column`: the internet boxes, the CHAT and direct-only boxes and the MONI 1
  // combo (Combo9); `notice`: the web requests' notice over the map; `iono`: the
  // IONO DATA frame; `reception`: the state the web polls store their reports in;
  // `host`: the window's receive host the web passes decode through.
  InternetBoxes(ControlColumn& column, platform::TextBox& notice, IonoPanel& iono, reception::ReceptionState& reception,
                reception::ReceptionHost& host, links::CycleControl& cycle, InternetBoxesPort& port);
  ~InternetBoxes() override;
  InternetBoxes(const InternetBoxes&) = delete;
  InternetBoxes& operator=(const InternetBoxes&) = delete;

  // The station data from the web: switches, polls, ionosphere values.
  InternetWiring& Internet() { return *internet_; }
  // The notice and boxes as the internet layer reaches them (the chat's web send
  // shows the same notice).
  internet::InternetControls& Controls() { return *this; }
  // The boxes show the switch state, Check22 the web source, and the MONI 1
  // combo, Check22 and Check27 their back colours (the scan's while it runs);
  // the boxes' handlers do not run meanwhile.
  void ShowSwitches();
  // At start-up: the saved ionosphere values, the switches from their first state
  // (the first web source, no request made yet) shown, and with the automatic
  // update the magnetogram page requested.
  void StartUp(double sunspot_number, double k_index, bool auto_update);

 private:
  void WireBoxes();
  void SetNoticeColour(int colour);

  // internet::InternetControls
  void ShowNotice(const std::string& text, int colour) override;
  void HideNotice() override;
  void SwitchesChanged() override { ShowSwitches(); }
  bool ChatOpen() override;
  void CloseChat() override;
  void DirectOnlyOff() override;
  std::vector<std::string> StoredCalls() override;
  std::string ComboText() override;
  void SetComboText(const std::string& text) override;
  // A centre the conversion cannot take leaves both as they are.
  void MapCentre(double& latitude, double& longitude) override;
  void WriteSettings() override;
  void ShowIono(const internet::IonoOutcome& outcome) override;

  ControlColumn& column_;
  platform::TextBox& notice_;
  IonoPanel& iono_;
  links::CycleControl& cycle_;
  InternetBoxesPort& port_;
  std::unique_ptr<InternetWiring> internet_;
  std::unique_ptr<IonoData> iono_data_;  // the IONO DATA frame at work
  bool showing_switches_ = false;
};

}  // namespace zeblon::panels

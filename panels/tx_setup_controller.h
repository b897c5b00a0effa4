// The TX switch and the TX setup panel at work: the switch's left click turns
// the own beacon on or off, its right click opens the panel, and the panel's OK
// takes the entries (or refuses them), renews the link with the new call and
// sets the window's TX controls anew. The IGATE box beside the switch acts at
// once, as the OK would with it. The rules are in links/tx_setup.h; the
// controller works on the panel and the controls it is given and reaches the rest
// of the main window only through its port.
#pragma once

#include <QSize>
#include <functional>
#include <string>

#include "links/gps_reader.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/tx_setup_panel.h"
#include "platform/serial_port.h"
#include "settings/settings.h"

namespace zeblon::panels {

class TxSetupController {
 public:
  struct Port {
    // The window's own TX values: the dual HF mode, and the call and radio mode
    // label the OK takes.
    std::function<int()> hfDualOn;
    std::function<std::string()> radioModeLabel;
    std::function<void(const std::string& txCall, int hfDualOn, const std::string& radioModeLabel)> takeTxValues;
    std::function<void(int& hours, int& minutes)> timeOfDay;
    // The link step: the TNC's port, and the packet engine's registration anew.
    std::function<platform::SerialPort&()> tncPort;
    std::function<void(const std::string& txCall, int digiOn)> renewAgwRegistration;
    // The title's digipeater mark (column 61, left alone when empty) and IGate field (76).
    std::function<void(const std::string& digiMark, const std::string& igateMark)> markTitle;
    std::function<void()> writeSettings;
    // The APRS-IS link's login or logout by the IGate setting now, with the title's IGate field.
    std::function<void()> aprsIsNow;
    // After the OK: the own echo header, the receive side's settings and the texts follow.
    std::function<void()> settingsTaken;
    // The own beacon now (TX box without interval), the next position beacon due at once.
    std::function<void()> sendOwnBeacon;
    std::function<void()> makePositionBeaconDue;
    std::function<void()> objectBeaconOff;
    std::function<void()> drawMap;
    std::function<void()> focusMap;  // when the window is active
    // Both cycle timers held while the panel is open; the cycle started again.
    std::function<void()> holdCycle;
    std::function<void()> startCycle;
    std::function<QSize()> windowSize;
  };

  TxSetupController(TxSetupPanel& panel, ControlColumn& column, InfoPanel& info, ChatFrame& chat,
                    ObjectSetupPanel& object, Settings& settings, const links::GpsReader& gps, Port port);

  // The TX switch's mouse-up: 1 left (switch), 2 right (open the TX setup panel).
  void ToggleTransmitOrOpenTxSetup(int button);  // Check6, TX
  // The TX setup panel's OK.
  void TxSetupOk();
  // The IGATE box's click (Check15): while the box is enabled (a call that may
  // gate) its state becomes the IGate setting, marked in the title and written
  // to the settings file, and the APRS-IS link logs in or out at once. A
  // disabled box changes nothing: the stored choice is kept for a valid call.
  void SwitchIGate();

 private:
  TxSetupPanel& tx_;
  ControlColumn& column_;
  InfoPanel& info_;
  ChatFrame& chat_;
  ObjectSetupPanel& object_;
  Settings& settings_;
  const links::GpsReader& gps_;
  // The IGate as it works: the setting, while the box is enabled.
  int IGateInEffect() const;

  Port port_;
  bool ok_running_ = false;
};

}  // namespace zeblon::panels

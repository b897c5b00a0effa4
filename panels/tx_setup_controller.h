// The TX switch and the TX setup panel at work: the switch's left click turns
// the own beacon on or off, its right click opens the panel, and the panel's OK
// takes the entries (or refuses them), renews the link with the new call and
// sets the window's TX controls anew. The IGATE box beside the switch acts at
// once, as the OK would with it. The rules are in links/tx_setup.h; the
// controller works on the panel and the controls it is given, holds the main
// cycle and draws and focuses the map through the shared ports, and reaches the
// rest of the main window through its own port. It owns the own station's TX
// identity, which the OK changes and the rest of the program reads.
#pragma once

#include <QSize>
#include <string>

#include "links/cycle_control.h"
#include "links/gps_reader.h"
#include "links/tx_identity.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/map_actions.h"
#include "panels/tx_setup_panel.h"
#include "platform/serial_port.h"
#include "settings/settings.h"

namespace zeblon::panels {

// What the TX switch and the TX setup panel need of the rest of the program
// besides the main cycle and the map.
class TxSetupPort {
 public:
  virtual ~TxSetupPort() = default;
  virtual void TimeOfDay(int& hours, int& minutes) = 0;
  // The link step: the TNC's port, and the packet engine's registration anew.
  virtual platform::SerialPort& TncPort() = 0;
  virtual void RenewAgwRegistration(const std::string& tx_call, int digi_on) = 0;
  // The title's digipeater mark (column 61, left alone when empty) and IGate field (76).
  virtual void MarkTitle(const std::string& digi_mark, const std::string& igate_mark) = 0;
  virtual void WriteSettings() = 0;
  // The APRS-IS link's login or logout by the IGate setting now, with the title's IGate field.
  virtual void AprsIsNow() = 0;
  // After the OK: the receive side's settings (with the new echo header) and the texts follow.
  virtual void SettingsTaken() = 0;
  // The own beacon now (TX box without interval), the next position beacon due at once.
  virtual void SendOwnBeacon() = 0;
  virtual void MakePositionBeaconDue() = 0;
  virtual void ObjectBeaconOff() = 0;
  // The panel covers the window.
  virtual QSize WindowSize() const = 0;
};

class TxSetupController {
 public:
  TxSetupController(TxSetupPanel& panel, ControlColumn& column, InfoPanel& info, ChatFrame& chat,
                    ObjectSetupPanel& object, Settings& settings, const links::GpsReader& gps,
                    links::CycleControl& cycle, MapActions& map, TxSetupPort& port);

  // The own station's TX identity, for reading.
  const links::TxIdentity& Identity() const { return identity_; }
  // The start-up's values into the identity.
  void TakeStartValues(const links::StartValues& start);
  // The dual HF mode as the panel's HF-DUAL box (Check2) shows it.
  void TakeHfDualBox();

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
  links::TxIdentity identity_{settings_};
  // The IGate as it works: the setting, while the box is enabled.
  int IGateInEffect() const;

  links::CycleControl& cycle_;
  MapActions& map_;
  TxSetupPort& port_;
  bool ok_running_ = false;
};

}  // namespace zeblon::panels

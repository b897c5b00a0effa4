// The radio link as the main window sees it: the link's own ports and state,
// the service the window's start-up, main cycle and shutdown call, and the port
// through which a link reaches the window it serves (the own call, the title,
// notices and messages). What the receive pass reaches of the window (drawing,
// the panels it opens) is the window's receive host, handed to the link apart. The minimal link below does the least
// the window needs until a real link (links/live_radio_link.h) replaces it.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "links/aprs_is_link.h"
#include "links/serial_tnc_reader.h"
#include "platform/serial_port.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

namespace zeblon::links {

// What a radio link needs of the window it serves. The window fills every hook.
class RadioLinkWindow {
 public:
  virtual ~RadioLinkWindow() = default;
  // The own call of the TX setup (TxCall; empty before one is set).
  virtual std::string TxCall() = 0;
  virtual bool HfDualOn() = 0;  // the SCS TNC's HF dual mode is on
  // The computer's clock follows GPS time (the GPS reader's GpsTimeValid): the
  // beacon may carry its time stamp.
  virtual bool GpsTimeValid() = 0;
  // The window title the APRS-IS step writes its IGate field into.
  virtual std::string WindowTitle() = 0;
  virtual void SetWindowTitle(const std::string& title) = 0;
  // The title's log field: whether the log files cannot be written, and why.
  virtual void LogWriteTitleField(bool failing, bool diskFull) = 0;
  virtual void EndProgram(int code) = 0;  // the program ends at once, nothing saved
  // A message the user must see and answer (a message box). It stops the main
  // cycle while it is open: only for what the user's own action or the start-up
  // brings about.
  virtual void Message(const std::string& text, const std::string& title) = 0;
  // A message the user must see about what happened while nobody watched (a box
  // that is not modal): the main cycle and the links go on.
  virtual void Note(const std::string& text, const std::string& title) = 0;
  virtual void Notice(const std::string& text) = 0;  // a note on the link's state
  // The packet engine not reached or lost, said where the user looks; an empty
  // text once it answers.
  virtual void EngineNotice(const std::string& text) = 0;
  // The chat window's lines; null: the link keeps lines of its own.
  virtual reception::ChatPanel* ChatLines() = 0;
};

// The link's ports and their state.
struct LinkState {
  std::string AprsIsPasscode = "0";
  // The APRS-IS link with its receive buffer and the IGate's duplicate list.
  std::unique_ptr<AprsIsLink> AprsIs;
  platform::SerialPort MSComm1, MSComm2;  // the TNC's port, the GPS port
  // The live reading of MSComm1 for the serial TNC kinds.
  std::unique_ptr<SerialTncReader> TncReader;
  int AgwDataPending = 0;
};

class RadioLinkService {
 public:
  virtual ~RadioLinkService() = default;
  // The settings, the reception state, the window the link works for and the
  // window's receive host (the link's receive pass decodes through it, the
  // link's notes refill the RAW list through it); the APRS-IS link is made here,
  // telling the user through the window.
  virtual void Attach(const Settings& settings, reception::ReceptionState& reception, RadioLinkWindow& window,
                      reception::ReceptionHost& host);
  // The radio link of the interface kind and the GPS port, at start-up.
  virtual void BringUp() = 0;
  // The shutdown's close of the radio link by the interface kind: the TNC's last
  // commands with their waits.
  virtual void Close() = 0;
  // The shutdown's end of the TCP link to a remote AGW Packet Engine (kind 3), after
  // the close and its common wait.
  virtual void Disconnect() = 0;
  // The main cycle's steps of the link: the receive pass, the look at the
  // packet engine's link (reconnecting a lost one), the own beacon (`status`:
  // the 20-minute status beacon).
  virtual void DecodeReceivedTraffic() {}
  virtual void LinkUpkeep() {}
  virtual void SendOwnBeacon(bool status, bool aprsIsVerified) {
    (void)status;
    (void)aprsIsVerified;
  }
  // The own object's beacon (SendObjectBeacon).
  virtual void SendObjectBeacon() {}
  // The TX setup OK with the packet engine (kinds 0 and 3): the link closed and
  // opened again with `tx_call` registered in place of the old call.
  virtual void RenewRegistration(const std::string& tx_call) { (void)tx_call; }
  // An own information field through the transmit step; false when nothing went out.
  virtual bool Transmit(const std::string& infoField) {
    (void)infoField;
    return false;
  }
  // The chat lines of a link with a receive path (the window's fed passes
  // decode through the same ones); null for a link without.
  virtual reception::ChatPanel* Chat() { return nullptr; }

  // The APRS-IS link's upkeep and login; the title's IGate field and the ageing
  // of the duplicate list.
  void AprsIsUpkeep();
  void AprsIsTitleAndAgeing();
  // The main cycle's title step: the IGate field with the duplicate list's
  // ageing, and the log field.
  void TitleFieldsAndAgeing();
  // The SCS TNC's keep-alive while HF dual mode is on.
  void HfDualKeepAlive();
  // The own beacon (`status`: the status beacon) by the APRS-IS login as it stands.
  void SendBeacon(bool status) { SendOwnBeacon(status, state_.AprsIs->Verified()); }
  // The shutdown's last step on the ports: what MSComm1 and MSComm2 still hold
  // goes out, then they close. Bounded: a port whose line is stuck (flow control
  // held) gives up after two seconds.
  void DrainAndClosePorts();

  // The APRS-IS passcode of the start-up's call ("0": no login, no IGate).
  void TakeAprsIsPasscode(std::string passcode) { state_.AprsIsPasscode = std::move(passcode); }

  LinkState& State() { return state_; }
  // The IGate's hand-off of the receive pass over the APRS-IS link.
  reception::GateHook IGateHook();
  // MSComm1's live reader for the serial TNC kinds, made on first use.
  SerialTncReader& TncReader();

 protected:
  const Settings* settings_ = nullptr;
  reception::ReceptionState* reception_ = nullptr;
  RadioLinkWindow* window_ = nullptr;
  reception::ReceptionHost* host_ = nullptr;
  LinkState state_;

 private:
  // The APRS-IS link's settings as the settings, the passcode and the program's version are now.
  AprsIsSettings AprsIsSettingsNow() const;
};

// The minimal radio link: the window starts with it until a real link is set.
class MinimalRadioLink : public RadioLinkService {
 public:
  void BringUp() override;
  void Close() override;
  void Disconnect() override;
};

}  // namespace zeblon::links

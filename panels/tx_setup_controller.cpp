#include "panels/tx_setup_controller.h"

#include "links/tnc_commands.h"
#include "links/tx_setup.h"
#include "platform/message_box.h"
#include "settings/interface_kind.h"

namespace zeblon::panels {

using namespace platform;

TxSetupController::TxSetupController(TxSetupPanel& panel, ControlColumn& column, InfoPanel& info, ChatFrame& chat,
                                     ObjectSetupPanel& object, Settings& settings, const links::GpsReader& gps,
                                     links::CycleControl& cycle, MapActions& map, TxSetupPort& port)
    : tx_(panel),
      column_(column),
      info_(info),
      chat_(chat),
      object_(object),
      settings_(settings),
      gps_(gps),
      cycle_(cycle),
      map_(map),
      port_(port) {}

void TxSetupController::TakeStartValues(const links::StartValues& start) { identity_.TakeStartValues(start); }

void TxSetupController::TakeHfDualBox() { identity_.SetHfDualOn(tx_.Check2->Value() == 1); }

void TxSetupController::ToggleTransmitOrOpenTxSetup(int button) {
  auto* check6 = column_.Check6;
  if (button == 1) {
    if (check6->Caption() == "TX !") port_.SendOwnBeacon();
    map_.FocusMapWhenActive();
    if (check6->Value() != 1) {
      column_.Check7->SetValue(0);
      column_.Check18->SetValue(0);
      column_.SetObjCaptionGrey(true);
      port_.ObjectBeaconOff();
      chat_.hide();
      info_.Command41->setEnabled(false);
      info_.Command23->setEnabled(false);
      map_.DrawMap();
    } else {
      if (settings_.BeaconInterval == 0) {
        info_.Command41->setEnabled(false);
        info_.Command23->setEnabled(false);
        check6->SetValue(0);
      } else {
        column_.SetObjCaptionGrey(false);
        info_.Command41->setEnabled(true);
        info_.Command23->setEnabled(true);
        if (gps_.GpsFixMoved + gps_.GpsFixMovedBefore > 0 && chat_.Check16->Value() == 0) {
          chat_.Check16->SetValue(1);
        }
      }
      port_.MakePositionBeaconDue();
    }
    return;
  }
  if (button != 2 || !object_.isHidden()) return;
  // The panel holds both timers until its OK or ABORT.
  cycle_.HoldCycle();
  tx_.Show(links::TxPanelOpening(settings_, identity_.HfDualOn() ? 1 : 0, tx_.Values()));
  const QSize size = port_.WindowSize();
  tx_.setGeometry(0, 0, size.width(), size.height());
  tx_.show();
  tx_.raise();
  tx_.ShowSymbol(settings_.TxSymbolIndex);
}

void TxSetupController::TxSetupOk() {
  // The link step lets events run: a second click meanwhile is not a second OK.
  if (ok_running_) return;
  ok_running_ = true;
  const links::TxSetupOk ok = tx_.Take(settings_, column_.Check15->isEnabled(), column_.Check15->Value());
  if (!ok.refusals.empty()) {
    std::string text;
    for (const std::string& r : ok.refusals) text += (text.empty() ? "" : "\r\n") + r;
    MsgBox(text, "ZEBLON  TX SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
    ok_running_ = false;
    return;  // the panel stays open with the user's entries; nothing is taken
  }
  settings_ = ok.settings;
  const InterfaceKind kind = InterfaceKindOf(settings_.InterfaceKind);
  const std::string radio_mode_label = links::RadioModeLabelFor(settings_.RadioMode, identity_.RadioModeLabel());
  identity_.TakeTxSetup(ok.txCall, ok.hfDualOn == 1, radio_mode_label);
  int hh = 0, mm = 0;
  port_.TimeOfDay(hh, mm);
  column_.ShowClock(hh, mm, settings_.InterfaceKind, radio_mode_label, gps_.GpsTimeValid == 1);

  // The link step.
  tx_.fr4Command4->SetCaption("...");
  if (UsesPacketEngine(kind)) {
    // The engine's link anew with the new call (no UI digipeater program here).
    port_.RenewAgwRegistration(ok.txCall, settings_.DigiOn);
  } else if (UsesSerialTnc(kind) && port_.TncPort().IsOpen()) {
    // A closed port (a TNC that failed at START) is skipped quietly.
    links::TncRunOptions o;
    o.portNumber = links::TncPortNumber(links::TncSettingsFrom(settings_, ok.hfDualOn == 1));
    o.closeAtEnd = false;
    o.maxPromptReads = 10;
    o.drainTimeoutMs = 2000;
    links::RunTncCommandSet(links::TncResendSet(links::TncSettingsFrom(settings_, ok.hfDualOn == 1)), port_.TncPort(),
                            o);
  }

  // Status marks.
  port_.MarkTitle(
      links::DigiTitleMark(settings_.DigiOn, settings_.InterfaceKind, settings_.CrossMode, settings_.RadioMode),
      links::IGateTitleMark(IGateInEffect()));

  port_.WriteSettings();
  tx_.fr4Command4->SetCaption("OK");
  tx_.hide();

  auto* check6 = column_.Check6;
  check6->SetCaption(links::TxBoxCaption(settings_.BeaconInterval));
  if (settings_.BeaconInterval == 0) check6->SetValue(0);
  if (settings_.UserNorth != 0 && settings_.UserEast != 0 && kind != InterfaceKind::NoRadio) {
    check6->setEnabled(true);
    info_.Command23->setEnabled(settings_.BeaconInterval > 0);
  }
  if (check6->Value() != 1) {
    info_.Command23->setEnabled(false);
    column_.Check7->SetValue(0);
    chat_.hide();
  }
  identity_.RenewOwnEchoHeader();
  port_.SettingsTaken();
  port_.MakePositionBeaconDue();
  cycle_.StartCycle();
  map_.FocusMapWhenActive();
  ok_running_ = false;
}

int TxSetupController::IGateInEffect() const { return column_.Check15->isEnabled() && settings_.IGateOn == 1 ? 1 : 0; }

void TxSetupController::SwitchIGate() {
  const int on = column_.Check15->Value() == 1 ? 1 : 0;
  if (!column_.Check15->isEnabled() || on == IGateInEffect()) return;
  settings_.IGateOn = on;
  port_.MarkTitle({}, links::IGateTitleMark(on));
  port_.WriteSettings();
  port_.AprsIsNow();
}

}  // namespace zeblon::panels

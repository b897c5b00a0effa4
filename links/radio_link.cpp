#include "links/radio_link.h"

#include "links/cycle_tick.h"
#include "links/tnc_commands.h"
#include "platform/wait.h"
#include "settings/interface_kind.h"

namespace zeblon::links {

void RadioLinkService::Attach(const Settings& settings, reception::ReceptionState& reception, RadioLinkWindow& window,
                              reception::ReceptionHost& host) {
  settings_ = &settings;
  reception_ = &reception;
  window_ = &window;
  host_ = &host;
  AprsIsLink::Hooks hooks;
  // The link tells from inside the main cycle: in the RAW list and a box that
  // lets the cycle go on.
  hooks.message = [this](const std::string& text) {
    window_->Notice(text);
    host_->MonitorListChanged();
    window_->Note(text, "ZEBLON  APRS-IS");
  };
  hooks.notice = [this](const std::string& text) { window_->Notice(text); };
  state_.AprsIs = std::make_unique<AprsIsLink>(hooks);
}

reception::GateHook RadioLinkService::IGateHook() {
  return state_.AprsIs->GateHookFor(InterfaceKindOf(settings_->InterfaceKind), window_->TxCall());
}

void RadioLinkService::TitleFieldsAndAgeing() {
  AprsIsTitleAndAgeing();
  window_->LogWriteTitleField(reception_->logWritesFailing, reception::IsDiskFull(reception_->logWriteError));
}

void RadioLinkService::HfDualKeepAlive() {
  if (!window_->HfDualOn()) return;
  state_.MSComm1.Write(std::string(1, kEsc) + "%AU1\r");
  platform::Pause(0.1f);
}

AprsIsSettings RadioLinkService::AprsIsSettingsNow() const {
  return AprsIsSettingsFrom(*settings_, state_.AprsIsPasscode, kProgramVersion);
}

void RadioLinkService::AprsIsUpkeep() { state_.AprsIs->LinkUpkeep(AprsIsSettingsNow()); }

void RadioLinkService::AprsIsTitleAndAgeing() {
  std::string title = window_->WindowTitle();
  state_.AprsIs->TitleAndAgeing(AprsIsSettingsNow(), title);
  window_->SetWindowTitle(title);
}

void RadioLinkService::DrainAndClosePorts() {
  for (platform::SerialPort* port : {&state_.MSComm1, &state_.MSComm2}) {
    if (port->IsOpen()) {
      port->Drain(2000);
      port->Close();
    }
  }
}

SerialTncReader& RadioLinkService::TncReader() {
  if (!state_.TncReader) {
    const int kind = settings_->InterfaceKind;
    const int port =
        InterfaceKindOf(kind) == InterfaceKind::Pk232 ? settings_->TncComPort : static_cast<int>(settings_->ScsComPort);
    state_.TncReader = std::make_unique<SerialTncReader>(state_.MSComm1, TncKindName(kind), port,
                                                         [this](const std::string& text) { window_->Notice(text); });
  }
  return *state_.TncReader;
}

void MinimalRadioLink::BringUp() { reception_->receiveBuffer.assign(1, '\n'); }

void MinimalRadioLink::Close() {
  TncRunOptions options;
  RunTncCommandSet(TncCloseSet(settings_->InterfaceKind), state_.MSComm1, options);
}

void MinimalRadioLink::Disconnect() { state_.AgwDataPending = 0; }

}  // namespace zeblon::links

#include "main_window/live_radio_link.h"

#include "links/object_beacon.h"
#include "links/radio_bringup.h"
#include "links/tnc_commands.h"
#include "main_window/shell_logic.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "reception/frame_assembly.h"
#include "reception/symbol_table.h"
#include "settings/interface_kind.h"

namespace zeblon {

LiveRadioLink::LiveRadioLink() {
  engine_.SetStatusHook([this](const std::string& text) { Tell(text); });
  engine_.SetUpDownHook([this](bool up) {
    if (radio_.link != nullptr) radio_.link->AgwDataPending = up ? 1 : 0;
  });
  beacon_.resolvePath = [](const std::string& name) { return links::InfoFilePath(name, platform::ProgramFolder()); };
  beacon_.tell = [this](const std::string& text) { Tell(text); };
}

LiveRadioLink::~LiveRadioLink() = default;

void LiveRadioLink::Attach(const RadioLinkContext& context) {
  RadioLinkService::Attach(context);
  rx_ = std::make_unique<links::RadioReceiver>(*context.reception, *this,
                                               context.chat != nullptr ? *context.chat : chat_);
  rx_->AttachEngine(engine_);
  rx_->SetNotice([this](const std::string& text) { Tell(text); });
  if (context.readTnc) rx_->AttachTnc(context.readTnc);
}

void LiveRadioLink::Tell(const std::string& text) {
  told_.push_back(text);
  // In the RAW list, where the traffic is watched; a box would stop the cycle.
  if (radio_.notice) {
    radio_.notice(text);
    MonitorListChanged();
  } else if (radio_.reception != nullptr) {
    reception::AddToMonitorLines(radio_.reception->monitorLines, "\n*** " + text + " ***\n");
    MonitorListChanged();
  }
}

void LiveRadioLink::BringUp() {
  radio_.reception->receiveBuffer = "\n";
  links::BringUpPorts ports;
  ports.tnc = &radio_.link->MSComm1;
  ports.gps = &radio_.link->MSComm2;
  ports.engine = &engine_;
  const std::string txCall = radio_.shell != nullptr ? radio_.shell->TxCall : std::string();
  const links::BringUpResult r = links::BringUpRadioLink(*radio_.settings, txCall, ports);
  radio_.link->AgwDataPending = engine_.DataPending() ? 1 : 0;
  for (const std::string& e : r.portErrors) Tell(e);
  if (r.engineTried && InterfaceKindOf(radio_.settings->InterfaceKind) == InterfaceKind::AgwLocal &&
      r.engine != links::AgwTcpLink::ConnectResult::Registered &&
      r.engine != links::AgwTcpLink::ConnectResult::CallRefused) {
    SayEngineNotReached();
  }
  if (r.endProgram) {
    platform::MsgBox(r.message, r.messageTitle, platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
    engine_.Disconnect(0);
    if (radio_.endProgram) radio_.endProgram(1);
  }
}

void LiveRadioLink::SayEngineNotReached() {
  const links::AgwAddress a = links::AgwAddressFor(*radio_.settings);
  const std::string text = shell::EngineNotReachedText(a.host, a.port);
  Tell(text);
  engineNoticeShown_ = true;
  if (radio_.engineNotice) radio_.engineNotice(text);
}

void LiveRadioLink::ClearEngineNoticeWhenUp() {
  if (!engineNoticeShown_ || engine_.state() != links::AgwTcpLink::State::Up) return;
  engineNoticeShown_ = false;
  if (radio_.engineNotice) radio_.engineNotice(std::string());
}

void LiveRadioLink::Close() {
  links::TncRunOptions options;
  options.close_at_end = false;  // the shutdown drains and closes the ports afterwards
  links::RunTncCommandSet(links::TncCloseSet(radio_.settings->InterfaceKind), radio_.link->MSComm1, options);
  // The engine on this computer: the registration ends with the program.
  if (InterfaceKindOf(radio_.settings->InterfaceKind) == InterfaceKind::AgwLocal) {
    engine_.Disconnect(0.2f);
    radio_.link->AgwDataPending = 0;
  }
}

void LiveRadioLink::Disconnect() {
  engine_.Disconnect(1.0f);
  radio_.link->AgwDataPending = 0;
}

void LiveRadioLink::RenewRegistration(const std::string& tx_call) {
  if (!UsesPacketEngine(InterfaceKindOf(radio_.settings->InterfaceKind))) return;
  const auto r = links::RenewAgwRegistration(*radio_.settings, tx_call, engine_);
  radio_.link->AgwDataPending = engine_.DataPending() ? 1 : 0;
  if (r != links::AgwTcpLink::ConnectResult::Registered) Tell(links::AgwFailureText(r));
  ClearEngineNoticeWhenUp();
}

void LiveRadioLink::LinkUpkeep() {
  engine_.Upkeep();
  radio_.link->AgwDataPending = engine_.DataPending() ? 1 : 0;
  ClearEngineNoticeWhenUp();
}

void LiveRadioLink::DecodeReceivedTraffic() {
  if (!rx_) return;
  if (radio_.igateHook) rx_->SetGate(radio_.igateHook());
  rx_->DecodeReceivedTraffic();
}

bool LiveRadioLink::Transmit(const std::string& infoField) {
  const Settings& s = *radio_.settings;
  links::TransmitLink t;
  t.interfaceKind = s.InterfaceKind;
  t.txCall = radio_.shell != nullptr && !radio_.shell->TxCall.empty() ? radio_.shell->TxCall : s.UserCall;
  t.destination = s.TxDestination;
  t.path = s.TxPath;
  t.radioMode = s.RadioMode;
  t.engine = &engine_;
  platform::SerialPort* port = &radio_.link->MSComm1;
  t.writeTnc = [port](const std::string& bytes) { return port->Write(bytes); };
  return links::TransmitInfoField(t, infoField);
}

void LiveRadioLink::SendOwnBeacon(bool status, bool aprsIsVerified) {
  const Settings& s = *radio_.settings;
  links::BeaconSettings b;
  b.userCall = s.UserCall;
  b.userNorth = s.UserNorth;
  b.userEast = s.UserEast;
  b.mapCentralMeridian = radio_.reception->settings.mapCentralMeridian;
  b.mapFalseEasting = radio_.reception->settings.mapFalseEasting;
  const auto& table = reception::StandardSymbolTable();
  const int index = s.TxSymbolIndex >= 0 && s.TxSymbolIndex < reception::kSymbolTableRows ? s.TxSymbolIndex : 0;
  b.symbolRow = table[index];
  b.overlay = s.TxOverlay;
  b.txTimestamp = s.TxTimestamp == 1;
  b.gpsClockSet = radio_.shell != nullptr && radio_.shell->GpsClockSet == 1;
  b.utcOffsetHours = static_cast<int>(s.UtcOffsetHours);
  for (int i = 0; i < 6; ++i) {
    b.infoLines[i] = s.InfoLines[i + 1];
    b.infoActive[i] = s.InfoLineActive[i + 1] != 0;
  }
  b.digiOn = s.DigiOn == 1;
  b.aprsIsVerified = aprsIsVerified;
  b.crossMode = s.CrossMode;
  b.radioMode = s.RadioMode;
  b.interfaceKind = s.InterfaceKind;
  if (const auto info = beacon_.NextInfoField(b, Now(), status)) Transmit(*info);
}

void LiveRadioLink::SendObjectBeacon() {
  const links::ObjectBeaconSettings o = links::ObjectBeaconSettingsFrom(
      *radio_.settings, radio_.reception->settings.mapCentralMeridian, radio_.reception->settings.mapFalseEasting);
  if (const auto info = links::ObjectInfoField(o, Now())) Transmit(*info);
}

reception::LocalTime LiveRadioLink::Now() { return ComputerClockNow(); }

void LiveRadioLink::DrawMap() {
  if (radio_.drawMap) radio_.drawMap();
}

void LiveRadioLink::SetTimer1(bool on) {
  if (radio_.setTimer1) radio_.setTimer1(on);
}

void LiveRadioLink::ConvertMapKmToLatLon(double northKm, double eastKm, std::string& latText, std::string& lonText) {
  const links::LatLon p = links::MapKmToLatLon(northKm, eastKm, radio_.reception->settings.mapCentralMeridian,
                                               radio_.reception->settings.mapFalseEasting);
  // Degrees and minutes as in the own position report.
  const std::string aprs = links::FormatAprsPosition(p, "/-", "");
  latText = aprs.substr(0, 8);
  lonText = aprs.substr(9, 9);
}

void LiveRadioLink::SendAprsMessage(const std::string& outgoingMessage) {
  if (radio_.sendAprsMessage)
    radio_.sendAprsMessage(outgoingMessage);
  else
    Transmit(outgoingMessage);
}

void LiveRadioLink::MonitorListChanged() {
  if (radio_.monitorListChanged) radio_.monitorListChanged();
}

void LiveRadioLink::ShowEmergencyWindow() {
  if (radio_.showEmergencyWindow) radio_.showEmergencyWindow();
}

void LiveRadioLink::ShowWxInfoForRecord(const std::string& infoRecord) {
  if (radio_.showWxInfoForRecord) radio_.showWxInfoForRecord(infoRecord);
}

void LiveRadioLink::InfoPanelChanged() {
  if (radio_.infoPanelChanged) radio_.infoPanelChanged();
}

void LiveRadioLink::ShowDistanceAlarm(const reception::DistanceAlarm& alarm) {
  if (radio_.showDistanceAlarm) radio_.showDistanceAlarm(alarm);
}

void LiveRadioLink::Beep() {
  if (radio_.beep) radio_.beep();
}

void LiveRadioLink::FollowMoniOneStation() {
  if (radio_.followMoniOneStation) radio_.followMoniOneStation();
}

void LiveRadioLink::ClosePictureViewer() {
  if (radio_.closePictureViewer) radio_.closePictureViewer();
}

bool LiveRadioLink::PictureViewerShown() { return radio_.pictureViewerShown && radio_.pictureViewerShown(); }

void LiveRadioLink::AfterQuietPass() {
  if (radio_.afterQuietPass) radio_.afterQuietPass();
}

}  // namespace zeblon

#include "links/live_radio_link.h"

#include "links/computer_clock.h"
#include "links/gps_reader.h"
#include "links/object_beacon.h"
#include "links/radio_bringup.h"
#include "links/tnc_commands.h"
#include "links/tx_identity.h"
#include "platform/paths.h"
#include "reception/frame_assembly.h"
#include "reception/symbol_table.h"
#include "settings/interface_kind.h"

namespace zeblon::links {

LiveRadioLink::LiveRadioLink() {
  engine_.SetStatusHook([this](const std::string& text) {
    // A loss is said where the user looks; its end is told with the answer (EngineAnswered).
    if (text == kAgwLinkRestored) return;
    Tell(text);
    if (text == kAgwLinkLost) ShowEngineNotice(EngineNotice::Lost, text);
  });
  engine_.SetUpDownHook([this](bool up) {
    state_.AgwDataPending = up ? 1 : 0;
    if (up) EngineAnswered();
  });
  engine_.SetAttemptFailedHook([this] {
    if (awaitingEngine_) SayEngineNotReached();
  });
  beacon_.resolvePath = [](const std::string& name) { return InfoFilePath(name, platform::ProgramFolder()); };
  beacon_.tell = [this](const std::string& text) { Tell(text); };
}

LiveRadioLink::~LiveRadioLink() = default;

void LiveRadioLink::Attach(const Settings& settings, reception::ReceptionState& reception, RadioLinkWindow& window,
                           reception::ReceptionHost& host) {
  RadioLinkService::Attach(settings, reception, window, host);
  rx_ = std::make_unique<RadioReceiver>(reception, host, *Chat());
  rx_->AttachEngine(engine_);
  rx_->SetNotice([this](const std::string& text) { Tell(text); });
  rx_->AttachTnc([this] { return TncReader().Read(); });
}

reception::ChatPanel* LiveRadioLink::Chat() {
  reception::ChatPanel* lines = window_ != nullptr ? window_->ChatLines() : nullptr;
  return lines != nullptr ? lines : &chat_;
}

void LiveRadioLink::Tell(const std::string& text) {
  told_.push_back(text);
  // In the RAW list, where the traffic is watched; a box would stop the cycle.
  window_->Notice(text);
  host_->MonitorListChanged();
}

void LiveRadioLink::BringUp() {
  reception_->receiveBuffer = "\n";
  BringUpPorts ports;
  ports.tnc = &state_.MSComm1;
  ports.gps = &state_.MSComm2;
  ports.engine = &engine_;
  // The engine on this computer is not waited for: a notice comes only when an
  // attempt fails, and the answer after one is told (BringUpRadioLink).
  const bool local = InterfaceKindOf(settings_->InterfaceKind) == InterfaceKind::AgwLocal;
  awaitingEngine_ = local;
  const BringUpResult r = BringUpRadioLink(*settings_, window_->TxCall(), ports);
  state_.AgwDataPending = engine_.DataPending() ? 1 : 0;
  for (const std::string& e : r.portErrors) Tell(e);
  if (r.engine == AgwTcpLink::ConnectResult::CallRefused) awaitingEngine_ = false;
  if (local && r.engine == AgwTcpLink::ConnectResult::HostNotFound) SayEngineNotReached();
  if (r.endProgram) {
    window_->Message(r.message, r.messageTitle);
    engine_.Disconnect(0);
    window_->EndProgram(1);
  }
}

std::string LiveRadioLink::EngineNotReached() const {
  const AgwAddress a = AgwAddressFor(*settings_);
  return EngineNotReachedText(a.host, a.port);
}

void LiveRadioLink::SayEngineNotReached() {
  const std::string text = EngineNotReached();
  if (ShowEngineNotice(EngineNotice::NotReached, text)) Tell(text);
}

bool LiveRadioLink::ShowEngineNotice(EngineNotice kind, const std::string& text) {
  if (notice_ != EngineNotice::None) return false;  // said once until the engine answers
  notice_ = kind;
  window_->EngineNotice(text);
  return true;
}

void LiveRadioLink::EngineAnswered() {
  awaitingEngine_ = false;
  if (notice_ == EngineNotice::None) return;
  const AgwAddress a = AgwAddressFor(*settings_);
  Tell(notice_ == EngineNotice::Lost ? std::string(kAgwLinkRestored) : EngineAnsweredText(a.host, a.port));
  notice_ = EngineNotice::None;
  window_->EngineNotice(std::string());
}

void LiveRadioLink::Close() {
  TncRunOptions options;
  options.closeAtEnd = false;  // the shutdown drains and closes the ports afterwards
  RunTncCommandSet(TncCloseSet(settings_->InterfaceKind), state_.MSComm1, options);
  // The engine on this computer: the registration ends with the program.
  if (InterfaceKindOf(settings_->InterfaceKind) == InterfaceKind::AgwLocal) {
    engine_.Disconnect(0.2f);
    state_.AgwDataPending = 0;
  }
}

void LiveRadioLink::Disconnect() {
  engine_.Disconnect(1.0f);
  state_.AgwDataPending = 0;
}

void LiveRadioLink::RenewRegistration(const std::string& tx_call) {
  if (!UsesPacketEngine(InterfaceKindOf(settings_->InterfaceKind))) return;
  awaitingEngine_ = false;  // the renewal's failure is told below, with its reason
  const auto r = RenewAgwRegistration(*settings_, tx_call, engine_);
  state_.AgwDataPending = engine_.DataPending() ? 1 : 0;
  if (r == AgwTcpLink::ConnectResult::Registered) return;
  Tell(AgwFailureText(r));
  if (r == AgwTcpLink::ConnectResult::CallRefused) return;
  // The upkeep keeps trying: the title says so until the engine answers.
  awaitingEngine_ = true;
  ShowEngineNotice(EngineNotice::NotReached, EngineNotReached());
}

void LiveRadioLink::LinkUpkeep() {
  engine_.Upkeep();
  state_.AgwDataPending = engine_.DataPending() ? 1 : 0;
}

void LiveRadioLink::DecodeReceivedTraffic() {
  if (!rx_) return;
  rx_->SetGate(IGateHook());
  rx_->DecodeReceivedTraffic();
}

bool LiveRadioLink::Transmit(const std::string& infoField) {
  const Settings& s = *settings_;
  TransmitLink t;
  t.interfaceKind = s.InterfaceKind;
  t.txCall = EffectiveTxCall(window_->TxCall(), s.UserCall);
  t.destination = s.TxDestination;
  t.path = s.TxPath;
  t.radioMode = s.RadioMode;
  t.engine = &engine_;
  platform::SerialPort* port = &state_.MSComm1;
  t.writeTnc = [port](const std::string& bytes) { return port->Write(bytes); };
  return TransmitInfoField(t, infoField);
}

void LiveRadioLink::SendOwnBeacon(bool status, bool aprsIsVerified) {
  const Settings& s = *settings_;
  BeaconSettings b;
  b.userCall = s.UserCall;
  b.userNorth = s.UserNorth;
  b.userEast = s.UserEast;
  b.mapCentralMeridian = reception_->settings.mapCentralMeridian;
  b.mapFalseEasting = reception_->settings.mapFalseEasting;
  const auto& table = reception::StandardSymbolTable();
  const int index = s.TxSymbolIndex >= 0 && s.TxSymbolIndex < reception::kSymbolTableRows ? s.TxSymbolIndex : 0;
  b.symbolRow = table[index];
  b.overlay = s.TxOverlay;
  b.txTimestamp = s.TxTimestamp == 1;
  b.gpsTimeValid = window_->GpsTimeValid();
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
  if (const auto info = beacon_.NextInfoField(b, ComputerClockNow(), status)) Transmit(*info);
}

void LiveRadioLink::SendObjectBeacon() {
  const ObjectBeaconSettings o = ObjectBeaconSettingsFrom(*settings_, reception_->settings.mapCentralMeridian,
                                                          reception_->settings.mapFalseEasting);
  if (const auto info = ObjectInfoField(o, ComputerClockNow())) Transmit(*info);
}

}  // namespace zeblon::links

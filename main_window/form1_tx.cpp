// The main window's GPS step, TX switch, TX setup panel, terminal and RAW list:
// thin glue between the window's controls and links/gps_reader, links/tx_setup,
// the TNC command sets, panels/terminal and panels/raw_list.
#include <QDateTime>

#include "geodesy/text.h"
#include "links/tnc_commands.h"
#include "links/tx_setup.h"
#include "main_window/form1.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/qtext.h"
#include "settings/interface_kind.h"

namespace zeblon {

namespace fs = std::filesystem;
using namespace platform;

void Form1::BuildTxControls() {
  Label39 = Add<Label>(this, {200, 700, 824, 18}, "Label39");
  Label39->setAutoFillBackground(true);
  Label39->hide();
  tx_->OnOk = [this] { TxSetupOk(); };
  tx_->OnAbort = [this] { cycle_->Start(); };
  tx_->OnSymbolShown = [this](int) { cycle_->StopAll(); };
  column_->Check6->OnMouseUp = [this](int button) { ToggleTransmitOrOpenTxSetup(button); };

  terminal_io_ = new panels::Terminal(*terminal_, RadioLink().State().MSComm1, this);
  terminal_io_->OnClosed = [this] { cycle_->Resume(); };

  notice_ = new panels::TemporaryNotice(this);
  panels::RawListContext rc;
  rc.reception = &reception_;
  rc.port = &RadioLink().State().MSComm1;
  rc.interfaceKind = [this] { return settings_.InterfaceKind; };
  rc.radioMode = [this] { return settings_.RadioMode; };
  rc.cycleInterval = [this] { return shell_.CycleInterval; };
  rc.holdCycle = [this](int ms) {
    Timer1->stop();
    Timer1->setInterval(ms);
    Timer1->start();
  };
  rc.stopCycle = [this] { cycle_->Stop(); };
  rc.startCycle = [this] { cycle_->Start(); };
  rc.drawMap = [this] { DrawMap(); };
  rc.focusMap = [this] {
    if (isActiveWindow()) Picture1->setFocus();
  };
  rc.infoOpened = [this] {
    const reception::InfoPanelState& info = reception_.info;
    info_service_->ShowStationInfo(info.call, info.index, false);
  };
  rc.twipsPerPixelX = [this] { return shell_.TwipsPerPixelX; };
  rc.twipsPerPixelY = [this] { return shell_.TwipsPerPixelY; };
  raw_list_ = new panels::RawList(*List1, *column_->Check3, *column_->Command3, *Picture1, *notice_, rc, this);
}

// ---------------------------------------------------------------------------
// GPS

void Form1::ReadGps() {
  const std::string& source = settings_.GpsSource;
  if (!links::GpsSourceSet(source)) return;
  links::GpsTickContext c;
  c.map_central_meridian = map_core_->state().MapCentralMeridian;
  c.map_false_easting = map_core_->state().MapFalseEasting;
  c.data_folder = data_folder_;
  c.navigation_folder = ResolveOrSame(WindowsPathToLinux("C:\\MAP\\" + settings_.MapSystem, app_folder_));
  const QDateTime now = QDateTime::currentDateTime();
  c.now = {now.date().year(), now.date().month(),  now.date().day(),
           now.time().hour(), now.time().minute(), now.time().second()};
  c.utc_now = static_cast<std::time_t>(now.toSecsSinceEpoch());
  c.seconds_since_map_interaction = SecondsSinceMapInteraction ? SecondsSinceMapInteraction() : 1e9;
  fs::path drop;
  if (links::GpsSourceIsDropFile(source)) {
    fs::path p = WindowsPathToLinux(source, app_folder_);
    if (p.is_relative()) p = fs::path(app_folder_) / p;
    drop = ResolveOrSame(p);
  }
  SerialPort* port = links::GpsPortNumber(source) > 0 ? &RadioLink().State().MSComm2 : nullptr;
  if (port != nullptr && !port->IsOpen() && !gps_port_tried_) {
    // The start-up's link opens the GPS port; when it has not, the first read does, once.
    gps_port_tried_ = true;
    links::OpenGpsPort(*port, source, settings_.GpsBaud);
  }
  const links::GpsTickResult r = links::ReadGps(gps_, nav_, port, drop, c);
  // The window's controls behind the tick's view.
  struct View : links::GpsTickView {
    platform::Label* readout;
    panels::ControlColumn& column;
    platform::CheckBox* autoAnswer;
    View(platform::Label* l, panels::ControlColumn& c, platform::CheckBox* a) : readout(l), column(c), autoAnswer(a) {}
    void HideReadout() override { readout->hide(); }
    void ShowReadout(const std::string& text) override {
      readout->SetCaption(text);
      readout->show();
    }
    void ChooseUserQth() override {
      column.Option1->SetValue(true);
      column.Option2->setChecked(false);
    }
    bool TransmitOn() const override { return column.Check6->Value() == 1; }
    bool AutoAnswerOn() const override { return autoAnswer->Value() == 1; }
    void TickAutoAnswer() override { autoAnswer->SetValue(1); }
  } view(Label39, *column_, chat_->Check16);
  int centre_mode = map_core_->state().CentreMode;
  links::ApplyGpsTick(r, centre_mode, view);
  map_core_->SetCentreMode(centre_mode);
  if (r.fix) {
    // The line lies along the top of the map, over whatever the map shows.
    Label39->setGeometry(Picture1->x(), Picture1->y(), Picture1->width(), 18);
    Label39->raise();
  }
}

// ---------------------------------------------------------------------------
// TX switch

void Form1::ToggleTransmitOrOpenTxSetup(int button) {
  auto* check6 = column_->Check6;
  if (button == 1) {
    if (check6->Caption() == "TX !" && SendOwnBeacon) SendOwnBeacon();
    if (isActiveWindow()) Picture1->setFocus();
    if (check6->Value() != 1) {
      column_->Check7->SetValue(0);
      column_->Check18->SetValue(0);
      column_->SetObjCaptionGrey(true);
      object_setup_->StopBeacon();
      chat_->hide();
      info_->Command41->setEnabled(false);
      info_->Command23->setEnabled(false);
      DrawMap();
    } else {
      if (settings_.BeaconInterval == 0) {
        info_->Command41->setEnabled(false);
        info_->Command23->setEnabled(false);
        check6->SetValue(0);
      } else {
        column_->SetObjCaptionGrey(false);
        info_->Command41->setEnabled(true);
        info_->Command23->setEnabled(true);
        if (gps_.GpsFixMoved + gps_.GpsFixMovedBefore > 0 && chat_->Check16->Value() == 0) {
          chat_->Check16->SetValue(1);
        }
      }
      if (MakePositionBeaconDue) MakePositionBeaconDue();
    }
    return;
  }
  if (button != 2 || !object_->isHidden()) return;
  // The panel holds both timers until its OK or ABORT.
  cycle_->StopAll();
  tx_->Show(links::TxPanelOpening(settings_, shell_.HfDualOn, tx_->Values()));
  tx_->setGeometry(0, 0, width(), height());
  tx_->show();
  tx_->raise();
  tx_->ShowSymbol(settings_.TxSymbolIndex);
}

// ---------------------------------------------------------------------------
// TX setup OK

void Form1::TxSetupOk() {
  // The link step lets events run: a second click meanwhile is not a second OK.
  if (tx_ok_running_) return;
  tx_ok_running_ = true;
  const links::TxSetupOk ok = tx_->Take(settings_, column_->Check15->isEnabled(), column_->Check15->Value());
  if (!ok.refusals.empty()) {
    std::string text;
    for (const std::string& r : ok.refusals) text += (text.empty() ? "" : "\r\n") + r;
    MsgBox(text, "ZEBLON  TX SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
    tx_ok_running_ = false;
    return;  // the panel stays open with the user's entries; nothing is taken
  }
  settings_ = ok.settings;
  shell_.TxCall = ok.txCall;
  shell_.HfDualOn = ok.hfDualOn;
  const InterfaceKind kind = InterfaceKindOf(settings_.InterfaceKind);
  shell_.RadioModeLabel = shell::RadioModeLabelFor(settings_.RadioMode, shell_.RadioModeLabel);
  int hh = 0, mm = 0;
  TimeOfDay(hh, mm);
  column_->Label15->SetCaption(shell::ClockLabelText(hh, mm, settings_.InterfaceKind, shell_.RadioModeLabel,
                                                     links::GpsReader::GpsClockSet == 1));

  // The link step.
  tx_->fr4Command4->SetCaption("...");
  if (UsesPacketEngine(kind)) {
    // The engine's link anew with the new call (no UI digipeater program here).
    if (RenewAgwRegistration) RenewAgwRegistration(shell_.TxCall, settings_.DigiOn);
  } else if (UsesSerialTnc(kind) && RadioLink().State().MSComm1.IsOpen()) {
    // A closed port (a TNC that failed at START) is skipped quietly.
    links::TncRunOptions o;
    o.port_number = links::TncPortNumber(links::TncSettingsFrom(settings_, shell_.HfDualOn == 1));
    o.close_at_end = false;
    o.max_prompt_reads = 10;
    o.drain_timeout_ms = 2000;
    links::RunTncCommandSet(links::TncResendSet(links::TncSettingsFrom(settings_, shell_.HfDualOn == 1)),
                            RadioLink().State().MSComm1, o);
  }

  // Status marks.
  std::string title = FromQ(windowTitle());
  const std::string digi =
      links::DigiTitleMark(settings_.DigiOn, settings_.InterfaceKind, settings_.CrossMode, settings_.RadioMode);
  if (!digi.empty()) title = shell::PlaceTitleMark(title, 61, digi);
  title = shell::PlaceTitleMark(title, 76, links::IGateTitleMark(settings_.IGateOn));
  setWindowTitle(ToQ(title));

  WriteSettingsFile();
  tx_->fr4Command4->SetCaption("OK");
  tx_->hide();

  auto* check6 = column_->Check6;
  check6->SetCaption(shell::TxBoxCaption(settings_.BeaconInterval));
  if (settings_.BeaconInterval == 0) check6->SetValue(0);
  if (settings_.UserNorth != 0 && settings_.UserEast != 0 && kind != InterfaceKind::NoRadio) {
    check6->setEnabled(true);
    info_->Command23->setEnabled(settings_.BeaconInterval > 0);
  }
  if (check6->Value() != 1) {
    info_->Command23->setEnabled(false);
    column_->Check7->SetValue(0);
    chat_->hide();
  }
  shell_.OwnEchoHeader = shell::OwnEchoHeaderFor(shell_.TxCall, settings_.TxPath, settings_.TxDestination);
  UpdateReceptionSettings();
  ApplyLanguageTexts();
  if (MakePositionBeaconDue) MakePositionBeaconDue();
  cycle_->Start();
  if (isActiveWindow()) Picture1->setFocus();
  tx_ok_running_ = false;
}

}  // namespace zeblon

// The main window's GPS step, and the connection of the TX switch and TX setup
// panel (panels/tx_setup_controller), the terminal and the RAW list: thin glue
// between the window's controls and links/gps_reader, panels/terminal and panels/raw_list.
#include <QDateTime>

#include "geodesy/text.h"
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
  panels::TxSetupController::Port tp;
  tp.hfDualOn = [this] { return shell_.HfDualOn; };
  tp.radioModeLabel = [this] { return shell_.RadioModeLabel; };
  tp.takeTxValues = [this](const std::string& call, int hf_dual_on, const std::string& label) {
    shell_.TxCall = call;
    shell_.HfDualOn = hf_dual_on;
    shell_.RadioModeLabel = label;
  };
  tp.timeOfDay = [this](int& hh, int& mm) { TimeOfDay(hh, mm); };
  tp.tncPort = [this]() -> SerialPort& { return RadioLink().State().MSComm1; };
  tp.renewAgwRegistration = [this](const std::string& call, int digi_on) {
    if (RenewAgwRegistration) RenewAgwRegistration(call, digi_on);
  };
  tp.markTitle = [this](const std::string& digi, const std::string& igate) {
    std::string title = FromQ(windowTitle());
    if (!digi.empty()) title = shell::PlaceTitleMark(title, 61, digi);
    title = shell::PlaceTitleMark(title, 76, igate);
    setWindowTitle(ToQ(title));
  };
  tp.writeSettings = [this] { WriteSettingsFile(); };
  tp.settingsTaken = [this] {
    shell_.OwnEchoHeader = links::OwnEchoHeaderFor(shell_.TxCall, settings_.TxPath, settings_.TxDestination);
    UpdateReceptionSettings();
    ApplyLanguageTexts();
  };
  tp.sendOwnBeacon = [this] {
    if (SendOwnBeacon) SendOwnBeacon();
  };
  tp.makePositionBeaconDue = [this] {
    if (MakePositionBeaconDue) MakePositionBeaconDue();
  };
  tp.objectBeaconOff = [this] { panels_.ObjectBeaconOn = 0; };
  tp.drawMap = [this] { DrawMap(); };
  tp.focusMap = [this] {
    if (isActiveWindow()) Picture1->setFocus();
  };
  tp.holdCycle = [this] { cycle_->StopAll(); };
  tp.startCycle = [this] { cycle_->Start(); };
  tp.windowSize = [this] { return size(); };
  tx_setup_ = std::make_unique<panels::TxSetupController>(*tx_, *column_, *info_, *chat_, *object_, settings_, gps_,
                                                          std::move(tp));
  tx_->OnOk = [this] { tx_setup_->TxSetupOk(); };
  tx_->OnAbort = [this] { cycle_->Start(); };
  tx_->OnSymbolShown = [this](int) { cycle_->StopAll(); };
  column_->Check6->OnMouseUp = [this](int button) { tx_setup_->ToggleTransmitOrOpenTxSetup(button); };

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

}  // namespace zeblon

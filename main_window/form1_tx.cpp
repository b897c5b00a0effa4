// The connection of the main window's GPS step (panels/gps_step), TX switch and
// TX setup panel (panels/tx_setup_controller), terminal (panels/terminal) and RAW
// list (panels/raw_list).
#include "links/tx_setup.h"
#include "main_window/form1.h"
#include "platform/qtext.h"
#include "platform/wait.h"

namespace zeblon {

using namespace platform;

// The window's side of the RAW list's port (panels/raw_list.h).
class Form1::RawListWindow : public panels::RawListPort {
 public:
  explicit RawListWindow(Form1& f) : f_(f) {}

  int LinkInterfaceKind() const override { return f_.settings_.InterfaceKind; }
  std::string RadioMode() const override { return f_.settings_.RadioMode; }
  void InfoOpened() override {
    const reception::InfoPanelState& info = f_.reception_.info;
    f_.info_service_->ShowStationInfo(info.call, info.index, false);
  }
  void ClearStationDrawing() override {
    if (f_.station_passes_) f_.station_passes_->ForgetMoniAll();
  }
  int TwipsPerPixelX() const override { return f_.shell_.TwipsPerPixelX; }
  int TwipsPerPixelY() const override { return f_.shell_.TwipsPerPixelY; }

 private:
  Form1& f_;
};

void Form1::BuildTxControls() {
  Label39 = Add<Label>(Picture1, {0, 0, 824, 18}, "Label39");
  Label39->setAutoFillBackground(true);
  Label39->setAttribute(Qt::WA_TransparentForMouseEvents);
  Label39->hide();
  panels::GpsStep::Port gp;
  gp.mapCentralMeridian = [this] { return map_core_->state().MapCentralMeridian; };
  gp.mapFalseEasting = [this] { return map_core_->state().MapFalseEasting; };
  gp.centreMode = [this] { return map_core_->state().CentreMode; };
  gp.setCentreMode = [this](int mode) { map_core_->SetCentreMode(mode); };
  gp.appFolder = [this] { return app_folder_; };
  gp.dataFolder = [this] { return data_folder_; };
  gp.holdMovedMap = [this] { map_core_->HoldMovedMap(WaitClockNow()); };
  gp.secondsSinceMapInteraction = [this] { return WaitClockNow() - map_core_->state().LastMapInteraction; };
  gp.gpsPort = [this]() -> SerialPort& { return RadioLink().State().MSComm2; };
  // The line lies in the map picture, under the picture viewer and under every
  // frame of the window that opens over the map; clicks go through it to the map.
  gp.mapArea = [this] { return Picture1->rect(); };
  gp.stackOverMap = [](QWidget& w) { w.lower(); };
  gps_step_ =
      std::make_unique<panels::GpsStep>(gps_, nav_, settings_, *Label39, *column_, *chat_->Check16, std::move(gp));
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
    if (!digi.empty()) title = links::PlaceTitleMark(title, 61, digi);
    title = links::PlaceTitleMark(title, 76, igate);
    setWindowTitle(ToQ(title));
  };
  tp.writeSettings = [this] { WriteSettingsFile(); };
  // The login starts (or the link closes) now; the duplicate list, aged only while
  // logged in, is not aged by this extra step: a switch leaves the login unverified.
  tp.aprsIsNow = [this] {
    RadioLink().AprsIsUpkeep();
    RadioLink().AprsIsTitleAndAgeing();
  };
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
  tp.objectBeaconOff = [this] { object_setup_->StopBeacon(); };
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
  tx_->StoredPathMemory = [this](int n) { return settings_.PathMemories[static_cast<std::size_t>(n)]; };
  tx_->OnAbort = [this] { cycle_->Start(); };
  tx_->OnSymbolShown = [this](int) { cycle_->StopAll(); };
  column_->Check6->OnMouseUp = [this](int button) { tx_setup_->ToggleTransmitOrOpenTxSetup(button); };
  column_->Check15->OnClick = [this] { tx_setup_->SwitchIGate(); };

  terminal_io_ = new panels::Terminal(*terminal_, RadioLink().State().MSComm1, this);
  terminal_io_->OnClosed = [this] { cycle_->Resume(); };

  notice_ = new panels::TemporaryNotice(this);
  if (!raw_list_window_) raw_list_window_ = std::make_unique<RawListWindow>(*this);
  raw_list_ = new panels::RawList(*List1, *column_->Check3, *column_->Command3, *Picture1, *notice_, reception_,
                                  &RadioLink().State().MSComm1, *this, *this, *raw_list_window_, this);
}

}  // namespace zeblon

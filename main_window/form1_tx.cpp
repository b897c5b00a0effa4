// The connection of the main window's GPS step (panels/gps_step), TX switch and
// TX setup panel (panels/tx_setup_controller), terminal (panels/terminal) and RAW
// list (panels/raw_list).
#include "links/tx_setup.h"
#include "main_window/form1.h"
#include "platform/qtext.h"
#include "platform/wait.h"

namespace zeblon {

using namespace platform;

class Form1::TxWindow : public panels::TxSetupPort {
 public:
  explicit TxWindow(Form1& f) : f_(f) {}

  void TimeOfDay(int& hours, int& minutes) override { f_.TimeOfDay(hours, minutes); }
  SerialPort& TncPort() override { return f_.RadioLink().State().MSComm1; }
  void RenewAgwRegistration(const std::string& tx_call, int digi_on) override {
    if (f_.RenewAgwRegistration) f_.RenewAgwRegistration(tx_call, digi_on);
  }
  void MarkTitle(const std::string& digi_mark, const std::string& igate_mark) override {
    std::string title = FromQ(f_.windowTitle());
    if (!digi_mark.empty()) title = links::PlaceTitleMark(title, 61, digi_mark);
    title = links::PlaceTitleMark(title, 76, igate_mark);
    f_.setWindowTitle(ToQ(title));
  }
  void WriteSettings() override { f_.WriteSettingsFile(); }
  // The login starts (or the link closes) now; the duplicate list, aged only while
  // logged in, is not aged by this extra step: a switch leaves the login unverified.
  void AprsIsNow() override {
    f_.RadioLink().AprsIsUpkeep();
    f_.RadioLink().AprsIsTitleAndAgeing();
  }
  void SettingsTaken() override {
    f_.UpdateReceptionSettings();
    f_.ApplyLanguageTexts();
  }
  void SendOwnBeacon() override {
    if (f_.SendOwnBeacon) f_.SendOwnBeacon();
  }
  void MakePositionBeaconDue() override {
    if (f_.MakePositionBeaconDue) f_.MakePositionBeaconDue();
  }
  void ObjectBeaconOff() override { f_.object_setup_->StopBeacon(); }
  QSize WindowSize() const override { return f_.size(); }

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
  if (!tx_window_) tx_window_ = std::make_unique<TxWindow>(*this);
  tx_setup_ = std::make_unique<panels::TxSetupController>(*tx_, *column_, *info_, *chat_, *object_, settings_, gps_,
                                                          static_cast<links::CycleControl&>(*this),
                                                          static_cast<panels::MapActions&>(*this), *tx_window_);
  tx_->OnOk = [this] { tx_setup_->TxSetupOk(); };
  tx_->StoredPathMemory = [this](int n) { return settings_.PathMemories[static_cast<std::size_t>(n)]; };
  tx_->OnAbort = [this] { cycle_->Start(); };
  tx_->OnSymbolShown = [this](int) { cycle_->StopAll(); };
  column_->Check6->OnMouseUp = [this](int button) { tx_setup_->ToggleTransmitOrOpenTxSetup(button); };
  column_->Check15->OnClick = [this] { tx_setup_->SwitchIGate(); };

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
  rc.clearStationDrawing = [this] {
    if (station_passes_) station_passes_->ForgetMoniAll();
  };
  rc.focusMap = [this] {
    if (isActiveWindow()) Picture1->setFocus();
  };
  rc.infoOpened = [this] {
    const reception::InfoCursor& info = reception_.info;
    info_service_->ShowStationInfo(info.Call(), info.Index(), false);
  };
  rc.twipsPerPixelX = [this] { return shell_.TwipsPerPixelX; };
  rc.twipsPerPixelY = [this] { return shell_.TwipsPerPixelY; };
  raw_list_ = new panels::RawList(*List1, *column_->Check3, *column_->Command3, *Picture1, *notice_, rc, this);
}

}  // namespace zeblon

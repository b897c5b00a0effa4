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
  // The packet engine's registration renewed with the new call; the UI
  // digipeater's state goes nowhere, as no such program runs here.
  void RenewAgwRegistration(const std::string& tx_call, int) override { f_.RadioLink().RenewRegistration(tx_call); }
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
  // The manual beacon waits for the transmit step under the hourglass.
  void SendOwnBeacon() override {
    f_.ShowWaitCursor(true);
    f_.RadioLink().SendBeacon(false);
    f_.ShowWaitCursor(false);
  }
  void MakePositionBeaconDue() override { f_.tick_.ResetPositionBeacon(); }
  void ObjectBeaconOff() override { f_.object_setup_->StopBeacon(); }
  QSize WindowSize() const override { return f_.size(); }

 private:
  Form1& f_;
};

// The window's side of the GPS step's port (panels/gps_step.h).
class Form1::GpsWindow : public panels::GpsStepPort {
 public:
  explicit GpsWindow(Form1& f) : f_(f) {}

  std::string AppFolder() const override { return f_.app_folder_; }
  std::string DataFolder() const override { return f_.data_folder_; }
  SerialPort& GpsPort() override { return f_.RadioLink().State().MSComm2; }
  // The line lies in the map picture, under the picture viewer and under every
  // frame of the window that opens over the map; clicks go through it to the map.
  QRect MapArea() const override { return f_.Picture1->rect(); }
  void StackOverMap(QWidget& line) override { line.lower(); }

 private:
  Form1& f_;
};

// The window's side of the RAW list's port (panels/raw_list.h).
class Form1::RawListWindow : public panels::RawListPort {
 public:
  explicit RawListWindow(Form1& f) : f_(f) {}

  int LinkInterfaceKind() const override { return f_.settings_.InterfaceKind; }
  std::string RadioMode() const override { return f_.settings_.RadioMode; }
  void InfoOpened() override {
    const reception::InfoCursor& info = f_.reception_.info;
    f_.info_service_->ShowStationInfo(info.Call(), info.Index(), false);
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
  if (!gps_window_) gps_window_ = std::make_unique<GpsWindow>(*this);
  gps_step_ = std::make_unique<panels::GpsStep>(gps_, nav_, settings_, *Label39, *column_, *chat_->Check16, *map_core_,
                                                *gps_window_);
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
  if (!raw_list_window_) raw_list_window_ = std::make_unique<RawListWindow>(*this);
  raw_list_ = new panels::RawList(*List1, *column_->Check3, *column_->Command3, *Picture1, *notice_, reception_,
                                  &RadioLink().State().MSComm1, *this, *this, *raw_list_window_, this);
}

}  // namespace zeblon

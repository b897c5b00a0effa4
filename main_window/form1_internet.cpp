// The main window's station data from the web: the window's side of the internet
// boxes' port (panels/internet_boxes.h) and the boxes joined to the main cycle.
#include <QCoreApplication>
#include <QTime>

#include "main_window/form1.h"

namespace zeblon {

class Form1::InternetWindow : public panels::InternetBoxesPort {
 public:
  explicit InternetWindow(Form1& f) : f_(f) {}

  void ShowBusy(bool busy) override { f_.ShowWaitCursor(busy); }
  void PumpEvents() override { QCoreApplication::processEvents(); }
  void DrawMap() override { f_.DrawMap(); }
  void FocusMap() override {
    if (f_.isActiveWindow()) f_.Picture1->setFocus();
  }
  const map::MapState& Map() const override { return f_.map_core_->state(); }
  void WriteSettings(double sunspot_number, double k_index) override {
    f_.settings_.SunspotNumber = sunspot_number;
    f_.settings_.KIndex = k_index;
    f_.WriteSettingsFile();
  }
  void WebNoticeTaken() override {
    if (f_.chat_service_ != nullptr) f_.chat_service_->WebNoticeTaken();
  }
  reception::ChatPanel* ChatLines() override {
    return f_.chat_service_ != nullptr ? &f_.chat_service_->Queue() : nullptr;
  }
  void HideChat() override { f_.chat_->hide(); }
  void SelectMoniOneCall() override { f_.moni_one_select_->MoniOneComboKeyDown(13); }
  void RestoreMoniOneFrames() override { f_.moni_one_frames_->RestoreWidths(); }
  double PollLimitSeconds() const override { return static_cast<double>(f_.shell_.InternetPollLimit); }
  void ShowNewestInfoReport() override { f_.info_service_->ShowNewestReport(); }
  double ClockSeconds() const override { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }
  int Hhmm() const override {
    const QTime t = QTime::currentTime();
    return t.hour() * 100 + t.minute();
  }

 private:
  Form1& f_;
};

void Form1::WireInternet() {
  if (!internet_window_) internet_window_ = std::make_unique<InternetWindow>(*this);
  internet_boxes_ =
      std::make_unique<panels::InternetBoxes>(*column_, *Text10, *iono_, reception_, ReceptionWindowPort(),
                                              static_cast<links::CycleControl&>(*this), *internet_window_);
}

}  // namespace zeblon

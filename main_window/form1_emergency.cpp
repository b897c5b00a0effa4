#include <QCoreApplication>

#include "main_window/form1.h"
#include "platform/message_box.h"
#include "platform/wait.h"

namespace zeblon {

// The window's side of the EMERGENCY window's port (panels/emergency_window.h).
class Form1::EmergencyWindowSide : public panels::EmergencyWindowPort {
 public:
  explicit EmergencyWindowSide(Form1& f) : f_(f) {}

  // The jumps to the alarm count as the user's moves of the map: no GPS fix takes it back.
  void JumpToAlarm() override {
    f_.map_core_->SetCentreMode(3);
    f_.map_core_->NoteMapMovedByUser(platform::WaitClockNow());
  }
  void Maximise() override { f_.setWindowState(f_.windowState() | Qt::WindowMaximized); }
  void PumpEvents() override { QCoreApplication::processEvents(); }
  void PlaySound() override { f_.alarm_sound_->Play(); }
  bool AskFalseAlarm() override {
    return platform::MsgBox("CANCEL THIS ALARM  ( = FALSE ALARM )  ?", "ZEBLON         EMERGENCY ALARM",
                            platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation,
                            /*default_button=*/2) == platform::MsgResult::Yes;
  }
  reception::LocalTime Now() const override { return f_.AlarmLocalClock ? f_.AlarmLocalClock() : ComputerClockNow(); }
  double Clock() const override { return f_.AlarmClock ? f_.AlarmClock() : platform::WaitClockNow(); }

 private:
  Form1& f_;
};

// The EMERGENCY window: the alarm's texts, the map's one jump to it, the alarm
// sound, closing and the main cycle's re-show.
void Form1::WireEmergency() {
  alarm_sound_ = std::make_unique<AlarmSound>(app_folder_);
  if (!emergency_side_) emergency_side_ = std::make_unique<EmergencyWindowSide>(*this);
  emergency_window_ =
      std::make_unique<panels::EmergencyWindow>(*emergency_, reception_.alarm, reception_.settings.mapZoneText,
                                                static_cast<panels::MapActions&>(*this), *emergency_side_);
  emergency_->Command38->OnClick = [this] { emergency_window_->Centre(); };
  emergency_->Command39->OnClick = [this] { emergency_window_->Close(); };
}

void Form1::ShowDistanceAlarm(const reception::DistanceAlarm& alarm) {
  distance_alarm_->Show(alarm, Picture1->x());
  setWindowState(windowState() | Qt::WindowMaximized);
  Picture1->setFocus();
}

}  // namespace zeblon

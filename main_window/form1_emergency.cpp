#include <QCoreApplication>

#include "main_window/form1.h"
#include "platform/message_box.h"
#include "platform/wait.h"

namespace zeblon {

// The EMERGENCY window: the alarm's texts, the map's one jump to it, the alarm
// sound, closing and the main cycle's re-show.
void Form1::WireEmergency() {
  alarm_sound_ = std::make_unique<AlarmSound>(app_folder_);
  panels::EmergencyWindow::Hooks e;
  e.closePictureViewer = [this] { ClosePictureViewer(); };
  e.clearCentreOptions = [this] {
    column_->Option1->setChecked(false);
    column_->Option2->setChecked(false);
  };
  // The jumps to the alarm count as the user's moves of the map: no GPS fix takes it back.
  e.jumpToAlarm = [this] {
    map_core_->SetCentreMode(3);
    map_core_->NoteMapMovedByUser(platform::WaitClockNow());
  };
  e.drawMap = [this] { DrawMap(); };
  e.maximise = [this] { setWindowState(windowState() | Qt::WindowMaximized); };
  e.pumpEvents = [] { QCoreApplication::processEvents(); };
  e.playSound = [this] { alarm_sound_->Play(); };
  e.askFalseAlarm = [] {
    return platform::MsgBox("CANCEL THIS ALARM  ( = FALSE ALARM )  ?", "ZEBLON         EMERGENCY ALARM",
                            platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation,
                            /*default_button=*/2) == platform::MsgResult::Yes;
  };
  e.now = [this] { return AlarmLocalClock ? AlarmLocalClock() : ComputerClockNow(); };
  e.clock = [this] { return AlarmClock ? AlarmClock() : platform::WaitClockNow(); };
  emergency_window_ =
      std::make_unique<panels::EmergencyWindow>(*emergency_, reception_.alarm, reception_.settings.mapZoneText, e);
  emergency_->Command38->OnClick = [this] { emergency_window_->Centre(); };
  emergency_->Command39->OnClick = [this] { emergency_window_->Close(); };
}

void Form1::ShowDistanceAlarm(const reception::DistanceAlarm& alarm) {
  distance_alarm_->Show(alarm, Picture1->x());
  setWindowState(windowState() | Qt::WindowMaximized);
  Picture1->setFocus();
}

}  // namespace zeblon

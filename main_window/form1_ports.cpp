// The ports the window's controllers share: the main cycle's control and the
// map's actions, implemented once over the window's timers, map and columns.
#include "main_window/form1.h"

namespace zeblon {

void Form1::StopCycle() { cycle_->Stop(); }
void Form1::StartCycle() { cycle_->Start(); }
void Form1::HoldCycle() { cycle_->StopAll(); }
void Form1::ArmPause(int interval_ms) { cycle_->ArmPause(interval_ms); }
void Form1::StopWatchdog() { Timer2->stop(); }
int Form1::CycleInterval() const { return shell_.CycleInterval; }
void Form1::SetCycleInterval(int interval_ms) { Timer1->setInterval(interval_ms); }

void Form1::DrawMap() { MapDisplay().DrawMap(); }
bool Form1::WindowActive() const { return isActiveWindow(); }

void Form1::FocusMapWhenActive() {
  if (isActiveWindow()) Picture1->setFocus();
}

void Form1::ClosePictureViewer() {
  // The map tools close it: a playing video stops with it, whether the window shows or not.
  MapDisplay().ClosePictureViewer();
  map_core_->SetPictureMode(0);
  viewer_->hide();
}

void Form1::ClearCentreOptions() { column_->UntickCentringOptions(); }

void Form1::CentreMapOn(double north, double east) {
  map_core_->SetCentreMode(0);
  ClosePictureViewer();
  ClearCentreOptions();
  map_core_->SetCentre(north, east);
}

}  // namespace zeblon

// The main cycle: Timer1 ticks every CycleInterval and runs the cycle's steps in
// their order; Timer2 is the one-shot pause that switches Timer1 back on a while
// after a user action paused it (see pause_timer.h).
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "links/pause_timer.h"

namespace zeblon::links {

class MainCycle : public QObject {
  Q_OBJECT
 public:
  explicit MainCycle(QObject* parent = nullptr);

  QTimer* Timer1() { return timer1_; }
  QTimer* Timer2() { return timer2_; }

  // Timer1 on or off (a start restarts its count).
  void Start() { timer1_->start(); }
  void Stop() { timer1_->stop(); }
  bool Running() const { return timer1_->isActive(); }
  // Both timers off: a shutdown, or a window that holds everything (the terminal).
  void StopAll();
  // Timer1 and Timer2 on again after a window that held everything closes.
  void Resume();

  // Pauses the cycle for `interval_ms` (Timer1 off, Timer2 armed).
  void ArmPause(int interval_ms);
  // The pause's end also ends the internet notice and the internet support.
  // `otherNotice`: the notice is shown by another request than the web poll.
  void ConnectPause(PauseNotice notice, std::function<bool()> otherNotice = {});

  // The tick's steps; nothing runs while it is empty.
  std::function<void()> OnTick;

 private:
  void Tick();
  QTimer* timer1_;
  QTimer* timer2_;
  bool in_tick_ = false;
};

}  // namespace zeblon::links

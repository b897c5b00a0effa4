#include "links/main_cycle.h"

#include "links/pause_timer.h"

namespace zeblon::links {

MainCycle::MainCycle(QObject* parent) : QObject(parent), timer1_(new QTimer(this)), timer2_(new QTimer(this)) {
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(6000);
  timer2_->setObjectName("Timer2");
  timer2_->setInterval(2000);
  connect(timer1_, &QTimer::timeout, this, &MainCycle::Tick);
}

void MainCycle::StopAll() {
  timer2_->stop();
  timer1_->stop();
}

void MainCycle::Resume() {
  timer1_->start();
  timer2_->start();
}

void MainCycle::ArmPause(int interval_ms) { links::ArmPause(*timer1_, *timer2_, interval_ms); }

void MainCycle::ConnectPause(PauseNotice notice, std::function<bool()> otherNotice) {
  ConnectPauseTimer(*timer1_, *timer2_, std::move(notice), std::move(otherNotice));
}

void MainCycle::Tick() {
  // A step that lets events run must not start the next tick inside this one.
  if (in_tick_ || !OnTick) return;
  in_tick_ = true;
  OnTick();
  in_tick_ = false;
}

}  // namespace zeblon::links

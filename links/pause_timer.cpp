#include "links/pause_timer.h"

namespace zeblon::links {

void ArmPause(QTimer& timer1, QTimer& timer2, int interval_ms) {
  timer1.stop();
  timer2.stop();
  timer2.setInterval(interval_ms);
  timer2.start();
}

void Timer2Fired(QTimer& timer1, QTimer& timer2, const PauseNotice& notice, const std::function<bool()>& otherNotice) {
  timer2.stop();
  timer1.start();
  if (otherNotice && otherNotice()) return;
  if (notice.shown && notice.shown() && notice.endInternetSupport) notice.endInternetSupport();
}

void ConnectPauseTimer(QTimer& timer1, QTimer& timer2, PauseNotice notice, std::function<bool()> otherNotice) {
  // Not single-shot at the Qt level: the handler itself switches the timer off, and a
  // timer switched on without a new interval fires again after its last one.
  QObject::connect(&timer2, &QTimer::timeout, &timer2,
                   [&timer1, &timer2, notice = std::move(notice), otherNotice = std::move(otherNotice)] {
                     Timer2Fired(timer1, timer2, notice, otherNotice);
                   });
}

}  // namespace zeblon::links

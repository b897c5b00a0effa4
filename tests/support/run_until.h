// Runs the event loop until `pred` holds or `ms` milliseconds have passed; true
// when it holds. Tests wait on sockets, processes and timers with it.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

namespace zeblon::testing_support {

template <typename Pred>
inline bool RunUntil(Pred pred, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}

}  // namespace zeblon::testing_support

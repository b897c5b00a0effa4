#include "links/computer_clock.h"

#include <QDateTime>

namespace zeblon {

reception::LocalTime ComputerClockNow() {
  const QDateTime t = QDateTime::currentDateTime();
  return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}

}  // namespace zeblon

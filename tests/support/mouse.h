// Mouse clicks as the user makes them: a press and a release over a control.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace zeblon::testing_support {

// A press and release of `button` in the middle of the control (or at `at`).
inline void ClickWith(QWidget& w, Qt::MouseButton button, QPointF at = QPointF(-1, -1)) {
  if (at.x() < 0) at = QPointF(w.width() / 2.0, w.height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, w.mapToGlobal(at), button, button, Qt::NoModifier);
  QApplication::sendEvent(&w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w.mapToGlobal(at), button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &release);
}

}  // namespace zeblon::testing_support

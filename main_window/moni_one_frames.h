// The MONI 1 read-outs under the mouse: the comment (Label10 in Frame5) and the
// distance line (Label11 in Frame9) lie in frames of a standard width that widen
// over the map while the mouse moves over them, so that the whole text shows, and
// go back to the standard width when asked.
#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "panels/control_column.h"

namespace zeblon {

class MoniOneFrames : public QObject {
 public:
  struct Hooks {
    std::function<int()> twipsPerPixelX;       // the screen's scale
    std::function<std::string()> moniOneCall;  // the watched station's call
  };

  MoniOneFrames(panels::ControlColumn& column, Hooks hooks);

  // Both frames at their standard width.
  void RestoreWidths();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  int TwipsPerPixelX() const;
  void Widen(QFrame& frame, const QWidget& label, int mouse_x, bool never_narrower);

  panels::ControlColumn& column_;
  Hooks h_;
};

}  // namespace zeblon

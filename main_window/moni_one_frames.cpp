#include "main_window/moni_one_frames.h"

#include <QMouseEvent>
#include <utility>

#include "main_window/layout.h"

namespace zeblon {

MoniOneFrames::MoniOneFrames(panels::ControlColumn& column, Hooks hooks) : column_(column), h_(std::move(hooks)) {
  column_.Label10->installEventFilter(this);
  column_.Label11->installEventFilter(this);
}

int MoniOneFrames::TwipsPerPixelX() const { return h_.twipsPerPixelX ? h_.twipsPerPixelX() : 15; }

void MoniOneFrames::RestoreWidths() {
  const int w = shell::MoniOneFrameStandardWidth(TwipsPerPixelX());
  for (QFrame* frame : {column_.Frame5, column_.Frame9}) frame->resize(w, frame->height());
}

void MoniOneFrames::Widen(QFrame& frame, const QWidget& label, int mouse_x, bool never_narrower) {
  const int tpp = TwipsPerPixelX();
  const std::string call = h_.moniOneCall ? h_.moniOneCall() : std::string();
  const int w = shell::MoniOneFrameWidthUnderMouse(tpp, column_.Combo9->Text() == call, mouse_x * tpp,
                                                   label.width() * tpp, never_narrower);
  frame.resize(w, frame.height());
  frame.raise();  // over the map and the controls beside it
}

bool MoniOneFrames::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseMove) {
    const int x = static_cast<int>(static_cast<QMouseEvent*>(e)->position().x());
    if (watched == column_.Label10) Widen(*column_.Frame5, *column_.Label10, x, true);
    if (watched == column_.Label11) Widen(*column_.Frame9, *column_.Label11, x, false);
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace zeblon

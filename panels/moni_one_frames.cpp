#include "panels/moni_one_frames.h"

#include <QMouseEvent>
#include <utility>

#include "geodesy/text.h"

namespace zeblon {

namespace {
int Whole(double v) { return static_cast<int>(RoundHalfEven(v)); }
}  // namespace

namespace {
// A screen reporting no twips per pixel counts as one twip a pixel.
int TwipsPerPixel(int tpp) { return std::max(1, tpp); }
}  // namespace

int MoniOneFrameStandardWidth(int tpp_x) { return Whole(1815.0 / TwipsPerPixel(tpp_x)); }

int MoniOneLineStandardWidth(int tpp_x) { return Whole(3000.0 / TwipsPerPixel(tpp_x)); }

int MoniOneFrameWidthUnderMouse(int tpp_x, bool combo_holds_moni_one_call, int mouse_x_twips, int label_width_twips,
                                bool never_narrower) {
  const int tpp = TwipsPerPixel(tpp_x);
  const int standard = never_narrower ? MoniOneFrameStandardWidth(tpp) : MoniOneLineStandardWidth(tpp);
  if (!combo_holds_moni_one_call || mouse_x_twips <= 1200 / (tpp * 15)) return standard;
  const int label = Whole(static_cast<double>(label_width_twips) / tpp);
  return never_narrower ? std::max(standard, label) : label;
}

MoniOneFrames::MoniOneFrames(panels::ControlColumn& column, MoniOneFramesPort& port) : column_(column), port_(port) {
  column_.Label10->installEventFilter(this);
  column_.Label11->installEventFilter(this);
}

void MoniOneFrames::RestoreWidths() {
  column_.Frame5->resize(MoniOneFrameStandardWidth(port_.TwipsPerPixelX()), column_.Frame5->height());
  column_.Frame9->resize(MoniOneLineStandardWidth(port_.TwipsPerPixelX()), column_.Frame9->height());
}

void MoniOneFrames::Widen(QFrame& frame, const QWidget& label, int mouse_x, bool never_narrower) {
  const int tpp = port_.TwipsPerPixelX();
  const std::string call = port_.MoniOneCall();
  const int w = MoniOneFrameWidthUnderMouse(tpp, column_.Combo9->Text() == call, mouse_x * tpp, label.width() * tpp,
                                            never_narrower);
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

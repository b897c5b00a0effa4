// The MONI 1 read-outs under the mouse: the comment (Label10 in Frame5) and the
// distance line (Label11 in Frame9) lie in frames of a standard width that widen
// over the map while the mouse moves over them, so that the whole text shows, and
// go back to the standard width when asked.
#pragma once

#include <QObject>
#include <string>

#include "panels/control_column.h"

namespace zeblon {

// The MONI 1 comment's frame (Frame5): its standard width, 1815 twips in whole
// pixels (halves to even).
int MoniOneFrameStandardWidth(int tpp_x);
// The distance line's frame (Frame9): the column's width up to the map, 3000
// twips, so that its two rows show whole.
int MoniOneLineStandardWidth(int tpp_x);

// A MONI 1 read-out frame's width in pixels while the mouse moves over its label.
// The label's text shows in full only while Combo9 holds the MONI 1 call (a call
// being typed leaves the frame standard) and the mouse is past the label's first
// pixels: the frame then takes the label's width in whole pixels. The comment's
// frame (`never_narrower`) keeps at least its standard width; the distance line's
// frame fits its label, shorter or longer (and takes its own standard width when
// the label is not shown whole).
int MoniOneFrameWidthUnderMouse(int tpp_x, bool combo_holds_moni_one_call, int mouse_x_twips, int label_width_twips,
                                bool never_narrower);

// What the frames need of the rest of the program.
class MoniOneFramesPort {
 public:
  virtual ~MoniOneFramesPort() = default;
  virtual int TwipsPerPixelX() const = 0;       // the screen's scale
  virtual std::string MoniOneCall() const = 0;  // the watched station's call
};

class MoniOneFrames : public QObject {
 public:
  MoniOneFrames(panels::ControlColumn& column, MoniOneFramesPort& port);

  // Both frames at their standard width.
  void RestoreWidths();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Widen(QFrame& frame, const QWidget& label, int mouse_x, bool never_narrower);

  panels::ControlColumn& column_;
  MoniOneFramesPort& port_;
};

}  // namespace zeblon

// The map picture box (Picture1): shows the drawn map and turns mouse and keys
// into the map's steering.
//
//   left press      the point becomes the centre (picture mode: the picture's
//                   place), redraw;
//   right press     selects the point, runs the finders (hook find); when they
//                   find nothing, the plain base map shows while the button is
//                   held (a map type other than the plain folder) or the sun curve
//                   opens (hook sun_curve);
//   move            cursor read-out; the sun curve follows while it is open;
//   release         the map shows again, the sun curve closes;
//   arrow keys      move the mouse cursor 1, 10, 19 or 28 pixels (Shift, Ctrl)
//                   within the map, as a movement of the mouse;
//   Enter           a left press at the cursor.
#pragma once

#include <QLabel>
#include <functional>

#include "map/map_display.h"

namespace zeblon::map {

// A label, so that it takes the place of the window's picture box as it is.
class MapWidget : public QLabel {
  Q_OBJECT
 public:
  MapWidget(MapDisplay& display, QWidget* parent = nullptr);

  struct Hooks {
    std::function<bool()> find;               // the right-click finders; true when one found something
    std::function<void(bool open)> sunCurve;  // open (or follow) / close the sun curve
    std::function<bool()> sunCurveOpen;
    std::function<std::string()> pictureName;  // the picture shown in picture mode
    std::function<void()> leftPictureMode;     // hide the picture viewer
    std::function<void()> untickOptions;       // Option1 and Option2 cleared
    std::function<void()> readoutsChanged;     // the cursor read-out has new captions
    std::function<void()> sync;                // before each press or key: take the window's fields
    std::function<void()> publish;             // a press without a redraw: the map's fields back
    std::function<void()> draw;                // the redraw (DrawMap and showing its results)
  };
  Hooks& hooks() { return hooks_; }

  // Redraws the map and shows it.
  void Redraw();
  // Whether the map shows its base map instead (right button held).
  bool ShowingBase() const { return showing_base_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void Press(int button, double x, double y);
  void Move(double x, double y);

  MapDisplay& display_;
  Hooks hooks_;
  bool showing_base_ = false;
};

}  // namespace zeblon::map

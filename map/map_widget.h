// The map picture box (Picture1): shows the drawn map and turns mouse and keys
// into the map's steering.
//
//   left press      the point becomes the centre (picture mode: the picture's
//                   place), redraw;
//   right press     selects the point, runs the finders (MapPressTools::Find); when they
//                   find nothing, the plain base map shows while the button is
//                   held (a map type other than the plain folder) or the sun curve
//                   opens (MapPressTools::SunCurve);
//   move            cursor read-out; the sun curve follows while it is open;
//   release         the map shows again, the sun curve closes;
//   arrow keys      move the mouse cursor 1, 10, 19 or 28 pixels (Shift, Ctrl)
//                   within the map, as a movement of the mouse;
//   Enter           a left press at the cursor.
#pragma once

#include <QLabel>
#include <memory>
#include <string>

#include "map/map_display.h"

namespace zeblon::map {

// What the picture box asks of the controller that steers the map.
class MapWidgetPort {
 public:
  virtual ~MapWidgetPort() = default;
  virtual void Sync() = 0;             // before each press or key: take the window's fields
  virtual void Publish() = 0;          // a press without a redraw: the map's fields back
  virtual void Draw() = 0;             // the redraw (DrawMap and showing its results)
  virtual void ReadoutsChanged() = 0;  // the cursor read-out has new captions
  virtual void UntickOptions() = 0;    // Option1 and Option2 cleared
};

// What a press on the map asks of the map's tools (finders, sun curve, picture viewer).
class MapPressTools {
 public:
  virtual ~MapPressTools() = default;
  virtual bool Find() = 0;               // the right-click finders; true when one found something
  virtual void SunCurve(bool open) = 0;  // open (or follow) / close the sun curve
  virtual bool SunCurveOpen() const = 0;
  virtual std::string PictureName() const = 0;  // the picture shown in picture mode
  virtual void LeftPictureMode() = 0;           // hide the picture viewer
};

// A label, so that it takes the place of the window's picture box as it is.
class MapWidget : public QLabel {
  Q_OBJECT
 public:
  MapWidget(MapDisplay& display, QWidget* parent = nullptr);
  ~MapWidget() override;

  // The controller that steers the map (nullptr: the map alone, which draws itself
  // and has no window around it) and the tools a press asks (nullptr: none).
  void SetPort(MapWidgetPort* port);
  void SetTools(MapPressTools* tools);

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

  class Alone;
  class NoTools;

  MapDisplay& display_;
  std::unique_ptr<MapWidgetPort> alone_;
  std::unique_ptr<MapPressTools> no_tools_;
  MapWidgetPort* port_;
  MapPressTools* tools_;
  bool showing_base_ = false;
};

}  // namespace zeblon::map

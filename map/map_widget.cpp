#include "map/map_widget.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "map/navigation.h"
#include "platform/wait.h"

namespace zeblon::map {

namespace {

int ShiftMask(Qt::KeyboardModifiers m) {
  int mask = 0;
  if (m & Qt::ShiftModifier) mask |= 1;
  if (m & Qt::ControlModifier) mask |= 2;
  if (m & Qt::AltModifier) mask |= 4;
  return mask;
}

int ButtonOf(Qt::MouseButton b) {
  if (b == Qt::LeftButton) return kLeftButton;
  if (b == Qt::RightButton) return kRightButton;
  if (b == Qt::MiddleButton) return 4;
  return 0;
}

}  // namespace

MapWidget::MapWidget(MapDisplay& display, QWidget* parent) : QLabel(parent), display_(display) {
  setObjectName(QStringLiteral("Picture1"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapWidget::Redraw() {
  if (hooks_.draw)
    hooks_.draw();
  else
    display_.DrawMap();
  update();
}

void MapWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QImage& img = showing_base_ && !display_.base_picture().isNull() ? display_.base_picture() : display_.picture();
  if (img.isNull())
    p.fillRect(rect(), QColor(80, 80, 80));
  else
    p.drawImage(QPoint(0, 0), img);
}

void MapWidget::resizeEvent(QResizeEvent* e) {
  QLabel::resizeEvent(e);
  MapState& s = display_.mutable_state();
  s.MapWidthPx = width();
  s.MapHeightPx = height();
}

void MapWidget::Press(int button, double x, double y) {
  if (hooks_.sync) hooks_.sync();
  display_.NoteMapInteraction(platform::WaitClockNow());
  MapState& s = display_.mutable_state();
  const auto r = PressOnMap(s, button, x, y, hooks_.pictureName ? hooks_.pictureName() : std::string());
  if (r.leavePictureMode && hooks_.leftPictureMode) hooks_.leftPictureMode();
  if (r.untickOptions && hooks_.untickOptions) hooks_.untickOptions();
  if (r.redraw)
    Redraw();
  else if (hooks_.publish)
    hooks_.publish();  // the window holds the freed map (and the selected point) before any finder draws
  if (!r.search) return;
  const bool found = hooks_.find ? hooks_.find() : false;
  if (found) return;
  if (s.MapFolderPath != s.MapBaseFolder) {
    showing_base_ = true;
    update();
  } else if (hooks_.sunCurve) {
    hooks_.sunCurve(true);
  }
}

void MapWidget::Move(double x, double y) {
  MapState& s = display_.mutable_state();
  s.CursorX = x;
  s.CursorY = y;
  display_.ShowCursorPosition();
  if (hooks_.readoutsChanged) hooks_.readoutsChanged();
  if (hooks_.sunCurveOpen && hooks_.sunCurve && hooks_.sunCurveOpen()) hooks_.sunCurve(true);
}

void MapWidget::mousePressEvent(QMouseEvent* e) {
  const QPointF p = e->position();
  Press(ButtonOf(e->button()), p.x(), p.y());
}

void MapWidget::mouseMoveEvent(QMouseEvent* e) {
  const QPointF p = e->position();
  Move(p.x(), p.y());
}

void MapWidget::mouseReleaseEvent(QMouseEvent*) {
  if (showing_base_) {
    showing_base_ = false;
    update();
  }
  if (hooks_.sunCurve) hooks_.sunCurve(false);
}

void MapWidget::keyPressEvent(QKeyEvent* e) {
  const int mask = ShiftMask(e->modifiers());
  const MapState& s = display_.mutable_state();
  const int x = static_cast<int>(s.CursorX), y = static_cast<int>(s.CursorY);
  int code = 0;
  switch (e->key()) {
    case Qt::Key_Left: code = 37; break;
    case Qt::Key_Up: code = 38; break;
    case Qt::Key_Right: code = 39; break;
    case Qt::Key_Down: code = 40; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: Press(kLeftButton, x, y); return;
    default: QLabel::keyPressEvent(e); return;
  }
  const auto target = ArrowTarget(code, mask, x, y, width(), height());
  if (!target) return;
  QCursor::setPos(mapToGlobal(QPoint(target->first, target->second)));
  Move(target->first, target->second);
}

}  // namespace zeblon::map

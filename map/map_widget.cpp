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

// The map alone: it draws itself; there is no window whose fields it takes or gives back.
class MapWidget::Alone : public MapWidgetPort {
 public:
  explicit Alone(MapDisplay& display) : display_(display) {}
  void Sync() override {}     // no window fields to take
  void Publish() override {}  // nobody holds the map's fields
  void Draw() override { display_.DrawMap(); }
  void ReadoutsChanged() override {}  // no captions beside the map
  void UntickOptions() override {}    // no centring options to clear

 private:
  MapDisplay& display_;
};

// No tools: nothing is found, there is no sun curve and no picture viewer.
class MapWidget::NoTools : public MapPressTools {
 public:
  bool Find() override { return false; }
  void SunCurve(bool) override {}
  bool SunCurveOpen() const override { return false; }
  std::string PictureName() const override { return {}; }
  void LeftPictureMode() override {}
};

MapWidget::MapWidget(MapDisplay& display, QWidget* parent)
    : QLabel(parent),
      display_(display),
      alone_(std::make_unique<Alone>(display)),
      no_tools_(std::make_unique<NoTools>()),
      port_(alone_.get()),
      tools_(no_tools_.get()) {
  setObjectName(QStringLiteral("Picture1"));
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

MapWidget::~MapWidget() = default;

void MapWidget::SetPort(MapWidgetPort* port) { port_ = port != nullptr ? port : alone_.get(); }

void MapWidget::SetTools(MapPressTools* tools) { tools_ = tools != nullptr ? tools : no_tools_.get(); }

void MapWidget::Redraw() {
  port_->Draw();
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
  port_->Sync();
  display_.NoteMapInteraction(platform::WaitClockNow());
  MapState& s = display_.mutable_state();
  const auto r = PressOnMap(s, button, x, y, tools_->PictureName());
  if (r.leavePictureMode) tools_->LeftPictureMode();
  if (r.untickOptions) port_->UntickOptions();
  if (r.redraw)
    Redraw();
  else
    port_->Publish();  // the window holds the freed map (and the selected point) before any finder draws
  if (!r.search) return;
  const bool found = tools_->Find();
  if (found) return;
  if (s.MapFolderPath != s.MapBaseFolder) {
    showing_base_ = true;
    update();
  } else {
    tools_->SunCurve(true);
  }
}

void MapWidget::Move(double x, double y) {
  MapState& s = display_.mutable_state();
  s.CursorX = x;
  s.CursorY = y;
  display_.ShowCursorPosition();
  port_->ReadoutsChanged();
  if (tools_->SunCurveOpen()) tools_->SunCurve(true);
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
  tools_->SunCurve(false);
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

// The main window's layout: the rules of main_window/layout.h applied to the
// controls, the outer frame kept on the screen.
#include "main_window/form1.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/qtext.h"

namespace zeblon {

using namespace platform;

void Form1::LayOut(bool startup) {
  shell::LayoutIn in;
  in.W = width();
  in.H = height();
  in.outerWidthPx = frameGeometry().width();
  in.tppX = shell_.TwipsPerPixelX;
  in.tppY = shell_.TwipsPerPixelY;
  in.picture1Left = Picture1->x();
  QWidget* combo8 = scales_->combos[5];
  in.combo8Right = combo8->x() + combo8->width();
  in.label5Height = Label5->height();
  in.list1Height = List1->height();
  in.frame1Height = info_->height();
  in.frame1Width = info_->width();
  in.command57Top = column_->Command57->y();
  in.frame15Height = wx_->height();
  in.frame15Width = wx_->width();
  in.frame3Height = chat_->height();
  in.text3Left = chat_->Text3->x();
  in.check16Caption = chat_->Check16->Caption();
  in.check16Width = chat_->Check16->width();
  in.frame14Height = emergency_->height();
  const shell::LayoutOut o = shell::LayoutRules(in, startup);

  map_.MapHeightPx = o.mapHeightPx;
  map_.MapWidthPx = o.mapWidthPx;
  const int mw = std::max(0, static_cast<int>(o.mapWidthPx));
  const int mh = std::max(0, static_cast<int>(o.mapHeightPx));
  for (QWidget* pic : {Picture1, Picture3}) {
    pic->resize(pic->width(), mh);
    pic->resize(mw, mh);
    if (o.picture1LeftSet) pic->move(o.picture1Left, pic->y());
  }
  if (startup) Text10->move(Picture1->x(), Picture1->y());
  Label5->move(Label5->x(), o.label5Top);
  scales_->move(o.frame16Left, o.frame16Top);
  QWidget* list1 = List1;
  list1->setGeometry(list1->x(), o.list1Top, o.list1Width, list1->height());
  info_->move(o.frame1Left, o.frame1Top);
  const panels::ControlColumn& c = *column_;
  for (QWidget* w :
       std::initializer_list<QWidget*>{c.Command57, c.Command58, c.Command59, c.Command65, c.Label22, c.Line4}) {
    w->setVisible(o.specialsVisible);
  }
  wx_->move(o.frame15Left, o.frame15Top);
  QWidget* frame3 = chat_;
  frame3->setGeometry(o.frame3Left, o.frame3Top, o.frame3Width, frame3->height());
  chat_->Check8->move(o.check8Left, chat_->Check8->y());
  chat_->Command27->move(o.command27Left, chat_->Command27->y());
  QWidget* text3 = chat_->Text3;
  text3->resize(o.text3Width, text3->height());
  QWidget* check16 = chat_->Check16;
  check16->resize(o.check16Width, check16->height());
  QWidget* frame7 = saved_;
  frame7->setGeometry(0, frame7->y(), o.frame7.width, std::max(0, o.frame7.height));
  saved_->Text5->resize(std::max(0, o.text5Width), std::max(0, o.text5Height));
  saved_->Command28->move(o.command28Left, saved_->Command28->y());
  emergency_->move(o.frame14Left, o.frame14Top);
  viewer_->setGeometry(o.frame8.left, o.frame8.top, std::max(0, o.frame8.width), std::max(0, o.frame8.height));
  viewer_->WebBrowser2->resize(o.webBrowser2Width, o.webBrowser2Height);
  scales_->raise();
}

void Form1::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Form_Resize();
}

void Form1::Form_Resize() {
  static thread_local int depth = 0;
  if (depth > 0) return;  // a size set below raises the event again
  ++depth;
  TakeTwipsPerPixel();
  const int tx = shell_.TwipsPerPixelX, ty = shell_.TwipsPerPixelY;
  const bool normal = !isMinimized() && !isMaximized() && !isFullScreen();
  if (normal) {
    QRect g = frameGeometry();
    const int extra_w = g.width() - width(), extra_h = g.height() - height();
    int outer_w = g.width(), outer_h = g.height();
    if (outer_w * tx < shell::kMinOuterWidthTwips) outer_w = (shell::kMinOuterWidthTwips + tx - 1) / tx;
    if (outer_h * ty < shell::kMinOuterHeightTwips) outer_h = (shell::kMinOuterHeightTwips + ty - 1) / ty;
    int left = g.x(), top = g.y();
    if (shell_.WindowPlaced == 0) {
      const QRect area = AvailableScreenArea();
      if (settings_.WindowsVersion == "WIN10") {
        left = 100;
        top = 80;
        outer_w = 654;
        outer_h = 487;
      } else if (!area.isEmpty()) {
        // The screen's height less a window manager's panels.
        outer_h = area.height();
        top = area.y();
      }
      shell_.WindowPlaced = 1;
      // A window manager frames the window only after it is shown: then it is fitted again.
      frame_fit_pending_ = extra_w == 0 && extra_h == 0;
      PlaceOuterFrame({left, top, outer_w, outer_h});
    } else {
      if (outer_w != g.width() || outer_h != g.height()) resize(outer_w - extra_w, outer_h - extra_h);
      if (left != g.x() || top != g.y()) move(left, top);
      FitOnceFramed();
    }
  }
  if (!isMinimized()) {
    LayOut(false);
    if (map_.MapDrawnOnce == 1) DrawMap();
  }
  if (terminal_ != nullptr && !terminal_->isHidden()) OpenTerminal();
  --depth;
}

void Form1::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  FitOnceFramed();
}

QRect Form1::AvailableScreenArea() const {
  const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return s != nullptr ? s->availableGeometry() : QRect();
}

void Form1::PlaceOuterFrame(const shell::OuterFrame& wanted) {
  const QRect g = frameGeometry();
  const int extra_w = g.width() - width(), extra_h = g.height() - height();
  const QRect area = AvailableScreenArea();
  const int tx = std::max(1, shell_.TwipsPerPixelX), ty = std::max(1, shell_.TwipsPerPixelY);
  shell::OuterFrame f = wanted;
  if (!area.isEmpty()) {
    f = shell::FitOuterFrame(wanted, {area.x(), area.y(), area.width(), area.height()},
                             (shell::kMinOuterWidthTwips + tx - 1) / tx, (shell::kMinOuterHeightTwips + ty - 1) / ty);
  }
  if (f.maximise) {
    setWindowState(windowState() | Qt::WindowMaximized);
    return;
  }
  if (f.width != g.width() || f.height != g.height()) resize(f.width - extra_w, f.height - extra_h);
  if (f.left != g.x() || f.top != g.y()) move(f.left, f.top);
}

void Form1::FitOnceFramed() {
  if (!frame_fit_pending_ || !isVisible() || isMinimized() || isMaximized() || isFullScreen()) return;
  const QRect g = frameGeometry();
  if (g.size() == size()) return;  // not framed yet
  frame_fit_pending_ = false;
  PlaceOuterFrame({g.x(), g.y(), g.width(), g.height()});
}

}  // namespace zeblon

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
  in.mapLeft = Picture1->x();
  QWidget* combo8 = scales_->combos[5];
  in.lastScaleComboRight = combo8->x() + combo8->width();
  in.recordLineHeight = Label5->height();
  in.rawListHeight = List1->height();
  in.infoPanelHeight = info_->height();
  in.infoPanelWidth = info_->width();
  in.specialsTop = column_->Command57->y();
  in.wxStationHeight = wx_->height();
  in.wxStationWidth = wx_->width();
  in.chatHeight = chat_->height();
  in.chatMessageLeft = chat_->Text3->x();
  in.autoAnswerCaption = chat_->Check16->Caption();
  in.autoAnswerWidth = chat_->Check16->width();
  in.emergencyHeight = emergency_->height();
  const shell::LayoutOut o = shell::LayoutRules(in, startup);

  map_core_->SetPictureSize(o.mapWidthPx, o.mapHeightPx);
  const int mw = std::max(0, static_cast<int>(o.mapWidthPx));
  const int mh = std::max(0, static_cast<int>(o.mapHeightPx));
  for (QWidget* pic : {Picture1, Picture3}) {
    pic->resize(pic->width(), mh);
    pic->resize(mw, mh);
    if (o.mapLeftSet) pic->move(o.mapLeft, pic->y());
  }
  if (startup) Text10->move(Picture1->x(), Picture1->y());
  Label5->move(Label5->x(), o.recordLineTop);
  scales_->move(o.scaleBarLeft, o.scaleBarTop);
  QWidget* list1 = List1;
  list1->setGeometry(list1->x(), o.rawListTop, o.rawListWidth, list1->height());
  info_->move(o.infoPanelLeft, o.infoPanelTop);
  const panels::ControlColumn& c = *column_;
  for (QWidget* w :
       std::initializer_list<QWidget*>{c.Command57, c.Command58, c.Command59, c.Command65, c.Label22, c.Line4}) {
    w->setVisible(o.specialsVisible);
  }
  wx_->move(o.wxStationLeft, o.wxStationTop);
  QWidget* frame3 = chat_;
  frame3->setGeometry(o.chatLeft, o.chatTop, o.chatWidth, frame3->height());
  chat_->Check8->move(o.meOnlyLeft, chat_->Check8->y());
  chat_->Command27->move(o.chatCloseLeft, chat_->Command27->y());
  QWidget* text3 = chat_->Text3;
  text3->resize(o.chatMessageWidth, text3->height());
  QWidget* check16 = chat_->Check16;
  check16->resize(o.autoAnswerWidth, check16->height());
  QWidget* frame7 = saved_;
  frame7->setGeometry(0, frame7->y(), o.savedMessages.width, std::max(0, o.savedMessages.height));
  saved_->Text5->resize(std::max(0, o.savedTextWidth), std::max(0, o.savedTextHeight));
  saved_->Command28->move(o.savedCloseLeft, saved_->Command28->y());
  emergency_->move(o.emergencyLeft, o.emergencyTop);
  viewer_->setGeometry(o.viewer.left, o.viewer.top, std::max(0, o.viewer.width), std::max(0, o.viewer.height));
  viewer_->WebBrowser2->resize(o.viewerPageWidth, o.viewerPageHeight);
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
    if (map_core_->state().MapDrawnOnce == 1) DrawMap();
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

// The main window's layout: the rules of main_window/layout.h applied to the
// controls after the outer frame is placed on the screen.
#include "main_window/form1.h"

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
  placement_.FitAfterResize({shell_.TwipsPerPixelX, shell_.TwipsPerPixelY}, settings_.WindowsVersion == "WIN10");
  if (!isMinimized()) {
    LayOut(false);
    if (map_core_->state().MapDrawnOnce == 1) DrawMap();
  }
  if (terminal_ != nullptr && !terminal_->isHidden()) OpenTerminal();
  --depth;
}

void Form1::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  placement_.FitOnceFramed({shell_.TwipsPerPixelX, shell_.TwipsPerPixelY});
}

}  // namespace zeblon

// Controls of the start window that react to more than the platform's controls
// report: the release of a mouse button over an option or a check box, a click
// into a text box, a text box losing the focus, and a clickable picture.
#pragma once

#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <functional>

#include "platform/controls.h"

namespace zeblon {

// The mouse button's number: 1 left, 2 right, 4 middle.
inline int MouseButtonNumber(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

class ReleaseOptionButton : public platform::OptionButton {
 public:
  using platform::OptionButton::OptionButton;
  std::function<void(int button)> OnMouseUp;

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    platform::OptionButton::mouseReleaseEvent(e);
    if (OnMouseUp) OnMouseUp(MouseButtonNumber(e->button()));
  }
};

class ReleaseCheckBox : public platform::CheckBox {
 public:
  using platform::CheckBox::CheckBox;
  std::function<void(int button)> OnMouseUp;

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    platform::CheckBox::mouseReleaseEvent(e);
    if (OnMouseUp) OnMouseUp(MouseButtonNumber(e->button()));
  }
};

class StartTextBox : public platform::TextBox {
 public:
  using platform::TextBox::TextBox;
  platform::Handler OnClick;
  platform::Handler OnLostFocus;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    platform::TextBox::mousePressEvent(e);
    if (OnClick) OnClick();
  }
  void focusOutEvent(QFocusEvent* e) override {
    platform::TextBox::focusOutEvent(e);
    if (OnLostFocus) OnLostFocus();
  }
};

// A picture box: shows a pixmap, reports clicks.
class PictureBox : public QLabel {
 public:
  PictureBox(QWidget* parent, const char* name) : QLabel(parent) {
    setObjectName(name);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  platform::Handler OnClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    QLabel::mousePressEvent(e);
    if (OnClick) OnClick();
  }
};

}  // namespace zeblon

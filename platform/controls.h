// The window controls the programs are built from, on Qt widgets.
//
// They behave as the programs expect of their controls:
//  - a value given from code runs the control's change or click handler at once,
//    exactly as the user's change would, but only when the value really changes
//    (a text box's or combo box's change handler when its text differs, an option
//    button's click handler when it was not selected, a check box's click handler
//    when its value differs);
//  - texts are Windows-1252 bytes on our side;
//  - every control carries its numbered name (Command1, Text3, fr4ta1, …) as its
//    Qt object name, so windows and tests find it by that name;
//  - mouse handlers receive the button's number (1 left, 2 right, 4 middle); other
//    mouse buttons (side buttons) reach no handler, so a press-and-hold loop, which
//    ends on a release with a button's number, is never started by one.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// A platform colour value (blue * 65536 + green * 256 + red) as a Qt colour.
inline QColor PlatformColour(int value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

using Handler = std::function<void()>;
using MouseHandler = std::function<void(int button)>;
// A key pressed in a control: the key's code (13 Enter, 27 Escape, 8 Backspace,
// "A".."Z" and "0".."9" as their ASCII codes, other keys as Qt's code below 256
// or 0) and the shift state (1 Shift, 2 Ctrl, 4 Alt, added).
using KeyHandler = std::function<void(int key_code, int shift)>;

// The number of a mouse button: 1 left, 2 right, 4 middle; 0 for any other.
int MouseButtonNumber(Qt::MouseButton button);

// The key code of a function key (112 F1 … 121 F10) pressed in `window` or any of
// its controls, whichever has the focus; 0 for any other event (an application-wide
// event filter sees the key before the control does).
int FunctionKeyPressedIn(const QWidget& window, const QObject* watched, const QEvent* e);

// Position and size in pixels, as the window's design gives them.
void Place(QWidget* w, int left, int top, int width, int height);

// A control's text colour (ForeColor) and its filled background (BackColor).
void SetTextColour(QWidget* w, const QColor& c);
void SetBackColour(QWidget* w, const QColor& c);

class TextBox : public QLineEdit {
  Q_OBJECT
 public:
  TextBox(QWidget* parent, const char* name);
  std::string Text() const;
  void SetText(std::string_view text);  // runs OnChange when the text differs
  Handler OnChange;
  Handler OnClick;       // a mouse press into the box
  Handler OnLostFocus;   // the box lost the input focus
  KeyHandler OnKeyDown;  // before the box takes the key
  // Runs OnKeyDown as a key press would, e.g. Enter (13, 0) from code.
  void KeyDown(int key_code, int shift);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

// A multi-line text box.
class TextArea : public QPlainTextEdit {
  Q_OBJECT
 public:
  TextArea(QWidget* parent, const char* name);
  std::string Text() const;
  void SetText(std::string_view text);
  Handler OnChange;
};

class Label : public QLabel {
  Q_OBJECT
 public:
  Label(QWidget* parent, const char* name, std::string_view caption = {});
  std::string Caption() const;
  void SetCaption(std::string_view caption);
  // The label's width follows its caption from now on (the height stays).
  void SetAutoSize(bool on);

 private:
  void FitWidth();
  bool auto_size_ = false;
};

class CommandButton : public QPushButton {
  Q_OBJECT
 public:
  CommandButton(QWidget* parent, const char* name, std::string_view caption = {});
  std::string Caption() const;
  void SetCaption(std::string_view caption);
  Handler OnClick;
  // Press-and-hold buttons: the mouse button's number (1 left, 2 right, 4 middle).
  MouseHandler OnMouseDown;
  MouseHandler OnMouseUp;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
};

// Values 0 unticked, 1 ticked, 2 greyed.
class CheckBox : public QCheckBox {
  Q_OBJECT
 public:
  CheckBox(QWidget* parent, const char* name, std::string_view caption = {});
  int Value() const;
  void SetValue(int value);  // runs OnClick when the value differs
  std::string Caption() const;
  void SetCaption(std::string_view caption);
  Handler OnClick;
  // The press of a mouse button over the box (before a click changes its value).
  MouseHandler OnMouseDown;
  // The release of a mouse button over the box (after the click changed its value).
  MouseHandler OnMouseUp;
  // False: a click leaves the value alone (a box whose press handler sets it).
  bool ClickChangesValue = true;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void nextCheckState() override;
};

class OptionButton : public QRadioButton {
  Q_OBJECT
 public:
  OptionButton(QWidget* parent, const char* name, std::string_view caption = {});
  bool Value() const { return isChecked(); }
  void SetValue(bool value);  // selecting an unselected option runs OnClick
  std::string Caption() const;
  void SetCaption(std::string_view caption);
  Handler OnClick;
  // The release of a mouse button over the option, also when it was selected already.
  MouseHandler OnMouseUp;

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
};

class ComboBox : public QComboBox {
  Q_OBJECT
 public:
  ComboBox(QWidget* parent, const char* name, bool sorted = false);
  std::string Text() const;
  void SetText(std::string_view text);  // runs OnChange when the text differs
  void AddItem(std::string_view item);  // sorted combos keep their entries in order
  int ListCount() const { return count(); }
  std::string List(int index) const;
  int ListIndex() const { return currentIndex(); }
  void SetListIndex(int index);  // runs OnClick when it differs
  void Clear();
  Handler OnChange;  // the text changed (typed or set)
  Handler OnClick;   // an entry was chosen

 private:
  bool sorted_;
};

class ListBox : public QListWidget {
  Q_OBJECT
 public:
  ListBox(QWidget* parent, const char* name);
  void AddItem(std::string_view item);
  void Clear() { clear(); }
  int ListCount() const { return count(); }
  std::string List(int index) const;
  int ListIndex() const { return currentRow(); }
  void SetListIndex(int index);
  Handler OnClick;
};

// A picture box: shows a pixmap from its top left corner and reports clicks.
class PictureBox : public QLabel {
  Q_OBJECT
 public:
  PictureBox(QWidget* parent, const char* name);
  Handler OnClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
};

class Frame : public QGroupBox {
  Q_OBJECT
 public:
  Frame(QWidget* parent, const char* name, std::string_view caption = {});
  std::string Caption() const;
  void SetCaption(std::string_view caption);
};

// Where a control lies on its parent, in pixels.
struct Rect {
  int left, top, width, height;
};

// Creates a control of type T on `parent` with the control's own arguments (its
// numbered name, a caption …) and places it.
template <typename T, typename... Args>
T* Add(QWidget* parent, Rect where, Args&&... args) {
  auto* c = new T(parent, std::forward<Args>(args)...);
  Place(c, where.left, where.top, where.width, where.height);
  return c;
}

// A control below `root` by its numbered name (texts tables and tests).
QWidget* FindControl(const QWidget& root, std::string_view name);

}  // namespace platform

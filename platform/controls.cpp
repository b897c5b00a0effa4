#include "platform/controls.h"

#include <QKeyEvent>

#include <QFocusEvent>
#include <QMouseEvent>

#include "platform/qtext.h"

namespace platform {
namespace {

void Run(const Handler& h) {
  if (h) h();
}

// Runs a mouse handler for the buttons that have a number.
void RunMouse(const MouseHandler& h, const QMouseEvent* e) {
  const int button = MouseButtonNumber(e->button());
  if (h && button != 0) h(button);
}

}  // namespace

int MouseButtonNumber(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

int FunctionKeyPressedIn(const QWidget& window, const QObject* watched, const QEvent* e) {
  if (e->type() != QEvent::KeyPress || !watched->isWidgetType()) return 0;
  if (static_cast<const QWidget*>(watched)->window() != &window) return 0;
  const int key = static_cast<const QKeyEvent*>(e)->key();
  return key >= Qt::Key_F1 && key <= Qt::Key_F10 ? 112 + (key - Qt::Key_F1) : 0;
}

void Place(QWidget* w, int left, int top, int width, int height) { w->setGeometry(left, top, width, height); }

void SetTextColour(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Text, c);
  p.setColor(QPalette::ButtonText, c);
  p.setColor(QPalette::WindowText, c);
  w->setPalette(p);
}

void SetBackColour(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, c);
  p.setColor(QPalette::Button, c);
  w->setAutoFillBackground(true);
  w->setPalette(p);
}

TextBox::TextBox(QWidget* parent, const char* name) : QLineEdit(parent) {
  setObjectName(name);
  connect(this, &QLineEdit::textChanged, this, [this] { Run(OnChange); });
}
std::string TextBox::Text() const { return FromQ(text()); }
void TextBox::SetText(std::string_view t) {
  const QString q = ToQ(t);
  if (q != text()) setText(q);
}
void TextBox::mousePressEvent(QMouseEvent* e) {
  QLineEdit::mousePressEvent(e);
  Run(OnClick);
}
void TextBox::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  Run(OnLostFocus);
}
void TextBox::KeyDown(int key_code, int shift) {
  if (OnKeyDown) OnKeyDown(key_code, shift);
}
void TextBox::keyPressEvent(QKeyEvent* e) {
  int code = 0;
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: code = 13; break;
    case Qt::Key_Escape: code = 27; break;
    case Qt::Key_Backspace: code = 8; break;
    default:
      if (e->key() >= 0x20 && e->key() < 0x100) code = e->key();
  }
  const Qt::KeyboardModifiers m = e->modifiers();
  const int shift = (m & Qt::ShiftModifier ? 1 : 0) + (m & Qt::ControlModifier ? 2 : 0) + (m & Qt::AltModifier ? 4 : 0);
  KeyDown(code, shift);
  QLineEdit::keyPressEvent(e);
}

TextArea::TextArea(QWidget* parent, const char* name) : QPlainTextEdit(parent) {
  setObjectName(name);
  connect(this, &QPlainTextEdit::textChanged, this, [this] { Run(OnChange); });
}
std::string TextArea::Text() const { return FromQ(toPlainText()); }
void TextArea::SetText(std::string_view t) {
  const QString q = ToQ(t);
  if (q != toPlainText()) setPlainText(q);
}

Label::Label(QWidget* parent, const char* name, std::string_view caption) : QLabel(parent) {
  setObjectName(name);
  SetCaption(caption);
}
std::string Label::Caption() const { return FromQ(text()); }
void Label::SetCaption(std::string_view caption) {
  setText(ToQ(caption));
  FitWidth();
}
void Label::SetAutoSize(bool on) {
  auto_size_ = on;
  FitWidth();
}
void Label::FitWidth() {
  if (auto_size_) resize(sizeHint().width(), height());
}

CommandButton::CommandButton(QWidget* parent, const char* name, std::string_view caption) : QPushButton(parent) {
  setObjectName(name);
  SetCaption(caption);
  connect(this, &QPushButton::clicked, this, [this] { Run(OnClick); });
}
std::string CommandButton::Caption() const { return FromQ(text()); }
void CommandButton::SetCaption(std::string_view caption) { setText(ToQ(caption)); }
void CommandButton::mousePressEvent(QMouseEvent* e) {
  QPushButton::mousePressEvent(e);
  RunMouse(OnMouseDown, e);
}
void CommandButton::mouseReleaseEvent(QMouseEvent* e) {
  QPushButton::mouseReleaseEvent(e);
  RunMouse(OnMouseUp, e);
}

CheckBox::CheckBox(QWidget* parent, const char* name, std::string_view caption) : QCheckBox(parent) {
  setObjectName(name);
  setTristate(false);
  SetCaption(caption);
  connect(this, &QCheckBox::stateChanged, this, [this](int) { Run(OnClick); });
}
int CheckBox::Value() const {
  switch (checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
  }
  return 0;
}
void CheckBox::SetValue(int value) {
  const Qt::CheckState s = value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
  if (s == Qt::PartiallyChecked) setTristate(true);
  if (s != checkState()) setCheckState(s);
}
std::string CheckBox::Caption() const { return FromQ(text()); }
void CheckBox::SetCaption(std::string_view caption) { setText(ToQ(caption)); }
void CheckBox::mousePressEvent(QMouseEvent* e) {
  RunMouse(OnMouseDown, e);
  QCheckBox::mousePressEvent(e);
}
void CheckBox::mouseReleaseEvent(QMouseEvent* e) {
  QCheckBox::mouseReleaseEvent(e);
  RunMouse(OnMouseUp, e);
}
void CheckBox::nextCheckState() {
  if (ClickChangesValue) QCheckBox::nextCheckState();
}

OptionButton::OptionButton(QWidget* parent, const char* name, std::string_view caption) : QRadioButton(parent) {
  setObjectName(name);
  SetCaption(caption);
  connect(this, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Run(OnClick);
  });
}
void OptionButton::SetValue(bool value) {
  if (value == isChecked()) return;
  setChecked(value);
}
std::string OptionButton::Caption() const { return FromQ(text()); }
void OptionButton::SetCaption(std::string_view caption) { setText(ToQ(caption)); }
void OptionButton::mouseReleaseEvent(QMouseEvent* e) {
  QRadioButton::mouseReleaseEvent(e);
  RunMouse(OnMouseUp, e);
}

ComboBox::ComboBox(QWidget* parent, const char* name, bool sorted) : QComboBox(parent), sorted_(sorted) {
  setObjectName(name);
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  connect(this, &QComboBox::editTextChanged, this, [this](const QString&) { Run(OnChange); });
  connect(this, &QComboBox::activated, this, [this](int) { Run(OnClick); });
}
std::string ComboBox::Text() const { return FromQ(currentText()); }
void ComboBox::SetText(std::string_view t) {
  const QString q = ToQ(t);
  if (q != currentText()) setEditText(q);
}
void ComboBox::AddItem(std::string_view item) {
  const QString q = ToQ(item);
  const QString keep = currentText();
  blockSignals(true);
  if (sorted_) {
    int at = 0;
    while (at < count() && QString::compare(itemText(at), q, Qt::CaseInsensitive) <= 0) ++at;
    insertItem(at, q);
  } else {
    addItem(q);
  }
  if (currentText() != keep) setEditText(keep);
  blockSignals(false);
}
std::string ComboBox::List(int index) const { return FromQ(itemText(index)); }
void ComboBox::SetListIndex(int index) {
  if (index == currentIndex()) return;
  setCurrentIndex(index);
  Run(OnClick);
}
void ComboBox::Clear() {
  const QString keep = currentText();
  blockSignals(true);
  clear();
  setEditText(keep);
  blockSignals(false);
}

ListBox::ListBox(QWidget* parent, const char* name) : QListWidget(parent) {
  setObjectName(name);
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { Run(OnClick); });
}
void ListBox::AddItem(std::string_view item) { addItem(ToQ(item)); }
std::string ListBox::List(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? FromQ(it->text()) : std::string();
}
void ListBox::SetListIndex(int index) {
  if (index == currentRow()) return;
  setCurrentRow(index);
  Run(OnClick);
}

PictureBox::PictureBox(QWidget* parent, const char* name) : QLabel(parent) {
  setObjectName(name);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}
void PictureBox::mousePressEvent(QMouseEvent* e) {
  QLabel::mousePressEvent(e);
  Run(OnClick);
}

Frame::Frame(QWidget* parent, const char* name, std::string_view caption) : QGroupBox(parent) {
  setObjectName(name);
  SetCaption(caption);
}
std::string Frame::Caption() const { return FromQ(title()); }
void Frame::SetCaption(std::string_view caption) { setTitle(ToQ(caption)); }

QWidget* FindControl(const QWidget& root, std::string_view name) {
  return root.findChild<QWidget*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

}  // namespace platform

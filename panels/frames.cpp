#include "panels/frames.h"

#include <QFontMetrics>
#include <algorithm>
#include <string>
#include <string_view>

namespace zeblon::panels {

using namespace platform;

PanelFrame::PanelFrame(QWidget* parent, const char* name, const char* caption, Rect where)
    : Frame(parent, name, caption) {
  setAutoFillBackground(true);
  Place(this, where.left, where.top, where.width, where.height);
  hide();
}

InfoPanel::InfoPanel(QWidget* window) : PanelFrame(window, "Frame1", "", {0, 663, 600, 60}) {
  Command10 = Add<CommandButton>(this, {4, 16, 24, 22}, "Command10", "X");
  Command41 = Add<CommandButton>(this, {30, 16, 50, 22}, "Command41", "PING");
  Command11 = Add<CommandButton>(this, {82, 16, 60, 22}, "Command11", "MONI 1");
  Command12 = Add<CommandButton>(this, {144, 16, 50, 22}, "Command12", "MAP");
  Command40 = Add<CommandButton>(this, {196, 16, 50, 22}, "Command40", "RAW");
  Command23 = Add<CommandButton>(this, {248, 16, 50, 22}, "Command23", "CHAT");
  Command18 = Add<CommandButton>(this, {300, 16, 30, 22}, "Command18", "<X");
  Label19 = Add<Label>(this, {332, 20, 56, 18}, "Label19", "DELETE");
  Command19 = Add<CommandButton>(this, {390, 16, 30, 22}, "Command19", "X>");
  Command36 = Add<CommandButton>(this, {430, 16, 30, 22}, "Command36", "|<");
  Command5 = Add<CommandButton>(this, {462, 16, 30, 22}, "Command5", "<");
  Command6 = Add<CommandButton>(this, {494, 16, 30, 22}, "Command6", ">");
  Command37 = Add<CommandButton>(this, {526, 16, 30, 22}, "Command37", ">|");
  Command20 = Add<CommandButton>(this, {560, 16, 36, 22}, "Command20", "WX");
  Command20->setEnabled(false);  // enabled while a weather report is shown
  // The buttons in the program's own font.
  for (CommandButton* b : {Command10, Command41, Command11, Command12, Command40, Command23, Command18, Command19,
                           Command36, Command5, Command6, Command37, Command20}) {
    QFont f = b->font();
    f.setFamily(QStringLiteral("QW7_F3"));
    b->setFont(f);
  }
}

// The caption is the header of the lines: its bars stand over the lines' colons.
ChatFrame::ChatFrame(QWidget* window)
    : PanelFrame(window, "Frame3", "RX FROM  |TO       |MESSAGES ", {200, 0, 772, 170}) {
  for (int i = 0; i <= 7; ++i) {
    const std::string name = "Text1(" + std::to_string(i) + ")";
    Text1[i] = Add<TextBox>(this, {4, 16 + i * 14, 740, 14}, name.c_str());
    Text1[i]->setReadOnly(true);
    Text1[i]->setFrame(false);
  }
  Check16 = Add<CheckBox>(this, {4, 128, 73, 18}, "Check16", "AUTO-A");
  Text2 = Add<TextBox>(this, {86, 128, 79, 18}, "Text2");
  Text3 = Add<TextBox>(this, {168, 128, 488, 18}, "Text3");
  Text3->setMaxLength(60);
  Check8 = Add<CheckBox>(this, {112, 148, 50, 18}, "Check8", "ME!");
  Command27 = Add<CommandButton>(this, {754, 2, 16, 16}, "Command27", "X");
}

void ChatFrame::ScaleForTwips(int tpp_x) {
  const double sx = tpp_x / 15.0;
  Text2->setGeometry(static_cast<int>(1290 / 15.0 * sx), Text2->y(), static_cast<int>(1185 / 15.0 * sx),
                     Text2->height());
  Text3->move(static_cast<int>(2520 / 15.0 * sx), Text3->y());
}

void ChatFrame::ApplyInterface(InterfaceKind kind, bool call_valid) {
  if (kind == InterfaceKind::NoRadio) {
    Check16->setEnabled(false);
    Check16->hide();
  }
  if (!call_valid) {
    Check8->SetValue(1);
    Check8->setEnabled(false);
    Check16->setEnabled(false);
    Check16->hide();
    for (QWidget* w : {static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3)}) {
      w->setEnabled(false);
      w->hide();
    }
  }
}

SavedMessagesPanel::SavedMessagesPanel(QWidget* window)
    : PanelFrame(window, "Frame7", "SAVED MESSAGES   AUTO-CLOSING AFTER 30 sec ! ", {0, 170, 1024, 570}) {
  Text5 = Add<TextArea>(this, {8, 16, 1008, 548}, "Text5");
  Text5->setReadOnly(true);
  Command28 = Add<CommandButton>(this, {1006, 2, 16, 16}, "Command28", "X");
}

EmergencyPanel::EmergencyPanel(QWidget* window)
    : PanelFrame(window, "Frame14",
                 "ALARM:      EMERGENCY!        NOTFALL!        N\xD6"
                 "DFALL!       ",
                 {200, 561, 420, 160}) {
  Command39 = Add<CommandButton>(this, {392, 4, 24, 22}, "Command39", "X");
  Text11 = Add<TextBox>(this, {4, 20, 380, 20}, "Text11");
  Text12 = Add<TextBox>(this, {4, 42, 380, 20}, "Text12");
  Text13 = Add<TextBox>(this, {4, 64, 380, 20}, "Text13");
  Text14 = Add<TextBox>(this, {4, 86, 380, 20}, "Text14");
  Command38 = Add<CommandButton>(this, {4, 108, 80, 22}, "Command38", "MAP");
  Text15 = Add<TextBox>(this, {90, 108, 320, 20}, "Text15");
}

PictureViewer::PictureViewer(QWidget* map) : PanelFrame(map, "Frame8", "", {8, 8, 808, 704}) {
  WebBrowser2 = new QWidget(this);
  WebBrowser2->setObjectName("WebBrowser2");
  Place(WebBrowser2, 8, 16, 792, 646);
  Command70 = Add<CommandButton>(this, {8, 670, 56, 22}, "Command70", "START");
  Command29 = Add<CommandButton>(this, {66, 670, 40, 22}, "Command29", "<");
  Command30 = Add<CommandButton>(this, {108, 670, 40, 22}, "Command30", ">");
  Command71 = Add<CommandButton>(this, {150, 670, 50, 22}, "Command71", "MAP");
}

TerminalPanel::TerminalPanel(QWidget* window) : PanelFrame(window, "Frame19", "TERMINAL", {0, 0, 640, 420}) {
  Label47 = Add<Label>(this, {8, 16, 624, 34}, "Label47",
                       "THIS TERMINAL WINDOW ALLOWS TO COMMUNICATE DIRECTLY WITH/VIA THE TNC. AS LONG AS IT IS "
                       "HELD OPEN, ALL NORMAL PROGRAM FUNCTIONS ARE STOPPED.");
  Label47->setWordWrap(true);
  Text19 = Add<TextBox>(this, {8, 54, 624, 20}, "Text19");
  Text20 = Add<TextArea>(this, {8, 78, 624, 300}, "Text20");
  Command66 = Add<CommandButton>(this, {552, 386, 80, 22}, "Command66", "CLOSE");
}

QthSetupPanel::QthSetupPanel(QWidget* window)
    : PanelFrame(window, "Frame2", "USER QTH SETUP: CENTER THE MAP TO YOUR QTH!", {200, 0, 520, 60}) {
  Command21 = Add<CommandButton>(this, {8, 24, 120, 22}, "Command21", "QTH OK");
}

ObjectSetupPanel::ObjectSetupPanel(QWidget* window)
    : PanelFrame(window, "Frame11", "OBJECT SETUP: CENTER THE MAP TO THE OBJECT!", {200, 0, 560, 126}) {
  Label28 = Add<Label>(this, {8, 20, 90, 18}, "Label28", "OBJECT NAME");
  Text7 = Add<TextBox>(this, {100, 18, 100, 22}, "Text7");
  Label41 = Add<Label>(this, {210, 20, 40, 18}, "Label41", "TEXT");
  Text8 = Add<TextBox>(this, {250, 18, 300, 22}, "Text8");
  Text8->setMaxLength(37);
  // The lent symbol picker takes 190 x 70 from (SymbolLeft, SymbolTop).
  Command31 = Add<CommandButton>(this, {250, 96, 120, 22}, "Command31", "DELETE OBJECT");
  Command32 = Add<CommandButton>(this, {378, 96, 80, 22}, "Command32", "CANCEL");
  Command33 = Add<CommandButton>(this, {466, 96, 84, 22}, "Command33", "OK");
}

PoiEditor::PoiEditor(QWidget* window) : PanelFrame(window, "PoiEditor", "POI", {200, 60, 520, 80}) {
  Label14 = Add<Label>(this, {8, 16, 500, 18}, "Label14", "DELETE POINT: CLEAR TEXT  /  CREATE POINT: TYPE TEXT");
  Text4 = Add<TextBox>(this, {8, 36, 300, 20}, "Text4");
  Command67 = Add<CommandButton>(this, {312, 36, 80, 22}, "Command67", "OPEN LINK");
  Command64 = Add<CommandButton>(this, {396, 36, 110, 22}, "Command64", " POS= CENTER");
  Command22 = Add<CommandButton>(this, {312, 58, 80, 20}, "Command22", "CANCEL");
  Command26 = Add<CommandButton>(this, {228, 58, 80, 20}, "Command26", "OK");
}

// The frame is laid out in twips on a 15-twip pixel, in the dialog font of 8 points
// (11 pixels), so its fixed places hold their texts on every desktop.
IonoPanel::IonoPanel(QWidget* window) : PanelFrame(window, "Frame18", "  IONO DATA  ", {0, 120, 122, 239}) {
  QFont f = font();
  f.setPixelSize(11);
  setFont(f);
  QPalette back = palette();
  back.setColor(QPalette::Window, QColor(160, 192, 192));
  setPalette(back);
  // The status line: two lines, the time wrapping below its " UPDATED (n)".
  Label46 = Add<Label>(this, {8, 16, 105, 33}, "Label46", "INPUT");
  Label46->setWordWrap(true);
  Label46->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The caption lies behind both boxes: the boxes are made after it.
  Label44 = Add<Label>(this, {8, 64, 105, 105}, "Label44");
  Label44->setWordWrap(true);
  Label44->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Text17 = Add<TextBox>(this, {8, 96, 105, 19}, "Text17");
  Text18 = Add<TextBox>(this, {8, 168, 105, 19}, "Text18");
  for (TextBox* box : {Text17, Text18}) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QColor(200, 200, 200));
    p.setColor(QPalette::Disabled, QPalette::Base, QColor(200, 200, 200));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));  // "(INET)" values stay legible
    box->setPalette(p);
  }
  Label44->SetCaption(IonoCaptionShown(*Label44, Text18->y() - Label44->y()));
  Command60 = Add<CommandButton>(this, {32, 200, 57, 25}, "Command60", "OK");
}

// " REL. SUNSPOT NUMBER (R):", a run of 41 blanks, "GEOMAGNETIC  K-INDEX:": the run
// carries the K-index words down to the lines right above their box; the wrapped
// text keeps them there in empty lines, whatever the font's line height.
std::string IonoCaptionShown(const QLabel& label, int k_box_top) {
  static constexpr std::string_view kSunspot = " REL. SUNSPOT NUMBER (R):";
  static constexpr std::string_view kKIndex = "GEOMAGNETIC  K-INDEX:";
  const QFontMetrics fm(label.font());
  auto lines = [&](std::string_view text) {
    const QRect r = fm.boundingRect(QRect(0, 0, label.width(), 10000), Qt::TextWordWrap,
                                    QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    return std::max(1, (r.height() + fm.lineSpacing() - 1) / fm.lineSpacing());
  };
  const int k_first_line = k_box_top / fm.lineSpacing() - lines(kKIndex);
  const int breaks = std::max(1, k_first_line - lines(kSunspot) + 1);
  return std::string(kSunspot) + std::string(static_cast<std::size_t>(breaks), '\n') + std::string(kKIndex);
}

TrkPanel::TrkPanel(QWidget* window) : PanelFrame(window, "Frame10", "TRK", {200, 156, 200, 50}) {
  Command68 = Add<CommandButton>(this, {8, 18, 40, 22}, "Command68", "<");
  Command69 = Add<CommandButton>(this, {52, 18, 40, 22}, "Command69", ">");
}

}  // namespace zeblon::panels

#include "panels/control_column.h"

#include <string>

#include "links/tx_setup.h"

namespace zeblon::panels {

using namespace platform;

namespace {

QFrame* AddLine(QWidget* w, const char* name) {
  auto* l = new QFrame(w);
  l->setObjectName(name);
  l->setFrameShape(QFrame::HLine);
  Place(l, 0, 66, 120, 2);
  return l;
}

// A borderless frame that clips the read-out label lying in it.
QFrame* AddReadoutFrame(QWidget* w, Rect where, const char* name) {
  auto* frame = Add<QFrame>(w, where);
  frame->setObjectName(name);
  frame->setFrameShape(QFrame::NoFrame);
  frame->setAutoFillBackground(true);  // a widened frame covers the map beneath
  return frame;
}

Label* AddReadout(QFrame* frame, const char* name) {
  auto* label = Add<Label>(frame, {0, 0, 0, frame->height()}, name);
  label->SetAutoSize(true);
  label->setMouseTracking(true);  // the frame widens as the mouse moves over it
  return label;
}

}  // namespace

QFont ReadoutFont() {
  QFont f(QStringLiteral("QW7_F6"));
  f.setPixelSize(10);
  return f;
}

ControlColumn::ControlColumn(QWidget* f) {
  Label1 = Add<Label>(f, {0, 2, 198, 16}, "Label1");
  Label2 = Add<Label>(f, {0, 18, 198, 16}, "Label2");
  Label3 = Add<Label>(f, {0, 34, 198, 16}, "Label3");
  Label4 = Add<Label>(f, {0, 50, 198, 16}, "Label4");
  Line2 = AddLine(f, "Line2");
  Line3 = AddLine(f, "Line3");
  Line4 = AddLine(f, "Line4");
  Line5 = AddLine(f, "Line5");
  Label15 = Add<Label>(f, {0, 68, 110, 18}, "Label15");
  Check5 = Add<CheckBox>(f, {112, 68, 88, 20}, "Check5", "Quick Info 0/1");
  Command1 = Add<CommandButton>(f, {0, 88, 38, 22}, "Command1", "<<");
  Command7 = Add<CommandButton>(f, {40, 88, 38, 22}, "Command7", "-");
  Command9 = Add<CommandButton>(f, {80, 88, 38, 22}, "Command9", "1:1");
  Command8 = Add<CommandButton>(f, {120, 88, 38, 22}, "Command8", "+");
  Command2 = Add<CommandButton>(f, {160, 88, 38, 22}, "Command2", ">>");
  Option1 = Add<OptionButton>(f, {0, 112, 98, 20}, "Option1", "USER QTH");
  Option2 = Add<OptionButton>(f, {100, 112, 98, 20}, "Option2", "MONI 1 QTH");
  Option2->setChecked(true);
  Command72 = Add<CommandButton>(f, {0, 132, 64, 22}, "Command72", "MAP");
  Command42 = Add<CommandButton>(f, {66, 132, 64, 22}, "Command42", "PAL");
  Command43 = Add<CommandButton>(f, {132, 132, 66, 22}, "Command43", "RESET");
  Check14 = Add<CheckBox>(f, {0, 156, 50, 20}, "Check14", "TRK");
  Combo1 = Add<ComboBox>(f, {50, 156, 148, 22}, "Combo1", true);
  Command73 = Add<CommandButton>(f, {0, 180, 48, 22}, "Command73", "POI");
  Combo2 = Add<ComboBox>(f, {50, 180, 148, 22}, "Combo2", true);
  Check4 = Add<CheckBox>(f, {0, 204, 52, 20}, "Check4", "GRID");
  Check9 = Add<CheckBox>(f, {52, 204, 50, 20}, "Check9", "Fopt");
  Check12 = Add<CheckBox>(f, {102, 204, 46, 20}, "Check12", "PIC");
  Check1 = Add<CheckBox>(f, {148, 204, 52, 20}, "Check1", "TONE");
  Check6 = Add<CheckBox>(f, {0, 232, 64, 20}, "Check6", "TX !");
  Check18 = Add<CheckBox>(f, {66, 232, 64, 20}, "Check18", "OBJ");
  Check7 = Add<CheckBox>(f, {132, 232, 66, 20}, "Check7", "CHAT");
  Command24 = Add<CommandButton>(f, {0, 252, 64, 22}, "Command24", "SAVED");
  Command25 = Add<CommandButton>(f, {66, 252, 64, 22}, "Command25", "DEL");
  Check15 = Add<CheckBox>(f, {132, 254, 66, 20}, "Check15", "IGATE");
  Combo9 = Add<ComboBox>(f, {0, 274, 120, 22}, "Combo9", false);
  Command16 = Add<CommandButton>(f, {122, 274, 24, 22}, "Command16", "<");
  Label17 = Add<Label>(f, {150, 276, 20, 18}, "Label17", "2");
  Command17 = Add<CommandButton>(f, {174, 274, 24, 22}, "Command17", ">");
  Label6 = Add<Label>(f, {0, 298, 60, 16}, "Label6", "0");
  Label9 = Add<Label>(f, {62, 298, 136, 16}, "Label9");
  // The MONI 1 position (15 characters each) in the narrow read-out font.
  Label7 = Add<Label>(f, {0, 314, 98, 16}, "Label7");
  Label8 = Add<Label>(f, {100, 314, 98, 16}, "Label8");
  Frame5 = AddReadoutFrame(f, {0, 330, 121, 14}, "Frame5");
  Label10 = AddReadout(Frame5, "Label10");
  Label12 = Add<Label>(f, {124, 330, 74, 14}, "Label12", "MONI 1");
  // The distance line on two rows as wide as the column up to the map (distance
  // and direction, then speed and heard-via), the internet boxes below it.
  Frame9 = AddReadoutFrame(f, {0, 344, 200, 28}, "Frame9");
  Label11 = AddReadout(Frame9, "Label11");
  for (Label* l : {Label7, Label8, Label11}) l->setFont(ReadoutFont());
  Check22 = Add<CheckBox>(f, {122, 372, 38, 16}, "Check22", "I");
  Check27 = Add<CheckBox>(f, {160, 372, 38, 16}, "Check27", "S");
  // From here down the column lies kMoniOneLineDrop lower than the frame's design.
  constexpr int d = kMoniOneLineDrop;
  Label27 = Add<Label>(f, {0, 360 + d, 198, 8}, "Label27");
  Command13 = Add<CommandButton>(f, {0, 372 + d, 24, 22}, "Command13", "<");
  Label16 = Add<Label>(f, {28, 374 + d, 22, 18}, "Label16", "2");
  Command14 = Add<CommandButton>(f, {52, 372 + d, 24, 22}, "Command14", ">");
  Command3 = Add<CommandButton>(f, {80, 372 + d, 50, 22}, "Command3", "CLR");
  Check3 = Add<CheckBox>(f, {132, 374 + d, 66, 20}, "Check3", "RAW");
  Check10 = Add<CheckBox>(f, {0, 394 + d, 38, 16}, "Check10", "D");
  Check11 = Add<CheckBox>(f, {40, 394 + d, 38, 16}, "Check11", "F");
  Check13 = Add<CheckBox>(f, {80, 394 + d, 38, 16}, "Check13", "M");
  Check13->setTristate(true);
  Check19 = Add<CheckBox>(f, {120, 394 + d, 38, 16}, "Check19", "O");
  Check25 = Add<CheckBox>(f, {160, 394 + d, 38, 16}, "Check25", "W");
  Check20 = Add<CheckBox>(f, {0, 410 + d, 66, 16}, "Check20", "MONI 1");
  Check21 = Add<CheckBox>(f, {66, 410 + d, 66, 16}, "Check21", "M ALL");
  Check23 = Add<CheckBox>(f, {132, 410 + d, 33, 16}, "Check23", "I");
  Check24 = Add<CheckBox>(f, {165, 410 + d, 33, 16}, "Check24", "D");
  Label26 = Add<Label>(f, {0, 426 + d, 198, 8}, "Label26");
  Label22 = Add<Label>(f, {0, 440 + d, 198, 16}, "Label22", "SPECIALS (F1...)");
  Command57 = Add<CommandButton>(f, {0, 458 + d, 48, 22}, "Command57", "READ");
  Command65 = Add<CommandButton>(f, {50, 458 + d, 48, 22}, "Command65", "TERM");
  Command65->setEnabled(false);
  Command59 = Add<CommandButton>(f, {100, 458 + d, 48, 22}, "Command59", "SAVE");
  Command58 = Add<CommandButton>(f, {150, 458 + d, 48, 22}, "Command58", "GE");
}

ScaleBar::ScaleBar(QWidget* window) : Frame(window, "Frame16") {
  setFlat(true);
  Place(this, 0, 723, 804, 17);
  static const char* const kCombos[6] = {"Combo3", "Combo4", "Combo5", "Combo6", "Combo7", "Combo8"};
  for (int i = 0; i < 6; ++i) {
    combos[i] = Add<ComboBox>(this, {i * 134, 0, 110, 17}, kCombos[i], true);
    const std::string box = "Check26(" + std::to_string(i) + ")";
    marks[i] = Add<CheckBox>(this, {i * 134 + 110, 0, 24, 17}, box.c_str(), "#");
  }
}

void ControlColumn::SetObjCaptionGrey(bool grey) {
  obj_caption_grey_ = grey;
  Check18->setStyleSheet(grey ? "color: rgb(112, 112, 0);" : "color: rgb(0, 0, 0);");
}

void ControlColumn::ScaleForTwips(int tpp_y) {
  const double sy = 15.0 / tpp_y;
  auto line = [](QWidget* l, int x2, double y) { l->setGeometry(0, static_cast<int>(y), x2, 2); };
  line(Line5, static_cast<int>(120 * sy), Line5->y());
  line(Line2, 120, 228 * sy);
  line(Line3, 120, (368 + kMoniOneLineDrop) * sy);
  line(Line4, 120, (434 + kMoniOneLineDrop) * sy);
  Label27->move(Label27->x(), static_cast<int>((360 + kMoniOneLineDrop) * sy));
  Label26->move(Label26->x(), static_cast<int>((426 + kMoniOneLineDrop) * sy));
}

void ControlColumn::ShowClock(int hh, int mm, int interface_kind, const std::string& radio_mode_label, bool gps_time) {
  Label15->SetCaption(links::ClockLabelText(hh, mm, interface_kind, radio_mode_label, gps_time));
}

void ControlColumn::ShowTxBox(const links::StartValues& start) {
  Check6->SetCaption(start.txBoxCaption);
  if (start.txBoxEnabled) {
    Check6->setEnabled(true);
  } else if (!start.userCall) {
    Check6->setEnabled(false);
  }
}

void ControlColumn::ShowIGateBox(bool allowed, int igate_on) {
  // Disabled first: the box's handler leaves the setting alone while it is.
  Check15->setEnabled(allowed);
  Check15->SetValue(allowed && igate_on == 1 ? 1 : 0);
}

void ControlColumn::ApplyInterface(InterfaceKind kind) {
  if (kind == InterfaceKind::NoRadio) Check6->setEnabled(false);
  if (UsesSerialTnc(kind)) Command65->setEnabled(true);
}

void ControlColumn::UntickCentringOptions() {
  for (OptionButton* o : {Option1, Option2}) {
    o->setAutoExclusive(false);
    o->setChecked(false);
    o->setAutoExclusive(true);
  }
}

}  // namespace zeblon::panels

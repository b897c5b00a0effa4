// The start window's layout of the TX setup panel: its controls, its mode rules,
// its values and its opening from the settings.
#include <string>

#include "geodesy/text.h"
#include "panels/tx_setup_panel.h"
#include "platform/qtext.h"
#include "stations/station_layers.h"

namespace zeblon::panels {

using namespace platform;

void TxSetupPanel::BuildStartLayout() {
  // The picker's rows: the standard table with its unused rows empty.
  picker_rows_ = reception::StandardSymbolTable();
  picker_rows_[0].clear();
  for (int i = 95; i <= 100; ++i) picker_rows_[i].clear();
  for (int i = 195; i <= 200; ++i) picker_rows_[i].clear();

  QWidget* f = this;
  auto label = [f](const char* name, const char* caption, int x, int y, int w) {
    auto* l = new Label(f, name, caption);
    Place(l, x, y, w, 20);
    return l;
  };
  auto button = [f](const char* name, const char* caption, int x, int y, int w, int h = 22) {
    auto* b = new CommandButton(f, name, caption);
    Place(b, x, y, w, h);
    return b;
  };
  fr4Label1 = label("fr4Label1", "SSID", 10, 24, 50);
  fr4Text1 = new TextBox(f, "fr4Text1");
  Place(fr4Text1, 10, 44, 50, 22);
  fr4Label2 = label("fr4Label2", "TX TIMER IN MINUTES OR MANUAL TX", 70, 24, 300);
  fr4Text2 = new TextBox(f, "fr4Text2");
  Place(fr4Text2, 70, 44, 80, 22);
  fr4C21 = button("fr4C21", "+", 152, 44, 24);
  fr4C22 = button("fr4C22", "-", 178, 44, 24);
  label("fr4Label3", "DESTINATION", 380, 24, 100);
  fr4Text3 = new TextBox(f, "fr4Text3");
  Place(fr4Text3, 380, 44, 90, 22);

  fr4Label4 = label("fr4Label4", " VIA = PATH    (CALL1,...)   EASY SETUP    BUTTONS-->", 10, 76, 420);
  fr4Text4 = new TextBox(f, "fr4Text4");
  Place(fr4Text4, 10, 96, 300, 22);
  const char* preset_captions[] = {"WIDE1-1", "WIDE2-1", "WIDE2-2", "RELAY", "ECHO", "GATE"};
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "Command" + std::to_string(7 + i);
    presets[i] = button(name.c_str(), preset_captions[i - 1], 316 + (i - 1) * 70, 96, 66);
  }
  Command7 = button("Command7", "CLEAR", 740, 96, 60);
  const char* memory_names[] = {"Command17", "Command18", "Command19", "Command21"};
  for (int n = 1; n <= 4; ++n) {
    pathMemory[n] = button(memory_names[n - 1], ("M" + std::to_string(n)).c_str(), 10 + (n - 1) * 44, 124, 40);
  }
  Label19 = label("Label19", "< SAVE:       <      Rclick  < RECALL:  <      Lclick   v    v    v    v", 190, 126, 440);

  fr4Label5 = label("fr4Label5", "INFO LINES (ALTERNATING)", 10, 152, 300);
  for (int i = 1; i <= 6; ++i) {
    const std::string ti = "fr4ti" + std::to_string(i);
    const std::string ta = "fr4ta" + std::to_string(i);
    const std::string tm = "fr4tm" + std::to_string(i);
    const int y = 172 + (i - 1) * 26;
    fr4ti[i] = new TextBox(f, ti.c_str());
    Place(fr4ti[i], 10, y, 480, 22);
    fr4ta[i] = new CheckBox(f, ta.c_str(), "ACTIVE");
    Place(fr4ta[i], 496, y, 80, 22);
    fr4ta[i]->setChecked(true);
    fr4tm[i] = button(tm.c_str(), ("M" + std::to_string(i)).c_str(), 580, y, 40);
  }

  auto* modes = new QWidget(f);
  modes->setObjectName("FrameRadioMode");
  Place(modes, 10, 334, 440, 26);
  Option12 = new OptionButton(modes, "Option12", "R300");
  Option7 = new OptionButton(modes, "Option7", "300");
  Option8 = new OptionButton(modes, "Option8", "1200");
  Option18 = new OptionButton(modes, "Option18", "9600");
  Option19 = new OptionButton(modes, "Option19", "19200");
  int x = 0;
  for (QWidget* o : std::initializer_list<QWidget*>{Option12, Option7, Option8, Option18, Option19}) {
    Place(o, x, 0, 84, 24);
    x += 86;
  }
  Option7->setChecked(true);
  Option12->setEnabled(false);
  Option18->setEnabled(false);
  Option19->setEnabled(false);

  Frame3 = new Frame(f, "Frame3", "CROSSMODE DIGI TX / HF-DUAL 2. MODE:");
  Place(Frame3, 10, 362, 560, 50);
  Option14 = new OptionButton(Frame3, "Option14", "NONE");
  Option15 = new OptionButton(Frame3, "Option15", "R300");
  Option16 = new OptionButton(Frame3, "Option16", "300");
  Option17 = new OptionButton(Frame3, "Option17", "1200");
  Option20 = new OptionButton(Frame3, "Option20", "9600");
  Option21 = new OptionButton(Frame3, "Option21", "19200");
  x = 10;
  for (QWidget* o : std::initializer_list<QWidget*>{Option14, Option15, Option16, Option17, Option20, Option21}) {
    Place(o, x, 22, 84, 24);
    x += 90;
  }
  Option14->setChecked(true);
  Frame3->hide();

  Check3 = new CheckBox(f, "Check3", " DIGI");
  Place(Check3, 10, 418, 90, 22);
  Check4 = new CheckBox(f, "Check4", "HF-DUAL");
  Place(Check4, 105, 418, 100, 22);
  Check6 = new CheckBox(f, "Check6", "HF-TX-AFC");
  Place(Check6, 210, 418, 110, 22);
  Check7 = new CheckBox(f, "Check7", "TX TIMESTAMP (GPS)");
  Place(Check7, 325, 418, 170, 22);
  Check9 = new CheckBox(f, "Check9", " IGATE");
  Place(Check9, 500, 418, 90, 22);
  Check9->setEnabled(false);
  Label14 = label("Label14", "DIGI FUNCTION: START AGWUIDIGI.EXE ON AGWPE HOST COMPUTER", 10, 446, 560);
  Label14->hide();
  Label17 = label("Label17", " SCS TNC: TX SIGNAL LEVEL ( 30 mV - 3000 mV )", 10, 474, 380);
  Text11 = new TextBox(f, "Text11");
  Place(Text11, 395, 472, 60, 22);
  Text11->setText("300");

  // The symbol picker.
  fr4Label7 = label("fr4Label7", "APRS SYMBOL", 640, 152, 200);
  fr4Command1 = button("fr4Command1", "<", 640, 172, 30, 24);
  fr4Picture1 = new PictureBox(f, "fr4Picture1");
  Place(fr4Picture1, 676, 173, 22, 22);
  fr4Picture1->setStyleSheet("background: white; color: black;");
  fr4Picture1->setFont(stations::SymbolOverlayFont(fr4Picture1->font()));
  fr4Command2 = button("fr4Command2", ">", 704, 172, 30, 24);
  fr4Text8 = new TextBox(f, "fr4Text8");
  Place(fr4Text8, 740, 172, 50, 22);
  fr4Text8->setText("14");
  fr4Text10 = new TextBox(f, "fr4Text10");
  Place(fr4Text10, 796, 172, 30, 22);
  fr4Text9 = new TextBox(f, "fr4Text9");
  Place(fr4Text9, 640, 200, 190, 22);
  fr4Text9->setReadOnly(true);
  Label16 = label("Label16", "EMERGENCY: 101 DON'T USE FOR FUN !", 640, 228, 210);
  Label16->setWordWrap(true);
  Label16->setGeometry(640, 228, 210, 40);

  fr4Command3 = button("fr4Command3", "ABORT", 640, 500, 95, 40);
  fr4Command4 = button("fr4Command4", "OK", 745, 500, 95, 40);
}

// The start window's own rules: CLEAR and the modes.
void TxSetupPanel::ConnectStartRules() {
  Command7->OnClick = [this] {
    fr4Text4->SetText("");
    fr4Text4->setFocus();
  };
  const auto select_fast_mode = [this] {
    ApplyModeRule([](links::TxPanelValues& v) { links::SelectFastMode(v, v.radioMode); });
  };
  Option8->OnClick = select_fast_mode;
  Option18->OnClick = select_fast_mode;
  Option19->OnClick = select_fast_mode;
  Option12->OnMouseUp = [this](int) {
    ApplyModeRule([](links::TxPanelValues& v) { links::ReleaseOverHfMode(v, "300R"); });
  };
  Option7->OnMouseUp = [this](int) {
    ApplyModeRule([](links::TxPanelValues& v) { links::ReleaseOverHfMode(v, "300"); });
  };
  // A second mode chosen by a click (NONE, 1200, 9600, 19200) or released over
  // (R300, 300) keeps HF-DUAL only for the pair R300 / 300.
  for (const auto& [mode, option] : CrossModeOptions()) {
    auto select = [this, mode = std::string(mode)] {
      ApplyModeRule([&mode](links::TxPanelValues& v) { links::SelectCrossMode(v, mode); });
    };
    if (option == Option15 || option == Option16)
      option->OnMouseUp = [select](int) { select(); };
    else
      option->OnClick = select;
  }
  Check4->OnMouseUp = [this](int) { ApplyModeRule(&links::ReleaseOverHfDual); };
}

std::array<std::pair<const char*, OptionButton*>, 5> TxSetupPanel::RadioModeOptions() const {
  return {{{"300R", Option12}, {"300", Option7}, {"1200", Option8}, {"9600", Option18}, {"19200", Option19}}};
}

std::array<std::pair<const char*, OptionButton*>, 6> TxSetupPanel::CrossModeOptions() const {
  return {{{"NONE", Option14},
           {"R300", Option15},
           {"300", Option16},
           {"1200", Option17},
           {"9600", Option20},
           {"19200", Option21}}};
}

links::TxPanelValues TxSetupPanel::StartValues() const {
  links::TxPanelValues v;
  v.ssid = fr4Text1->Text();
  v.destination = fr4Text3->Text();
  for (int i = 1; i <= 6; ++i) {
    v.infoLines[i] = fr4ti[i]->Text();
    v.infoActive[i] = fr4ta[i]->Value();
    v.infoMemories[i] = FromQ(fr4tm[i]->toolTip());
  }
  v.symbol = fr4Text8->Text();
  v.symbolName = fr4Text9->Text();
  v.overlay = fr4Text10->Text();
  v.timestamp = Check7->Value();
  v.txLevel = Text11->Text();
  for (const auto& [mode, option] : RadioModeOptions()) {
    if (option->Value()) v.radioMode = mode;
  }
  for (const auto& [mode, option] : CrossModeOptions()) {
    if (option->Value()) v.crossMode = mode;
  }
  v.hfDual = Check4->Value();
  v.digi = Check3->Value();
  v.afc = Check6->Value();
  v.path = fr4Text4->Text();
  v.interval = fr4Text2->Text();
  return v;
}

void TxSetupPanel::ApplyModeRule(const std::function<void(links::TxPanelValues&)>& rule) {
  if (applying_mode_rule_) return;  // the boxes set below run no rule of their own
  links::TxPanelValues v = StartValues();
  rule(v);
  applying_mode_rule_ = true;
  for (const auto& [mode, option] : RadioModeOptions()) {
    if (v.radioMode == mode) option->SetValue(true);
  }
  for (const auto& [mode, option] : CrossModeOptions()) {
    if (v.crossMode == mode) option->SetValue(true);
  }
  Check4->SetValue(v.hfDual);
  Check3->SetValue(v.digi);
  if (fr4Text4->Text() != v.path) fr4Text4->SetText(v.path);
  if (fr4Text2->Text() != v.interval) fr4Text2->SetText(v.interval);
  applying_mode_rule_ = false;
}

void TxSetupPanel::OpenFromSettings(const Settings& s, bool igate_call_ok) {
  // The IGATE box counts only for a call that may gate.
  Check9->SetValue(igate_call_ok && s.IGateOn == 1 ? 1 : 0);
  // The panel over the whole window, the memories' tips and the info lines.
  if (parentWidget() != nullptr) setGeometry(0, 0, parentWidget()->width(), parentWidget()->height());
  for (int n = 1; n <= 4; ++n) pathMemory[n]->setToolTip(ToQ(s.PathMemories[n]));
  for (int i = 1; i <= 6; ++i) {
    fr4ti[i]->SetText(s.InfoLines[i]);
    fr4ta[i]->SetValue(s.InfoLineActive[i] > 0 ? 1 : 0);
    fr4tm[i]->setToolTip(ToQ(s.InfoMemories[i]));
  }
  // The panel shown, its boxes from the settings.
  Frame3->hide();
  show();
  raise();
  Check6->SetValue(s.TxAfc == 1 ? 1 : 0);
  Check7->SetValue(s.TxTimestamp == 1 ? 1 : 0);
  // By interface kind.
  const InterfaceKind kind = InterfaceKindOf(s.InterfaceKind);
  if (kind != InterfaceKind::ScsTnc) {
    Check4->hide();
    Check4->SetValue(0);
  }
  const bool digi_shown = CanDigipeat(kind);
  Check3->setVisible(digi_shown);
  if (digi_shown) Check3->SetValue(s.DigiOn == 1 ? 1 : 0);
  Check4->setVisible(kind == InterfaceKind::ScsTnc);
  Check6->setVisible(kind == InterfaceKind::ScsTnc);
  Label14->setVisible(kind == InterfaceKind::AgwRemote);
  const bool scs = IsScs(kind);
  Label17->setVisible(scs);
  Text11->setVisible(scs);
  if (kind == InterfaceKind::ScsTnc) {
    Label17->SetCaption(" SCS TNC: TX SIGNAL LEVEL ( 30 mV - 3000 mV )");
    Frame3->show();
    for (const auto& [mode, option] : CrossModeOptions()) {
      if (s.CrossMode == mode) {
        option->SetValue(true);
        break;
      }
    }
  } else if (kind == InterfaceKind::ScsPtc) {
    Label17->SetCaption(" SCS PTC: TX SIGNAL LEVEL ( 30 mV - 3000 mV )");
  }
}

void TxSetupPanel::ShowRadioMode(const Settings& s) {
  const InterfaceKind kind = InterfaceKindOf(s.InterfaceKind);
  const bool scs = IsScs(kind);
  if (!scs) {
    Option12->setEnabled(false);
    Option18->setEnabled(false);
    Option19->setEnabled(false);
  }
  if (LeadingNumber(s.RadioMode) == 300) Option7->SetValue(true);
  if (s.RadioMode == "300R") {
    if (scs) {
      Option12->setEnabled(true);
      Option12->SetValue(true);
    } else if (s.InterfaceKind >= ModemNumber(InterfaceKind::Pk232) &&
               s.InterfaceKind <= ModemNumber(InterfaceKind::NoRadio)) {
      Option7->SetValue(true);
    }
  }
  if (s.RadioMode == "1200") Option8->SetValue(true);
  if (s.RadioMode == "9600") Option18->SetValue(true);
  if (s.RadioMode == "19200") Option19->SetValue(true);
}

void TxSetupPanel::OfferRadioModesFor(InterfaceKind kind) {
  if (IsScs(kind)) {
    Option12->setEnabled(true);
    Option18->setEnabled(true);
    Option19->setEnabled(true);
    return;
  }
  if (kind != InterfaceKind::NoRadio) {
    // Another kind falls back to 300 from a mode it does not offer; with no radio
    // the selection stays.
    if (!Option12->isEnabled()) return;
    if (Option12->Value() || Option18->Value() || Option19->Value()) Option7->SetValue(true);
  }
  Option12->setEnabled(false);
  Option18->setEnabled(false);
  Option19->setEnabled(false);
}

}  // namespace zeblon::panels

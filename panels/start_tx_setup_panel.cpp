#include "panels/start_tx_setup_panel.h"

#include <string>

#include "panels/tx_setup_panel.h"
#include "platform/qtext.h"
#include "stations/station_layers.h"

namespace zeblon::panels {

using namespace platform;

StartTxSetupPanel::StartTxSetupPanel(QWidget* window) : Frame(window, "Frame4", "TX SETUP / APRS PARAMETERS") {
  hide();
  setAutoFillBackground(true);
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
  label("fr4Label1", "SSID", 10, 24, 50);
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

  label("fr4Label4", " VIA = PATH    (CALL1,...)   EASY SETUP    BUTTONS-->", 10, 76, 420);
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

  // The rules of the controls: the timer box, CLEAR and the modes.
  fr4Text2->OnChange = [this] {
    const std::string text = fr4Text2->Text();
    const std::string want = TxTimerBoxText(text);
    if (want != text) fr4Text2->SetText(want);
  };
  Command7->OnClick = [this] {
    fr4Text4->SetText("");
    fr4Text4->setFocus();
  };
  Option8->OnClick = [this] { SelectFastMode(); };
  Option18->OnClick = [this] { SelectFastMode(); };
  Option19->OnClick = [this] { SelectFastMode(); };
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

void StartTxSetupPanel::SelectFastMode() {
  ApplyModeRule([](links::TxPanelValues& v) { links::SelectFastMode(v, v.radioMode); });
}

std::array<std::pair<const char*, OptionButton*>, 5> StartTxSetupPanel::RadioModeOptions() const {
  return {{{"300R", Option12}, {"300", Option7}, {"1200", Option8}, {"9600", Option18}, {"19200", Option19}}};
}

std::array<std::pair<const char*, OptionButton*>, 6> StartTxSetupPanel::CrossModeOptions() const {
  return {{{"NONE", Option14},
           {"R300", Option15},
           {"300", Option16},
           {"1200", Option17},
           {"9600", Option20},
           {"19200", Option21}}};
}

links::TxPanelValues StartTxSetupPanel::TxValues() const {
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
  v.path = fr4Text4->Text();
  v.interval = fr4Text2->Text();
  return v;
}

void StartTxSetupPanel::ApplyModeRule(const std::function<void(links::TxPanelValues&)>& rule) {
  if (applying_mode_rule_) return;  // the boxes set below run no rule of their own
  links::TxPanelValues v = TxValues();
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

}  // namespace zeblon::panels

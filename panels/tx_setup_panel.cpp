#include "panels/tx_setup_panel.h"

#include <QApplication>
#include <QFont>
#include <QPixmap>
#include <QTimer>

#include "geodesy/text.h"
#include "platform/qtext.h"
#include "platform/wait.h"
#include "stations/station_layers.h"
#include "reception/symbol_table.h"

namespace zeblon::panels {

using namespace platform;

std::string TxTimerBoxText(const std::string& text) {
  const double n = LeadingNumber(text);
  if (n == 0 || n > 60) return "MANUAL";
  if (n < 0) return "60";
  return text;
}

namespace {
const char* const kModes[] = {"300R", "300", "1200", "9600", "19200"};  // Option3 … Option7
const char* const kModeCaptions[] = {"R300", "300", "1200", "9600", "19200"};
}  // namespace

TxSetupPanel::TxSetupPanel(QWidget* window, std::filesystem::path programFolder, Layout layout)
    : PanelFrame(window, "Frame4", "TX SETUP / APRS PARAMETERS", {0, 0, 860, 560}),
      layout_(layout),
      program_folder_(std::move(programFolder)) {
  if (layout_ == Layout::StartWindow) {
    BuildStartLayout();
    ConnectCommonRules();
    ConnectStartRules();
  } else {
    BuildMainLayout();
    ConnectCommonRules();
    ConnectMainRules();
  }
}

void TxSetupPanel::BuildMainLayout() {
  auto label = [this](const char* name, const char* caption, Rect r) { return Add<Label>(this, r, name, caption); };
  auto button = [this](const char* name, const char* caption, Rect r) {
    return Add<CommandButton>(this, r, name, caption);
  };
  fr4Label1 = label("fr4Label1", "SSID", {10, 24, 50, 20});
  fr4Text1 = Add<TextBox>(this, {10, 44, 50, 22}, "fr4Text1");
  fr4Label2 = label("fr4Label2", " TX TIMER IN MINUTES OR MANUAL TX", {70, 24, 300, 20});
  fr4Text2 = Add<TextBox>(this, {70, 44, 80, 22}, "fr4Text2");
  fr4Text2->setText("MANUAL");
  fr4C22 = button("fr4C22", "<", {152, 44, 24, 22});
  fr4C21 = button("fr4C21", ">", {178, 44, 24, 22});
  label("fr4Label3", "DESTINATION", {380, 24, 100, 20});
  fr4Text3 = Add<TextBox>(this, {380, 44, 90, 22}, "fr4Text3");
  fr4Text3->setText("ZEBL");

  fr4Label4 = label("fr4Label4", " VIA = PATH    (CALL1,...)   EASY SETUP    BUTTONS-->", {10, 76, 420, 20});
  fr4Text4 = Add<TextBox>(this, {10, 96, 300, 22}, "fr4Text4");
  fr4Text4->setText("WIDE1-1");
  const char* preset_captions[] = {"WIDE1-1", "WIDE2-1", "WIDE2-2", "RELAY", "ECHO", "GATE"};
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "Command" + std::to_string(44 + i);
    presets[i] = button(name.c_str(), preset_captions[i - 1], {316 + (i - 1) * 70, 96, 66, 22});
  }
  Command44 = button("Command44", "CLEAR", {736, 96, 60, 22});
  const char* memory_names[] = {"Command54", "Command55", "Command56", "Command61"};
  for (int n = 1; n <= 4; ++n) {
    pathMemory[n] = button(memory_names[n - 1], ("M" + std::to_string(n)).c_str(), {10 + (n - 1) * 44, 124, 40, 22});
  }

  fr4Label5 = label("fr4Label5", "INFO LINES (ALTERNATING)", {10, 152, 300, 20});
  for (int i = 1; i <= 6; ++i) {
    const std::string ti = "fr4ti" + std::to_string(i);
    const std::string ta = "fr4ta" + std::to_string(i);
    const std::string tm = "fr4tm" + std::to_string(i);
    const int y = 172 + (i - 1) * 26;
    fr4ti[i] = Add<TextBox>(this, {10, y, 480, 22}, ti.c_str());
    fr4ta[i] = Add<CheckBox>(this, {496, y, 80, 22}, ta.c_str(), "ACTIVE");
    fr4tm[i] = button(tm.c_str(), ("M" + std::to_string(i)).c_str(), {580, y, 40, 22});
  }
  Label43 =
      label("Label43", "M1 ... M6: LEFT CLICK RECALLS, RIGHT CLICK STORES THE LAST EDITED LINE", {10, 330, 610, 20});

  fr4Label7 = label("fr4Label7", "APRS SYMBOL", {640, 152, 200, 20});
  fr4Command1 = button("fr4Command1", "<", {640, 172, 30, 24});
  fr4Picture1 = Add<PictureBox>(this, {676, 173, 22, 22}, "fr4Picture1");
  fr4Picture1->setStyleSheet("background: white; color: black;");
  fr4Picture1->setFont(stations::SymbolOverlayFont(fr4Picture1->font()));
  fr4Command2 = button("fr4Command2", ">", {704, 172, 30, 24});
  fr4Text8 = Add<TextBox>(this, {740, 172, 50, 22}, "fr4Text8");
  fr4Text10 = Add<TextBox>(this, {796, 172, 30, 22}, "fr4Text10");
  fr4Text9 = Add<TextBox>(this, {640, 200, 190, 22}, "fr4Text9");
  fr4Text9->setReadOnly(true);
  Label40 = label("Label40", "EMERGENCY: 101 DON'T USE FOR FUN !", {640, 228, 210, 40});
  Label40->setWordWrap(true);

  for (int i = 3; i <= 7; ++i) {
    const std::string name = "Option" + std::to_string(i);
    modeOption[i] = Add<OptionButton>(this, {10 + (i - 3) * 80, 360, 78, 22}, name.c_str(), kModeCaptions[i - 3]);
    modeOption[i]->hide();
  }
  Frame20 = Add<Frame>(this, {10, 388, 560, 54}, "Frame20", "CROSSMODE DIGI TX / HF-DUAL 2. MODE:");
  Command51 = Add<CommandButton>(Frame20, {10, 22, 30, 24}, "Command51", "<");
  Text6 = Add<TextBox>(Frame20, {44, 22, 70, 24}, "Text6");
  Command52 = Add<CommandButton>(Frame20, {118, 22, 30, 24}, "Command52", ">");
  Check2 = Add<CheckBox>(Frame20, {170, 22, 100, 24}, "Check2", "HF-DUAL");
  Frame20->hide();

  Check32 = Add<CheckBox>(this, {10, 450, 90, 22}, "Check32", " DIGI");
  Check33 = Add<CheckBox>(this, {110, 450, 180, 22}, "Check33", "TX TIMESTAMP (GPS)");
  Label42 = label("Label42", " SCS TNC: TX SIGNAL LEVEL ( 30 mV - 3000 mV )", {10, 480, 380, 20});
  Text16 = Add<TextBox>(this, {395, 478, 60, 22}, "Text16");
  Label42->hide();
  Text16->hide();

  fr4Command3 = button("fr4Command3", "ABORT", {640, 500, 95, 40});
  fr4Command4 = button("fr4Command4", "OK", {745, 500, 95, 40});
}

// The rules both layouts share: the timer box, the path presets and memories, the
// info memories, the press-and-hold steppers, the picker's overlay box, OK and ABORT.
void TxSetupPanel::ConnectCommonRules() {
  fr4Text2->OnChange = [this] {
    const std::string text = fr4Text2->Text();
    const std::string want = TxTimerBoxText(text);
    if (want != text) fr4Text2->SetText(want);
  };
  for (int i = 1; i <= 6; ++i) {
    presets[i]->OnClick = [this, i] {
      fr4Text4->SetText(links::PathWithPreset(fr4Text4->Text(), presets[i]->Caption()));
    };
  }
  for (int n = 1; n <= 4; ++n) {
    pathMemory[n]->OnMouseUp = [this, n](int b) {
      if (b == 1) {
        // The window's stored memory, not the tooltip: a right click may have emptied that.
        const std::string stored = StoredPathMemory ? StoredPathMemory(n) : std::string();
        fr4Text4->SetText(links::PathMemoryRecall(stored, PathMemoryEdits[n]));
      } else if (b == 2) {
        PathMemoryEdits[n] = links::PathMemoryStore(fr4Text4->Text());
        pathMemory[n]->setToolTip(ToQ(PathMemoryEdits[n]));
      }
    };
  }
  for (int i = 1; i <= 6; ++i) {
    fr4ti[i]->OnLostFocus = [this, i] { LastInfoLineIndex = i; };
    fr4tm[i]->OnMouseUp = [this, i](int b) { InfoMemoryUp(i, b); };
  }
  // Press and hold: the timer and the symbol step at once and then every 0.2 s
  // until the button is released.
  fr4C21->OnMouseDown = [this](int) { Hold([this] { fr4Text2->SetText(links::TxTimerStep(fr4Text2->Text(), 1)); }); };
  fr4C22->OnMouseDown = [this](int) { Hold([this] { fr4Text2->SetText(links::TxTimerStep(fr4Text2->Text(), -1)); }); };
  fr4Command1->OnMouseDown = [this](int) { Hold([this] { ShowSymbol(links::SymbolStepBack(SymbolInHand())); }); };
  fr4Command2->OnMouseDown = [this](int) { Hold([this] { ShowSymbol(links::SymbolStepForward(SymbolInHand())); }); };
  for (CommandButton* b : {fr4C21, fr4C22, fr4Command1, fr4Command2}) {
    b->OnMouseUp = [this](int button_number) { ButtonHeld = button_number; };
  }
  fr4Text10->OnChange = [this] { ShowSymbol(SymbolInHand()); };
  // A number typed into the box: its symbol is shown at once and the steppers go
  // on from it; the box keeps what is typed and the focus.
  QObject::connect(fr4Text8, &QLineEdit::textEdited, this,
                   [this] { PreviewSymbol(ToWholeNumber<std::int16_t>(LeadingNumber(fr4Text8->Text()))); });
  fr4Command3->OnClick = [this] {
    hide();
    if (OnAbort) OnAbort();
  };
  fr4Command4->OnClick = [this] {
    if (OnOk) OnOk();
  };
}

void TxSetupPanel::ConnectMainRules() {
  for (int i = 5; i <= 7; ++i) {
    modeOption[i]->OnClick = [this, i] {
      links::TxPanelValues v = Values();
      links::SelectFastMode(v, kModes[i - 3]);
      Show(v);
    };
  }
  for (int i = 3; i <= 4; ++i) {
    modeOption[i]->OnMouseUp = [this, i](int) {
      links::TxPanelValues v = Values();
      links::ReleaseOverHfMode(v, kModes[i - 3]);
      Show(v);
    };
  }
  Check2->OnMouseUp = [this](int) { Apply(&links::ReleaseOverHfDual); };
  Command51->OnClick = [this] { Apply([](links::TxPanelValues& v) { links::StepCrossMode(v, true); }); };
  Command52->OnClick = [this] { Apply([](links::TxPanelValues& v) { links::StepCrossMode(v, false); }); };
  Command44->OnClick = [this] {
    fr4Text4->SetText("");
    fr4Text4->setFocus();
  };
}

int TxSetupPanel::SymbolInHand() const {
  // The start window's picker steps its own index; the main window's the number box's.
  if (layout_ == Layout::StartWindow) return picked_symbol_;
  return ToWholeNumber<std::int16_t>(LeadingNumber(fr4Text8->Text()));
}

links::TxPanelValues TxSetupPanel::Values() const {
  return layout_ == Layout::StartWindow ? StartValues() : MainValues();
}

links::TxSetupOk TxSetupPanel::Take(const Settings& old, bool igate_enabled, int igate_value) const {
  if (layout_ == Layout::MainWindow)
    return links::TakeTxPanel(old, Values(), PathMemoryEdits, igate_enabled, igate_value);
  links::TxSetupOk ok;
  ok.settings = links::CleanTxPanel(old, Values(), PathMemoryEdits, igate_enabled, igate_value);
  return ok;
}

links::TxPanelValues TxSetupPanel::MainValues() const {
  links::TxPanelValues v;
  v.ssid = fr4Text1->Text();
  v.ssidEnabled = fr4Text1->isEnabled();
  v.interval = fr4Text2->Text();
  v.destination = fr4Text3->Text();
  v.path = fr4Text4->Text();
  for (int i = 1; i <= 6; ++i) {
    v.infoLines[i] = fr4ti[i]->Text();
    v.infoActive[i] = fr4ta[i]->Value() == 1 ? 1 : 0;
    v.infoMemories[i] = FromQ(fr4tm[i]->toolTip());
  }
  for (int n = 1; n <= 4; ++n) v.pathMemoryTips[n] = FromQ(pathMemory[n]->toolTip());
  v.symbol = fr4Text8->Text();
  v.overlay = fr4Text10->Text();
  v.timestamp = Check33->Value() == 1 ? 1 : 0;
  v.digi = Check32->Value() == 1 ? 1 : 0;
  v.digiShown = !Check32->isHidden();
  for (int i = 3; i <= 7; ++i) {
    if (modeOption[i]->Value()) v.radioMode = kModes[i - 3];
  }
  v.crossMode = Text6->Text();
  v.hfDual = Check2->Value() == 1 ? 1 : 0;
  v.hfDualShown = !Check2->isHidden();
  v.crossFrameShown = !Frame20->isHidden();
  v.txLevel = Text16->Text();
  v.txLevelShown = !Text16->isHidden();
  v.txLevelCaption = Label42->Caption();
  return v;
}

void TxSetupPanel::Show(const links::TxPanelValues& v) {
  // The mode option first: selecting 1200, 9600 or 19200 runs its rule, and the
  // values below then overwrite what the rule set.
  for (int i = 3; i <= 7; ++i) {
    if (v.radioMode == kModes[i - 3]) modeOption[i]->SetValue(true);
  }
  Text6->SetText(v.crossMode);
  Check2->setVisible(v.hfDualShown);
  Check2->SetValue(v.hfDual);
  fr4Text1->setEnabled(v.ssidEnabled);
  Frame20->setVisible(v.crossFrameShown);
  Label42->setVisible(v.txLevelShown);
  Text16->setVisible(v.txLevelShown);
  if (!v.txLevelCaption.empty()) Label42->SetCaption(v.txLevelCaption);
  for (int n = 1; n <= 4; ++n) pathMemory[n]->setToolTip(ToQ(v.pathMemoryTips[n]));
  Check33->SetValue(v.timestamp);
  fr4Text1->SetText(v.ssid);
  fr4Text2->SetText(v.interval);
  fr4Text3->SetText(v.destination);
  fr4Text4->SetText(v.path);
  for (int i = 1; i <= 6; ++i) {
    fr4ti[i]->SetText(v.infoLines[i]);
    fr4ta[i]->SetValue(v.infoActive[i]);
    fr4tm[i]->setToolTip(ToQ(v.infoMemories[i]));
  }
  Text16->SetText(v.txLevel);
  fr4Text8->SetText(v.symbol);
  fr4Text10->SetText(v.overlay);
  Check32->setVisible(v.digiShown);
  Check32->SetValue(v.digi);
}

void TxSetupPanel::ShowScsModes(InterfaceKind kind) {
  if (!IsScs(kind)) return;
  for (int i = 3; i <= 7; ++i) modeOption[i]->show();
}

void TxSetupPanel::TakeHandOver(const links::TxPanelValues& v, unsigned parts) {
  if (parts & kHandHfDual) Check2->SetValue(v.hfDual);
  if (parts & kHandTxBoxes) {
    fr4Text1->SetText(v.ssid);
    fr4Text2->SetText(v.interval);
    fr4Text3->SetText(v.destination);
    fr4Text4->SetText(v.path);
  }
  if (parts & kHandFirstInfoLine) fr4ti[1]->SetText(v.infoLines[1]);
  if (parts & kHandOtherInfoLines) {
    for (int i = 2; i <= 6; ++i) fr4ti[i]->SetText(v.infoLines[i]);
  }
  if (parts & kHandInfoActive) {
    for (int i = 1; i <= 6; ++i) fr4ta[i]->SetValue(v.infoActive[i] > 0 ? 1 : 0);
  }
  if (parts & kHandSymbol) fr4Text8->SetText(v.symbol);
  if (parts & kHandSymbolName) fr4Text9->SetText(v.symbolName);
  if (parts & kHandOverlay) fr4Text10->SetText(v.overlay);
  if (parts & kHandTxLevelShown) {
    Label42->setVisible(v.txLevelShown);
    Text16->setVisible(v.txLevelShown);
  }
}

void TxSetupPanel::TakeCaptions(const TxSetupPanel& from) {
  fr4Label2->SetCaption(from.fr4Label2->Caption());
  fr4Label5->SetCaption(from.fr4Label5->Caption());
  fr4Command3->SetCaption(from.fr4Command3->Caption());
  fr4Command4->SetCaption(from.fr4Command4->Caption());
}

void TxSetupPanel::Apply(void (*rule)(links::TxPanelValues&)) {
  links::TxPanelValues v = Values();
  rule(v);
  Show(v);
}

void TxSetupPanel::Hold(const std::function<void()>& step) {
  if (layout_ == Layout::StartWindow) {
    // The start window's steppers wait in place, letting events run, until the release.
    for (;;) {
      step();
      ButtonHeld = 0;
      PauseWithEvents(0.2f);
      if (ButtonHeld != 0) break;
    }
    return;
  }
  // The main window's run on a timer (no wait loop runs inside its handlers).
  step();
  ButtonHeld = 0;
  auto* timer = new QTimer(this);
  timer->setInterval(200);
  QObject::connect(timer, &QTimer::timeout, this, [this, timer, step] {
    // The release (or the panel closing) ends the repetition.
    if (ButtonHeld != 0 || isHidden()) {
      timer->stop();
      timer->deleteLater();
      return;
    }
    step();
  });
  timer->start();
}

void TxSetupPanel::InfoMemoryUp(int i, int b) {
  if (b != 1 && b != 2) return;
  // The line being edited gives up the focus first and notes itself.
  fr4tm[i]->setFocus();
  QApplication::processEvents();
  std::array<std::string, 7> lines;
  for (int k = 1; k <= 6; ++k) lines[k] = fr4ti[k]->Text();
  const std::string memory = FromQ(fr4tm[i]->toolTip());
  const int target = links::InfoMemoryTarget(lines, LastInfoLineIndex, memory, b == 1);
  if (target == 0) return;
  LastInfoLineIndex = target;
  if (b == 1)
    fr4ti[target]->SetText(memory);
  else
    fr4tm[i]->setToolTip(ToQ(fr4ti[target]->Text()));
  fr4ti[target]->setFocus();
  QApplication::processEvents();
}

std::string_view TxSetupPanel::SymbolRow(int index) const {
  if (layout_ == Layout::StartWindow) {
    return index >= 0 && index < reception::kSymbolTableRows ? std::string_view(picker_rows_[index])
                                                             : std::string_view();
  }
  return index >= 0 && index < reception::kSymbolTableRows ? std::string_view(reception::StandardSymbolTable()[index])
                                                           : reception::kNoSymbolRow;
}

void TxSetupPanel::RestorePickedSymbol(int index) {
  fr4Text8->SetText(NumberText(index));
  picked_symbol_ = index;
}

void TxSetupPanel::ShowSymbol(int index) {
  PreviewSymbol(index);
  fr4Text8->SetText(std::to_string(index));
  if (fr4Text10->isVisible()) fr4Text10->setFocus();
}

void TxSetupPanel::PreviewSymbol(int index) {
  if (OnSymbolShown) OnSymbolShown(index);
  picked_symbol_ = index;
  const std::string_view row = SymbolRow(index);
  fr4Text9->SetText(reception::SymbolCodeAndName(row));
  const bool overlay = reception::SymbolTakesOverlay(row);
  fr4Picture1->setPixmap(QPixmap::fromImage(
      stations::SymbolPreview(program_folder_, index, overlay ? reception::OverlayCharacter(fr4Text10->Text()) : "",
                              fr4Picture1->font(), fr4Picture1->palette().color(QPalette::WindowText))));
  fr4Text10->setVisible(overlay);
}

std::array<QWidget*, 7> TxSetupPanel::PickerControls() const {
  return {fr4Label7, fr4Command1, fr4Picture1, fr4Command2, fr4Text8, fr4Text10, fr4Text9};
}

void TxSetupPanel::LendSymbolPicker(QWidget* host, int left, int top) {
  if (host == nullptr) return;
  TakeBackSymbolPicker();
  const auto controls = PickerControls();
  QRect home;
  for (QWidget* w : controls) home = home.united(w->geometry());
  lent_shift_ = QPoint(left, top) - home.topLeft();
  for (QWidget* w : controls) {
    const bool visible = !w->isHidden();
    const QRect at = w->geometry().translated(lent_shift_);
    w->setParent(host);
    w->setGeometry(at);
    w->setVisible(visible);
  }
}

void TxSetupPanel::TakeBackSymbolPicker() {
  for (QWidget* w : PickerControls()) {
    if (w->parentWidget() == this) continue;
    const bool visible = !w->isHidden();
    const QRect at = w->geometry().translated(-lent_shift_);
    w->setParent(this);
    w->setGeometry(at);
    w->setVisible(visible);
  }
  lent_shift_ = QPoint();
}

}  // namespace zeblon::panels

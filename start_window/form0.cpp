#include "start_window/form0.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "geodesy/text.h"
#include "links/tnc_commands.h"
#include "links/track_import.h"
#include "links/tx_setup.h"
#include "platform/control_texts.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/qtext.h"
#include "platform/serial_port.h"
#include "platform/wait.h"
#include "settings/interface_kind.h"
#include "start_window/start_picture.h"
#include "start_window/start_texts.h"

namespace zeblon {

namespace fs = std::filesystem;
using namespace platform;

// ---------------------------------------------------------------------------
// The window

namespace {

std::vector<std::string> InstalledFontNames() {
  std::vector<std::string> names;
  for (const QString& family : QFontDatabase::families()) names.push_back(FromQ(family));
  return names;
}

std::string NumberBoxText(double v) { return NumberText(v); }

// The window's size as its controls are laid out, in pixels.
constexpr int kFormWidth = 860;
constexpr int kFormHeight = 560;
// The width that the window version "WIN10" asks for (9660 twips).
constexpr int kWin10Width = 644;

const QColor kYellow(255, 255, 0);
const QColor kGrey(200, 200, 200);

void SetBackground(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, c);
  w->setPalette(p);
}

}  // namespace

Form0::Form0(StartWindowHost& host) : host_(host) {
  setObjectName("Form0");
  setWindowTitle("ZEBLON  SETUP");
  FontList = InstalledFontNames;
  OpenDocument = [](const std::string& path) { return OpenWithShell(path); };
  BuildControls();
  ConnectHandlers();
  // The language options show their flags.
  const fs::path program_folder = ProgramFolder();
  const std::pair<OptionButton*, const char*> flags[] = {
      {Option1, "FLAG_EN.BMP"}, {Option2, "FLAG_DE.BMP"}, {Option3, "FLAG_SV.BMP"}};
  for (const auto& [option, file] : flags) {
    if (const auto path = ResolveCaseInsensitive(program_folder / file)) {
      option->setIcon(QIcon(QString::fromStdString(path->string())));
      option->setIconSize(QSize(30, 18));
    }
  }
}

Form0::~Form0() = default;

void Form0::BuildControls() {
  resize(kFormWidth, kFormHeight);
  Picture1 = new QWidget(this);
  Picture1->setObjectName("Picture1");
  Picture1->setFocusPolicy(Qt::StrongFocus);
  Place(Picture1, 4, 4, 48, 48);

  Label9 = new Label(this, "Label9");
  Label9->hide();
  Label15 = new Label(this, "Label15", "PLEASE WAIT, WHILE  ZEBLON  IS EXTRACTING FILES FROM  STOCK.ZIP ...");
  Place(Label15, 10, 534, 600, 20);
  Label15->hide();

  auto label = [this](const char* name, const char* caption, int x, int y, int w = 105) {
    auto* l = new Label(this, name, caption);
    Place(l, x, y, w, 22);
    return l;
  };
  auto box = [this](const char* name, int x, int y, int w = 150) {
    auto* t = new TextBox(this, name);
    Place(t, x, y, w, 22);
    return t;
  };
  label("Label11", "USER CALL", 60, 10);
  Text8 = box("Text8", 170, 10, 120);
  label("Label5", "MONI CALL", 60, 38);
  Text5 = box("Text5", 170, 38, 120);
  label("Label1", "MAPS PATH", 60, 66);
  Text1 = new TextBox(this, "Text1");
  Place(Text1, 170, 66, 260, 22);
  label("Label2", "TEMP PATH", 60, 94);
  Text2 = box("Text2", 170, 94, 260);
  Label3 = label("Label3", "COMM PORT", 60, 122);
  Text3 = box("Text3", 170, 122, 90);
  Label4 = label("Label4", "COMM BAUD", 270, 122, 80);
  Text4 = box("Text4", 350, 122, 80);
  label("Label7", "NMEA PORT", 60, 150);
  Text6 = box("Text6", 170, 150, 90);
  label("Label8", "NMEA BAUD", 270, 150, 80);
  Text17 = box("Text17", 350, 150, 80);
  label("Label6", "ALARM DIST", 60, 178);
  Text7 = box("Text7", 170, 178, 50);
  label("Label13", "UTC OFFSET", 270, 178, 80);
  Text10 = box("Text10", 350, 178, 50);
  label("Label21", "SUNSPOT(R)", 60, 206);
  Text15 = box("Text15", 170, 206, 50);
  label("Label22", "K", 230, 206, 14);
  Text16 = box("Text16", 246, 206, 40);
  Check8 = new CheckBox(this, "Check8", "<- INET");
  Place(Check8, 296, 206, 90, 22);
  Check1 = new CheckBox(this, "Check1", " SMART LOG");
  Place(Check1, 60, 234, 120, 22);
  Check2 = new CheckBox(this, "Check2", " SAVE LOG");
  Place(Check2, 190, 234, 120, 22);

  Frame1 = new Frame(this, "Frame1", "  RADIO INTERFACE TYPE   ");
  Place(Frame1, 10, 262, 420, 80);
  Option5 = new OptionButton(Frame1, "Option5", "AGW PE ");
  Option4 = new OptionButton(Frame1, "Option4", " PK 232");
  Option9 = new OptionButton(Frame1, "Option9", "AGW LAN ");
  Option10 = new OptionButton(Frame1, "Option10", "-");
  Option11 = new OptionButton(Frame1, "Option11", " SCS TNC");
  Option13 = new OptionButton(Frame1, "Option13", " SCS PTC");
  Place(Option5, 10, 22, 130, 22);
  Place(Option4, 140, 22, 130, 22);
  Place(Option9, 270, 22, 130, 22);
  Place(Option10, 10, 48, 130, 22);
  Place(Option11, 140, 48, 130, 22);
  Place(Option13, 270, 48, 130, 22);

  Command5 = new CommandButton(this, "Command5", "TX SETUP / APRS PARAMETERS");
  Place(Command5, 10, 350, 260, 30);
  Command14 = new CommandButton(this, "Command14", "IGATE APRS-IS SETUP");
  Place(Command14, 280, 350, 150, 30);
  Command14->setEnabled(false);
  Command3 = new CommandButton(this, "Command3", "READ!");
  Place(Command3, 10, 388, 80, 28);
  Command6 = new CommandButton(this, "Command6", "HISTORY");
  Place(Command6, 95, 388, 80, 28);

  Label20 = label("Label20", "", 10, 420, 430);
  Label20->setWordWrap(true);
  Label20->setGeometry(10, 420, 430, 76);
  Label23 = label("Label23", "APRS-IS SERVER", 10, 500, 115);
  Text13 = box("Text13", 130, 500, 200);
  Text13->setText(kDefaultAprsIsServer);
  Label24 = label("Label24", "SERVER PORT", 10, 527, 115);
  Text14 = box("Text14", 130, 527, 80);
  Text14->setText(kDefaultAprsIsPort);
  Command15 = new CommandButton(this, "Command15", "OK");
  Place(Command15, 220, 527, 60, 24);
  for (QWidget* w : std::initializer_list<QWidget*>{Label20, Label23, Text13, Label24, Text14, Command15}) {
    w->hide();
  }

  // The start picture and its confirmation.
  Picture2 = new PictureBox(this, "Picture2");
  Place(Picture2, 450, 10, kStartViewWidth, kStartViewHeight);
  Picture2->setStyleSheet("background: #204060;");
  Label18 = new Label(this, "Label18", kPictureLabelDesignCaption);
  Place(Label18, 450, 314, 392, 22);
  Label18->setAlignment(Qt::AlignCenter);
  Label18->hide();

  // The language options: a flag each, no caption.
  FrameLanguage = new Frame(this, "FrameLanguage");
  Place(FrameLanguage, 450, 342, 150, 100);
  Option1 = new OptionButton(FrameLanguage, "Option1");
  Option2 = new OptionButton(FrameLanguage, "Option2");
  Option3 = new OptionButton(FrameLanguage, "Option3");
  Place(Option1, 12, 8, 120, 26);
  Place(Option2, 12, 38, 120, 26);
  Place(Option3, 12, 68, 120, 26);
  Option1->setChecked(true);

  Command1 = new CommandButton(this, "Command1", "START");
  Place(Command1, 630, 440, 212, 90);
  QFont big = Command1->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  Command1->setFont(big);
  Command1->setEnabled(false);

  // The TX setup panel, hidden until its button; it covers the whole window.
  tx_ = new panels::TxSetupPanel(this, ProgramFolder(), panels::TxSetupPanel::Layout::StartWindow);
}

void Form0::ConnectHandlers() {
  Command1->OnClick = [this] { Start(); };
  Option4->OnClick = [this] { SelectInterface(InterfaceKind::Pk232); };
  Option5->OnClick = [this] { SelectInterface(InterfaceKind::AgwLocal); };
  Option9->OnClick = [this] { SelectInterface(InterfaceKind::AgwRemote); };
  Option10->OnClick = [this] { SelectInterface(InterfaceKind::NoRadio); };
  Option11->OnClick = [this] { SelectInterface(InterfaceKind::ScsTnc); };
  Option13->OnClick = [this] { SelectInterface(InterfaceKind::ScsPtc); };
  Command14->OnClick = [this] { ShowAprsIsInputs(); };
  Command15->OnClick = [this] { TakeAprsIsInputs(); };
  Check8->OnClick = [this] { ToggleIonosphereFromInternet(); };
  Check1->OnClick = [this] { ToggleSmartLog(); };
  Text10->OnChange = [this] { TakeUtcOffset(); };
  Text7->OnChange = [this] { TakeAlarmDistance(); };
  Text8->OnChange = [this] { CheckUserCall(); };
  Text1->OnClick = [this] { ShowMapsPathHelp(); };
  Command3->OnClick = [this] { OpenReadme(); };
  Command6->OnClick = [this] { OpenHistory(); };
  Option1->OnClick = [this] { SelectLanguage(11); };
  Option2->OnClick = [this] { SelectLanguage(12); };
  Option3->OnClick = [this] { SelectLanguage(13); };
  Picture2->OnClick = [this] { CentreMapOnStartPicture(); };

  // The TX setup panel.
  Command5->OnClick = [this] { OpenTxSetup(); };
  tx_->OnAbort = [this] { AbortTxSetup(); };
  tx_->OnOk = [this] { TakeTxSetup(); };
  tx_->StoredPathMemory = [this](int n) { return settings_.PathMemories[static_cast<std::size_t>(n)]; };
}

std::string Form0::SettingsPath() const { return app_folder_ + "/ZEBLON.INI"; }

void Form0::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!activated_) {
    QTimer::singleShot(0, this, [this] {
      if (!activated_) Form_Activate();
    });
  }
}

void Form0::closeEvent(QCloseEvent* e) {
  // The user's close before START ends the program with the hidden main window.
  if (!handing_over_ && e->spontaneous()) host_.UnloadMainWindow();
  QWidget::closeEvent(e);
}

// ---------------------------------------------------------------------------
// Start-up

bool Form0::Form_Activate() {
  if (activated_) return startup_done_;
  activated_ = true;

  // The program's own fonts.
  if (!FontCheckPasses(FontList())) {
    MsgBox("CHECK FONTS FOR QW7..-FONTS, THEN RESTART COMPUTER!", "ZEBLON  SETUP", MsgButtons::Ok,
           MsgIcon::Exclamation);
    host_.End(1);
    return false;
  }
  // The start picture and the start window's defaults.
  tx_->move(0, 0);
  app_folder_ = ProgramFolder().string();
  PaintStartPicture();
  const char* temp_env = std::getenv("TEMP");
  SetDefaultSettings(SettingsWindow::Start, settings_, app_folder_, temp_env ? temp_env : "");
  // The defaults into both TX setup panels; this loads the main window.
  FillDefaultBoxes();
  // A missing settings file is created empty.
  const fs::path ini = SettingsPath();
  std::error_code ec;
  if (!fs::exists(ini, ec)) {
    if (!WriteFileAtomically(ini, "")) {
      MsgBox("CANNOT WRITE " + ini.string() + " !", "ZEBLON  SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
      host_.End(1);
      return false;
    }
  }
  // The pre-pass.
  std::string bytes;
  ReadWholeFile(ini, bytes);
  const PrePassResult pre = PrePassSettings(bytes);
  if (pre.hasWver) settings_.WindowsVersion = pre.wver;
  // The WIN10 width fits another layout: this window never gets narrower than its
  // controls (START lies at its right edge).
  if (settings_.WindowsVersion == "WIN10") resize(std::max(kWin10Width, kFormWidth), height());
  // The help page on the first run.
  if (!pre.notFirstRun) {
    if (OpenDocumentOrSay(OpenDocument, app_folder_ + "/README.HTM", "ZEBLON  START")) Pause(10);
  }
  // The stock data.
  ProvideStockData();
  // The settings.
  ReadSettingsFile(ini, SettingsWindow::Start, settings_, [this](std::string_view key) {
    if (key == "UTCD")
      Text10->SetText(NumberBoxText(settings_.UtcOffsetHours));
    else if (key == "SLOG")
      Check1->SetValue(settings_.SmartLog);
    else if (key == "LOGS")
      Check2->SetValue(settings_.LogsOn);
    else if (key == "TXAF")
      tx_->Text11->SetText(NumberBoxText(settings_.TxLevel));
    else if (key == "SSPT")
      Text15->SetText(NumberBoxText(settings_.SunspotNumber));
    else if (key == "KIND")
      Text16->SetText(NumberBoxText(settings_.KIndex));
  });
  // The ionosphere and APRS-IS boxes.
  FillIonosphereAndAprsIsBoxes();
  // The map system and the data folder.
  settings_.MapSystem = NormaliseMapSystem(settings_.MapSystem);
  data_folder_ = DataFolderOf(app_folder_, settings_.MapSystem);
  // The LOG folder, and the per-run logs deleted.
  const fs::path log = fs::path(data_folder_) / "LOG";
  fs::create_directories(log, ec);
  for (const char* name : {"_LOG_.TXT", "_LOGL_.TXT", "_LOGRAW_.TXT"}) {
    fs::remove(ResolveOrSame(log / name), ec);
  }
  // The radio mode, interface and folder boxes.
  FillInterfaceAndFolderBoxes();
  // A call given: its TX boxes and start picture.
  const std::string call = UpperAscii(Trim(Text8->Text()));
  if (!call.empty()) {
    settings_.UserCall = call;
    FillBoxesOfTheCall();
    ChooseStartPictureFromMaps();
  }
  // The TX fields again from the settings read, and the picked symbol.
  FillTxFields(false);
  tx_->ShowSymbol(settings_.TxSymbolIndex);
  // The alarm distance within 1 to 100 km.
  if (settings_.AlarmDistanceKm < 1) settings_.AlarmDistanceKm = 1;
  if (settings_.AlarmDistanceKm > 100) settings_.AlarmDistanceKm = 100;
  Text7->SetText(NumberBoxText(settings_.AlarmDistanceKm));
  // The texts; START ready.
  ApplyLanguageTexts();
  Command1->setEnabled(true);
  ColourUserCallBox();
  Picture1->setFocus();
  startup_done_ = true;
  return true;
}

void Form0::ColourUserCallBox() { SetBackground(Text8, Trim(Text8->Text()).empty() ? kYellow : kGrey); }

// ---------------------------------------------------------------------------
// Handlers

void Form0::SelectInterface(InterfaceKind kind) {
  const Settings& s = settings_;
  const bool scs = IsScs(kind);
  tx_->OfferRadioModesFor(kind);
  const bool shown = kind == InterfaceKind::Pk232 || kind == InterfaceKind::AgwRemote || scs;
  if (kind == InterfaceKind::AgwRemote) {
    Label3->SetCaption("HOST NAME");
    Text3->SetText(s.AgwHost);
    Label4->SetCaption("HOST PORT");
    Text4->SetText(s.AgwPort);
  } else {
    Label3->SetCaption("COMM PORT");
    Text3->SetText(NumberText(std::fabs(scs ? s.ScsComPort : s.TncComPort)));
    if (kind == InterfaceKind::Pk232) {
      Label4->SetCaption("COMM BAUD");
      Text4->SetText(s.TncBaud);
    } else if (scs) {
      Label4->SetCaption("COMM BAUD");
      Text4->SetText(s.ScsBaud);
    }
  }
  Label3->setVisible(shown);
  Text3->setVisible(shown);
  Label4->setVisible(shown);
  Text4->setVisible(shown);
  Command5->setEnabled(kind != InterfaceKind::NoRadio);
  settings_.InterfaceKind = ModemNumber(kind);
  ApplyLanguageTexts();
  Command14->setEnabled(kind != InterfaceKind::AgwRemote && kind != InterfaceKind::NoRadio);
}

void Form0::ShowAprsIsInputs() {
  Command1->setEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{Label20, Label23, Text13, Label24, Text14, Command15}) {
    w->show();
  }
}

void Form0::TakeAprsIsInputs() {
  settings_.AprsIsServer = Trim(Text13->Text());
  settings_.AprsIsPort = Trim(Text14->Text());
  for (QWidget* w : std::initializer_list<QWidget*>{Label20, Label23, Text13, Label24, Text14, Command15}) {
    w->hide();
  }
  Command1->setEnabled(true);
  WriteSettings();
}

void Form0::ToggleIonosphereFromInternet() {
  settings_.IonoAutoUpdate = Check8->Value();
  if (Check8->Value() == 0) {
    Text15->setEnabled(true);
    Text16->setEnabled(true);
  } else if (Check8->Value() == 1) {
    Text15->setEnabled(false);
    Text16->setEnabled(false);
  }
}

void Form0::ToggleSmartLog() { settings_.SmartLog = Check1->Value(); }

void Form0::TakeUtcOffset() { settings_.UtcOffsetHours = LeadingNumber(Text10->Text()); }

void Form0::TakeAlarmDistance() {
  const std::string t = Trim(Text7->Text());
  if (t.empty()) return;
  const double d = RoundHalfEven(LeadingNumber(t));
  // Out of the 16-bit range the box is not taken; START limits the distance anyway.
  if (FitsWholeNumber<std::int16_t>(d)) settings_.AlarmDistanceKm = static_cast<int>(d);
}

void Form0::CheckUserCall() {
  const std::string t = Text8->Text();
  if (Trim(t).empty()) {
    SetBackground(Text8, kYellow);
    Text8->setFocus();
    return;
  }
  SetBackground(Text8, kGrey);
  const size_t dash = t.find('-');
  if (dash != std::string::npos) {
    Text8->SetText(t.substr(0, dash));
    Text8->setCursorPosition(Text8->text().size());
  }
}

void Form0::OpenReadme() { OpenDocumentOrSay(OpenDocument, app_folder_ + "/README.HTM", "ZEBLON  START"); }

void Form0::OpenHistory() { OpenDocumentOrSay(OpenDocument, app_folder_ + "/HISTORY.TXT", "ZEBLON  START"); }

void Form0::SelectLanguage(int lang) {
  settings_.LanguageSetting = lang;
  ApplyLanguageTexts();
}

// ---------------------------------------------------------------------------
// Neighbours

void Form0::ApplyLanguageTexts() {
  const int lang = settings_.LanguageSetting;
  // The captions; the main window's TX setup panel takes the four of its own.
  if (const int language = LanguageOf(lang); language != 0) {
    SetMessageLanguage(language);  // the message boxes' own buttons
    SetCaptions(*this, StartCaptions(language));
    host_.MainTxPanel().TakeCaptions(*tx_);
  }
  // The tooltips and the picture label's caption.
  if (TooltipsOn(lang)) {
    TooltipChoice choice;
    choice.interfaceKind = settings_.InterfaceKind;
    choice.pk232Selected = Option4->Value();
    choice.agwRemoteSelected = Option9->Value();
    SetToolTips(*this, StartTooltips(LanguageOf(lang), choice));
    Label18->SetCaption(PictureLabelCaption(LanguageOf(lang)));
  }
  // Each label shows its box's hint.
  CopyToolTips(*this, LabelTooltipSources());
}

void Form0::ShowMapsPathHelp() {
  MsgBox(MapsPathHelp(LanguageOf(settings_.LanguageSetting)), "ZEBLON  START", MsgButtons::Ok, MsgIcon::Information);
}

void Form0::WaitForActiveAgain(QWidget* remembered) {
  // Bounded: a start window that never becomes active again (another program in
  // front, or no window manager) holds START up for at most ten seconds.
  PauseWithEvents(1);
  const double t0 = WaitClockNow();
  while (remembered != nullptr && QApplication::activeWindow() != remembered && WaitClockNow() - t0 < 10) {
    PauseWithEvents(0.05f);
  }
}

void Form0::Start() {
  // A second press while START works does nothing; a call needs three characters.
  if (start_in_progress_ == 1) return;
  start_in_progress_ = 1;
  if (Trim(Text8->Text()).size() < 3) {
    MsgBox("SET USER CALL !", "ZEBLON  START", MsgButtons::Ok, MsgIcon::Exclamation);
    start_in_progress_ = 0;
    return;
  }
  // The caption says how long START takes with this interface.
  Command1->SetCaption("...");
  Command1->SetCaption(StartCaptionFor(settings_.InterfaceKind));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QCoreApplication::processEvents();
  // The boxes into the settings; the main window shows the TX level box with the SCS kinds.
  data_folder_ = CopyStartControls(ReadControls(), settings_, app_folder_);
  links::TxPanelValues tx_level;
  tx_level.txLevelShown = IsScs(InterfaceKindOf(settings_.InterfaceKind));
  host_.MainTxPanel().TakeHandOver(tx_level, panels::TxSetupPanel::kHandTxLevelShown);
  // The stock folders made writable, and the window active again.
  QCoreApplication::processEvents();
  QWidget* remembered = QApplication::activeWindow();
  if (settings_.NoAttribReset != 1) ClearStockReadOnly();
  WaitForActiveAgain(remembered);
  // Ports out of range or in conflict refuse START.
  if (const std::string refusal = CheckStartPorts(settings_); !refusal.empty()) {
    MsgBox(refusal, "ZEBLON  SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
    QApplication::restoreOverrideCursor();
    Command1->SetCaption("START");
    start_in_progress_ = 0;
    return;
  }
  // SMART LOG trims the MONI 1 log; the settings written, the TNC set up, the hand-over.
  if (Check1->Value() == 1) TrimMoniOneLog();
  WriteSettings();
  InitSerialTnc();
}

void Form0::InitSerialTnc() {
  // The command set of a serial TNC on the start window's own port, closed again
  // so the main window can open it; then the track import and the hand-over.
  const Settings& s = settings_;
  const links::TncSettings t = links::TncSettingsFrom(s, tx_->Values().hfDual == 1);
  const links::TncCommandSet set = links::TncInitSet(t);
  if (!set.empty()) {
    platform::SerialPort port;
    links::TncRunOptions options;
    options.portNumber = links::TncPortNumber(t);
    options.wait = TncWait;
    const links::TncRunResult r = links::RunTncCommandSet(set, port, options);
    const std::string message = links::TncRunMessage(r, links::TncKindName(t.interfaceKind), options.portNumber);
    if (!message.empty()) {
      MsgBox(message, "ZEBLON  TNC SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
    }
  }
  links::ImportVecTrackFiles(app_folder_);
  QApplication::restoreOverrideCursor();
  handing_over_ = true;
  host_.HandOver();
}

bool Form0::SaveScreenshot(const std::string& png_path) {
  std::error_code ec;
  fs::create_directories(fs::path(png_path).parent_path(), ec);
  return grab().save(QString::fromStdString(png_path), "PNG");
}

}  // namespace zeblon

#include "start_window/form0.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "geodesy/text.h"
#include "main_window/form1.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/qtext.h"
#include "platform/wait.h"

namespace zeblon {

namespace fs = std::filesystem;
using namespace platform;

void RegisterProgramFonts(const std::string& app_folder) {
  const auto folder = ResolveCaseInsensitive(fs::path(app_folder) / "FONTS");
  if (!folder) return;
  std::error_code ec;
  for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string ext = UpperAscii(it->path().extension().string());
    if (ext == ".TTF" || ext == ".OTF") {
      QFontDatabase::addApplicationFont(QString::fromStdString(it->path().string()));
    }
  }
}

// ---------------------------------------------------------------------------
// Program

Program::Program() {
  EndProgram = [](int code) { QCoreApplication::exit(code); };
  form0_ = std::make_unique<Form0>(*this);
}

Program::~Program() = default;

Form1& Program::MainWindow() {
  if (!form1_) form1_ = std::make_unique<Form1>();
  return *form1_;
}

void Program::HandOver() {
  Form1& main = MainWindow();
  main.show();
  main.raise();
  main.activateWindow();
  if (form0_) {
    form0_->hide();
    form0_.release()->deleteLater();
  }
}

void Program::UnloadMainWindow() {
  if (form1_) {
    form1_->hide();
    form1_.release()->deleteLater();
  }
}

// ---------------------------------------------------------------------------
// The window

namespace {

std::vector<std::string> InstalledFontNames() {
  std::vector<std::string> names;
  for (const QString& family : QFontDatabase::families()) names.push_back(FromQ(family));
  return names;
}

std::string NumberBoxText(double v) { return NumberText(v); }

const QColor kYellow(255, 255, 0);
const QColor kGrey(200, 200, 200);

void SetBackground(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, c);
  w->setPalette(p);
}

}  // namespace

Form0::Form0(Program& program) : program_(program) {
  setObjectName("Form0");
  setWindowTitle("ZEBLON  SETUP");
  FontList = InstalledFontNames;
  OpenDocument = [](const std::string& path) { return OpenWithShell(path); };
  BuildControls();
  ConnectHandlers();
}

Form0::~Form0() = default;

void Form0::BuildControls() {
  resize(720, 520);
  Picture1 = new QWidget(this);
  Picture1->setObjectName("Picture1");
  Picture1->setFocusPolicy(Qt::StrongFocus);
  Place(Picture1, 0, 0, 48, 48);

  Label9 = new Label(this, "Label9");
  Label9->hide();
  Label15 = new Label(this, "Label15",
                      "PLEASE WAIT, WHILE  ZEBLON  IS EXTRACTING FILES FROM  STOCK.ZIP ...");
  Place(Label15, 60, 490, 600, 20);
  Label15->hide();

  auto label = [this](const char* name, const char* caption, int x, int y, int w = 110) {
    auto* l = new Label(this, name, caption);
    Place(l, x, y, w, 20);
    return l;
  };
  auto box = [this](const char* name, int x, int y, int w = 150) {
    auto* t = new TextBox(this, name);
    Place(t, x, y, w, 22);
    return t;
  };
  label("Label8", "USER CALL", 60, 10);
  Text8 = box("Text8", 180, 10, 120);
  label("Label1", "MAPS PATH", 60, 40);
  Text1 = box("Text1", 180, 40, 300);
  label("Label2", "TEMP PATH", 60, 70);
  Text2 = box("Text2", 180, 70, 300);
  Label3 = label("Label3", "COMM PORT", 60, 100);
  Text3 = box("Text3", 180, 100, 120);
  Label4 = label("Label4", "COMM BAUD", 320, 100);
  Text4 = box("Text4", 440, 100, 100);
  label("Label5", "MONI CALL", 60, 130);
  Text5 = box("Text5", 180, 130, 120);
  label("Label6", "NMEA PORT", 60, 160);
  Text6 = box("Text6", 180, 160, 120);
  label("Label17", "NMEA BAUD", 320, 160);
  Text17 = box("Text17", 440, 160, 100);
  label("Label7", "ALARM DIST", 60, 190);
  Text7 = box("Text7", 180, 190, 60);
  label("Label10", "UTC OFFSET", 320, 190);
  Text10 = box("Text10", 440, 190, 60);
  label("Label18", "SUNSPOT(R)", 60, 220);
  Text15 = box("Text15", 180, 220, 60);
  label("Label19", "K", 250, 220, 20);
  Text16 = box("Text16", 270, 220, 50);
  Check8 = new CheckBox(this, "Check8", "<- INET");
  Place(Check8, 330, 220, 90, 22);
  Check1 = new CheckBox(this, "Check1", " SMART LOG");
  Place(Check1, 60, 250, 120, 22);
  Check2 = new CheckBox(this, "Check2", " SAVE LOG");
  Place(Check2, 190, 250, 120, 22);

  Frame1 = new Frame(this, "Frame1", "  RADIO INTERFACE TYPE   ");
  Place(Frame1, 60, 280, 420, 80);
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

  FrameLanguage = new Frame(this, "FrameLanguage");
  Place(FrameLanguage, 500, 10, 200, 90);
  Option1 = new OptionButton(FrameLanguage, "Option1", "ENGLISH");
  Option2 = new OptionButton(FrameLanguage, "Option2", "DEUTSCH");
  Option3 = new OptionButton(FrameLanguage, "Option3", "SVENSKA");
  Place(Option1, 10, 5, 180, 22);
  Place(Option2, 10, 32, 180, 22);
  Place(Option3, 10, 59, 180, 22);
  Option1->setChecked(true);

  Command5 = new CommandButton(this, "Command5", "TX SETUP / APRS PARAMETERS");
  Place(Command5, 60, 370, 260, 30);
  Command14 = new CommandButton(this, "Command14", "IGATE APRS-IS SETUP");
  Place(Command14, 330, 370, 200, 30);
  Command14->setEnabled(false);
  Command3 = new CommandButton(this, "Command3", "READ!");
  Place(Command3, 540, 370, 80, 30);
  Command6 = new CommandButton(this, "Command6", "HISTORY");
  Place(Command6, 625, 370, 80, 30);
  Command1 = new CommandButton(this, "Command1", "START");
  Place(Command1, 500, 420, 200, 60);
  Command1->setEnabled(false);

  Label20 = label("Label20", "", 60, 410, 420);
  Label23 = label("Label23", "APRS-IS SERVER", 60, 435);
  Text13 = box("Text13", 180, 435, 200);
  Text13->setText(kDefaultAprsIsServer);
  Label24 = label("Label24", "SERVER PORT", 60, 462);
  Text14 = box("Text14", 180, 462, 80);
  Text14->setText(kDefaultAprsIsPort);
  Command15 = new CommandButton(this, "Command15", "OK");
  Place(Command15, 280, 462, 60, 24);
  for (QWidget* w : std::initializer_list<QWidget*>{Label20, Label23, Text13, Label24, Text14,
                                                    Command15}) {
    w->hide();
  }

  // The TX setup panel, hidden until its button.
  tx_.Frame4 = new Frame(this, "Frame4", " TX SETUP / APRS PARAMETERS ");
  tx_.Frame4->hide();
  Place(tx_.Frame4, 0, 0, 720, 520);
  QWidget* f = tx_.Frame4;
  tx_.fr4Text1 = new TextBox(f, "fr4Text1");
  tx_.fr4Text2 = new TextBox(f, "fr4Text2");
  tx_.fr4Text3 = new TextBox(f, "fr4Text3");
  tx_.fr4Text4 = new TextBox(f, "fr4Text4");
  Place(tx_.fr4Text1, 10, 30, 60, 22);
  Place(tx_.fr4Text2, 80, 30, 80, 22);
  Place(tx_.fr4Text3, 170, 30, 100, 22);
  Place(tx_.fr4Text4, 280, 30, 200, 22);
  for (int i = 1; i <= 6; ++i) {
    const std::string ti = "fr4ti" + std::to_string(i);
    const std::string ta = "fr4ta" + std::to_string(i);
    tx_.fr4ti[i] = new TextBox(f, ti.c_str());
    tx_.fr4ta[i] = new CheckBox(f, ta.c_str(), "ACTIVE");
    Place(tx_.fr4ti[i], 10, 60 + 28 * i, 420, 22);
    Place(tx_.fr4ta[i], 440, 60 + 28 * i, 90, 22);
    tx_.fr4ta[i]->setChecked(true);
  }
  tx_.fr4Text8 = new TextBox(f, "fr4Text8");
  Place(tx_.fr4Text8, 600, 30, 50, 22);
  tx_.fr4Text10 = new TextBox(f, "fr4Text10");
  Place(tx_.fr4Text10, 540, 30, 30, 22);
  tx_.Text11 = new TextBox(f, "Text11");
  Place(tx_.Text11, 350, 310, 60, 22);
  tx_.Check9 = new CheckBox(f, "Check9", " IGATE");
  Place(tx_.Check9, 10, 340, 100, 22);
  tx_.Check9->setEnabled(false);
  tx_.Check3 = new CheckBox(f, "Check3", " DIGI");
  Place(tx_.Check3, 120, 340, 100, 22);
  tx_.Check4 = new CheckBox(f, "Check4", " HF-DUAL");
  Place(tx_.Check4, 230, 340, 110, 22);
  auto* modes = new QWidget(f);
  modes->setObjectName("FrameRadioMode");
  Place(modes, 10, 250, 420, 26);
  tx_.Option7 = new OptionButton(modes, "Option7", "300");
  tx_.Option8 = new OptionButton(modes, "Option8", "1200");
  tx_.Option12 = new OptionButton(modes, "Option12", "R300");
  tx_.Option18 = new OptionButton(modes, "Option18", "9600");
  tx_.Option19 = new OptionButton(modes, "Option19", "19200");
  int x = 0;
  for (auto* o : {tx_.Option7, tx_.Option8, tx_.Option12, tx_.Option18, tx_.Option19}) {
    Place(o, x, 0, 80, 24);
    x += 82;
  }
  tx_.Option7->setChecked(true);
  tx_.Option12->setEnabled(false);
  tx_.Option18->setEnabled(false);
  tx_.Option19->setEnabled(false);
  auto* second = new QWidget(f);
  second->setObjectName("FrameSecondMode");
  Place(second, 10, 280, 420, 26);
  tx_.Option14 = new OptionButton(second, "Option14", "NONE");
  Place(tx_.Option14, 0, 0, 80, 24);
  tx_.fr4Label2 = new Label(f, "fr4Label2");
  tx_.fr4Label5 = new Label(f, "fr4Label5");
  tx_.Label14 = new Label(f, "Label14");
  tx_.Label16 = new Label(f, "Label16");
  Place(tx_.fr4Label2, 10, 400, 300, 20);
  Place(tx_.fr4Label5, 10, 420, 300, 20);
  Place(tx_.Label14, 10, 440, 300, 20);
  Place(tx_.Label16, 10, 460, 300, 20);
  tx_.fr4Command3 = new CommandButton(f, "fr4Command3", "ABORT");
  tx_.fr4Command4 = new CommandButton(f, "fr4Command4", "OK");
  Place(tx_.fr4Command3, 520, 470, 90, 30);
  Place(tx_.fr4Command4, 620, 470, 90, 30);
}

void Form0::ConnectHandlers() {
  Command1->OnClick = [this] { Command1_Click(); };
  Option4->OnClick = [this] { Option4_Click(); };
  Option5->OnClick = [this] { Option5_Click(); };
  Option9->OnClick = [this] { Option9_Click(); };
  Option10->OnClick = [this] { Option10_Click(); };
  Option11->OnClick = [this] { Option11_Click(); };
  Option13->OnClick = [this] { Option13_Click(); };
  tx_.Option8->OnClick = [this] { Option8_Click(); };
  tx_.Option18->OnClick = [this] { Option8_Click(); };
  tx_.Option19->OnClick = [this] { Option8_Click(); };
  Command14->OnClick = [this] { Command14_Click(); };
  Command15->OnClick = [this] { Command15_Click(); };
  Check8->OnClick = [this] { Check8_Click(); };
  Check1->OnClick = [this] { Check1_Click(); };
  Text10->OnChange = [this] { Text10_Change(); };
  Text7->OnChange = [this] { Text7_Change(); };
  Text8->OnChange = [this] { Text8_Change(); };
  Command3->OnClick = [this] { Command3_Click(); };
  Command6->OnClick = [this] { Command6_Click(); };
  tx_.fr4Text2->OnChange = [this] { fr4Text2_Change(); };
  tx_.fr4Text10->OnChange = [this] { ShowSelectedSymbol(); };
  Option1->OnClick = [this] { SelectLanguage(11); };
  Option2->OnClick = [this] { SelectLanguage(12); };
  Option3->OnClick = [this] { SelectLanguage(13); };
  Command5->OnClick = [this] { tx_.Frame4->show(); tx_.Frame4->raise(); };
  tx_.fr4Command3->OnClick = [this] { tx_.Frame4->hide(); };
  tx_.fr4Command4->OnClick = [this] { tx_.Frame4->hide(); };
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
  if (!handing_over_ && e->spontaneous()) program_.UnloadMainWindow();
  QWidget::closeEvent(e);
}

// ---------------------------------------------------------------------------
// Start-up

bool Form0::Form_Activate() {
  if (activated_) return startup_done_;
  activated_ = true;

  // 1. The program's own fonts.
  if (!FontCheckPasses(FontList())) {
    MsgBox("CHECK FONTS FOR QW7..-FONTS, THEN RESTART COMPUTER!", "ZEBLON  SETUP", MsgButtons::Ok,
           MsgIcon::Exclamation);
    program_.EndProgram(1);
    return false;
  }
  // 2.-5.
  tx_.Frame4->move(0, 0);
  app_folder_ = ProgramFolder().string();
  PaintStartPicture();
  const char* temp_env = std::getenv("TEMP");
  SetDefaultSettings(SettingsWindow::Start, settings_, app_folder_, temp_env ? temp_env : "");
  // 6. The defaults into both TX setup panels; this loads the main window.
  Fill1();
  // 7. A missing settings file is created empty.
  const fs::path ini = SettingsPath();
  std::error_code ec;
  if (!fs::exists(ini, ec)) {
    if (!WriteFileAtomically(ini, "")) {
      MsgBox("CANNOT WRITE " + ini.string() + " !", "ZEBLON  SETUP", MsgButtons::Ok,
             MsgIcon::Exclamation);
      program_.EndProgram(1);
      return false;
    }
  }
  // 8. The pre-pass.
  std::string bytes;
  ReadWholeFile(ini, bytes);
  const PrePassResult pre = PrePassSettings(bytes);
  if (pre.has_wver) settings_.WindowsVersion = pre.wver;
  // 9.
  if (settings_.WindowsVersion == "WIN10") resize(644, height());
  // 11. The help page on the first run.
  if (!pre.not_first_run) {
    if (OpenDocument(app_folder_ + "/README.HTM")) Pause(10);
  }
  // 12. The stock data.
  ProvideStockData();
  // 14. The settings.
  ReadSettingsFile(ini, SettingsWindow::Start, settings_, [this](std::string_view key) {
    if (key == "UTCD") Text10->SetText(NumberBoxText(settings_.UtcOffsetHours));
    else if (key == "SLOG") Check1->SetValue(settings_.SmartLog);
    else if (key == "LOGS") Check2->SetValue(settings_.LogsOn);
    else if (key == "TXAF") tx_.Text11->SetText(NumberBoxText(settings_.TxLevel));
    else if (key == "SSPT") Text15->SetText(NumberBoxText(settings_.SunspotNumber));
    else if (key == "KIND") Text16->SetText(NumberBoxText(settings_.KIndex));
  });
  // 15.
  Fill2b();
  // 16. The map system and the data folder.
  settings_.MapSystem = NormaliseMapSystem(settings_.MapSystem);
  data_folder_ = DataFolderOf(app_folder_, settings_.MapSystem);
  // 17. The LOG folder, and the per-run logs deleted.
  const fs::path log = fs::path(data_folder_) / "LOG";
  fs::create_directories(log, ec);
  for (const char* name : {"_LOG_.TXT", "_LOGL_.TXT", "_LOGRAW_.TXT"}) {
    fs::remove(ResolveOrSame(log / name), ec);
  }
  // 18.
  Fill2c();
  // 19.
  const std::string call = UpperAscii(Trim(Text8->Text()));
  if (!call.empty()) {
    settings_.UserCall = call;
    Fill3();
  }
  // 20.-21.
  Fill4();
  BuildSymbolTable();
  picker_symbol_index_ = settings_.TxSymbolIndex;
  ShowSelectedSymbol();
  // 22.
  if (settings_.AlarmDistanceKm < 1) settings_.AlarmDistanceKm = 1;
  if (settings_.AlarmDistanceKm > 100) settings_.AlarmDistanceKm = 100;
  Text7->SetText(NumberBoxText(settings_.AlarmDistanceKm));
  // 23.-26.
  ApplyLanguageTexts();
  Command1->setEnabled(true);
  ColourUserCallBox();
  Picture1->setFocus();
  startup_done_ = true;
  return true;
}

void Form0::ProvideStockData() {
  QCoreApplication::processEvents();
  const fs::path stock_folder = fs::path(app_folder_) / "U33";
  const auto zip = ResolveCaseInsensitive(fs::path(app_folder_) / "STOCK.ZIP");
  const bool had_folder = ResolveCaseInsensitive(stock_folder).has_value();
  std::error_code ec;
  if (had_folder && zip) {
    fs::remove(*zip, ec);
    PauseWithEvents(5);
  }
  QCoreApplication::processEvents();
  if (!had_folder && zip) {
    Label15->show();
    QCoreApplication::processEvents();
    // Unpacked into the program folder, waited for (bounded); the archive goes only
    // after an unpack that produced the stock folder.
    int rc = RunProgram("7za", {"x", "-y", "-o" + app_folder_, zip->string()}, 300000);
    if (rc != 0) rc = RunProgram("unzip", {"-o", "-q", zip->string(), "-d", app_folder_}, 300000);
    if (rc == 0 && ResolveCaseInsensitive(stock_folder)) fs::remove(*zip, ec);
    Label15->hide();
  }
  QCoreApplication::processEvents();
}

void Form0::Fill1() {
  Form1& main = program_.MainWindow();
  MainTxSetupPanel& m = main.TxPanel();
  tx_.fr4Text1->SetText(settings_.TxSsid);
  m.fr4Text1->SetText(settings_.TxSsid);
  tx_.fr4Text2->SetText(NumberText(settings_.BeaconInterval));
  m.fr4Text2->SetText(NumberText(settings_.BeaconInterval));
  tx_.fr4Text3->SetText(settings_.TxDestination);
  m.fr4Text3->SetText(settings_.TxDestination);
  tx_.fr4Text4->SetText(settings_.TxPath);
  m.fr4Text4->SetText(settings_.TxPath);
  for (int i = 1; i <= 6; ++i) {
    tx_.fr4ti[i]->SetText(settings_.InfoLines[i]);
    m.fr4ti[i]->SetText(settings_.InfoLines[i]);
  }
  ApplyOverlayRule();
  tx_.fr4Text10->SetText(settings_.TxOverlay);
  m.fr4Text10->SetText(settings_.TxOverlay);
  Text7->SetText(NumberText(settings_.AlarmDistanceKm));
  Check2->SetValue(settings_.LogsOn);
}

void Form0::ApplyOverlayRule() {
  if (settings_.TxOverlay.empty()) settings_.TxOverlay = "A";
  settings_.TxOverlay = settings_.TxOverlay.substr(0, 1);
}

void Form0::Fill2b() {
  if (settings_.IonoAutoUpdate == 0) {
    Check8->SetValue(0);
    Text15->setEnabled(true);
    Text16->setEnabled(true);
  } else if (settings_.IonoAutoUpdate == 1) {
    Check8->SetValue(1);
    Text15->setEnabled(false);
    Text16->setEnabled(false);
  }
  if (!settings_.AprsIsPort.empty()) Text14->SetText(settings_.AprsIsPort);
  if (!settings_.AprsIsServer.empty()) Text13->SetText(settings_.AprsIsServer);
}

void Form0::Fill2c() {
  Settings& s = settings_;
  const bool scs = s.InterfaceKind == 5 || s.InterfaceKind == 6;
  if (!scs) {
    tx_.Option12->setEnabled(false);
    tx_.Option18->setEnabled(false);
    tx_.Option19->setEnabled(false);
  }
  if (LeadingNumber(s.RadioMode) == 300) tx_.Option7->SetValue(true);
  if (s.RadioMode == "300R") {
    if (scs) {
      tx_.Option12->setEnabled(true);
      tx_.Option12->SetValue(true);
    } else if (s.InterfaceKind >= 1 && s.InterfaceKind <= 4) {
      tx_.Option7->SetValue(true);
    }
  }
  if (s.RadioMode == "1200") tx_.Option8->SetValue(true);
  if (s.RadioMode == "9600") tx_.Option18->SetValue(true);
  if (s.RadioMode == "19200") tx_.Option19->SetValue(true);

  Text8->SetText(s.UserCall);
  ColourUserCallBox();
  Text1->SetText(s.MapRootFolder);
  Text2->SetText(s.TempFolder);
  Text6->SetText(s.GpsSource);
  Text17->SetText(s.GpsBaud);

  switch (s.InterfaceKind) {
    case 1: Option4->SetValue(true); break;
    case 0: Option5->SetValue(true); break;
    case 3: Option9->SetValue(true); break;
    case 4: Option10->SetValue(true); break;
    case 5: Option11->SetValue(true); break;
    case 6: Option13->SetValue(true); break;
    default: break;
  }
  if (s.InterfaceKind == 1) {
    Label3->SetCaption("COMM PORT");
    Text3->SetText(NumberText(std::fabs(s.TncComPort)));
    Text4->SetText(s.TncBaud);
  } else if (s.InterfaceKind == 3) {
    Label3->SetCaption("HOST NAME");
    Text3->SetText(s.AgwHost);
    Label4->SetCaption("HOST PORT");
    Text4->SetText(s.AgwPort);
  } else if (scs) {
    Label3->SetCaption("COMM PORT");
    Text3->SetText(NumberText(std::fabs(s.ScsComPort)));
    Text4->SetText(s.ScsBaud);
  }
  Text5->SetText(s.MoniOneCall);
  const int units = s.LanguageSetting % 10;
  if (units < 2) Option1->SetValue(true);
  else if (units == 2) Option2->SetValue(true);
  else if (units == 3) Option3->SetValue(true);
}

void Form0::Fill3() {
  Form1& main = program_.MainWindow();
  MainTxSetupPanel& m = main.TxPanel();
  for (int i = 2; i <= 6; ++i) {
    tx_.fr4ti[i]->SetText(settings_.InfoLines[i]);
    m.fr4ti[i]->SetText(settings_.InfoLines[i]);
  }
  for (int i = 1; i <= 6; ++i) tx_.fr4ta[i]->SetValue(settings_.InfoLineActive[i] > 0 ? 1 : 0);
  for (int i = 1; i <= 6; ++i) m.fr4ta[i]->SetValue(settings_.InfoLineActive[i] > 0 ? 1 : 0);
  const std::string& user = settings_.UserCall;
  if (user.size() >= 3 && user[2] >= '0' && user[2] <= '9') igate_call_ok_ = 1;
  if (igate_call_ok_ == 1) tx_.Check9->setEnabled(true);
  if (Option11->Value() || Option13->Value() || Option4->Value() || Option5->Value()) {
    Command14->setEnabled(true);
  }
}

void Form0::Fill4() {
  Form1& main = program_.MainWindow();
  MainTxSetupPanel& m = main.TxPanel();
  tx_.fr4Text1->SetText(settings_.TxSsid);
  m.fr4Text1->SetText(settings_.TxSsid);
  tx_.fr4Text2->SetText(NumberText(settings_.BeaconInterval));
  m.fr4Text2->SetText(NumberText(settings_.BeaconInterval));
  tx_.fr4Text3->SetText(settings_.TxDestination);
  m.fr4Text3->SetText(settings_.TxDestination);
  tx_.fr4Text4->SetText(settings_.TxPath);
  m.fr4Text4->SetText(settings_.TxPath);
  tx_.fr4ti[1]->SetText(settings_.InfoLines[1]);
  m.fr4ti[1]->SetText(settings_.InfoLines[1]);
  ApplyOverlayRule();
  tx_.fr4Text10->SetText(settings_.TxOverlay);
  m.fr4Text10->SetText(settings_.TxOverlay);
}

void Form0::ColourUserCallBox() {
  SetBackground(Text8, Trim(Text8->Text()).empty() ? kYellow : kGrey);
}

// ---------------------------------------------------------------------------
// Handlers

void Form0::FallBackAndDisableRadioModes() {
  if (!tx_.Option12->isEnabled()) return;
  if (tx_.Option12->Value() || tx_.Option18->Value() || tx_.Option19->Value()) {
    tx_.Option7->SetValue(true);
  }
  tx_.Option12->setEnabled(false);
  tx_.Option18->setEnabled(false);
  tx_.Option19->setEnabled(false);
}

void Form0::SelectInterface(int modem) {
  const Settings& s = settings_;
  const bool scs = modem == 5 || modem == 6;
  if (scs) {
    tx_.Option12->setEnabled(true);
    tx_.Option18->setEnabled(true);
    tx_.Option19->setEnabled(true);
  } else if (modem == 4) {
    tx_.Option12->setEnabled(false);
    tx_.Option18->setEnabled(false);
    tx_.Option19->setEnabled(false);
  } else {
    FallBackAndDisableRadioModes();
  }
  const bool shown = modem == 1 || modem == 3 || scs;
  if (modem == 3) {
    Label3->SetCaption("HOST NAME");
    Text3->SetText(s.AgwHost);
    Label4->SetCaption("HOST PORT");
    Text4->SetText(s.AgwPort);
  } else {
    Label3->SetCaption("COMM PORT");
    Text3->SetText(NumberText(std::fabs(scs ? s.ScsComPort : s.TncComPort)));
    if (modem == 1) {
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
  Command5->setEnabled(modem != 4);
  settings_.InterfaceKind = modem;
  ApplyLanguageTexts();
  Command14->setEnabled(modem != 3 && modem != 4);
}

void Form0::Option8_Click() {
  tx_.Check3->SetValue(0);
  tx_.Check4->SetValue(0);
  tx_.Option14->SetValue(true);
}

void Form0::Command14_Click() {
  Command1->setEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{Label20, Label23, Text13, Label24, Text14,
                                                    Command15}) {
    w->show();
  }
}

void Form0::Command15_Click() {
  settings_.AprsIsServer = Trim(Text13->Text());
  settings_.AprsIsPort = Trim(Text14->Text());
  for (QWidget* w : std::initializer_list<QWidget*>{Label20, Label23, Text13, Label24, Text14,
                                                    Command15}) {
    w->hide();
  }
  Command1->setEnabled(true);
  WriteSettings();
}

void Form0::Check8_Click() {
  settings_.IonoAutoUpdate = Check8->Value();
  if (Check8->Value() == 0) {
    Text15->setEnabled(true);
    Text16->setEnabled(true);
  } else if (Check8->Value() == 1) {
    Text15->setEnabled(false);
    Text16->setEnabled(false);
  }
}

void Form0::Check1_Click() { settings_.SmartLog = Check1->Value(); }

void Form0::Text10_Change() { settings_.UtcOffsetHours = LeadingNumber(Text10->Text()); }

void Form0::Text7_Change() {
  const std::string t = Trim(Text7->Text());
  if (t.empty()) return;
  const double d = RoundHalfEven(LeadingNumber(t));
  // Out of the 16-bit range the box is not taken; START limits the distance anyway.
  if (FitsWholeNumber<std::int16_t>(d)) settings_.AlarmDistanceKm = static_cast<int>(d);
}

void Form0::Text8_Change() {
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

void Form0::Command3_Click() { OpenDocument(app_folder_ + "/README.HTM"); }

void Form0::Command6_Click() { OpenDocument(app_folder_ + "/HISTORY.TXT"); }

void Form0::fr4Text2_Change() {
  const std::string text = tx_.fr4Text2->Text();
  const std::string want = TxTimerBoxText(text);
  if (want != text) tx_.fr4Text2->SetText(want);
}

void Form0::SelectLanguage(int lang) {
  settings_.LanguageSetting = lang;
  ApplyLanguageTexts();
}

// ---------------------------------------------------------------------------
// Neighbours

void Form0::ApplyLanguageTexts() {
  // The captions in three languages come with the window's texts; until then the
  // design captions (English) stay. The main window's TX panel takes the same captions.
}

void Form0::BuildSymbolTable() {}

void Form0::ShowSelectedSymbol() { tx_.fr4Text8->SetText(NumberText(picker_symbol_index_)); }

void Form0::PaintStartPicture() {}

void Form0::TrimMoniOneLog() {}

void Form0::WriteSettings() {
  if (!WriteSettingsFile(SettingsPath(), SettingsWindow::Start, settings_)) {
    MsgBox("CANNOT WRITE " + SettingsPath() + " !", "ZEBLON  SETUP", MsgButtons::Ok,
           MsgIcon::Exclamation);
  }
}

StartControlValues Form0::ReadControls() const {
  StartControlValues v;
  v.Text13 = Text13->Text();
  v.Text14 = Text14->Text();
  v.Text8 = Text8->Text();
  if (Option4->Value()) v.SelectedInterface = 1;
  else if (Option5->Value()) v.SelectedInterface = 0;
  else if (Option9->Value()) v.SelectedInterface = 3;
  else if (Option10->Value()) v.SelectedInterface = 4;
  else if (Option11->Value()) v.SelectedInterface = 5;
  else if (Option13->Value()) v.SelectedInterface = 6;
  v.Text1 = Text1->Text();
  v.Text2 = Text2->Text();
  v.Text3 = Text3->Text();
  v.Text4 = Text4->Text();
  v.Text5 = Text5->Text();
  v.Text6 = Text6->Text();
  v.Text17 = Text17->Text();
  if (tx_.Option7->Value()) v.SelectedRadioMode = "300";
  else if (tx_.Option8->Value()) v.SelectedRadioMode = "1200";
  else if (tx_.Option12->Value()) v.SelectedRadioMode = "300R";
  else if (tx_.Option18->Value()) v.SelectedRadioMode = "9600";
  else if (tx_.Option19->Value()) v.SelectedRadioMode = "19200";
  v.Text7 = Text7->Text();
  v.Text15 = Text15->Text();
  v.Text16 = Text16->Text();
  v.Check8 = Check8->Value();
  v.Check1 = Check1->Value();
  v.Check2 = Check2->Value();
  return v;
}

void Form0::ClearStockReadOnly() {
  // Owner write permission back on the files of the stock folders (what a
  // read-only attribute would be), done directly, not through a console command.
  const fs::path stock = fs::path(app_folder_) / "U33";
  for (const char* sub : {"LOG", "M0002", "M0010", "M0050", "M0200", "M1000", "M5000", "POI",
                          "UTMPICS", "TRK"}) {
    const auto folder = ResolveCaseInsensitive(stock / sub);
    if (!folder) continue;
    std::error_code ec;
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code pec;
      if (it->is_regular_file(pec)) {
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, pec);
      }
    }
    QCoreApplication::processEvents();
  }
}

void Form0::WaitForActiveAgain(QWidget* remembered) {
  // Bounded: a start window that never becomes active again (another program in
  // front, or no window manager) holds START up for at most ten seconds.
  PauseWithEvents(1);
  const double t0 = WaitClockNow();
  while (remembered != nullptr && QApplication::activeWindow() != remembered &&
         WaitClockNow() - t0 < 10) {
    PauseWithEvents(0.05f);
  }
}

void Form0::Command1_Click() {
  // 1.-2.
  if (start_in_progress_ == 1) return;
  start_in_progress_ = 1;
  if (Trim(Text8->Text()).size() < 3) {
    MsgBox("SET USER CALL !", "ZEBLON  START", MsgButtons::Ok, MsgIcon::Exclamation);
    start_in_progress_ = 0;
    return;
  }
  // 3.
  Command1->SetCaption("...");
  Command1->SetCaption(StartCaptionFor(settings_.InterfaceKind));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QCoreApplication::processEvents();
  // 4.
  data_folder_ = CopyStartControls(ReadControls(), settings_, app_folder_);
  Form1& main = program_.MainWindow();
  const bool scs = settings_.InterfaceKind == 5 || settings_.InterfaceKind == 6;
  main.TxPanel().Label42->setVisible(scs);
  main.TxPanel().Text16->setVisible(scs);
  // 5.-6.
  QCoreApplication::processEvents();
  QWidget* remembered = QApplication::activeWindow();
  if (settings_.NoAttribReset != 1) ClearStockReadOnly();
  WaitForActiveAgain(remembered);
  // 7. Ports.
  if (const std::string refusal = CheckStartPorts(settings_); !refusal.empty()) {
    MsgBox(refusal, "ZEBLON  SETUP", MsgButtons::Ok, MsgIcon::Exclamation);
    QApplication::restoreOverrideCursor();
    Command1->SetCaption("START");
    start_in_progress_ = 0;
    return;
  }
  // 8.-9.
  if (Check1->Value() == 1) TrimMoniOneLog();
  WriteSettings();
  InitSerialTnc();
}

void Form0::InitSerialTnc() {
  // Serial TNC kinds get their command sets here; every kind ends in the hand-over.
  QApplication::restoreOverrideCursor();
  handing_over_ = true;
  program_.HandOver();
}

}  // namespace zeblon

#include "main_window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTime>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "geodesy/text.h"
#include "links/pause_timer.h"
#include "main_window/texts.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/qtext.h"
#include "platform/wait.h"

namespace zeblon {

namespace fs = std::filesystem;
using namespace platform;

std::string TxTimerBoxText(const std::string& text) {
  const double n = LeadingNumber(text);
  if (n == 0 || n > 60) return "MANUAL";
  if (n < 0) return "60";
  return text;
}

std::string MainSettingsText(std::string_view existing, const Settings& s) {
  std::string out = SettingsFileText(SettingsWindow::Main, s);
  static const char* kKept[] = {"M5000=", "M1000=", "M0200=", "M0050=", "M0010=", "M0002=", "NOAT="};
  for (const std::string& raw : SplitLines(existing)) {
    const std::string line = Trim(raw);
    const std::string upper = UpperAscii(line);
    for (const char* key : kKept) {
      if (upper.rfind(key, 0) == 0) {
        out += line + "\r\n";
        break;
      }
    }
  }
  return out;
}

namespace {

const char* const kScaleTags[6] = {"M5000", "M1000", "M0200", "M0050", "M0010", "M0002"};
const char* const kScaleCombos[6] = {"Combo3", "Combo4", "Combo5", "Combo6", "Combo7", "Combo8"};

// The product's web addresses for the ionosphere pages; the map display sets its own.
constexpr const char* kIonoUrl1 = "http://iono.example.org/magnetogram/index.html";
constexpr const char* kIonoUrl2 = "https://iono.example.org/text/sgas.txt";

void SetVisible(QWidget* w, bool visible) {
  if (w != nullptr) w->setVisible(visible);
}

bool Shown(const QWidget* w) { return w != nullptr && !w->isHidden(); }

}  // namespace

// ---------------------------------------------------------------------------
// Controls

void Form1::Register(QWidget* w) { controls_[w->objectName().toStdString()] = w; }

QWidget* Form1::Control(const std::string& name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

Label* Form1::AddLabel(QWidget* p, const char* name, const char* caption, int x, int y, int w, int h) {
  auto* c = new Label(p, name, caption);
  Place(c, x, y, w, h);
  Register(c);
  return c;
}
CommandButton* Form1::AddButton(QWidget* p, const char* name, const char* caption, int x, int y, int w, int h) {
  auto* c = new CommandButton(p, name, caption);
  Place(c, x, y, w, h);
  Register(c);
  return c;
}
CheckBox* Form1::AddCheck(QWidget* p, const char* name, const char* caption, int x, int y, int w, int h) {
  auto* c = new CheckBox(p, name, caption);
  Place(c, x, y, w, h);
  Register(c);
  return c;
}
TextBox* Form1::AddText(QWidget* p, const char* name, int x, int y, int w, int h) {
  auto* c = new TextBox(p, name);
  Place(c, x, y, w, h);
  Register(c);
  return c;
}
ComboBox* Form1::AddCombo(QWidget* p, const char* name, bool sorted, int x, int y, int w, int h) {
  auto* c = new ComboBox(p, name, sorted);
  Place(c, x, y, w, h);
  Register(c);
  return c;
}
Frame* Form1::AddFrame(QWidget* p, const char* name, const char* caption, int x, int y, int w, int h) {
  auto* c = new Frame(p, name, caption);
  c->setAutoFillBackground(true);  // frames lie over the map
  Place(c, x, y, w, h);
  Register(c);
  return c;
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setObjectName("Form1");
  setWindowTitle("ZEBLON");
  setFocusPolicy(Qt::StrongFocus);
  resize(1024, 740);
  map_display_ = std::make_unique<MinimalMapDisplay>();
  radio_link_ = std::make_unique<MinimalRadioLink>();
  TimeOfDay = [](int& h, int& m) {
    const QTime t = QTime::currentTime();
    h = t.hour();
    m = t.minute();
  };
  OpenDocument = [](const std::string& path) { return OpenWithShell(path); };
  BuildControls();
  Form_Load();
  qApp->installEventFilter(this);
}

Form1::~Form1() { Form_Terminate(); }

void Form1::BuildControls() {
  QWidget* f = this;
  // --- The map and what lies over it.
  auto* picture1 = new QLabel(f);
  picture1->setObjectName("Picture1");
  picture1->setAlignment(Qt::AlignCenter);
  picture1->setAutoFillBackground(true);
  picture1->setFocusPolicy(Qt::StrongFocus);
  Place(picture1, 200, 0, 824, 720);
  Picture1 = picture1;
  Register(Picture1);
  Picture3 = new QLabel(f);
  Picture3->setObjectName("Picture3");
  Picture3->hide();
  Place(Picture3, 200, 0, 824, 720);
  Register(Picture3);
  auto* text10 = AddText(f, "Text10", 200, 0, 330, 20);
  text10->setText("COLLECTING INTERNET DATA (MONI ALL) ...");
  text10->hide();
  WebBrowser1 = new QWidget(f);
  WebBrowser1->setObjectName("WebBrowser1");
  WebBrowser1->hide();
  Register(WebBrowser1);

  // --- The left panel.
  AddLabel(f, "Label1", "", 0, 2, 198, 16);
  AddLabel(f, "Label2", "", 0, 18, 198, 16);
  AddLabel(f, "Label3", "", 0, 34, 198, 16);
  AddLabel(f, "Label4", "", 0, 50, 198, 16);
  for (const char* line : {"Line2", "Line3", "Line4", "Line5"}) {
    auto* l = new QFrame(f);
    l->setObjectName(line);
    l->setFrameShape(QFrame::HLine);
    Place(l, 0, 66, 120, 2);
    Register(l);
  }
  AddLabel(f, "Label15", "", 0, 68, 110, 18);
  AddCheck(f, "Check5", "Quick Info 0/1", 112, 68, 88);
  AddButton(f, "Command1", "<<", 0, 88, 38);
  AddButton(f, "Command7", "-", 40, 88, 38);
  AddButton(f, "Command9", "1:1", 80, 88, 38);
  AddButton(f, "Command8", "+", 120, 88, 38);
  AddButton(f, "Command2", ">>", 160, 88, 38);
  auto* o1 = new OptionButton(f, "Option1", "USER QTH");
  Place(o1, 0, 112, 98, 20);
  Register(o1);
  auto* o2 = new OptionButton(f, "Option2", "MONI 1 QTH");
  Place(o2, 100, 112, 98, 20);
  Register(o2);
  o2->setChecked(true);
  AddButton(f, "Command72", "MAP", 0, 132, 64);
  AddButton(f, "Command42", "PAL", 66, 132, 64);
  AddButton(f, "Command43", "RESET", 132, 132, 66);
  AddCheck(f, "Check14", "TRK", 0, 156, 50);
  AddCombo(f, "Combo1", true, 50, 156, 148);
  AddButton(f, "Command73", "POI", 0, 180, 48);
  AddCombo(f, "Combo2", true, 50, 180, 148);
  AddCheck(f, "Check4", "GRID", 0, 204, 52);
  AddCheck(f, "Check9", "Fopt", 52, 204, 50);
  AddCheck(f, "Check12", "PIC", 102, 204, 46);
  AddCheck(f, "Check1", "TONE", 148, 204, 52);
  AddCheck(f, "Check6", "TX !", 0, 232, 64);
  AddCheck(f, "Check18", "OBJ", 66, 232, 64);
  AddCheck(f, "Check7", "CHAT", 132, 232, 66);
  AddButton(f, "Command24", "SAVED", 0, 252, 64);
  AddButton(f, "Command25", "DEL", 66, 252, 64);
  AddCheck(f, "Check15", "IGATE", 132, 254, 66);
  AddCombo(f, "Combo9", false, 0, 274, 120);
  AddButton(f, "Command16", "<", 122, 274, 24);
  AddLabel(f, "Label17", "2", 150, 276, 20);
  AddButton(f, "Command17", ">", 174, 274, 24);
  AddLabel(f, "Label6", "0", 0, 298, 60, 16);
  AddLabel(f, "Label9", "", 62, 298, 136, 16);
  AddLabel(f, "Label7", "", 0, 314, 98, 16);
  AddLabel(f, "Label8", "", 100, 314, 98, 16);
  AddLabel(f, "Label10", "", 0, 330, 198, 14);
  AddLabel(f, "Label11", "", 0, 344, 120, 14);
  AddCheck(f, "Check22", "I", 122, 344, 38, 16);
  AddCheck(f, "Check27", "S", 160, 344, 38, 16);
  AddLabel(f, "Label27", "", 0, 360, 198, 8);
  AddButton(f, "Command13", "<", 0, 372, 24);
  AddLabel(f, "Label16", "2", 28, 374, 22);
  AddButton(f, "Command14", ">", 52, 372, 24);
  AddButton(f, "Command3", "CLR", 80, 372, 50);
  AddCheck(f, "Check3", "RAW", 132, 374, 66);
  AddCheck(f, "Check10", "D", 0, 394, 38, 16);
  AddCheck(f, "Check11", "F", 40, 394, 38, 16);
  auto* check13 = AddCheck(f, "Check13", "M", 80, 394, 38, 16);
  check13->setTristate(true);
  AddCheck(f, "Check19", "O", 120, 394, 38, 16);
  AddCheck(f, "Check25", "W", 160, 394, 38, 16);
  AddCheck(f, "Check20", "MONI 1", 0, 410, 66, 16);
  AddCheck(f, "Check21", "M ALL", 66, 410, 66, 16);
  AddCheck(f, "Check23", "I", 132, 410, 33, 16);
  AddCheck(f, "Check24", "D", 165, 410, 33, 16);
  AddLabel(f, "Label26", "", 0, 426, 198, 8);
  AddLabel(f, "Label22", "SPECIALS (F1...)", 0, 440, 198, 16);
  AddButton(f, "Command57", "READ", 0, 458, 48);
  AddButton(f, "Command65", "TERM", 50, 458, 48)->setEnabled(false);
  AddButton(f, "Command59", "SAVE", 100, 458, 48);
  AddButton(f, "Command58", "GE", 150, 458, 48);

  // The palette inks.
  auto* inks = new QWidget(f);
  inks->setObjectName("PaletteInks");
  Place(inks, 200, 24, 16 * 24, 24);
  inks->hide();
  for (int i = 0; i <= 15; ++i) {
    const std::string name = "Optionink(" + std::to_string(i) + ")";
    auto* ink = new OptionButton(inks, name.c_str());
    Place(ink, i * 24, 2, 22, 20);
    Register(ink);
  }

  // --- Along the bottom.
  AddLabel(f, "Label5", "", 0, 723, 1024, 17);
  auto* frame16 = new Frame(f, "Frame16");
  frame16->setFlat(true);
  Place(frame16, 0, 723, 804, 17);
  Register(frame16);
  for (int i = 0; i < 6; ++i) {
    AddCombo(frame16, kScaleCombos[i], true, i * 134, 0, 110, 17);
    const std::string box = "Check26(" + std::to_string(i) + ")";
    AddCheck(frame16, box.c_str(), "#", i * 134 + 110, 0, 24, 17);
  }
  auto* list1 = new ListBox(f, "List1");
  Place(list1, 200, 600, 824, 120);
  list1->hide();
  Register(list1);

  // The station INFO panel.
  auto* frame1 = AddFrame(f, "Frame1", "", 0, 663, 600, 60);
  frame1->hide();
  AddButton(frame1, "Command10", "X", 4, 16, 24);
  AddButton(frame1, "Command41", "PING", 30, 16, 50);
  AddButton(frame1, "Command11", "MONI 1", 82, 16, 60);
  AddButton(frame1, "Command12", "LIST", 144, 16, 50);
  AddButton(frame1, "Command40", "RAW", 196, 16, 50);
  AddButton(frame1, "Command23", "CHAT", 248, 16, 50);
  AddButton(frame1, "Command18", "<X", 300, 16, 30);
  AddLabel(frame1, "Label19", "DELETE", 332, 20, 56);
  AddButton(frame1, "Command19", "X>", 390, 16, 30);
  AddButton(frame1, "Command36", "|<", 430, 16, 30);
  AddButton(frame1, "Command5", "<", 462, 16, 30);
  AddButton(frame1, "Command6", ">", 494, 16, 30);
  AddButton(frame1, "Command37", ">|", 526, 16, 30);

  // WX INFO.
  auto* frame15 = AddFrame(f, "Frame15", "WX INFO", 764, 523, 260, 200);
  frame15->hide();
  AddButton(frame15, "Command15", "X", 232, 4, 24);
  auto* picture2 = new QWidget(frame15);
  picture2->setObjectName("Picture2");
  Place(picture2, 4, 24, 100, 100);
  Register(picture2);
  const char* wx[] = {"Label29", "Label30", "Label31", "Label32", "Label33",
                      "Label34", "Label35", "Label36", "Label37", "Label38"};
  for (int i = 0; i < 10; ++i) AddLabel(frame15, wx[i], "", 108, 24 + i * 17, 148, 16);

  // The CHAT window.
  auto* frame3 = AddFrame(f, "Frame3", "CHAT", 200, 0, 772, 150);
  frame3->hide();
  for (int i = 0; i <= 7; ++i) {
    const std::string name = "Text1(" + std::to_string(i) + ")";
    AddText(frame3, name.c_str(), 4, 14 + i * 14, 740, 14);
  }
  AddCheck(frame3, "Check8", "ME!", 112, 128, 50, 18);
  AddButton(frame3, "Command27", "X", 754, 2, 16, 16);
  AddCheck(frame3, "Check16", "AUTO-A", 4, 128, 73, 18);
  AddText(frame3, "Text2", 86, 128, 79, 18);
  AddText(frame3, "Text3", 168, 128, 488, 18);

  // SAVED MESSAGES.
  auto* frame7 = AddFrame(f, "Frame7", "SAVED MESSAGES", 0, 150, 1024, 590);
  frame7->hide();
  auto* text5 = new TextArea(frame7, "Text5");
  Place(text5, 8, 16, 1008, 568);
  Register(text5);
  AddButton(frame7, "Command28", "X", 1006, 2, 16, 16);

  // EMERGENCY.
  auto* frame14 = AddFrame(f, "Frame14", "EMERGENCY", 200, 561, 420, 160);
  frame14->hide();
  AddButton(frame14, "Command39", "X", 392, 4, 24);
  AddText(frame14, "Text11", 4, 20, 380);
  AddText(frame14, "Text12", 4, 42, 380);
  AddText(frame14, "Text13", 4, 64, 380);
  AddText(frame14, "Text14", 4, 86, 380);
  AddButton(frame14, "Command38", "CENTER", 4, 108, 80);
  AddText(frame14, "Text15", 90, 108, 320);

  // The picture viewer lies on the map.
  auto* frame8 = AddFrame(Picture1, "Frame8", "", 8, 8, 808, 704);
  frame8->hide();
  WebBrowser2 = new QWidget(frame8);
  WebBrowser2->setObjectName("WebBrowser2");
  Place(WebBrowser2, 8, 16, 792, 646);
  Register(WebBrowser2);
  AddButton(frame8, "Command70", "|<", 8, 670, 40);
  AddButton(frame8, "Command29", "<", 50, 670, 40);
  AddButton(frame8, "Command30", ">", 92, 670, 40);
  AddButton(frame8, "Command71", "X", 134, 670, 40);

  // TERMINAL.
  auto* frame19 = AddFrame(f, "Frame19", "TERMINAL", 0, 0, 640, 420);
  frame19->hide();
  AddLabel(frame19, "Label47",
           "THIS TERMINAL WINDOW ALLOWS TO COMMUNICATE DIRECTLY WITH/VIA THE TNC. AS LONG AS IT IS "
           "HELD OPEN, ALL NORMAL PROGRAM FUNCTIONS ARE STOPPED.",
           8, 16, 624, 34)->setWordWrap(true);
  AddText(frame19, "Text19", 8, 54, 624);
  auto* text20 = new TextArea(frame19, "Text20");
  Place(text20, 8, 78, 624, 300);
  Register(text20);
  AddButton(frame19, "Command66", "CLOSE", 552, 386, 80);

  // USER QTH SETUP, OBJECT SETUP, the POI editor, the ionosphere input, the TRK selection.
  auto* frame2 = AddFrame(f, "Frame2", "USER QTH SETUP: CENTER THE MAP TO YOUR QTH!", 200, 0, 520, 60);
  frame2->hide();
  auto* frame11 = AddFrame(f, "Frame11", "OBJECT SETUP: CENTER THE MAP TO THE OBJECT!", 200, 0, 520, 60);
  frame11->hide();
  AddButton(frame11, "Command31", "DELETE OBJECT", 8, 24, 120);
  AddButton(frame11, "Command32", "CANCEL", 136, 24, 80);
  auto* poi = AddFrame(f, "PoiEditor", "POI", 200, 60, 520, 80);
  poi->hide();
  AddLabel(poi, "Label14", "DELETE POINT: CLEAR TEXT  /  CREATE POINT: TYPE TEXT", 8, 16, 500);
  AddText(poi, "Text4", 8, 36, 300);
  AddButton(poi, "Command67", "OPEN LINK", 312, 36, 80);
  AddButton(poi, "Command64", " POS= CENTER", 396, 36, 110);
  AddButton(poi, "Command22", "CANCEL", 312, 58, 80, 20);
  auto* frame18 = AddFrame(f, "Frame18", "IONO", 200, 150, 300, 70);
  frame18->hide();
  AddLabel(frame18, "Label46", "SSN", 8, 20, 40);
  AddText(frame18, "Text17", 50, 18, 60);
  AddLabel(frame18, "Label44", "K", 120, 20, 20);
  AddText(frame18, "Text18", 142, 18, 60);
  AddButton(frame18, "Command60", "INPUT", 210, 16, 80);
  auto* frame10 = AddFrame(f, "Frame10", "TRK", 200, 156, 200, 50);
  frame10->hide();
  AddButton(frame10, "Command68", "<", 8, 18, 40);
  AddButton(frame10, "Command69", ">", 52, 18, 40);

  // The TX setup panel (the start window fills it before START).
  tx_.Frame = AddFrame(f, "Frame4", " TX SETUP ", 0, 0, 640, 420);
  tx_.Frame->hide();
  QWidget* p = tx_.Frame;
  tx_.fr4Text1 = AddText(p, "fr4Text1", 10, 30, 60, 22);
  tx_.fr4Text2 = AddText(p, "fr4Text2", 80, 30, 80, 22);
  tx_.fr4Text3 = AddText(p, "fr4Text3", 170, 30, 100, 22);
  tx_.fr4Text4 = AddText(p, "fr4Text4", 280, 30, 200, 22);
  for (int i = 1; i <= 6; ++i) {
    const std::string ti = "fr4ti" + std::to_string(i);
    const std::string ta = "fr4ta" + std::to_string(i);
    tx_.fr4ti[i] = AddText(p, ti.c_str(), 10, 60 + 28 * i, 420, 22);
    tx_.fr4ta[i] = AddCheck(p, ta.c_str(), "ACTIVE", 440, 60 + 28 * i, 90, 22);
  }
  tx_.fr4Text10 = AddText(p, "fr4Text10", 540, 30, 30, 22);
  tx_.fr4Text8 = AddText(p, "fr4Text8", 490, 30, 44, 22);
  tx_.fr4Text9 = AddText(p, "fr4Text9", 490, 56, 140, 22);
  tx_.fr4Label2 = AddLabel(p, "fr4Label2", "", 10, 260, 300, 20);
  tx_.fr4Label5 = AddLabel(p, "fr4Label5", "", 10, 280, 300, 20);
  tx_.fr4Command3 = AddButton(p, "fr4Command3", "ABORT", 440, 370, 90, 30);
  tx_.fr4Command4 = AddButton(p, "fr4Command4", "OK", 540, 370, 90, 30);
  tx_.Label42 = AddLabel(p, "Label42", " SCS TNC: TX SIGNAL LEVEL ( 30 mV - 3000 mV )", 10, 310, 330, 20);
  tx_.Text16 = AddText(p, "Text16", 350, 310, 60, 22);
  tx_.Check2 = AddCheck(p, "Check2", "HF-DUAL", 440, 310, 90, 22);
  const char* modes[] = {"300R", "300", "1200", "9600", "19200"};
  for (int i = 3; i <= 7; ++i) {
    const std::string name = "Option" + std::to_string(i);
    auto* o = new OptionButton(p, name.c_str(), modes[i - 3]);
    Place(o, 10 + (i - 3) * 70, 340, 68, 22);
    o->hide();
    Register(o);
    tx_.modeOption[i] = o;
  }

  // Timers: the main cycle and the one-shot pause.
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(6000);
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(2000);
  links::ConnectPauseTimer(*Timer1, *Timer2, Get<TextBox>("Text10"), Get<CheckBox>("Check22"));

  // Handlers.
  tx_.fr4Text2->OnChange = [this] { fr4Text2_Change(); };
  tx_.fr4Text10->OnChange = [this] { fr4Text10_Change(); };
  Get<CheckBox>("Check16")->OnClick = [this] { Check16_Click(); };
  Get<ComboBox>("Combo1")->OnChange = [this] { ArmPause(4000); };
  Get<ComboBox>("Combo2")->OnChange = [this] { ArmPause(4000); };
  Get<CheckBox>("Check5")->OnClick = [this] {
    const int r = settings_.LanguageSetting % 10;
    settings_.LanguageSetting = Get<CheckBox>("Check5")->Value() == 1 ? r + 10 : r;
    ApplyLanguageTexts();
  };
  Get<CommandButton>("Command57")->OnClick = [this] { Form_KeyDown(112); };
  Get<CommandButton>("Command65")->OnClick = [this] { Command65_Click(); };
  Get<CommandButton>("Command59")->OnClick = [this] { Form_KeyDown(114); };
  Get<CommandButton>("Command58")->OnClick = [this] { Form_KeyDown(115); };
  Get<CommandButton>("Command66")->OnClick = [this] {
    Get<Frame>("Frame19")->hide();
    Timer1->start();
    Timer2->start();
  };
}

void Form1::Form_Load() {
  app_folder_ = ProgramFolder().string();
  Place(WebBrowser1, 5000, 30, 400, 600);
}

void Form1::Form_Terminate() {
  if (Timer2 != nullptr) Timer2->stop();
  if (Timer1 != nullptr) Timer1->stop();
}

std::string Form1::TempFolderPath() const {
  const std::string t = WindowsPathToLinux(settings_.TempFolder, app_folder_);
  return t.empty() ? app_folder_ : ResolveOrSame(t).string();
}

// ---------------------------------------------------------------------------
// Activation

void Form1::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!activate_queued_) {
    activate_queued_ = true;
    QTimer::singleShot(0, this, [this] {
      activate_queued_ = false;
      Form_Activate();
    });
  }
}

void Form1::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow() && map_.MapDrawnOnce == 1 &&
      !activating_ && !activate_queued_) {
    Form_Activate();
  }
}

void Form1::Form_Activate() {
  if (activating_ || shutdown_done_) return;
  activating_ = true;
  ActivateHead();
  if (map_.MapDrawnOnce != 1) {
    in_startup_ = true;
    FullStartUp();
    in_startup_ = false;
  }
  ActivateTail();
  activating_ = false;
  if (close_pending_) {
    // The user closed the window while it started: the close runs now, in full.
    close_pending_ = false;
    CloseByUser();
  }
}

void Form1::TakeTwipsPerPixel() {
  const double dpi_x = logicalDpiX() > 0 ? logicalDpiX() : 96;
  const double dpi_y = logicalDpiY() > 0 ? logicalDpiY() : 96;
  shell_.TwipsPerPixelX = static_cast<int>(RoundHalfEven(1440.0 / dpi_x));
  shell_.TwipsPerPixelY = static_cast<int>(RoundHalfEven(1440.0 / dpi_y));
}

void Form1::ActivateHead() {
  shell_.ProgramVersion = "8.08";
  shell_.IonoUrl1 = kIonoUrl1;
  shell_.IonoUrl2 = kIonoUrl2;
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  TakeTwipsPerPixel();
  const double sy = 15.0 / shell_.TwipsPerPixelY;
  const double sx = shell_.TwipsPerPixelX / 15.0;
  auto line = [this](const char* name, int x2, double y) {
    if (QWidget* l = Control(name)) l->setGeometry(0, static_cast<int>(y), x2, 2);
  };
  line("Line5", static_cast<int>(120 * sy), Control("Line5")->y());
  line("Line2", 120, 228 * sy);
  line("Line3", 120, 368 * sy);
  line("Line4", 120, 434 * sy);
  Control("Label27")->move(Control("Label27")->x(), static_cast<int>(360 * sy));
  Control("Label26")->move(Control("Label26")->x(), static_cast<int>(426 * sy));
  QWidget* text2 = Control("Text2");
  text2->setGeometry(static_cast<int>(1290 / 15.0 * sx), text2->y(), static_cast<int>(1185 / 15.0 * sx),
                     text2->height());
  Control("Text3")->move(static_cast<int>(2520 / 15.0 * sx), Control("Text3")->y());
  shell_.MainWindowHandle = QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : this;
  show();
  update();
  app_folder_ = ProgramFolder().string();
}

void Form1::SpeedTest() {
  const std::function<double()> clock = SpeedTestClock ? SpeedTestClock : [] { return WaitClockNow(); };
  const int limit = shell::MoniAllLimitFromCount(shell::SpeedTestCount(clock));
  reception_.settings.moniAllLimit = limit;
  reception_.settings.moniOneTrackLimit = 5 * limit;
}

void Form1::FullStartUp() {
  auto* check6 = Get<CheckBox>("Check6");
  auto* check15 = Get<CheckBox>("Check15");
  // 1.-3.
  setCursor(Qt::WaitCursor);
  Picture1->setCursor(Qt::WaitCursor);
  shell_.ColourDepth = depth();
  if (shell_.ColourDepth < 16) Get<CheckBox>("Check13")->setAutoFillBackground(true);
  shell_.StationFilterMask = 31;
  settings_.MoniOneAlarmOn = 1;
  settings_.InterfaceKind = 0;
  // 4.-5.
  SpeedTest();
  symbol_table_ = stations::BuildSymbolTable();
  // 6.
  map_ = MapState{};
  map_.PictureMarkerColour = {255, 255, 255};
  map_.PoiColour = {255, 224, 0};
  map_.TrackColourRecent = {255, 255, 0};
  map_.TrackColourPedestrian = {96, 255, 208};
  map_.TrackColourHours = {224, 255, 32};
  map_.TrackColourOld = {192, 255, 64};
  map_.TrackColourStamped = {208, 208, 208};
  map_.OwnTrackColour = {0, 255, 255};
  map_.StationColour = {152, 0, 184};
  map_.InternetStationColour = {200, 0, 232};
  map_.CentreMode = 1;
  Get<OptionButton>("Option1")->setChecked(false);
  Get<OptionButton>("Option2")->SetValue(true);
  shell_.ToneOn = 1;
  settings_.LanguageSetting = 11;
  const std::string l16 = Get<Label>("Label16")->Caption();
  shell_.MoniAllDisplayLevel = l16 == "WX" ? 2 : static_cast<int>(LeadingNumber(l16));
  shell_.MoniOneDisplayLevel = static_cast<int>(LeadingNumber(Get<Label>("Label17")->Caption()));
  Get<CheckBox>("Check1")->SetValue(1);
  auto* list1 = Get<ListBox>("List1");
  if (list1->ListCount() == 0) list1->AddItem("");
  map_.GkCentralMeridian = map_.OwnZoneCentralMeridian = 9.0;
  map_.GkCentralMeridianText = map_.OwnZoneMeridianText = shell::MeridianText(9.0);
  map_.OwnZoneText = NumberText(static_cast<int>((9 + 186) / 6));
  // 7.
  const char* temp_env = std::getenv("TEMP");
  SetDefaultSettings(SettingsWindow::Main, settings_, app_folder_, temp_env != nullptr ? temp_env : "");
  shell_.TxCall.clear();
  ReadSettingsFile(SettingsPath(), SettingsWindow::Main, settings_, {}, &shell_.TxCall);
  if (shell_.TxCall.empty()) shell_.TxCall = settings_.UserCall;
  // 8.
  if (shell::EndsIn499(settings_.CentreNorth) && shell::EndsIn499(settings_.CentreEast)) {
    map_.CentreMode = 0;
    Get<OptionButton>("Option2")->setChecked(false);
  }
  // 9.-10.
  shell_.RadioModeLabel = shell::RadioModeLabelFor(settings_.RadioMode, shell_.RadioModeLabel);
  int hh = 0, mm = 0;
  TimeOfDay(hh, mm);
  Get<Label>("Label15")->SetCaption(shell::ClockLabelText(hh, mm, settings_.InterfaceKind,
                                                          shell_.RadioModeLabel, shell_.GpsClockSet == 1));
  // 11.-12.
  data_folder_ = ResolveOrSame(fs::path(app_folder_) / settings_.MapSystem).string();
  Check14_MouseUp(1);
  // 13.-15.
  if (!settings_.UserCall.empty()) {
    check6->SetCaption(shell::TxBoxCaption(settings_.BeaconInterval));
    if (settings_.UserNorth != 0 && settings_.UserEast != 0 && settings_.InterfaceKind != 4) {
      check6->setEnabled(true);
    }
    shell_.OwnEchoHeader = shell::OwnEchoHeaderFor(shell_.TxCall, settings_.TxPath, settings_.TxDestination);
    shell_.InternetPollLimit = 900;
    if (shell::CallValidFor(settings_.UserCall)) shell_.CallValid = 1;
  }
  if (shell_.CallValid == 0) {
    check15->SetValue(0);
    check15->setEnabled(false);
  } else {
    check15->SetValue(settings_.IGateOn);
    check15->setEnabled(true);
  }
  if (settings_.UserCall.empty()) {
    check6->SetCaption("TX !");
    check6->setEnabled(false);
  }
  // 16.-17.
  if (!settings_.MapSystem.empty() && settings_.MapSystem[0] == 'U') {
    map_.MapZoneText = settings_.MapSystem.substr(1);
    map_.MapCentralMeridian = LeadingNumber(map_.MapZoneText) * 6 - 183;
    std::string t = NumberText(map_.MapCentralMeridian);
    while (t.size() < 3) t.insert(t.begin(), ' ');
    map_.MapMeridianText = t;
  }
  if (settings_.CentreNorth == 0 && settings_.CentreEast == 0) {
    settings_.CentreNorth = 6600;
    settings_.CentreEast = 400;
  }
  // 18.-20.
  MapDisplay().BuildMapIndex(*this);
  shell::TagInfoLines(settings_.InfoLines);
  nav_.NavigationLine.clear();
  map_.ZoomFactor = 1;
  map_.MetresPerPixel = map_.MapScale;
  // 21.-22.
  if (!isMinimized()) LayOut(true);
  RestoreMoniOneLog();
  // 23.-24. The receive path's view of the settings, then the link.
  shell_.CycleInterval = 6000;
  auto& rs = reception_.settings;
  rs.interfaceKind = static_cast<reception::InterfaceKind>(settings_.InterfaceKind);
  rs.userCall = UpperAscii(Trim(settings_.UserCall));
  rs.txCall = shell_.TxCall;
  rs.ownEchoHeader = shell_.OwnEchoHeader;
  rs.moniOneCall = settings_.MoniOneCall;
  rs.dataFolder = data_folder_;
  rs.logsOn = settings_.LogsOn == 1;
  rs.smartLog = settings_.SmartLog == 1;
  rs.mapZoneText = map_.MapZoneText;
  rs.mapCentralMeridian = map_.MapCentralMeridian;
  rs.mapFalseEasting = map_.MapFalseEasting;
  rs.moniOneAlarmOn = settings_.MoniOneAlarmOn == 1;
  rs.stationFilterMask = shell_.StationFilterMask;
  rs.alarmDistanceKm = settings_.AlarmDistanceKm;
  rs.userNorth = settings_.UserNorth;
  rs.userEast = settings_.UserEast;
  rs.toneOn = shell_.ToneOn == 1;
  RadioLink().BringUp(*this);
  // 25. The chat log exists from now on.
  {
    std::ofstream chat(reception::FindFileInFolder(reception::LogFolder(data_folder_), "_CHATLOG.TXT"),
                       std::ios::binary | std::ios::app);
  }
  // 26.
  setWindowTitle(ToQ(shell::TitleWithMarks(FromQ(windowTitle()), settings_.DigiOn, settings_.InterfaceKind,
                                           settings_.CrossMode, settings_.RadioMode, settings_.IGateOn)));
  // 27.
  if (LeadingNumber(settings_.GpsSource) > 0 && settings_.GpsSource.find("SAVE") != std::string::npos) {
    const auto nav = ResolveCaseInsensitive(WindowsPathToLinux("C:\\MAP\\" + settings_.MapSystem, app_folder_));
    std::error_code ec;
    if (nav && fs::is_directory(*nav, ec)) {
      for (fs::directory_iterator it(*nav, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) {
          nav_.NavigationRecording = 1;
          break;
        }
      }
    }
  }
  // 28.-30.
  ListPickFiles();
  Get<CheckBox>("Check16")->SetValue(1);
  // 31.
  link_.AprsIsPasscode = "0";
  if (shell_.CallValid == 1) link_.AprsIsPasscode = links::ComputeAprsIsPasscode(settings_.UserCall);
  if (link_.AprsIsPasscode == "0") {
    check15->setEnabled(false);
    settings_.IGateOn = 0;
    check15->SetValue(0);
  } else {
    check15->setEnabled(true);
    check15->SetValue(settings_.IGateOn);
  }
  // 32.-33.
  if (settings_.IonoAutoUpdate == 1) MapDisplay().RequestMagnetogramPage(*this);
  shell_.LastRawRequestHhmm = -5000;
  shell_.LastAreaRequestHhmm = 0;
  Timer1->start();
}

void Form1::ActivateTail() {
  if (settings_.AlarmDistanceKm < 1) settings_.AlarmDistanceKm = 1;
  reception_.settings.alarmDistanceKm = settings_.AlarmDistanceKm;
  ApplyLanguageTexts();
  if (shutdown_done_) return;
  Control("Label5")->show();
  DrawMap();
  if (settings_.UserNorth == 0 && settings_.UserEast == 0) {
    map_.PictureMode = 0;
    Control("Frame8")->hide();
    QWidget* frame2 = Control("Frame2");
    frame2->move(Picture1->x(), 0);
    frame2->show();
    frame2->raise();
  }
  if (Shown(Control("Frame19"))) Command65_Click();
  shell_.HfDualOn = tx_.Check2->Value() == 1 ? 1 : 0;
}

void Form1::ListPickFiles() {
  auto fill = [this](const char* combo_name, const char* folder, const char* ext, std::string& chosen,
                     std::size_t max_lines, std::vector<std::string>& lines) -> long {
    auto* combo = Get<ComboBox>(combo_name);
    for (const std::string& n : shell::ListFileNames(fs::path(data_folder_) / folder, ext, true)) {
      combo->AddItem(n);
    }
    std::vector<std::string> entries;
    for (int i = 0; i < combo->ListCount(); ++i) entries.push_back(combo->List(i));
    chosen = shell::ChooseListEntry(chosen, entries);
    combo->SetText(chosen);
    lines.assign(1, std::string());
    if (chosen.empty()) return 0;
    const fs::path file = ResolveOrSame(fs::path(data_folder_) / folder / (chosen + ext));
    for (std::string& l : shell::ReadLines(file, max_lines)) lines.push_back(std::move(l));
    return static_cast<long>(lines.size() - 1);
  };
  panels_.TrackLineCount = fill("Combo1", "TRK", ".TRK", settings_.TrackFileName, 999999, panels_.TrackLines);
  panels_.PoiCount = static_cast<int>(fill("Combo2", "POI", ".POI", settings_.PoiFileName, 30000, panels_.PoiLines));
  auto* combo9 = Get<ComboBox>("Combo9");
  for (const std::string& n : shell::ListFileNames(fs::path(data_folder_) / "LOG", ".TXT", false, "_")) {
    combo9->AddItem(n);
  }
}

void Form1::RestoreMoniOneLog() {
  panels_.MoniOneLogCall = settings_.MoniOneCall;
  const fs::path path = reception::MoniOneLogPath(data_folder_, panels_.MoniOneLogCall);
  panels_.MoniOneLogPath = path.string();
  const shell::MoniOneRestore r = shell::RestoreMoniOneLog(path);
  for (auto& slot : reception_.moniOneTrack) slot = reception::BlankRecord();
  reception_.moniOneCount = 0;
  for (const std::string& rec : r.records) reception_.moniOneTrack[++reception_.moniOneCount] = rec;
  panels_.MoniOne = r.newest;
  shell::ApplyMoniOneCentre(settings_.CentreNorth, settings_.CentreEast, panels_.MoniOne.north,
                            panels_.MoniOne.east);
  auto& n = reception_.moniOneNewest;
  n.date = r.newest.date;
  n.time = r.newest.time;
  n.north = panels_.MoniOne.north;
  n.east = panels_.MoniOne.east;
  n.via = r.newest.via;
  n.comment = r.newest.comment;
  n.symbol = r.newest.symbol;
  n.symbolName = r.newest.symbolName;
}

void Form1::Check14_MouseUp(int button) {
  if (button != 1) return;
  Control("Frame10")->hide();
  if (map_.MapDrawnOnce == 1) DrawMap();
}

void Form1::Check16_Click() {
  auto* check16 = Get<CheckBox>("Check16");
  if (check16->Value() == 1) {
    // The receive path answers messages by this switch.
    reception_.settings.autoAnswerOn = settings_.InterfaceKind != 4;
    if (shell_.CallValid == 0) {
      Get<CheckBox>("Check8")->SetValue(1);
      Get<CheckBox>("Check8")->setEnabled(false);
      check16->setEnabled(false);
      check16->hide();
      Control("Text2")->setEnabled(false);
    }
  } else {
    reception_.settings.autoAnswerOn = false;
  }
  ApplyLanguageTexts();
}

void Form1::fr4Text2_Change() {
  const std::string text = tx_.fr4Text2->Text();
  const std::string want = TxTimerBoxText(text);
  if (want != text) tx_.fr4Text2->SetText(want);
}

void Form1::fr4Text10_Change() {
  // The symbol preview of the TX setup panel is redrawn here once the panel draws it.
}

// ---------------------------------------------------------------------------
// Texts

void Form1::ApplyLanguageTexts() {
  QCoreApplication::processEvents();
  const int lang = settings_.LanguageSetting;
  if (const int cl = shell::CaptionLanguage(lang); cl != 0) {
    for (const auto& [name, text] : shell::Captions(cl)) {
      QWidget* w = Control(name);
      if (auto* l = qobject_cast<Label*>(w)) l->SetCaption(text);
      else if (auto* b = qobject_cast<CommandButton*>(w)) b->SetCaption(text);
      else if (auto* c = qobject_cast<CheckBox*>(w)) c->SetCaption(text);
      else if (auto* fr = qobject_cast<Frame*>(w)) fr->SetCaption(text);
    }
  }
  switch (shell::TooltipActionFor(lang)) {
    case shell::TooltipAction::Clear:
      for (const std::string& name : shell::TooltipTargets()) {
        if (QWidget* w = Control(name)) w->setToolTip(QString());
      }
      break;
    case shell::TooltipAction::Fill: {
      shell::TextState st;
      st.alarmDistanceKm = settings_.AlarmDistanceKm;
      st.interfaceKind = settings_.InterfaceKind;
      st.radioMode = settings_.RadioMode;
      st.mapBaseFolder = map_.MapBaseFolder;
      st.mapZoneText = map_.MapZoneText;
      st.check16Value = Get<CheckBox>("Check16")->Value();
      st.label19Caption = Get<Label>("Label19")->Caption();
      for (int i = 0; i < 6; ++i) st.comboTexts[i] = Get<ComboBox>(kScaleCombos[i])->Text();
      for (const auto& [name, text] : shell::Tooltips(lang - 10, st)) {
        if (QWidget* w = Control(name)) w->setToolTip(ToQ(text));
      }
      break;
    }
    case shell::TooltipAction::Keep:
      break;
  }
  for (const auto& [target, source] : shell::DerivedTooltips()) {
    QWidget* t = Control(target);
    QWidget* s = Control(source);
    if (t != nullptr && s != nullptr) t->setToolTip(s->toolTip());
  }
}

// ---------------------------------------------------------------------------
// Layout and keys

void Form1::LayOut(bool startup) {
  shell::LayoutIn in;
  in.W = width();
  in.H = height();
  in.outerWidthPx = frameGeometry().width();
  in.tppX = shell_.TwipsPerPixelX;
  in.tppY = shell_.TwipsPerPixelY;
  in.picture1Left = Picture1->x();
  QWidget* combo8 = Control("Combo8");
  in.combo8Right = combo8->x() + combo8->width();
  in.label5Height = Control("Label5")->height();
  in.list1Height = Control("List1")->height();
  in.frame1Height = Control("Frame1")->height();
  in.frame1Width = Control("Frame1")->width();
  in.command57Top = Control("Command57")->y();
  in.frame15Height = Control("Frame15")->height();
  in.frame15Width = Control("Frame15")->width();
  in.frame3Height = Control("Frame3")->height();
  in.text3Left = Control("Text3")->x();
  in.check16Caption = Get<CheckBox>("Check16")->Caption();
  in.check16Width = Control("Check16")->width();
  in.frame14Height = Control("Frame14")->height();
  const shell::LayoutOut o = shell::LayoutRules(in, startup);

  map_.MapHeightPx = o.mapHeightPx;
  map_.MapWidthPx = o.mapWidthPx;
  const int mw = std::max(0, static_cast<int>(o.mapWidthPx));
  const int mh = std::max(0, static_cast<int>(o.mapHeightPx));
  for (QWidget* pic : {Picture1, Picture3}) {
    pic->resize(pic->width(), mh);
    pic->resize(mw, mh);
    if (o.picture1LeftSet) pic->move(o.picture1Left, pic->y());
  }
  if (startup) Control("Text10")->move(Picture1->x(), Picture1->y());
  auto move_top = [this](const char* name, int top) { Control(name)->move(Control(name)->x(), top); };
  move_top("Label5", o.label5Top);
  Control("Frame16")->move(o.frame16Left, o.frame16Top);
  QWidget* list1 = Control("List1");
  list1->setGeometry(list1->x(), o.list1Top, o.list1Width, list1->height());
  Control("Frame1")->move(o.frame1Left, o.frame1Top);
  for (const char* n : {"Command57", "Command58", "Command59", "Command65", "Label22", "Line4"}) {
    SetVisible(Control(n), o.specialsVisible);
  }
  Control("Frame15")->move(o.frame15Left, o.frame15Top);
  QWidget* frame3 = Control("Frame3");
  frame3->setGeometry(o.frame3Left, o.frame3Top, o.frame3Width, frame3->height());
  Control("Check8")->move(o.check8Left, Control("Check8")->y());
  Control("Command27")->move(o.command27Left, Control("Command27")->y());
  QWidget* text3 = Control("Text3");
  text3->resize(o.text3Width, text3->height());
  QWidget* check16 = Control("Check16");
  check16->resize(o.check16Width, check16->height());
  QWidget* frame7 = Control("Frame7");
  frame7->setGeometry(0, frame7->y(), o.frame7.width, std::max(0, o.frame7.height));
  Control("Text5")->resize(std::max(0, o.text5Width), std::max(0, o.text5Height));
  Control("Command28")->move(o.command28Left, Control("Command28")->y());
  Control("Frame14")->move(o.frame14Left, o.frame14Top);
  Control("Frame8")->setGeometry(o.frame8.left, o.frame8.top, std::max(0, o.frame8.width),
                                 std::max(0, o.frame8.height));
  WebBrowser2->resize(o.webBrowser2Width, o.webBrowser2Height);
  Control("Frame16")->raise();
}

void Form1::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Form_Resize();
}

void Form1::Form_Resize() {
  static thread_local int depth = 0;
  if (depth > 0) return;  // a size set below raises the event again
  ++depth;
  TakeTwipsPerPixel();
  const int tx = shell_.TwipsPerPixelX, ty = shell_.TwipsPerPixelY;
  const bool normal = !isMinimized() && !isMaximized() && !isFullScreen();
  if (normal) {
    QRect g = frameGeometry();
    const int extra_w = g.width() - width(), extra_h = g.height() - height();
    int outer_w = g.width(), outer_h = g.height();
    if (outer_w * tx < shell::kMinOuterWidthTwips) outer_w = (shell::kMinOuterWidthTwips + tx - 1) / tx;
    if (outer_h * ty < shell::kMinOuterHeightTwips) outer_h = (shell::kMinOuterHeightTwips + ty - 1) / ty;
    int left = g.x(), top = g.y();
    if (shell_.WindowPlaced == 0) {
      if (settings_.WindowsVersion == "WIN10") {
        left = 100;
        top = 80;
        outer_w = 654;
        outer_h = 487;
      } else {
        const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
        if (s != nullptr) outer_h = s->geometry().height();
        top = 0;
      }
      shell_.WindowPlaced = 1;
    }
    if (outer_w != g.width() || outer_h != g.height()) resize(outer_w - extra_w, outer_h - extra_h);
    if (left != g.x() || top != g.y()) move(left, top);
  }
  if (!isMinimized()) {
    LayOut(false);
    if (map_.MapDrawnOnce == 1) DrawMap();
  }
  if (Shown(Control("Frame19"))) Command65_Click();
  --depth;
}

bool Form1::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F10) {
      Form_KeyDown(112 + (key - Qt::Key_F1));
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

void Form1::Form_KeyDown(int key_code) {
  if (key_code == 113) {
    Command65_Click();
  } else if (key_code >= 112 && key_code <= 121) {
    MapDisplay().FunctionKey(*this, key_code);
  }
}

void Form1::Command65_Click() {
  Timer1->stop();
  Timer2->stop();
  QWidget* frame19 = Control("Frame19");
  frame19->move(0, 0);
  Get<TextBox>("Text19")->SetText("");
  Get<TextArea>("Text20")->SetText("");
  frame19->show();
  frame19->raise();
  Control("Text19")->setFocus();
}

void Form1::DrawMap() { MapDisplay().DrawMap(*this); }

void Form1::ArmPause(int interval_ms) { links::ArmPause(*Timer1, *Timer2, interval_ms); }

void Form1::Timer2_Timer() {
  links::Timer2Fired(*Timer1, *Timer2, Control("Text10"), Get<CheckBox>("Check22"));
}

void Form1::WriteSettingsFile() {
  std::string existing;
  ReadWholeFile(SettingsPath(), existing);
  if (!WriteFileAtomically(SettingsPath(), MainSettingsText(existing, settings_))) {
    MsgBox("CANNOT WRITE " + SettingsPath() + " !", "ZEBLON  SETTINGS", MsgButtons::Ok, MsgIcon::Exclamation);
  }
  Timer1->start();
}

// ---------------------------------------------------------------------------
// Shutdown

void Form1::CloseByUser() {
  user_close_ = true;
  close();
  user_close_ = false;
}

void Form1::closeEvent(QCloseEvent* e) {
  const int mode = (user_close_ || e->spontaneous()) ? 0 : 1;
  if (in_startup_ || activating_) {
    // A close while the window starts up waits for the start-up's end (the handlers
    // that let events run would otherwise go on working on a closed window).
    if (mode == 0) close_pending_ = true;
    e->ignore();
    return;
  }
  if (!shutdown_done_) Form_QueryUnload(mode);
  e->accept();
}

void Form1::Form_QueryUnload(int unload_mode) {
  // 1.-2.
  Timer2->stop();
  Timer1->stop();
  if (unload_mode != 0) return;
  shutdown_done_ = true;
  // 3.-6. The sound device has nothing open between alarms; the link is closed.
  RadioLink().Close(*this);
  QCoreApplication::processEvents();
  PauseWithEvents(0.2f);
  QCoreApplication::processEvents();
  if (settings_.InterfaceKind == 3) {
    RadioLink().Disconnect(*this);
    QCoreApplication::processEvents();
    PauseWithEvents(0.2f);
  }
  // 7.
  if (Get<CheckBox>("Check22")->Value() == 1) PauseWithEvents(0.3f);
  if (Shown(Control("Frame8"))) PauseWithEvents(0.3f);
  // 8.
  if (nav_.NavigationActive == 1 && nav_.NavigationRecording == 1) {
    const fs::path folder = ResolveOrSame(WindowsPathToLinux("C:\\MAP\\" + settings_.MapSystem, app_folder_));
    std::error_code ec;
    fs::create_directories(folder, ec);
    shell::WriteNavigationFiles(folder, nav_.NavigationRecord, nav_.NavigationLine, nav_.GpsNorthText,
                                nav_.GpsEastText);
  }
  // 9.-11.
  PatchSettingsAtShutdown();
  DrainAndClosePorts();
  own_temp_files_.DeleteAll();
}

void Form1::PatchSettingsAtShutdown() {
  std::array<std::string*, 6> fields = {&settings_.MapFolderM5000, &settings_.MapFolderM1000,
                                        &settings_.MapFolderM0200, &settings_.MapFolderM0050,
                                        &settings_.MapFolderM0010, &settings_.MapFolderM0002};
  std::array<std::string, 6> folders;
  for (int i = 0; i < 6; ++i) {
    folders[i] = shell::MapFolderFromCombo(Get<ComboBox>(kScaleCombos[i])->Text());
    *fields[i] = folders[i];
  }
  const auto entries = shell::ShutdownPatchEntries(folders, settings_.CentreNorth, settings_.CentreEast,
                                                   settings_.UserNorth, settings_.UserEast);
  const fs::path path = SettingsPath();
  std::error_code ec;
  bool ok = true;
  if (!fs::exists(path, ec)) {
    // The file went away while the program ran: the main window's own copy of the
    // settings is written anew, so nothing is lost; the patch then adds its keys.
    ok = WriteFileAtomically(path, MainSettingsText({}, settings_));
  }
  ok = ok && PatchSettingsFile(path, entries, true);
  if (!ok) {
    MsgBox("CANNOT WRITE " + path.string() + " !", "ZEBLON  SETTINGS", MsgButtons::Ok, MsgIcon::Exclamation);
  }
}

void Form1::DrainAndClosePorts() {
  // Bounded: a port whose line is stuck (flow control held) gives up after two seconds.
  for (SerialPort* port : {&link_.MSComm1, &link_.MSComm2}) {
    if (port->IsOpen()) {
      port->Drain(2000);
      port->Close();
    }
  }
}

}  // namespace zeblon

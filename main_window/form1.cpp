#include "main_window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTime>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "geodesy/text.h"
#include "links/navigation_files.h"
#include "links/pause_timer.h"
#include "links/start_values.h"
#include "links/tx_setup.h"
#include "map/map_service.h"
#include "panels/pick_lists.h"
#include "main_window/texts.h"
#include "map/readouts.h"
#include "map/moni_one_centre.h"
#include "platform/control_texts.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/qtext.h"
#include "platform/wait.h"
#include "reception/store_limits.h"
#include "settings/interface_kind.h"
#include "settings/text_files.h"

namespace zeblon {

namespace fs = std::filesystem;
using namespace platform;

namespace {

bool Shown(const QWidget* w) { return w != nullptr && !w->isHidden(); }

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setObjectName("Form1");
  setWindowTitle("ZEBLON");
  setFocusPolicy(Qt::StrongFocus);
  resize(1024, 740);
  app_folder_ = ProgramFolder().string();
  TimeOfDay = [](int& h, int& m) {
    const QTime t = QTime::currentTime();
    h = t.hour();
    m = t.minute();
  };
  OpenDocument = [](const std::string& path) { return OpenWithShell(path); };
  Beep = [] { QApplication::beep(); };
  BuildControls();
  WireControls();
  // The settings keep the map's centre and the user's position for the file and the links.
  map_core_->OnViewChanged([this](const map::MapState& m) {
    settings_.CentreNorth = m.CentreNorth;
    settings_.CentreEast = m.CentreEast;
    settings_.UserNorth = m.UserNorth;
    settings_.UserEast = m.UserEast;
  });
  SetMapDisplay(std::make_unique<map::MapService>(*map_core_, *map_widget_));
  AttachRadioLink();
  AttachStationPasses();
  qApp->installEventFilter(this);
}

Form1::~Form1() { cycle_->StopAll(); }

void Form1::BuildControls() {
  QWidget* f = this;
  // --- The map and what lies over it.
  map_widget_ = new map::MapWidget(*map_core_, f);
  Place(map_widget_, 200, 0, 824, 720);
  Picture1 = map_widget_;
  Picture1->setObjectName("Picture1");
  Picture1->setAlignment(Qt::AlignCenter);
  Picture1->setAutoFillBackground(true);
  Picture1->setFocusPolicy(Qt::StrongFocus);
  Picture3 = Add<QLabel>(f, {200, 0, 824, 720});
  Picture3->setObjectName("Picture3");
  Picture3->hide();
  Text10 = Add<TextBox>(f, {200, 0, 330, 20}, "Text10");
  Text10->setText("COLLECTING INTERNET DATA (MONI ALL) ...");
  Text10->hide();
  WebBrowser1 = new QWidget(f);
  WebBrowser1->setObjectName("WebBrowser1");
  WebBrowser1->hide();
  Place(WebBrowser1, 5000, 30, 400, 600);

  column_ = std::make_unique<panels::ControlColumn>(f);

  inks_ = std::make_unique<panels::InkPalette>(f);

  // --- Along the bottom.
  Label5 = Add<Label>(f, {0, 723, 1024, 17}, "Label5");
  scales_ = new panels::ScaleBar(f);
  List1 = Add<ListBox>(f, {200, 600, 824, 120}, "List1");
  List1->hide();

  // --- The frames.
  info_ = new panels::InfoPanel(f);
  wx_ = new panels::WxStationPanel(f);
  alarm_distance_ = new panels::AlarmDistancePanel(f);
  distance_alarm_ = new panels::DistanceAlarmPanel(f);
  chat_ = new panels::ChatFrame(f);
  saved_ = new panels::SavedMessagesPanel(f);
  emergency_ = new panels::EmergencyPanel(f);
  viewer_ = new panels::PictureViewer(Picture1);
  terminal_ = new panels::TerminalPanel(f);
  qth_ = new panels::QthSetupPanel(f);
  object_ = new panels::ObjectSetupPanel(f);
  poi_ = new panels::PoiEditor(f);
  iono_ = new panels::IonoPanel(f);
  trk_ = new panels::TrkPanel(f);
  tx_ = new panels::TxSetupPanel(f, app_folder_);

  // Timers: the main cycle and the one-shot pause.
  cycle_ = new links::MainCycle(this);
  Timer1 = cycle_->Timer1();
  Timer2 = cycle_->Timer2();
  // The watchdog of the web poll leaves a chat message's web send alone.
  links::PauseNotice notice;
  notice.shown = [this] { return !Text10->isHidden(); };
  notice.endInternetSupport = [this] {
    column_->Check22->SetValue(0);
    Text10->hide();
  };
  cycle_->ConnectPause(std::move(notice),
                       [this] { return chat_service_ != nullptr && chat_service_->WebSendNoticeShown(); });

  // The links' news are notes in the RAW list (an unverified APRS-IS login also
  // opens a box that is not modal: links/radio_link.cpp).
  LinkNotice = [this](const std::string& text) {
    reception::AddToMonitorLines(reception_.monitorLines, "*** " + text + "\r\n");
  };
}

// The window's side of the MONI 1 read-out frames' port (panels/moni_one_frames.h).
class Form1::MoniOneFramesWindow : public MoniOneFramesPort {
 public:
  explicit MoniOneFramesWindow(Form1& f) : f_(f) {}

  int TwipsPerPixelX() const override { return f_.shell_.TwipsPerPixelX; }
  std::string MoniOneCall() const override { return f_.settings_.MoniOneCall; }

 private:
  Form1& f_;
};

// The window's side of the station controls' port (panels/station_controls.h).
class Form1::StationWindow : public StationControlsPort {
 public:
  explicit StationWindow(Form1& f) : f_(f) {}

  void SwitchesChanged(const stations::StationSwitches& s) override {
    // The stored switch changes only when the alarm itself does (a stored 2 stays).
    if (s.MoniOneAlarmOn() != (f_.settings_.MoniOneAlarmOn == 1))
      f_.settings_.MoniOneAlarmOn = s.MoniOneAlarmOn() ? 1 : 0;
    f_.reception_.settings.stationFilterMask = s.FilterMask();
    f_.reception_.settings.moniAllDisplayLevel = s.Level();
    f_.reception_.settings.moniAllAlarmOn = s.MoniAllAlarmOn();
    f_.reception_.settings.moniOneAlarmOn = s.MoniOneAlarmOn();
  }
  void WriteSettings() override { f_.WriteSettingsFile(); }
  void AlarmDistanceSetup() override {
    f_.cycle_->StopAll();
    f_.alarm_distance_->Open(f_.Picture1->x(), f_.settings_.AlarmDistanceKm);
  }

 private:
  Form1& f_;
};

void Form1::WireControls() {
  panels::ControlColumn& c = *column_;
  chat_->Check16->OnClick = [this] {
    // The receive path answers messages by this switch.
    if (!chat_service_->SwitchAutoAnswer()) return;
    UpdateReceptionSettings();
    ApplyLanguageTexts();
  };
  c.Combo1->OnChange = [this] { ArmPause(4000); };
  c.Combo2->OnChange = [this] { ArmPause(4000); };
  c.Check5->OnClick = [this] {
    const int r = settings_.LanguageSetting % 10;
    settings_.LanguageSetting = column_->Check5->Value() == 1 ? r + 10 : r;
    FocusMapWhenActive();
    ApplyLanguageTexts();
  };
  c.Command57->OnClick = [this] { Form_KeyDown(112); };
  c.Command65->OnClick = [this] { OpenTerminal(); };
  c.Command59->OnClick = [this] { Form_KeyDown(114); };
  // The globe button (Command58) acts on its press, in the map tools: a click hands the map over once.
  BuildTxControls();  // GPS, TX, terminal and RAW list: form1_tx.cpp

  // The main cycle: the window's steps; the links fill their own (AttachRadioLink, WireInternet).
  WireCycleTick();  // the main cycle's steps: form1_tick.cpp
  if (!moni_one_frames_window_) moni_one_frames_window_ = std::make_unique<MoniOneFramesWindow>(*this);
  moni_one_frames_ = std::make_unique<MoniOneFrames>(c, *moni_one_frames_window_);
  moni_one_readouts_ = std::make_unique<panels::MoniOneReadoutLabels>(c, reception_);
  WireMoniOneSelect();

  WireInternet();  // internet switches, web polls, IONO DATA: form1_internet.cpp
  WireEmergency();
  WireObject();
  WireInfoPanel();  // the station INFO panel: form1_info.cpp
  WireChat();       // CHAT, SAVED MESSAGES, the message queue and its sending: form1_chat.cpp

  // Station filters, display levels and distance alarms.
  alarm_distance_->OnOk = [this](int km) {
    settings_.AlarmDistanceKm = km;
    reception_.settings.alarmDistanceKm = km;
    ApplyLanguageTexts();  // the alarm boxes' tooltips carry the distance
    WriteSettingsFile();
    cycle_->Start();
    FocusMapWhenActive();
  };
  if (!station_window_) station_window_ = std::make_unique<StationWindow>(*this);
  station_controls_ =
      std::make_unique<StationControls>(c, *map_core_, static_cast<panels::MapActions&>(*this), *station_window_);
}

void Form1::RunCycleTick() {
  links::TickInputs in;
  in.interfaceKind = settings_.InterfaceKind;
  in.now = ComputerClockNow();
  in.userCall = settings_.UserCall;
  in.aprsIsVerified = RadioLink().State().AprsIs->Verified();
  in.digiOn = settings_.DigiOn == 1;
  in.beaconIntervalMinutes = settings_.BeaconInterval;
  in.txOn = column_->Check6->Value() == 1;
  in.objectBoxOn = column_->Check18->Value() == 1;
  in.objectBeaconOn = object_setup_->ObjectBeaconOn() == 1;
  in.chatOn = column_->Check7->Value() == 1;
  in.messageWaiting = chat_service_->MessageWaiting();
  in.pictureMode = PictureViewerShown();
  in.gpsSource = settings_.GpsSource;
  RunTick(in);
}

void Form1::ShowWaitCursor(bool on) {
  if (on) {
    setCursor(Qt::WaitCursor);
    Picture1->setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
    Picture1->unsetCursor();
  }
}

void Form1::UpdateClockLabel() {
  int hh = 0, mm = 0;
  TimeOfDay(hh, mm);
  column_->ShowClock(hh, mm, settings_.InterfaceKind, tx_setup_->Identity().RadioModeLabel(), gps_.GpsTimeValid == 1);
}

void Form1::RefillMonitorList() {
  const reception::MonitorLines& m = reception_.monitorLines;
  List1->Clear();
  for (int i = 0; i <= m.count && i < static_cast<int>(m.lines.size()); ++i) List1->AddItem(m.lines[i]);
  List1->SetListIndex(List1->ListCount() - 1);
}

void Form1::AttachStationPasses() {
  // The heard stations in every redraw: MONI ALL after the tile frames, MONI 1 on top.
  station_passes_ = std::make_unique<stations::StationPasses>(
      reception_, app_folder_, [] { return ComputerClockNow(); },
      [this] { return station_controls_->DrawSettings(shell_.ColourDepth); });
  station_passes_->onMoniOneReadouts = [this](const stations::MoniOneReadouts& r) { moni_one_readouts_->Show(r); };
  // The wait pointer over the window while a pass draws (the map picture has it for the whole drawing).
  station_passes_->busy = [this](bool on) {
    if (on)
      setCursor(Qt::WaitCursor);
    else
      unsetCursor();
  };
  station_passes_->Attach(*map_core_);
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
  if (e->type() == QEvent::ActivationChange && isActiveWindow() && map_core_->state().MapDrawnOnce == 1 &&
      !activating_ && !activate_queued_) {
    Form_Activate();
  }
}

void Form1::Form_Activate() {
  if (activating_ || shutdown_done_) return;
  activating_ = true;
  ActivateHead();
  if (map_core_->state().MapDrawnOnce != 1) {
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
  const TwipsPerPixel tpp = ScreenTwipsPerPixel(*this);
  shell_.TwipsPerPixelX = tpp.x;
  shell_.TwipsPerPixelY = tpp.y;
}

void Form1::ActivateHead() {
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  TakeTwipsPerPixel();
  column_->ScaleForTwips(shell_.TwipsPerPixelY);
  chat_->ScaleForTwips(shell_.TwipsPerPixelX);
  show();
  update();
  app_folder_ = ProgramFolder().string();
}

void Form1::SpeedTest() {
  const std::function<double()> clock = SpeedTestClock ? SpeedTestClock : [] { return WaitClockNow(); };
  const reception::StoreLimits limits = reception::StoreLimitsFromSpeedTest(clock);
  moni_all_limit_ = limits.moniAll;
  reception_.settings.moniAllLimit = limits.moniAll;
  reception_.settings.moniOneTrackLimit = limits.moniOneTrack;
}

void Form1::UpdateReceptionSettings() {
  reception::ReceptionInputs in;
  in.txCall = tx_setup_->Identity().TxCall();
  in.ownEchoHeader = tx_setup_->Identity().OwnEchoHeader();
  in.dataFolder = data_folder_;
  const map::MapState& m = map_core_->state();
  in.mapZoneText = m.MapZoneText;
  in.mapCentralMeridian = m.MapCentralMeridian;
  in.mapFalseEasting = m.MapFalseEasting;
  in.stationFilterMask = station_controls_->Switches().FilterMask();
  in.toneOn = column_->Check1->Value() == 1;  // the tone box
  in.moniAllLimit = moni_all_limit_;
  in.autoAnswerOn = chat_service_->Answer().on;
  in.autoAnswerText = chat_service_->AnswerTextSent();
  reception_.settings = reception::ReceptionSettingsFrom(settings_, in);
}

void Form1::FullStartUp() {
  // The wait cursor, the colour depth and the fixed first values.
  setCursor(Qt::WaitCursor);
  Picture1->setCursor(Qt::WaitCursor);
  shell_.ColourDepth = depth();
  if (shell_.ColourDepth < 16) column_->Check13->setAutoFillBackground(true);
  settings_.MoniOneAlarmOn = 1;
  settings_.InterfaceKind = ModemNumber(InterfaceKind::AgwLocal);
  // The store limits from the speed test.
  SpeedTest();
  // The map follows MONI 1; the controls' first values.
  map_core_->SetCentreMode(1);
  column_->Option1->setChecked(false);
  column_->Option2->SetValue(true);
  settings_.LanguageSetting = 11;
  column_->Check1->SetValue(1);
  auto* list1 = List1;
  if (list1->ListCount() == 0) list1->AddItem("");
  // The settings: the defaults, then the file.
  const char* temp_env = std::getenv("TEMP");
  SetDefaultSettings(SettingsWindow::Main, settings_, app_folder_, temp_env != nullptr ? temp_env : "");
  std::string file_tx_call;
  // The MONI 1 km ALARM box and the alarm take DISA as soon as its line is read.
  ReadSettingsFile(
      SettingsPath(), SettingsWindow::Main, settings_,
      [this](std::string_view key) {
        if (key == "DISA") station_controls_->ShowStoredMoniOneAlarm(settings_.MoniOneAlarmOn);
      },
      &file_tx_call);
  // What the settings alone decide (links/start_values.h), applied in the order below.
  const links::StartValues start = links::StartValuesFrom(settings_, file_tx_call);
  // The own call, the radio mode's label, the echo header and the call's validity.
  tx_setup_->TakeStartValues(start);
  if (start.centringOff) {
    map_core_->SetCentreMode(0);
    column_->Option2->setChecked(false);
  }
  // The clock label with the radio mode.
  UpdateClockLabel();
  // The data folder of the map system, and the MONI 1 box.
  data_folder_ = ResolveOrSame(fs::path(app_folder_) / settings_.MapSystem).string();
  CloseTrkPanel(1);
  // The TX and IGATE boxes by the own call and position.
  column_->ShowTxBox(start);
  if (start.userCall) shell_.InternetPollLimit = start.internetPollLimit;
  column_->ShowIGateBox(tx_setup_->Identity().CallValid(), settings_.IGateOn);
  // The UTM zone of the map system; a centre of 0/0 takes a default.
  if (!settings_.MapSystem.empty() && settings_.MapSystem[0] == 'U') {
    map_core_->SetMapZone(settings_.MapSystem.substr(1));
  }
  settings_.CentreNorth = start.centreNorth;
  settings_.CentreEast = start.centreEast;
  // From here on the map keeps the centre and the user's position; the settings
  // follow it (OnViewChanged).
  const double user_north = settings_.UserNorth, user_east = settings_.UserEast;
  map_core_->SetCentre(settings_.CentreNorth, settings_.CentreEast);
  map_core_->SetUserPosition(user_north, user_east);
  // The map index, the info lines' tags, no navigation line, zoom 1.
  MapDisplay().BuildMapIndex();
  links::TagInfoLines(settings_.InfoLines);
  nav_.NavigationLine.clear();
  map_core_->SetScale(map_core_->state().MapScale);
  // The layout, then the MONI 1 track from its log.
  if (!isMinimized()) LayOut(true);
  map::RestoreMoniOneLog(reception_.stations, *map_core_, data_folder_, settings_.MoniOneCall);
  // The receive path's view of the settings, then the link.
  shell_.CycleInterval = 6000;
  UpdateReceptionSettings();
  RadioLink().BringUp();
  // The boxes the interface kind and the own call allow.
  const InterfaceKind kind = InterfaceKindOf(settings_.InterfaceKind);
  column_->ApplyInterface(kind);
  chat_->ApplyInterface(kind, tx_setup_->Identity().CallValid());
  tx_->ShowScsModes(kind);
  // The chat log exists from now on.
  {
    std::ofstream chat(reception::FindFileInFolder(reception::LogFolder(data_folder_), "_CHATLOG.TXT"),
                       std::ios::binary | std::ios::app);
  }
  // The title's digipeater and IGate marks (the IGate only for a call that may gate).
  setWindowTitle(
      ToQ(links::TitleWithMarks(FromQ(windowTitle()), settings_.DigiOn, settings_.InterfaceKind, settings_.CrossMode,
                                settings_.RadioMode, start.IGateAllowed() ? settings_.IGateOn : 0)));
  // A GPS source with SAVE records the route when the navigation folder holds files.
  if (links::NavigationRecordingWanted(settings_.GpsSource, settings_.MapSystem, app_folder_)) {
    nav_.NavigationRecording = 1;
  }
  // The pick lists; auto answer on.
  panels::ListPickFiles(*column_, data_folder_, settings_, user_files_);
  moni_one_select_->ListMoniOneLogs();
  chat_->Check16->SetValue(1);
  // The APRS-IS passcode of a valid call; without one no IGate: the box is off and
  // disabled, and the stored choice stays in the settings for a valid call.
  RadioLink().TakeAprsIsPasscode(start.aprsIsPasscode);
  column_->ShowIGateBox(start.IGateAllowed(), settings_.IGateOn);
  // The saved ionosphere figures and the internet switches, then the cycle.
  internet_boxes_->StartUp(settings_.SunspotNumber, settings_.KIndex, settings_.IonoAutoUpdate == 1);
  cycle_->Start();
}

void Form1::ActivateTail() {
  if (settings_.AlarmDistanceKm < 1) settings_.AlarmDistanceKm = 1;
  UpdateReceptionSettings();
  ApplyLanguageTexts();
  if (shutdown_done_) return;
  Label5->show();
  DrawMap();
  if (settings_.UserNorth == 0 && settings_.UserEast == 0) {
    ClosePictureViewer();
    qth_->move(Picture1->x(), 0);
    qth_->show();
    qth_->raise();
  }
  if (Shown(terminal_)) OpenTerminal();
  tx_setup_->TakeHfDualBox();
}

void Form1::CloseTrkPanel(int button) {
  if (button != 1) return;
  trk_->hide();
  if (map_core_->state().MapDrawnOnce == 1) DrawMap();
}

// ---------------------------------------------------------------------------
// Texts

void Form1::SetLanguage(int language_setting) {
  settings_.LanguageSetting = language_setting;
  ApplyLanguageTexts();
}

void Form1::ApplyLanguageTexts() {
  QCoreApplication::processEvents();
  const int lang = settings_.LanguageSetting;
  if (const int cl = shell::CaptionLanguage(lang); cl != 0) {
    platform::SetMessageLanguage(cl);  // the message boxes' own buttons
    SetCaptions(*this, shell::Captions(cl));
  }
  switch (shell::TooltipActionFor(lang)) {
    case shell::TooltipAction::Clear: ClearToolTips(*this, shell::TooltipTargets()); break;
    case shell::TooltipAction::Fill: {
      shell::TextState st;
      st.alarmDistanceKm = settings_.AlarmDistanceKm;
      st.interfaceKind = settings_.InterfaceKind;
      st.radioMode = settings_.RadioMode;
      st.mapBaseFolder = map_core_->state().MapBaseFolder;
      st.mapZoneText = map_core_->state().MapZoneText;
      st.check16Value = chat_->Check16->Value();
      st.label19Caption = info_->Label19->Caption();
      for (int i = 0; i < 6; ++i) st.comboTexts[i] = scales_->combos[i]->Text();
      SetToolTips(*this, shell::Tooltips(lang - 10, st));
      break;
    }
    case shell::TooltipAction::Keep: break;
  }
  CopyToolTips(*this, shell::DerivedTooltips());
}

// ---------------------------------------------------------------------------
// Layout and keys

bool Form1::eventFilter(QObject* watched, QEvent* e) {
  if (moni_one_select_ && moni_one_select_->ComboEvent(watched, e)) return true;
  if (const int key_code = FunctionKeyPressedIn(*this, watched, e); key_code != 0) {
    Form_KeyDown(key_code);
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

void Form1::Form_KeyDown(int key_code) {
  if (key_code == 113) {
    OpenTerminal();
  } else if (key_code >= 112 && key_code <= 121) {
    MapDisplay().FunctionKey(key_code);
  }
}

void Form1::OpenTerminal() {
  cycle_->StopAll();
  terminal_->move(0, 0);
  terminal_io_->Open();
}

void Form1::FollowMoniOneStation() {
  if (gps_.GpsFixMoved != 0) return;
  map_core_->SetCentreMode(1);
  column_->Option2->setChecked(true);  // Option1 clears with it
  column_->Option1->setChecked(false);
}

void Form1::AfterQuietPass() {
  const links::QuietPassEnd end =
      links::QuietPassEndFor(gps_.GpsFixMoved, gps_.GpsFixMovedBefore, isActiveWindow(), shell_.ColourDepth);
  if (end.redraw) DrawMap();
  // Typing in a text box keeps its focus.
  if (end.focusMap && !map::TypingInTextBox()) Picture1->setFocus();
}

void Form1::WriteSettingsFile() {
  std::string existing;
  ReadWholeFile(SettingsPath(), existing);
  if (!WriteFileAtomically(SettingsPath(), MainSettingsText(existing, settings_))) {
    // Also written by the ionosphere page's answer while nobody watches: a box
    // that lets the cycle go on.
    ShowNote("CANNOT WRITE " + SettingsPath() + " !", "ZEBLON  SETTINGS", MsgIcon::Exclamation, this);
  }
  cycle_->Start();
}

}  // namespace zeblon

// The main window: its controls, its state grouped by subsystem, and the shell's
// life cycle (start-up, MONI 1 log restore, layout, function keys, texts, shutdown).
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "links/aprs_is.h"
#include "main_window/services.h"
#include "main_window/shell_logic.h"
#include "platform/controls.h"
#include "platform/serial_port.h"
#include "reception/reception_state.h"
#include "start_window/settings.h"
#include "stations/symbol_table.h"

namespace zeblon {

// The TX setup panel of the main window (the start window fills it before START).
struct MainTxSetupPanel {
  platform::Frame* Frame = nullptr;
  platform::TextBox* fr4Text1 = nullptr;  // SSID
  platform::TextBox* fr4Text2 = nullptr;  // beacon interval or "MANUAL"
  platform::TextBox* fr4Text3 = nullptr;  // destination
  platform::TextBox* fr4Text4 = nullptr;  // VIA path
  std::array<platform::TextBox*, 7> fr4ti{};      // info lines 1 … 6
  std::array<platform::CheckBox*, 7> fr4ta{};     // their ACTIVE boxes, fr4ta1 … fr4ta6
  platform::TextBox* fr4Text10 = nullptr;  // overlay character
  platform::Label* fr4Label2 = nullptr;
  platform::Label* fr4Label5 = nullptr;
  platform::CommandButton* fr4Command3 = nullptr;  // ABORT
  platform::CommandButton* fr4Command4 = nullptr;  // OK
  platform::Label* Label42 = nullptr;   // SCS TNC TX signal level caption
  platform::TextBox* Text16 = nullptr;  // SCS TNC TX signal level
  platform::TextBox* fr4Text8 = nullptr;  // symbol number
  platform::TextBox* fr4Text9 = nullptr;  // symbol name
  platform::CheckBox* Check2 = nullptr;   // HF-DUAL
  std::array<platform::OptionButton*, 8> modeOption{};  // Option3 … Option7 at 3 … 7
};

// The window-wide values of the shell.
struct ShellState {
  std::string ProgramVersion;
  std::string IonoUrl1, IonoUrl2;
  int TwipsPerPixelX = 15, TwipsPerPixelY = 15;
  QWidget* MainWindowHandle = nullptr;
  int ColourDepth = 24;
  int WindowPlaced = 0;
  int CallValid = 0;
  std::string RadioModeLabel;
  std::string OwnEchoHeader;
  float InternetPollLimit = 0;
  int CycleInterval = 6000;
  int LastRawRequestHhmm = 0, LastAreaRequestHhmm = 0;
  int HfDualOn = 0;
  int GpsClockSet = 0;
  int ToneOn = 0;
  int StationFilterMask = 31;
  int MoniAllDisplayLevel = 2, MoniOneDisplayLevel = 2;
  std::string TxCall;
};

// Values of the map display that the shell sets.
struct MapState {
  double Pi = 3.14159265;
  double MapCentralMeridian = 15.0, MapFalseEasting = 500000.0;
  double Rt90CentralMeridian = 15.808277777, Rt90FalseEasting = 1500000;
  double MapScale = 5000.0, ZoomFactor = 1.0, MetresPerPixel = 5000.0;
  std::string MapZoneText, MapMeridianText, MapBaseFolder;
  double GkCentralMeridian = 9.0, OwnZoneCentralMeridian = 9.0;
  std::string GkCentralMeridianText, OwnZoneMeridianText, OwnZoneText;
  int CentreMode = 1;
  double MapWidthPx = 0, MapHeightPx = 0;
  int MapDrawnOnce = 0;
  int PictureMode = 0;
  struct Rgb {
    int r = 0, g = 0, b = 0;
  };
  Rgb PictureMarkerColour, PoiColour, TrackColourRecent, TrackColourPedestrian, TrackColourHours,
      TrackColourOld, TrackColourStamped, OwnTrackColour, StationColour, InternetStationColour;
};

// The links' part of the window.
struct LinkState {
  std::string AprsIsPasscode = "0";
  links::AprsIsReceiveBuffer AprsIs;
  std::string CloseWindowCaption;
  platform::SerialPort MSComm1, MSComm2;
  int AgwDataPending = 0;
};

// The GPS reader's navigation recording.
struct NavigationState {
  int NavigationRecording = 0;
  int NavigationActive = 0;
  std::string NavigationRecord, NavigationLine;
  std::string GpsNorthText = "         ", GpsEastText = "         ";
};

// The panels' part of the window.
struct PanelState {
  std::vector<std::string> TrackLines;  // index 1 … TrackLineCount (0 unused)
  long TrackLineCount = 0;
  std::vector<std::string> PoiLines;
  int PoiCount = 0;
  std::string MoniOneLogCall, MoniOneLogPath;
  shell::MoniOneFields MoniOne;
};

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  MainTxSetupPanel& TxPanel() { return tx_; }
  const std::string& AppFolder() const { return app_folder_; }
  const std::string& DataFolder() const { return data_folder_; }
  Settings& settings() { return settings_; }
  ShellState& shell() { return shell_; }
  MapState& map() { return map_; }
  LinkState& link() { return link_; }
  NavigationState& navigation() { return nav_; }
  PanelState& panels() { return panels_; }
  reception::ReceptionState& reception() { return reception_; }
  const stations::SymbolTable& SymbolTable() const { return symbol_table_; }
  shell::OwnFiles& OwnTempFiles() { return own_temp_files_; }
  std::string TempFolderPath() const;
  std::string SettingsPath() const { return app_folder_ + "/ZEBLON.INI"; }

  void SetMapDisplay(std::unique_ptr<MapDisplayService> s) { map_display_ = std::move(s); }
  void SetRadioLink(std::unique_ptr<RadioLinkService> s) { radio_link_ = std::move(s); }
  MapDisplayService& MapDisplay() { return *map_display_; }
  RadioLinkService& RadioLink() { return *radio_link_; }

  // Seams: the speed test's clock (seconds), the time of day, the opening of documents.
  std::function<double()> SpeedTestClock;
  std::function<void(int& hours, int& minutes)> TimeOfDay;
  std::function<bool(const std::string& path)> OpenDocument;

  // Life cycle.
  void Form_Activate();
  bool StartupRunning() const { return in_startup_; }
  // The user's close (close box): the full shutdown.
  void CloseByUser();
  // Form_QueryUnload with the unload mode (0 the user, other values from code).
  void Form_QueryUnload(int unload_mode);
  bool ShutdownDone() const { return shutdown_done_; }

  // Operations.
  void ApplyLanguageTexts();
  void LayOut(bool startup);
  void Form_KeyDown(int key_code);
  void Command65_Click();
  void DrawMap();
  void WriteSettingsFile();
  void ArmPause(int interval_ms);
  void Timer2_Timer();

  // Controls by name (the numbered names; array items as "Name(i)").
  QWidget* Control(const std::string& name) const;
  template <typename T>
  T* Get(const std::string& name) const {
    return qobject_cast<T*>(Control(name));
  }

  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;
  QWidget* Picture1 = nullptr;
  QWidget* Picture3 = nullptr;
  QWidget* WebBrowser1 = nullptr;
  QWidget* WebBrowser2 = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  // The window sees the function keys before its controls do, whichever control
  // has the focus (a combo box would otherwise take F4 for its own list).
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildControls();
  void Form_Load();
  void Form_Resize();
  // The screen's twips per pixel, each the nearest whole number.
  void TakeTwipsPerPixel();
  void ActivateHead();
  void FullStartUp();
  void ActivateTail();
  void SpeedTest();
  void ListPickFiles();
  void RestoreMoniOneLog();
  void Check14_MouseUp(int button);
  void Check16_Click();
  void fr4Text2_Change();
  void fr4Text10_Change();
  void Form_Terminate();
  void PatchSettingsAtShutdown();
  void DrainAndClosePorts();
  void Register(QWidget* w);
  platform::Label* AddLabel(QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h = 18);
  platform::CommandButton* AddButton(QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h = 22);
  platform::CheckBox* AddCheck(QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h = 20);
  platform::TextBox* AddText(QWidget* parent, const char* name, int x, int y, int w, int h = 20);
  platform::ComboBox* AddCombo(QWidget* parent, const char* name, bool sorted, int x, int y, int w, int h = 22);
  platform::Frame* AddFrame(QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h);

  std::string app_folder_;
  std::string data_folder_;
  Settings settings_;
  ShellState shell_;
  MapState map_;
  LinkState link_;
  NavigationState nav_;
  PanelState panels_;
  reception::ReceptionState reception_;
  stations::SymbolTable symbol_table_{};
  shell::OwnFiles own_temp_files_;
  MainTxSetupPanel tx_;
  std::map<std::string, QWidget*> controls_;
  std::unique_ptr<MapDisplayService> map_display_;
  std::unique_ptr<RadioLinkService> radio_link_;
  bool activating_ = false;
  bool in_startup_ = false;
  bool close_pending_ = false;
  bool user_close_ = false;
  bool shutdown_done_ = false;
  bool activate_queued_ = false;
};

// The TX timer box's rule: a leading number of 0 (empty or no number included) or
// above 60 gives "MANUAL", a negative one "60"; any other text stays. Returns the
// text the box should hold.
std::string TxTimerBoxText(const std::string& text);

// The main window's settings file text: its 73 keys, and the lines of the keys it does
// not write (the map folders, NOAT) kept from the file as it is now.
std::string MainSettingsText(std::string_view existing, const Settings& s);

}  // namespace zeblon

// The main window: it composes the panels, the map area and the main cycle, wires
// their signals, and runs the shell's life cycle (start-up, MONI 1 log restore,
// layout, function keys, texts, shutdown).
#pragma once

#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "links/cycle_control.h"
#include "links/cycle_tick.h"
#include "links/gps_reader.h"
#include "links/computer_clock.h"
#include "links/main_cycle.h"
#include "links/radio_link.h"
#include "panels/chat_controller.h"
#include "panels/station_info_controller.h"
#include "panels/moni_one_frames.h"
#include "panels/moni_one_readouts.h"
#include "map/map_service.h"
#include "internet/internet_wiring.h"
#include "map/map_display.h"
#include "map/map_widget.h"
#include "main_window/layout.h"
#include "links/title_fields.h"
#include "map/own_files.h"
#include "main_window/window_state.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/gps_step.h"
#include "panels/ink_palette.h"
#include "panels/map_actions.h"
#include "panels/internet_boxes.h"
#include "panels/moni_one_select.h"
#include "panels/object_setup.h"
#include "panels/raw_list.h"
#include "panels/terminal.h"
#include "panels/tx_setup_controller.h"
#include "panels/tx_setup_panel.h"
#include "panels/alarm_distance_panel.h"
#include "panels/distance_alarm_panel.h"
#include "panels/emergency_window.h"
#include "panels/alarm_sound.h"
#include "panels/wx_station_panel.h"
#include "panels/station_controls.h"
#include "platform/controls.h"
#include "platform/window_placement.h"
#include "reception/reception_settings.h"
#include "reception/receive_pass.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

namespace zeblon {

// The window is the one implementation of the ports that its controllers share:
// the main cycle's control and the map's actions (form1_ports.cpp).
class Form1 : public QWidget, private links::CycleControl, private panels::MapActions {
  Q_OBJECT
 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  panels::TxSetupPanel& TxPanel() { return *tx_; }
  const std::string& AppFolder() const { return app_folder_; }
  const std::string& DataFolder() const { return data_folder_; }
  // What the window holds, for reading: the settings as they are now, the shell's
  // values, the GPS route's recording, the heard stations and the receive path.
  const Settings& CurrentSettings() const { return settings_; }
  const ShellState& Shell() const { return shell_; }
  const NavigationState& Navigation() const { return nav_; }
  // The POI and TRK files the map shows.
  const map::UserFiles& PoiAndTrackFiles() const { return user_files_; }
  const reception::StationStore& HeardStations() const { return reception_.stations; }
  const reception::ReceptionState& Reception() const { return reception_; }
  // One receive pass over what `source` hands over, through the window's receive
  // host and the radio link's chat lines, as the link's own pass runs it (a frame as the TNC hands it over).
  void RunReceivePass(reception::MonitorSource& source);
  // A stored report of a heard station joins MONI ALL as its newest, as a receive
  // pass stores it (a window whose link has no receive path hears nothing else).
  void StoreHeardReport(const std::string& record);

  void SetMapDisplay(std::unique_ptr<map::MapDisplayService> s);
  void SetRadioLink(std::unique_ptr<links::RadioLinkService> s);
  map::MapDisplayService& MapDisplay() { return *map_display_; }
  // The map: its one state (read) and its named changes.
  map::MapDisplay& Map() { return *map_core_; }
  links::RadioLinkService& RadioLink() { return *radio_link_; }
  links::MainCycle& Cycle() { return *cycle_; }
  links::CycleTick& Tick() { return tick_; }
  // The main cycle's steps as the window carries them out, and one tick over
  // `in` through them (form1_tick.cpp).
  links::TickSteps& CycleSteps();
  links::TickEnd RunTick(const links::TickInputs& in);

  // The program's end at once (the packet engine on another computer missing at
  // the start); the program object sets it.
  std::function<void(int code)> EndProgram;
  // Seams: the speed test's clock (seconds), the time of day, the opening of documents.
  std::function<double()> SpeedTestClock;
  std::function<void(int& hours, int& minutes)> TimeOfDay;
  std::function<bool(const std::string& path)> OpenDocument;
  // Seam: the computer's beep of the receive passes (QApplication::beep()).
  std::function<void()> Beep;

  // Life cycle.
  void Form_Activate();
  // The user's close (close box): the full shutdown.
  void CloseByUser();
  bool ShutdownDone() const { return shutdown_done_; }

  // Operations.
  // The texts in another language (the start window's choice: 1 English, 2 German,
  // 3 Swedish, plus 10 with Quick Info), applied to every caption and tooltip.
  void SetLanguage(int language_setting);
  void LayOut(bool startup);
  void Form_KeyDown(int key_code);
  void DrawMap() override;
  // The INFO panel's record changed: the WX STATION window for a weather record.
  void ShowWxInfoForRecord(const std::string& infoRecord) { info_service_->ShowWxInfoForRecord(infoRecord); }
  stations::StationPasses& StationPasses() { return *station_passes_; }
  panels::WxStationPanel& WxStation() { return *wx_; }
  // The EMERGENCY window and the alarm sound; the re-show reads AlarmClock
  // (monotonic seconds; tests install their own).
  panels::EmergencyWindow& Emergency() { return *emergency_window_; }
  panels::EmergencyPanel& EmergencyFrame() { return *emergency_; }
  AlarmSound& AlarmSoundPlayer() { return *alarm_sound_; }
  panels::DistanceAlarmPanel& DistanceAlarmFrame() { return *distance_alarm_; }
  // The picture viewer closed (picture mode off).
  void ClosePictureViewer() override;
  std::function<double()> AlarmClock;
  // Seam: the local date and time an alarm's age is taken by (the computer clock).
  std::function<reception::LocalTime()> AlarmLocalClock;
  void ArmPause(int interval_ms) override;
  // The station data from the web: switches, polls, ionosphere values.
  InternetWiring& Internet() { return internet_boxes_->Internet(); }
  // The CHAT and SAVED MESSAGES windows, the message queue and its sending.
  ChatService& Chat() { return *chat_service_; }
  panels::ChatFrame& ChatWindow() { return *chat_; }
  panels::SavedMessagesPanel& SavedMessages() { return *saved_; }
  // The watched station (MONI 1): its call combo and the selection of a call.
  panels::MoniOneSelect& MoniOneSelect() { return *moni_one_select_; }

  // --- GPS, TX switch, TX setup panel, terminal, RAW list (form1_tx.cpp) ------
  // The main cycle's GPS step: reads the GPS port or drop file when the settings
  // name a source, and applies the tick's result to the window.
  panels::GpsStep& GpsStep() { return *gps_step_; }
  links::GpsReader& Gps() { return gps_; }
  // The TX switch and the TX setup panel at work.
  panels::TxSetupController& TxSetup() { return *tx_setup_; }
  platform::Label* Label39 = nullptr;  // the GPS-INFO line
  // --- The own object: the OBJ box and the OBJECT SETUP frame (form1_object.cpp) ---
  panels::ObjectSetup& ObjectSetup() { return *object_setup_; }
  panels::ObjectSetupPanel& ObjectFrame() { return *object_; }
  // --- The station INFO panel (form1_info.cpp) --------------------------------
  InfoService& Info() { return *info_service_; }
  // Opens the INFO panel on the newest report of `call`: the MONI 1 track for the
  // watched station, MONI ALL for any other; false (nothing changed) when no
  // report of the call is stored.
  bool ShowStationInfo(const std::string& call) { return info_service_->ShowStationInfo(call); }
  // The panel on the watched station's newest report (the MONI 1 labels' right click).
  void ShowMoniOneInfo() { info_service_->ShowMoniOneInfo(); }
  panels::InfoPanel& InfoFrame() { return *info_; }
  platform::Label& RecordLine() { return *Label5; }  // the shown report
  // ---------------------------------------------------------------------------

  // The main cycle's two timers.
  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;
  // The map picture box.
  QLabel* Picture1 = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  // The window sees the function keys before its controls do, whichever control
  // has the focus (a combo box would otherwise take F4 for its own list).
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  std::string SettingsPath() const { return app_folder_ + "/ZEBLON.INI"; }
  std::string TempFolderPath() const;
  // Form_QueryUnload with the unload mode (0 the user, other values from code).
  void Form_QueryUnload(int unload_mode);
  void ApplyLanguageTexts();
  void OpenTerminal();  // Command65, TERM
  void WriteSettingsFile();
  // The distance-alarm notice (Frame12): filled and shown by the receive and
  // internet passes' alarms; the main window is maximised and the map focused.
  void ShowDistanceAlarm(const reception::DistanceAlarm& alarm);
  // The receive passes' hooks of the map (reception::ReceptionHost): after a MONI 1
  // report the map follows the station unless the GPS fix moves the own position;
  // a pass that drew nothing redraws for a GPS fix that moved or stopped and gives
  // the map the focus.
  void FollowMoniOneStation();
  bool PictureViewerShown() const { return map_core_->state().PictureMode == 1; }
  void AfterQuietPass();
  // A note on a link's state (the APRS-IS server closed the link, the TNC's line
  // went away): a line in the RAW monitor list.
  std::function<void(const std::string&)> LinkNotice;
  QLabel* Picture3 = nullptr;      // the picture overlay
  QWidget* WebBrowser1 = nullptr;  // the web control
  void BuildControls();
  void WireControls();
  void Form_Resize();
  // The screen's twips per pixel into the shell's values.
  void TakeTwipsPerPixel();
  void ActivateHead();
  void FullStartUp();
  void ActivateTail();
  void SpeedTest();
  // The newest record's fields; the map centre moves to its position, and a record
  // without one leaves the station at the map centre.
  void TakeMoniOneNewestOrCentre();
  // --- MONI 1 call combo Combo9 (form1_moni_one.cpp) ---------------------------
  void WireMoniOneSelect();
  class MoniOneWindow;  // the MONI 1 selection's port into the window (form1_moni_one.cpp)
  std::unique_ptr<panels::MoniOneSelectPort> moni_one_window_;
  std::unique_ptr<panels::MoniOneSelect> moni_one_select_;
  void CloseTrkPanel(int button);  // Check14, TRK
  void WireInfoPanel();            // form1_info.cpp
  class InfoWindow;                // the INFO panel's port into the window (form1_info.cpp)
  std::unique_ptr<panels::InfoPort> info_window_;
  std::unique_ptr<InfoService> info_service_;
  // The MONI 1 comment and distance frames that widen under the mouse.
  class MoniOneFramesWindow;  // the frames' port into the window (form1.cpp)
  std::unique_ptr<MoniOneFramesPort> moni_one_frames_window_;
  std::unique_ptr<MoniOneFrames> moni_one_frames_;
  // The MONI 1 read-outs, following the store of heard stations and the drawings.
  std::unique_ptr<panels::MoniOneReadoutLabels> moni_one_readouts_;
  // The receive path's settings from the window's settings and derived values.
  void UpdateReceptionSettings();
  void PatchSettingsAtShutdown();
  map::MapAttachment MapAttachmentOf();
  // The main cycle's tick over the window's state.
  void RunCycleTick();  // Timer1
  void WireCycleTick();
  class TickWindow;  // the main cycle's steps (form1_tick.cpp)
  std::unique_ptr<links::TickSteps> tick_window_;
  void UpdateClockLabel();
  // The hourglass over the window and the map while a step blocks the window
  // (a transmission's wait, a web request), the normal pointer again after it.
  void ShowWaitCursor(bool on);
  void RefillMonitorList();
  // The map picture takes the keyboard focus while the window is the active one.
  void FocusMapWhenActive() override;
  // The shared ports' other functions (form1_ports.cpp).
  void StopCycle() override;
  void StartCycle() override;
  void HoldCycle() override;
  void StopWatchdog() override;
  int CycleInterval() const override;
  void SetCycleInterval(int interval_ms) override;
  bool WindowActive() const override;
  void ClearCentreOptions() override;
  void CentreMapOn(double north, double east) override;
  void AttachRadioLink();
  void BuildTxControls();  // form1_tx.cpp
  // The internet switches, polls and the IONO DATA frame.
  void WireInternet();
  void WireEmergency();
  void WireObject();  // form1_object.cpp
  std::unique_ptr<panels::ObjectSetupPort> object_window_;
  class ObjectWindow;  // the object set-up's port into the window (form1_object.cpp)
  std::unique_ptr<panels::ObjectSetup> object_setup_;
  void WireChat();  // form1_chat.cpp
  class ChatHost;   // the chat's port into the window (form1_chat.cpp)
  std::unique_ptr<panels::ChatPort> chat_host_;
  std::unique_ptr<ChatService> chat_service_;
  links::GpsReader gps_;
  class TxWindow;  // the TX setup's port into the window (form1_tx.cpp)
  std::unique_ptr<panels::TxSetupPort> tx_window_;
  std::unique_ptr<panels::TxSetupController> tx_setup_;
  class GpsWindow;  // the GPS step's port into the window (form1_tx.cpp)
  std::unique_ptr<panels::GpsStepPort> gps_window_;
  std::unique_ptr<panels::GpsStep> gps_step_;
  panels::Terminal* terminal_io_ = nullptr;
  panels::TemporaryNotice* notice_ = nullptr;
  class RawListWindow;  // the RAW list's port into the window (form1_tx.cpp)
  std::unique_ptr<panels::RawListPort> raw_list_window_;
  panels::RawList* raw_list_ = nullptr;
  void AttachStationPasses();

  // The map; it lives before the controls, whose picture box draws it.
  std::unique_ptr<map::MapDisplay> map_core_ = std::make_unique<map::MapDisplay>();
  map::MapWidget* map_widget_ = nullptr;
  std::unique_ptr<panels::InkPalette> inks_;
  std::string app_folder_;
  std::string data_folder_;
  Settings settings_;
  ShellState shell_;
  NavigationState nav_;
  map::UserFiles user_files_;  // the POI and TRK files the map shows
  reception::ReceptionState reception_;
  // The receive host of every receive pass, the radio link's and the internet's
  // (form1_reception.cpp), made on first use; it outlives the passes
  // that hold it.
  class ReceptionWindow;
  std::unique_ptr<reception::ReceptionHost> reception_window_;
  reception::ReceptionHost& ReceptionWindowPort();
  map::OwnFiles own_temp_files_;
  int moni_all_limit_ = 50;

  links::MainCycle* cycle_ = nullptr;
  links::CycleTick tick_;
  std::unique_ptr<panels::ControlColumn> column_;
  panels::ScaleBar* scales_ = nullptr;
  platform::TextBox* Text10 = nullptr;  // the internet notice over the map
  platform::Label* Label5 = nullptr;    // the read-out line
  platform::ListBox* List1 = nullptr;   // the RAW monitor list
  panels::InfoPanel* info_ = nullptr;
  panels::WxStationPanel* wx_ = nullptr;
  panels::AlarmDistancePanel* alarm_distance_ = nullptr;
  panels::DistanceAlarmPanel* distance_alarm_ = nullptr;
  class StationWindow;  // the station controls' port into the window (form1.cpp)
  std::unique_ptr<StationControlsPort> station_window_;
  std::unique_ptr<StationControls> station_controls_;
  class InternetWindow;  // the internet boxes' port into the window (form1_internet.cpp)
  std::unique_ptr<panels::InternetBoxesPort> internet_window_;
  std::unique_ptr<panels::InternetBoxes> internet_boxes_;
  std::unique_ptr<stations::StationPasses> station_passes_;
  panels::ChatFrame* chat_ = nullptr;
  panels::SavedMessagesPanel* saved_ = nullptr;
  panels::EmergencyPanel* emergency_ = nullptr;
  class EmergencyWindowSide;  // the EMERGENCY window's port into the window (form1_emergency.cpp)
  std::unique_ptr<panels::EmergencyWindowPort> emergency_side_;
  std::unique_ptr<panels::EmergencyWindow> emergency_window_;
  std::unique_ptr<AlarmSound> alarm_sound_;
  panels::PictureViewer* viewer_ = nullptr;
  panels::TerminalPanel* terminal_ = nullptr;
  panels::QthSetupPanel* qth_ = nullptr;
  panels::ObjectSetupPanel* object_ = nullptr;
  panels::PoiEditor* poi_ = nullptr;
  panels::IonoPanel* iono_ = nullptr;
  panels::TrkPanel* trk_ = nullptr;
  panels::TxSetupPanel* tx_ = nullptr;

  class MapWindow;  // the map's ports into the window (form1_map.cpp); outlives the map display
  std::shared_ptr<MapWindow> map_window_;
  std::unique_ptr<map::MapDisplayService> map_display_;
  class LinkWindow;  // the radio link's port into the window (form1_radio_link.cpp)
  std::unique_ptr<links::RadioLinkWindow> link_window_;
  // The window starts with the minimal link until a real link is set.
  std::unique_ptr<links::RadioLinkService> radio_link_ = std::make_unique<links::MinimalRadioLink>();
  // The receive pass that RunReceivePass feeds, made on first use.
  std::unique_ptr<reception::ReceivePass> fed_pass_;
  bool activating_ = false;
  bool in_startup_ = false;
  bool close_pending_ = false;
  bool user_close_ = false;
  bool shutdown_done_ = false;
  bool activate_queued_ = false;
  // The outer frame on the screen: first placement, smallest size, refit once framed.
  platform::WindowPlacement placement_{*this};
};

}  // namespace zeblon

// The station INFO panel at work: the panel opened on a station, the stepping
// buttons, MAP, WX and close, the mode buttons (deletion of the watched station's
// older or newer positions, search of reports at the selected place), and the
// actions on the shown station (MONI1, PING, CHAT, RAW, retransmission).
// It works on the panel, the record line, the WX STATION window and the reception
// state it is given, reads the settings and the map it is given, holds the main
// cycle and asks the map for drawings through the window's shared ports, and
// reaches the rest of the main window through its own port (InfoPort); the work
// on the stores is in panels/station_info.
//
// The record line shows the report as it is: our labels take no "&" as an
// access-key mark, so the report's "&" are not doubled there (the panel's state
// keeps the doubled text for the label controls that do).
#pragma once

#include <QObject>
#include <array>
#include <optional>
#include <string>

#include "links/cycle_control.h"
#include "map/map_display.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/map_actions.h"
#include "panels/station_info.h"
#include "panels/wx_station_panel.h"
#include "platform/controls.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

namespace zeblon {

namespace panels {

// What the INFO panel needs of the main window besides the cycle, the map and
// the settings.
class InfoPort {
 public:
  virtual ~InfoPort() = default;
  // A wait that lets the window's events run (the held stepping buttons).
  virtual void Pause(float seconds) = 0;
  // The window has been shut down.
  virtual bool ShutDown() const = 0;
  // The window's captions and tooltips in the language of the settings.
  virtual void ApplyTexts() = 0;
  // The scale marks beside the map hidden (the panel covers them).
  virtual void HideScales() = 0;
  // After newer positions of the watched station went: the MONI 1 fields from
  // the track's newest record, and the map centre on it (one without a position
  // takes the map centre).
  virtual void MoniOneNewestChanged() = 0;
  // The screen's colour depth in bits.
  virtual int ColourDepth() const = 0;
  // MONI1: the station becomes the watched one.
  virtual void SelectMoniOneStation(const std::string& call) = 0;
  // The automatic answer's text while it is on.
  virtual std::optional<std::string> AutoAnswerText() const = 0;
  // The RAW monitor window opened (RAW box ticked, or its handler run when it is).
  virtual void OpenRawList() = 0;
  // The retransmission: the own calls, the clock and the UTC offset (the map
  // values come from the reception state), the transmit step, the wait cursor.
  virtual RetransmitContext RetransmitContextNow() const = 0;
  virtual bool Transmit(const std::string& infoField) = 0;
  virtual void WaitCursor(bool on) = 0;
};

}  // namespace panels

class InfoService : public QObject {
 public:
  // `recordLine`: the read-out line Label5 along the window's foot. `column`: the
  // MONI 1 labels (their right press, and a double click on "MONI 1", open the
  // panel), the CHAT box
  // Check7. `rawLines`: the RAW monitor list List1. `settings`: the language, the
  // interface kind and the MONI 1 call as the settings hold them. `map`: its scale,
  // metres per pixel, selected place and MapLock.
  InfoService(panels::InfoPanel& panel, platform::Label& recordLine, panels::ControlColumn& column,
              panels::WxStationPanel& wx, panels::ChatFrame& chat, platform::ListBox& rawLines,
              reception::ReceptionState& reception, const Settings& settings, map::MapDisplay& map,
              links::CycleControl& cycle, panels::MapActions& mapActions, panels::InfoPort& port);
  ~InfoService() override;

  // Opens the panel on slot `index` of the mode's store (MONI 1 track or MONI ALL
  // log); false (nothing changed) for an empty call or a slot out of range.
  bool ShowStationInfo(const std::string& call, int index, bool moni_one);
  // The panel on the newest report of `call`: the MONI 1 track for the watched
  // station, MONI ALL for any other; false when no report of the call is stored.
  bool ShowStationInfo(const std::string& call);
  // The panel on the watched station's newest report (the MONI 1 labels' right click).
  void ShowMoniOneInfo();
  // A receive pass stored a new report of the shown station.
  void RefreshInfoPanel();
  // The panel's record changed: the WX STATION window for a weather record.
  void ShowWxInfoForRecord(const std::string& infoRecord);

  // The panel's buttons: newest, oldest, the held stepping buttons (button
  // numbers 1 left, 2 right), MAP, close, WX, the mode buttons (delete older or
  // newer / search back or forward), MONI1, PING, CHAT, RAW, and the record line
  // (a left click retransmits the shown station's position).
  void ShowNewestReport();                // Command37
  void ShowOldestReport();                // Command36
  void StepEarlierWhileHeld(int button);  // Command5
  void StepLaterWhileHeld(int button);    // Command6
  void CentreOrRescaleMap(int button);    // Command12, MAP
  void CloseInfoPanel();                  // Command10
  void ShowWxForReport();                 // Command20
  void DeleteOlderOrSearchBack();         // Command18
  void DeleteNewerOrSearchForward();      // Command19
  void WatchShownStation();               // Command11, MONI1
  void PingShownStation();                // Command41, PING: "?APRST" sent to the station
  void OpenChatWithShownStation();        // Command23, CHAT: the chat addressed to the station
  void ShowRawOfShownStation();           // Command40, RAW
  void RecordLineReleased(int button);    // Label5
  void RetransmitStationPosition();

 protected:
  // The labels' mouse events (they have no handlers of their own): the record
  // line's release, the MONI 1 labels' right press and the double click on "MONI 1".
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // The labels that open the panel on the watched station: its comment, distance
  // line, number of reports, newest report's time, "MONI 1", and its coordinate
  // read-outs (whose left press steps their coordinate system instead).
  std::array<QWidget*, 7> MoniOneLabels() const;
  void OpenInfoPanel(const std::string& call, int index, bool moni_one);
  // The step buttons' captions from the panel's mode.
  void ShowStepCaptions();
  void ShowInfoRecord(const std::string& record);
  void StepOnce(panels::InfoStepKind kind);
  void StepHeld(panels::InfoStepKind kind);
  void InfoModeButton(bool forward);
  void DeleteTrackPositions(bool older);
  void SearchSamePlace(bool forward);

  panels::InfoPanel& panel_;
  platform::Label& record_line_;
  panels::ControlColumn& column_;
  panels::WxStationPanel& wx_;
  panels::ChatFrame& chat_;
  platform::ListBox& raw_lines_;
  reception::ReceptionState& reception_;
  const Settings& settings_;
  map::MapDisplay& map_;
  links::CycleControl& cycle_;
  panels::MapActions& map_actions_;
  panels::InfoPort& port_;
  int button_released_ = 0;  // ButtonReleased of the held stepping buttons
};

}  // namespace zeblon

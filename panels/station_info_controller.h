// The station INFO panel at work: the panel opened on a station, the stepping
// buttons, MAP, WX and close, the mode buttons (deletion of the watched station's
// older or newer positions, search of reports at the selected place), and the
// actions on the shown station (MONI1, PING, CHAT, RAW, retransmission).
// It works on the panel, the record line, the WX STATION window and the reception
// state it is given and reaches the rest of the main window only through its
// hooks; the work on the stores is in panels/station_info.
//
// The record line shows the report as it is: our labels take no "&" as an
// access-key mark, so the report's "&" are not doubled there (the panel's state
// keeps the doubled text for the label controls that do).
#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/station_info.h"
#include "panels/wx_station_panel.h"
#include "platform/controls.h"
#include "reception/reception_state.h"

namespace zeblon {

class InfoService : public QObject {
 public:
  struct Hooks {
    std::function<bool()> windowActive;
    std::function<void()> focusMap;  // the map picture takes the focus
    // The main cycle (Timer1): off and on, its interval in ms (the normal one and
    // a new one, the cycle left as it is).
    std::function<void()> stopCycle;
    std::function<void()> startCycle;
    std::function<int()> cycleInterval;
    std::function<void(int ms)> setCycleInterval;
    // A wait that lets the window's events run (the held stepping buttons).
    std::function<void(float seconds)> pause;
    // The window has been shut down.
    std::function<bool()> shutDown;
    std::function<void()> applyTexts;
    // The map: its drawing, the scale marks, MapLock, the map tied to a place
    // (centre mode and picture off, the viewer closed, the centre set; not drawn),
    // the scale (MapScale, the metres per pixel, zoom 1), the selected place.
    std::function<void()> drawMap;
    std::function<void()> hideScales;
    std::function<int()> mapLock;
    std::function<void(int lock)> setMapLock;
    std::function<void(double north, double east)> centreMapOn;
    std::function<double()> mapScale;
    std::function<void(double scale)> setMapScale;
    std::function<double()> metresPerPixel;
    std::function<std::pair<double, double>()> selectedPlace;  // north, east
    // After newer positions of the watched station went: the MONI 1 fields from
    // the track's newest record, and the map centre on it (one without a position
    // takes the map centre).
    std::function<void()> moniOneNewestChanged;
    // The settings: the language, the interface kind, the MONI 1 call of the
    // settings file, the screen's colour depth.
    std::function<int()> language;
    std::function<int()> interfaceKind;
    std::function<std::string()> moniOneCall;
    std::function<int()> colourDepth;
    // MONI1: the station becomes the watched one.
    std::function<void(const std::string& call)> selectMoniOneStation;
    // The automatic answer's text while it is on.
    std::function<std::optional<std::string>()> autoAnswerText;
    // The RAW monitor window opened (RAW box ticked, or its handler run when it is).
    std::function<void()> openRawList;
    // The retransmission: the own calls, the clock and the UTC offset (the map
    // values come from the reception state), the transmit step, the wait cursor.
    std::function<panels::RetransmitContext()> retransmitContext;
    std::function<bool(const std::string& infoField)> transmit;
    std::function<void(bool on)> waitCursor;
  };

  // `recordLine`: the read-out line Label5 along the window's foot. `column`: the
  // MONI 1 labels (their right press, and a double click on "MONI 1", open the
  // panel), the CHAT box
  // Check7. `rawLines`: the RAW monitor list List1.
  InfoService(panels::InfoPanel& panel, platform::Label& recordLine, panels::ControlColumn& column,
              panels::WxStationPanel& wx, panels::ChatFrame& chat, platform::ListBox& rawLines,
              reception::ReceptionState& reception, Hooks hooks);
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
  void OpenInfoPanel(bool moni_one);
  void ShowInfoRecord(const std::string& record);
  void StepOnce(panels::InfoStepKind kind);
  void StepHeld(panels::InfoStepKind kind);
  void InfoModeButton(bool forward);
  void DeleteTrackPositions(bool older);
  void SearchSamePlace(bool forward);
  void FocusMapWhenActive();
  void StopCycle();
  void StartCycle();
  void DrawMap();
  void ApplyTexts();
  int MapLock() const;

  panels::InfoPanel& panel_;
  platform::Label& record_line_;
  panels::ControlColumn& column_;
  panels::WxStationPanel& wx_;
  panels::ChatFrame& chat_;
  platform::ListBox& raw_lines_;
  reception::ReceptionState& reception_;
  Hooks h_;
  int button_released_ = 0;  // ButtonReleased of the held stepping buttons
};

}  // namespace zeblon

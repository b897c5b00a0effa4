#pragma once
// Choosing the watched station (MONI 1): the call typed or picked in its combo
// Combo9, and the selection of the call at work. The track and log of the chosen
// station: reception/moni_one_log.h.

#include <QObject>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "panels/control_column.h"
#include "panels/frames.h"
#include "reception/reception_state.h"
#include "settings/settings.h"

class QEvent;

namespace zeblon::panels {

// The combo's text as a call: trimmed and upper case ("" means keep the current call).
std::string MoniOneComboCall(std::string_view text);

// Tracks the combo's list pick: a click remembers the text, the next loss of focus
// that finds the text changed hands the pick back (to be taken like Enter).
class MoniOneComboPick {
 public:
  void Clicked(std::string_view combo_text) { pick_ = combo_text; }
  // The pick to take on a loss of focus, or "" (a pick equal to the text stays pending).
  std::string TakeOnLostFocus(std::string_view combo_text);
  const std::string& Pending() const { return pick_; }

 private:
  std::string pick_;
};

// The MONI 1 call combo and the selection of the watched station. It works on the
// control column's combo and MONI 1 boxes, the settings, the station store, the INFO
// frame with its read-out line and the CHAT frame's call; the rest of the main window
// it reaches through its port.
class MoniOneSelect {
 public:
  struct Port {
    std::function<std::filesystem::path()> dataFolder;
    std::function<std::filesystem::path()> settingsPath;
    // The main cycle: both timers held, started again, the pause timer armed.
    std::function<void()> holdCycle;
    std::function<void()> startCycle;
    std::function<void(int ms)> armPause;
    std::function<void()> updateReceptionSettings;
    // The MONI 1 fields from the track's newest record; the map centre moves to its position.
    std::function<void()> takeNewestOrCentre;
    std::function<void()> followStation;  // the map follows the MONI 1 station
    // The INFO panel on the track's record `index`.
    std::function<void(const std::string& call, int index)> showStationInfo;
    // The internet side learns of the new station (its area request anew).
    std::function<void()> stationSelected;
    std::function<void()> restoreFrameWidths;  // the MONI 1 frames at their normal width
    std::function<void()> drawMap;
    std::function<void()> focusMap;  // when the window is active
  };

  MoniOneSelect(ControlColumn& column, InfoPanel& info, platform::Label& recordLine, ChatFrame& chat,
                Settings& settings, reception::ReceptionState& reception, Port port);

  // Makes `call` (upper case, not empty) the station, restores its log into the
  // track with the later reports heard meanwhile, stores the call in the settings
  // file and lets the map follow it.
  void SelectMoniOneStation(const std::string& call);
  // Combo9's key handler: every key pauses the main cycle; Enter (13) selects the
  // combo's call (an empty text puts the current call back).
  void MoniOneComboKeyDown(int key_code);  // Combo9
  // The main cycle's step: a combo text other than the MONI 1 call is taken like
  // Enter; true when it was (the tick ends).
  bool TakeChangedMoniOneCall();
  // The combo's list filled with the calls of the MONI 1 logs.
  void ListMoniOneLogs();
  // Combo9's keys and focus changes, seen by the window's event filter; true when
  // the event was taken.
  bool ComboEvent(QObject* watched, QEvent* e);

 private:
  void ComboEntered();  // Combo9
  void ComboLeft();     // Combo9

  ControlColumn& column_;
  InfoPanel& info_;
  platform::Label& record_line_;
  ChatFrame& chat_;
  Settings& settings_;
  reception::ReceptionState& reception_;
  Port port_;
  MoniOneComboPick pick_;
};

}  // namespace zeblon::panels

#pragma once
// Choosing the watched station (MONI 1): the call typed or picked in its combo
// Combo9, and the selection of the call at work. The track and log of the chosen
// station: reception/moni_one_log.h.

#include <QObject>
#include <filesystem>
#include <string>
#include <string_view>

#include "links/cycle_control.h"
#include "map/map_display.h"
#include "panels/control_column.h"
#include "panels/frames.h"
#include "panels/map_actions.h"
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

// What the selection of the watched station needs of the rest of the program
// besides the main cycle and the map.
class MoniOneSelectPort {
 public:
  virtual ~MoniOneSelectPort() = default;
  virtual std::filesystem::path DataFolder() const = 0;
  virtual std::filesystem::path SettingsPath() const = 0;
  // The receive path's settings taken anew from the settings.
  virtual void UpdateReceptionSettings() = 0;
  // The INFO panel on the track's record `index`.
  virtual void ShowStationInfo(const std::string& call, int index) = 0;
  // The internet side learns of the new station (its area request anew).
  virtual void StationSelected() = 0;
  // The MONI 1 frames at their normal width.
  virtual void RestoreFrameWidths() = 0;
};

// The MONI 1 call combo and the selection of the watched station. It works on the
// control column's combo and MONI 1 boxes, the settings, the station store, the INFO
// frame with its read-out line, the CHAT frame's call and the map's centre; it holds
// and resumes the main cycle, draws and focuses the map, and reaches the rest of the
// main window through its port.
class MoniOneSelect {
 public:
  MoniOneSelect(ControlColumn& column, InfoPanel& info, platform::Label& recordLine, ChatFrame& chat,
                Settings& settings, reception::ReceptionState& reception, map::MapDisplay& map,
                links::CycleControl& cycle, MapActions& mapActions, MoniOneSelectPort& port);

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
  map::MapDisplay& map_;
  links::CycleControl& cycle_;
  MapActions& map_actions_;
  MoniOneSelectPort& port_;
  MoniOneComboPick pick_;
};

}  // namespace zeblon::panels

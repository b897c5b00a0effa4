// The own object: the OBJ box (Check18) that switches its transmission, and the
// OBJECT SETUP frame (Frame11) in which the user names it, writes its text, picks
// its symbol with the TX setup panel's symbol picker (lent to the frame while it
// is open) and places it at the map centre. The object lives in the settings
// (ONAM, OTXT, OSYM, OSYN, OUTN, OUTE); the entries' rules are plain functions.
#pragma once

#include <string>

#include "links/cycle_control.h"
#include "panels/map_actions.h"
#include "settings/settings.h"

namespace zeblon::panels {

class ControlColumn;
class ObjectSetupPanel;
class TxSetupPanel;

// What the frame and the picker hold at OK or DELETE OBJECT.
struct ObjectEntries {
  std::string name;     // Text7
  std::string text;     // Text8
  std::string symbol;   // fr4Text8
  std::string overlay;  // fr4Text10
};

// The entries as the object stores them.
struct ObjectTaken {
  std::string refusal;  // not empty: a bad entry, told to the user; OK takes nothing then
  std::string name;     // empty, or upper case padded or cut to nine characters
  std::string text;     // trimmed
  int symbolIndex = 0;
  std::string overlay;  // upper case, at most one character
};

// The name, upper case, blanks around it removed, padded with blanks or cut to nine
// characters (empty stays empty); the text trimmed; the symbol number of the
// picker, refused outside the symbol table; the overlay's last character, upper
// case. Control bytes in the name, text and overlay become "_".
ObjectTaken TakeObjectEntries(const ObjectEntries& entries);

// What the object set-up needs of the rest of the program besides the main cycle
// and the map's actions.
class ObjectSetupPort {
 public:
  virtual ~ObjectSetupPort() = default;
  virtual void WriteSettings() = 0;  // the main window's settings file
  virtual void MakeObjectDue() = 0;  // LastObjectBeacon at the origin: due at the next test
  // CentreMode 0, the centre options cleared, CentreOnObject 1.
  virtual void CentreOnObject() = 0;
  virtual void Refuse(const std::string& text) = 0;  // a bad entry told to the user
  virtual int MapLeft() const = 0;                   // the map picture's left edge
};

class ObjectSetup {
 public:
  // `cycle`: held while the frame is open or typed in (both timers off), Timer1 on
  // again when it closes. The map drawing switches Timer1 on, but not when it
  // centres on the object.
  ObjectSetup(ObjectSetupPanel& frame, TxSetupPanel& picker, ControlColumn& column, Settings& settings,
              links::CycleControl& cycle, MapActions& mapActions, ObjectSetupPort& port);
  // The picker goes home with the set-up, whatever the frame showed.
  ~ObjectSetup();
  ObjectSetup(const ObjectSetup&) = delete;
  ObjectSetup& operator=(const ObjectSetup&) = delete;

  // The OBJ box's release (Check18): left (1) switches the transmission, right (2) opens the frame
  // (not while the TX setup panel, the picker's own place, is open).
  void ObjMouseUp(int button);
  void Open();
  // OK (Command33). With an empty name it removes the object as DELETE OBJECT does.
  void Ok();
  // DELETE OBJECT (Command31): no name, OBJ unticked, the rest taken as OK takes it.
  void Delete();
  // CANCEL (Command32).
  void Cancel();

  // 1 while the own object is transmitted (OBJ ticked with a name and TX on).
  int ObjectBeaconOn() const { return objectBeaconOn_; }
  // TX switched off: the object is no longer transmitted.
  void StopBeacon() { objectBeaconOn_ = 0; }

 private:
  void Close();
  void Store(const ObjectTaken& taken, bool keepName);

  ObjectSetupPanel& frame_;
  TxSetupPanel& picker_;
  ControlColumn& column_;
  Settings& settings_;
  links::CycleControl& cycle_;
  MapActions& map_actions_;
  ObjectSetupPort& port_;
  int objectBeaconOn_ = 0;
};

}  // namespace zeblon::panels

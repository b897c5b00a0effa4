// The own object: the OBJ box (Check18) that switches its transmission, and the
// OBJECT SETUP frame (Frame11) in which the user names it, writes its text, picks
// its symbol with the TX setup panel's symbol picker (lent to the frame while it
// is open) and places it at the map centre. The object lives in the settings
// (ONAM, OTXT, OSYM, OSYN, OUTN, OUTE); the entries' rules are plain functions.
#pragma once

#include <functional>
#include <string>

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

class ObjectSetup {
 public:
  struct Hooks {
    std::function<void()> stopTimers;      // Timer2 and Timer1 off
    std::function<void()> startTimer1;     // Timer1 on
    std::function<void()> drawMap;         // DrawMap (it switches Timer1 on, but not when centring on the object)
    std::function<void()> writeSettings;   // the main window's settings file
    std::function<void()> makeObjectDue;   // LastObjectBeacon at the origin: due at the next test
    std::function<void()> centreOnObject;  // CentreMode 0, options cleared, CentreOnObject 1
    std::function<void(const std::string& text)> refuse;  // a bad entry
    std::function<int()> mapLeft;                         // the map picture's left edge
  };

  ObjectSetup(ObjectSetupPanel& frame, TxSetupPanel& picker, ControlColumn& column, Settings& settings, Hooks hooks);
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
  int objectBeaconOn_ = 0;
  Hooks hooks_;
};

}  // namespace zeblon::panels

// What the main window's start-up and shutdown call of the subsystems that are
// built on top of the shell (map display, radio links, station panels). Each is a
// small interface; the window starts with the minimal versions below, which do the
// least the shell needs, and the subsystems replace them with their own.
#pragma once

#include <string>
#include <vector>

namespace zeblon {

class Form1;

class MapDisplayService {
 public:
  virtual ~MapDisplayService() = default;
  // Rebuilds the map index files in the temporary folder and fills the scale combos.
  virtual void BuildMapIndex(Form1& form) = 0;
  // Redraws the map; every completed drawing sets MapDrawnOnce, resets the pointers
  // and switches Timer1 on.
  virtual void DrawMap(Form1& form) = 0;
  virtual void RequestMagnetogramPage(Form1& form) = 0;
  // F1 and F3 to F10 (key codes 112, 114 … 121).
  virtual void FunctionKey(Form1& form, int key_code) = 0;
};

class RadioLinkService {
 public:
  virtual ~RadioLinkService() = default;
  // The radio link of the interface kind and the GPS port, at start-up.
  virtual void BringUp(Form1& form) = 0;
  // The shutdown's close of the radio link by the interface kind: the TNC's last
  // commands with their waits.
  virtual void Close(Form1& form) = 0;
  // The shutdown's end of the TCP link to a remote AGW Packet Engine (kind 3), after
  // the close and its common wait.
  virtual void Disconnect(Form1& form) = 0;
};

// The minimal versions.
class MinimalMapDisplay : public MapDisplayService {
 public:
  void BuildMapIndex(Form1& form) override;
  void DrawMap(Form1& form) override;
  void RequestMagnetogramPage(Form1& form) override;
  void FunctionKey(Form1& form, int key_code) override;
  int drawings = 0;
  int magnetogramRequests = 0;
  std::vector<int> handedOff;  // F4 … F10: hand-offs to outside maps (not built yet)
};

class MinimalRadioLink : public RadioLinkService {
 public:
  void BringUp(Form1& form) override;
  void Close(Form1& form) override;
  void Disconnect(Form1& form) override;
};

}  // namespace zeblon

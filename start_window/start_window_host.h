// What the start window asks of the program that owns both windows.
#pragma once

#include "panels/tx_setup_panel.h"

namespace zeblon {

class StartWindowHost {
 public:
  virtual ~StartWindowHost() = default;
  // The main window's TX setup panel, which the start window fills before START
  // (the main window is loaded, hidden, on first use).
  virtual panels::TxSetupPanel& MainTxPanel() = 0;
  // Unloads the start window and shows the main window.
  virtual void HandOver() = 0;
  // Unloads the main window (the user closed the start window before START).
  virtual void UnloadMainWindow() = 0;
  // Ends the program at once with `code`.
  virtual void End(int code) = 0;
};

}  // namespace zeblon

// The main window's state, grouped by the part of the program that owns it.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "links/gps_reader.h"

namespace zeblon {

// The window-wide values of the shell.
struct ShellState {
  int TwipsPerPixelX = 15, TwipsPerPixelY = 15;
  int ColourDepth = 24;
  int CallValid = 0;
  std::string RadioModeLabel;
  std::string OwnEchoHeader;
  float InternetPollLimit = 0;
  int CycleInterval = 6000;
  int HfDualOn = 0;
  std::string TxCall;
};

// The GPS reader's navigation recording (links/gps_reader.h).
using NavigationState = links::NavigationState;

}  // namespace zeblon

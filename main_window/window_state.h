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
  float InternetPollLimit = 0;
  int CycleInterval = 6000;
};

// The GPS reader's navigation recording (links/gps_reader.h).
using NavigationState = links::NavigationState;

}  // namespace zeblon

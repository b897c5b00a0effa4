// The main window's state, grouped by the part of the program that owns it.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "links/gps_reader.h"
#include "main_window/shell_logic.h"

namespace zeblon {

// The window-wide values of the shell.
struct ShellState {
  std::string ProgramVersion;
  int TwipsPerPixelX = 15, TwipsPerPixelY = 15;
  QWidget* MainWindowHandle = nullptr;
  int ColourDepth = 24;
  int WindowPlaced = 0;
  int CallValid = 0;
  std::string RadioModeLabel;
  std::string OwnEchoHeader;
  float InternetPollLimit = 0;
  int CycleInterval = 6000;
  int HfDualOn = 0;
  int GpsClockSet = 0;
  int ToneOn = 0;
  int StationFilterMask = 31;
  int MoniAllDisplayLevel = 2, MoniOneDisplayLevel = 2;
  std::string TxCall;
};

// Values of the map display that the shell sets.
struct MapState {
  double MapCentralMeridian = 15.0, MapFalseEasting = 500000.0;
  double MapScale = 5000.0, ZoomFactor = 1.0, MetresPerPixel = 5000.0;
  std::string MapZoneText, MapMeridianText, MapBaseFolder;
  double GkCentralMeridian = 9.0, OwnZoneCentralMeridian = 9.0;
  std::string GkCentralMeridianText, OwnZoneMeridianText, OwnZoneText;
  int CentreMode = 1;
  double MapWidthPx = 0, MapHeightPx = 0;
  int MapDrawnOnce = 0;
  int PictureMode = 0;
  int CentreOnObject = 0;  // one-shot: the next drawing centres on the own object
  struct Rgb {
    int r = 0, g = 0, b = 0;
  };
  Rgb PictureMarkerColour, PoiColour, TrackColourRecent, TrackColourPedestrian, TrackColourHours, TrackColourOld,
      TrackColourStamped, OwnTrackColour, StationColour, InternetStationColour;
};

// The GPS reader's navigation recording (links/gps_reader.h).
using NavigationState = links::NavigationState;

// The panels' part of the window.
struct PanelState {
  std::vector<std::string> TrackLines;  // index 1 … TrackLineCount (0 unused)
  long TrackLineCount = 0;
  std::vector<std::string> PoiLines;
  int PoiCount = 0;
  int ObjectBeaconOn = 0;  // 1 while the own object is transmitted (OBJ ticked)
};

}  // namespace zeblon

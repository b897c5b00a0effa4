// The station store, buffers and settings of the receive pass. The main window holds
// one ReceptionState; the pass works on it and reaches the windows through
// ReceptionHost and ChatPanel.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "reception/aprs_decode.h"
#include "reception/frame_assembly.h"
#include "reception/info_cursor.h"
#include "reception/monitor_input.h"
#include "reception/station_record.h"
#include "reception/station_store.h"

namespace zeblon::reception {

// The settings and main-window fields that the receive pass reads.
struct ReceptionSettings {
  InterfaceKind interfaceKind = InterfaceKind::NoRadio;
  std::string userCall;       // USER, trimmed, upper case
  std::string txCall;         // the own call as sent (with SSID)
  std::string ownEchoHeader;  // the header the own transmissions carry when heard back
  std::string moniOneCall;    // CALL: the watched station
  std::filesystem::path dataFolder;
  bool logsOn = false;    // LOGS
  bool smartLog = false;  // SLOG
  int moniAllLimit = 50;
  int moniOneTrackLimit = 250;  // five times moniAllLimit
  std::string mapZoneText = "33";
  double mapCentralMeridian = 15.0;
  double mapFalseEasting = 500000.0;
  int utcOffsetHours = 0;
  bool moniAllAlarmOn = false;
  bool moniOneAlarmOn = false;
  int moniAllDisplayLevel = 1;
  int stationFilterMask = 31;
  int alarmDistanceKm = 1;
  double userNorth = 0;  // km of the map zone
  double userEast = 0;
  bool toneOn = false;
  bool autoAnswerOn = false;
  std::string autoAnswerText;
};

struct ReceptionState {
  ReceptionSettings settings;

  // The heard stations (MONI ALL, the MONI 1 track and its log).
  StationStore stations;

  std::string receiveBuffer = "\n";
  MonitorLines monitorLines;
  AlarmRecord alarm;
  InfoCursor info;  // the station INFO panel's place in the stores
  int symbolIndex = 0;
  int passEventLevel = 0;

  // Counts of what went wrong without stopping the pass (for the curious).
  int failedLogWrites = 0;
  // The log files cannot be written (mostly a full disk): set by the first
  // failed write, with its errno, cleared when writing works again
  // (NoteLogWrite says both in the RAW list).
  bool logWritesFailing = false;
  int logWriteError = 0;
  int malformedFrames = 0;
  MalformedReason lastMalformedReason = MalformedReason::None;  // of the last dropped frame

  // Empties MONI ALL and the monitor list (CLEAR MONI ALL).
  void ClearMoniAll();
};

// The outcome of a log write (`error` the errno of a failure): a failure is
// counted, and the RAW list is told once when writing starts to fail and once
// when it works again. After a full disk it works again only when the file
// system has room again (not when a short line still fits into the end of a
// file). True when the RAW list got a line.
bool NoteLogWrite(ReceptionState& state, bool ok, int error);
// The RAW list's line for the log writes failing (with the errno of the first
// failure) or working again.
std::string LogWriteNotice(bool failing, int error);
// The errno means a full disk (or the user's quota used up).
bool IsDiskFull(int error);

}  // namespace zeblon::reception

// The internet pass (DecodeInternetPackets): decodes the raw packet lines that
// the web poll fetched for the watched station, one line at a time, into the
// same records, logs, MONI 1 track and alarms as the radio pass; answers
// numbered messages to the user; at the end refreshes the INFO panel and the map.
//
// A line is "YYYYMMDDHHMMSS,SRC>DEST,PATH:payload" (the stamp in UTC; the form
// "YYYY-MM-DD HH:MM:SS," is taken too), lines end with CR LF.
//
// A line that cannot be decoded drops only itself; the end of the pass always runs.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "internet/internet_ports.h"
#include "reception/receive_pass.h"

namespace zeblon::internet {

// The values of the line being decoded (WebPacketFields). Its texts refer to
// its own line: it is not copied.
struct InternetLine {
  InternetLine() = default;
  InternetLine(const InternetLine&) = delete;
  InternetLine& operator=(const InternetLine&) = delete;

  std::string line;          // the line, its stamp rewritten to local time
  reception::FrameValues v;  // header, payload and position values
  int utcYear = 0, utcMonth = 0, utcDay = 0, utcHour = 0, utcMinute = 0;
  long long localMinutes = 0;  // local reception time in minutes (seconds dropped)
  std::string reportStamp;     // DDHHMM of a plain report's "z" stamp
  bool relayed = false;        // destination "ZEBLRE": no stamp flag
  std::string date, time;      // YYMMDD and HHMM of the record (local)
};

// Why a line went no further.
enum class LineOutcome {
  Record,      // a record of the watched station reached the stores
  NotWatched,  // a record of another station (stored nowhere)
  Older,       // older than the newest MONI 1 record
  OwnRelay,    // the program's own relayed packet
  NoPosition,  // no usable position (messages, objects, weather-only, bad forms, out of range)
  BadStamp,    // the report's own stamp is far from the reception time
  Broken,      // a stamp or header that cannot be read
};

struct LineSettings {
  int utcOffsetHours = 0;
  std::string txCall;
  double mapCentralMeridian = 15.0;
  double mapFalseEasting = 500000.0;
};

// The stages of one line up to its position: stamp, time filter
// against `newestMoniOne` (the first 11 characters of the newest MONI 1 record,
// blanks when none), header, stamp flag and position forms. `onMessage` runs for
// a payload that starts with ":" before the position completion. Returns
// Record when the line has a position (in l.v.northing / l.v.easting).
LineOutcome DecodeInternetLine(std::string_view rawLine, std::string_view newestMoniOne, const LineSettings& settings,
                               InternetLine& l, const std::function<void(const InternetLine&)>& onMessage = {});

// The message stage for one line whose payload starts with ":".
// `chatLog` is the chat log file; a missing or unreadable one counts as empty.
void HandleInternetMessage(const InternetLine& l, const reception::ReceptionSettings& settings,
                           reception::ChatPanel& chat, reception::ReceptionHost& host);

struct PassOptions {
  bool scanBusy = false;       // InternetScanBusy
  bool areaSupportOn = false;  // Check23
};

class InternetPass {
 public:
  // At the end of a pass the notice over the map is hidden (`controls`) and a new
  // report of the INFO panel's station shown with the panel's newest-report
  // button at work (`window`: the map's focus, MAP L).
  InternetPass(reception::ReceptionState& state, reception::ReceptionHost& host, reception::ChatPanel& chat,
               InternetControls& controls, InternetWindow& window,
               const reception::SymbolTable& symbols = reception::StandardSymbolTable());

  // Decodes webRawLines, consuming whole lines from its front (a last line
  // without CR LF stays), then runs the end of the pass.
  void Run(std::string& webRawLines, const PassOptions& options = {});

  // The pass's event level: 0, 2 after a MONI 1 report, 3 after an emergency.
  int Level() const { return level_; }
  // Lines that failed or went no further, by kind (for the curious and the tests).
  int LinesRead() const { return linesRead_; }
  int LinesStored() const { return linesStored_; }
  LineOutcome LastOutcome() const { return lastOutcome_; }

  // One line through every stage (without the end of the pass).
  LineOutcome ProcessLine(std::string_view rawLine);

 private:
  void StoreRecord(const InternetLine& l);
  void RefreshMoniOne(const InternetLine& l);
  void EndOfPass(const PassOptions& options);

  reception::ReceptionState& st_;
  reception::ReceptionHost& host_;
  reception::ChatPanel& chat_;
  InternetControls& controls_;
  InternetWindow& window_;
  const reception::SymbolTable& symbols_;
  InternetLine line_;
  int level_ = 0;
  int linesRead_ = 0;
  int linesStored_ = 0;
  LineOutcome lastOutcome_ = LineOutcome::Broken;
  std::string lastSource_;
};

// The 14 digits YYYYMMDDHHMMSS of a line stamp; false when it is no valid date and time.
bool ReadLineStamp(std::string_view digits, int& year, int& month, int& day, int& hour, int& minute, int& second);

// Minutes since 1970 of a date and time; false when it is no valid date and time.
bool MinutesOf(int year, int month, int day, int hour, int minute, long long& out);

// Minutes since 1970 of a record's date and time (YYMMDD HHMM, years 20YY).
bool RecordMinutes(std::string_view record, long long& out);

}  // namespace zeblon::internet

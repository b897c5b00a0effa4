// The receive pass (DecodeReceivedTraffic): reads the radio interface turn by
// turn, cuts frames from the receive buffer, decodes them, answers messages,
// stores reports in MONI ALL and the watched station's track, writes the logs
// and raises the alarms.
//
// A frame that cannot be decoded, and a log file that cannot be written, never
// end the pass: the frame alone is dropped, the write alone is lost.
//
// Within a pass the lines for _LOGRAW_.TXT, _LOG_.TXT and _LOGL_.TXT are
// gathered and written to their files once, when the pass ends (whichever way
// it ends): every line of the pass is in its file then. A chat log line
// (_CHATLOG.TXT) is written at once, with what is gathered so far, so that it
// stands before the lines the chat window adds to the same log in answer. The
// files stay open from pass to pass (found in the LOG folder once for a data
// folder). Outside a pass every line is written to its file at once.
#pragma once

#include "reception/log_appender.h"
#include "reception/reception_host.h"
#include "reception/reception_state.h"
#include "reception/symbol_table.h"

namespace zeblon::reception {

// The longest receive buffer that waits for the rest of a frame: a frame start
// whose payload line never ends is dropped beyond it.
inline constexpr std::size_t kReceiveBufferCap = 8192;

// Event levels of a frame and of a pass.
inline constexpr int kLevelNone = 0;
inline constexpr int kLevelReport = 1;
inline constexpr int kLevelMoniOne = 2;
inline constexpr int kLevelEmergency = 3;

// The values that make a record, written in their fixed order.
struct RecordParts {
  std::string date, time;
  bool stamped = false;
  std::string position, messagingMark, call, comment, via, symbol, symbolName;
  // The record (trackOrder false) or the MONI 1 track point (true), without
  // the emergency and object marks.
  std::string Build(bool trackOrder) const;
  // The record with every field held to its columns (a long call, comment or
  // heard-via never spills into the next field), without the two marks.
  std::string BuildClipped() const;
};

// The symbol of a record: an empty one becomes the primary-table default, one
// whose table is no table becomes an overlay of the alternate table; an index
// outside 1..194 becomes 194 with "\~". The name is the row's trimmed name, a
// blank and the overlay character.
struct RecordSymbol {
  std::string symbol;  // two or three characters
  int index = 0;
  std::string name;
};
RecordSymbol CompleteSymbol(std::string_view symbolText, const reception::SymbolTable& symbols);

// The emergency of a report: the AlarmRecord filled and its block appended to
// _ALARM_.TXT (internet: the block of an internet report). A failed write is
// counted; the fields stay set.
void RecordEmergency(ReceptionState& state, ReceptionHost& host, const RecordParts& parts, const std::string& northText,
                     const std::string& eastText, double northKm, double eastKm, bool internet);

// The _LOG_.TXT and _LOGL_.TXT lines of a stored record, when logging is on.
void AppendToReportLogs(ReceptionState& state, const std::string& record);

// A text for a label, every "&" doubled (a single one would mark a shortcut).
std::string LabelText(std::string_view text);

// Rewrites the MONI 1 log from the track; false (and a failed write counted) when
// it cannot be written.
bool RewriteMoniOneLog(ReceptionState& state);

// The step of every pass (radio or web) after a report of the watched station
// (`call`, its local `date` YYMMDD and `time` HHMM): the MONI 1 distance alarm
// when the alarm is on and the track's newest position lies within the alarm
// distance of the user, then the map follows the station and the picture viewer
// closes.
void MoniOneAlarmAndFollow(const ReceptionState& state, ReceptionHost& host, const std::string& call,
                           std::string_view date, std::string_view time);

class ReceivePass {
 public:
  ReceivePass(ReceptionState& state, ReceptionHost& host, ChatPanel& chat,
              const reception::SymbolTable& symbols = reception::StandardSymbolTable());

  // One receive pass over the interface.
  void Run(MonitorSource& source);

  // The work on one cut frame (header, payload, message, storing, MONI 1);
  // returns the frame's event level. Sets ownEcho when the frame was the own
  // transmission heard back.
  int ProcessFrame(const std::string& frameText, bool* ownEcho = nullptr);

  // Stores a decoded report (position in v.northing / v.easting): the record,
  // the emergency, the duplicate test, MONI ALL, the logs, the pruning, the
  // MONI ALL alarm and the MONI 1 stage. Returns the frame's event level.
  int StoreReport(FrameValues& v);

  // The write of the kept-open logs (write(2) unless a test sets another).
  void SetLogWriteFunction(WriteFunction write) { appender_.SetWriteFunction(std::move(write)); }

 private:
  enum class Next { Turn, End };
  Next EndOfFrame(int frameLevel, const std::string& callText, bool progressed);
  void MoniOneStage(const FrameValues& v, const RecordParts& parts, int& level);
  void Log(const std::filesystem::path& path, std::string_view bytes);
  enum LogFile { kLogRaw, kLogShort, kLogLong, kLogChat, kLogFiles };
  // Adds the bytes (and the line end) to the file's lines of the pass.
  void Log(LogFile file, std::string_view bytes, std::string_view lineEnd = {});
  void WriteOutLogs();
  void Turns(MonitorSource& source);

  ReceptionState& st_;
  ReceptionHost& host_;
  ChatPanel& chat_;
  const reception::SymbolTable& symbols_;
  FrameValues frame_;     // the values of the frame at work, kept for their buffers
  std::string lastCall_;  // the call of the last stored report
  // The lines a pass gathers per log file, with the file's path (found once per pass).
  struct PendingLog {
    std::filesystem::path path;
    std::string bytes;
  };
  PendingLog logs_[kLogFiles];
  bool inPass_ = false;
  LogAppender appender_;
  std::filesystem::path logsFolder_;  // the data folder the paths of logs_ belong to
};

// The distance text of an alarm: the distance times 10 cut to a whole number,
// at least two digits, a point before the last one (3.47 -> "3.4").
std::string AlarmDistanceText(double km);

}  // namespace zeblon::reception

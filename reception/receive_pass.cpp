#include "reception/receive_pass.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#include "geodesy/text.h"
#include "reception/messages.h"
#include "reception/moni_one_log.h"
#include "settings/text_files.h"

namespace zeblon::reception {
namespace {

std::string TwoDigits(int n) {
  std::string t(2, '0');
  t[0] = static_cast<char>('0' + (n / 10) % 10);
  t[1] = static_cast<char>('0' + n % 10);
  return t;
}

int MinutesOfDay(std::string_view hhmm) {
  const auto digit = [&hhmm](std::size_t i) { return hhmm[i] >= '0' && hhmm[i] <= '9'; };
  if (hhmm.size() >= 4 && digit(0) && digit(1) && digit(2) && digit(3))
    return ((hhmm[0] - '0') * 10 + (hhmm[1] - '0')) * 60 + (hhmm[2] - '0') * 10 + (hhmm[3] - '0');
  return static_cast<int>(LeadingNumber(Columns(hhmm, 1, 2))) * 60 +
         static_cast<int>(LeadingNumber(Columns(hhmm, 3, 4)));
}

std::string CallWithoutSsid(std::string_view call) { return std::string(call.substr(0, call.find('-'))); }

}  // namespace

std::string RecordParts::Build(bool trackOrder) const {
  std::string r = BlankRecord();
  WriteAt(r, 1, date);
  WriteAt(r, 8, time);
  if (stamped) WriteAt(r, 12, "T");
  WriteAt(r, 13, position);
  if (trackOrder) {
    // The track point takes the heard-via and the comment before the call.
    WriteAt(r, 91, via);
    WriteAt(r, 43, comment);
    WriteAt(r, 32, messagingMark);
    WriteAt(r, 33, call);
  } else {
    WriteAt(r, 32, messagingMark);
    WriteAt(r, 33, call);
    WriteAt(r, 43, comment);
    WriteAt(r, 91, via);
  }
  WriteAt(r, 101, symbol);
  WriteAt(r, 105, symbolName);
  return r;
}

std::string RecordParts::BuildClipped() const {
  std::string r = BlankRecord();
  const auto put = [&r](int column, int width, std::string_view value) {
    WriteAt(r, column, value.substr(0, std::min<std::size_t>(value.size(), static_cast<std::size_t>(width))));
  };
  put(1, 6, date);
  put(8, 4, time);
  if (stamped) put(12, 1, "T");
  put(13, 19, position);
  put(32, 1, messagingMark);
  put(33, 9, call);
  put(43, 47, comment);
  put(91, 10, via);
  put(101, 3, symbol);
  put(105, 16, symbolName);
  return r;
}

RecordSymbol CompleteSymbol(std::string_view symbolText, const reception::SymbolTable& symbols) {
  RecordSymbol r;
  r.symbol = std::string(symbolText);
  if (r.symbol.size() < 2) r.symbol = "/\"";
  if (r.symbol[0] != '/' && r.symbol[0] != '\\') r.symbol = std::string{'\\', r.symbol[1], r.symbol[0]};
  r.index = reception::SymbolIndexOf(r.symbol[0], r.symbol[1]);
  if (r.index > 194 || r.index < 1) {
    r.index = 194;
    r.symbol = "\\~";
  }
  r.name = reception::SymbolNameOf(symbols[static_cast<std::size_t>(r.index)]) + " ";
  if (r.symbol.size() == 3) r.name += r.symbol[2];
  return r;
}

void RecordEmergency(ReceptionState& st, ReceptionHost& host, const RecordParts& parts, const std::string& northText,
                     const std::string& eastText, double northKm, double eastKm, bool internet) {
  AlarmRecord& a = st.alarm;
  a.call = parts.call;
  a.time = AlarmTimeText(parts.date, parts.time);
  a.northText = northText;
  a.eastText = eastText;
  a.latText.clear();
  a.lonText.clear();
  host.ConvertMapKmToLatLon(northKm, eastKm, a.latText, a.lonText);
  a.comment = parts.comment;
  a.file = FindFileInFolder(LogFolder(st.settings.dataFolder), "_ALARM_.TXT");
  int error = 0;
  const bool ok = AppendToFile(a.file, AlarmBlock(a, st.settings.mapZoneText, internet), &error);
  if (NoteLogWrite(st, ok, error)) host.MonitorListChanged();
}

void AppendToReportLogs(ReceptionState& st, const std::string& record) {
  if (!st.settings.logsOn) return;
  const auto folder = LogFolder(st.settings.dataFolder);
  int error = 0;
  const bool shortOk = AppendToFile(FindFileInFolder(folder, "_LOG_.TXT"), ShortLogLine(record) + "\r\n", &error);
  if (!shortOk) NoteLogWrite(st, false, error);
  const bool longOk = AppendToFile(FindFileInFolder(folder, "_LOGL_.TXT"), record + "\r\n", &error);
  if (!longOk || shortOk) NoteLogWrite(st, longOk, error);
}

bool IsDiskFull(int error) { return error == ENOSPC || error == EDQUOT; }

std::string LogWriteNotice(bool failing, int error) {
  if (!failing) return "THE LOG FILES ARE WRITTEN AGAIN";
  if (IsDiskFull(error)) return "DISK FULL: THE LOG FILES ARE NOT WRITTEN";
  if (error == 0) return "THE LOG FILES CANNOT BE WRITTEN";  // no reason known
  return "THE LOG FILES CANNOT BE WRITTEN (" + UpperCase(std::strerror(error)) + ")";
}

namespace {

// Room for more than a few lines on the file system of the folder.
bool RoomIn(const std::filesystem::path& folder) {
  struct statvfs fs {};
  if (::statvfs(folder.c_str(), &fs) != 0) return true;  // nothing known: the write that worked tells
  return static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize >= 64 * 1024;
}

}  // namespace

bool NoteLogWrite(ReceptionState& st, bool ok, int error) {
  if (!ok) {
    ++st.failedLogWrites;
    if (st.logWritesFailing) return false;
    st.logWritesFailing = true;
    st.logWriteError = error;
  } else {
    if (!st.logWritesFailing) return false;
    if (IsDiskFull(st.logWriteError) && !RoomIn(LogFolder(st.settings.dataFolder))) return false;
    st.logWritesFailing = false;
  }
  AddToMonitorLines(st.monitorLines, "\n*** " + LogWriteNotice(st.logWritesFailing, st.logWriteError) + " ***\n");
  return true;
}

std::string LabelText(std::string_view text) {
  std::string label;
  label.reserve(text.size() + 4);
  for (char c : text) {
    label += c;
    if (c == '&') label += '&';
  }
  return label;
}

std::string AlarmDistanceText(double km) {
  double tenths = std::floor(km * 10.0);
  if (!std::isfinite(tenths) || tenths < 0) tenths = 0;
  std::string digits = std::to_string(static_cast<long long>(tenths));
  while (digits.size() < 2) digits.insert(digits.begin(), '0');
  digits.insert(digits.size() - 1, ".");
  return digits;
}

void ReceptionState::ClearMoniAll() {
  stations.ClearMoniAll();
  monitorLines = MonitorLines{};
}

ReceivePass::ReceivePass(ReceptionState& state, ReceptionHost& host, ChatPanel& chat,
                         const reception::SymbolTable& symbols)
    : st_(state), host_(host), chat_(chat), symbols_(symbols) {}

void ReceivePass::Log(const std::filesystem::path& path, std::string_view bytes) {
  int error = 0;
  const bool ok = AppendToFile(path, bytes, &error);
  if (NoteLogWrite(st_, ok, error)) host_.MonitorListChanged();
}

namespace {
constexpr const char* kLogNames[] = {"_LOGRAW_.TXT", "_LOG_.TXT", "_LOGL_.TXT", "_CHATLOG.TXT"};
}  // namespace

void ReceivePass::Log(LogFile file, std::string_view bytes, std::string_view lineEnd) {
  PendingLog& log = logs_[file];
  if (logsFolder_.native() != st_.settings.dataFolder.native()) {
    for (PendingLog& l : logs_) l.path.clear();
    appender_.CloseAll();
    logsFolder_ = st_.settings.dataFolder;
  }
  if (log.path.empty()) log.path = FindFileInFolder(LogFolder(st_.settings.dataFolder), kLogNames[file]);
  log.bytes.append(bytes);
  log.bytes.append(lineEnd);
  // Outside a pass the line goes into its file at once; so does a chat line in a
  // pass, since the chat window writes its own lines (a queued automatic answer)
  // into the same log straight after it.
  if (!inPass_ || file == kLogChat) WriteOutLogs();
}

void ReceivePass::WriteOutLogs() {
  LogAppender::Piece pieces[kLogFiles];
  LogFile files[kLogFiles];
  std::size_t n = 0;
  for (int f = 0; f < kLogFiles; ++f) {
    if (logs_[f].bytes.empty()) continue;
    pieces[n].path = &logs_[f].path;
    pieces[n].bytes = logs_[f].bytes;
    files[n++] = static_cast<LogFile>(f);
  }
  if (n == 0) return;
  appender_.AppendAll(pieces, n);
  bool failed = false, told = false, logsWritten = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (pieces[i].ok) {
      logsWritten = logsWritten || files[i] != kLogChat;
      continue;
    }
    // A chat log that cannot be written loses its lines only.
    if (files[i] != kLogChat) told = NoteLogWrite(st_, false, pieces[i].error) || told;
    // The folder may have gone or changed: look for the file again next time.
    logs_[files[i]].path.clear();
    failed = true;
  }
  if (!failed && logsWritten) told = NoteLogWrite(st_, true, 0);
  for (PendingLog& log : logs_) log.bytes.clear();
  if (failed) appender_.CloseAll();
  if (told) host_.MonitorListChanged();
}

void ReceivePass::Run(MonitorSource& source) {
  st_.passEventLevel = 0;
  inPass_ = true;
  struct EndOfPass {
    ReceivePass& pass;
    ~EndOfPass() {
      pass.inPass_ = false;
      pass.WriteOutLogs();
      // Whichever way the pass ends, the main cycle runs on.
      pass.host_.SetTimer1(true);
    }
  } end{*this};
  try {
    Turns(source);
  } catch (const std::exception&) {
    // A fault outside the work on one frame: what waits is dropped and the map redrawn.
    st_.receiveBuffer.clear();
    host_.DrawMap();
  }
}

void ReceivePass::Turns(MonitorSource& source) {
  for (;;) {
    TurnRead read = source.ReadTurn();
    if (read.leave == TurnRead::Leave::AtOnce) return;
    // An interface with nothing more to read ends the pass with a redraw, but
    // only once the frames that arrived whole before are taken.
    const bool dry = read.leave == TurnRead::Leave::WithRedraw;
    if (dry) read.text.clear();

    const std::string text = ApplyHeardMark(std::move(read.text));
    if (!text.empty()) {
      AddToMonitorLines(st_.monitorLines, text);
      st_.receiveBuffer += text;
      host_.MonitorListChanged();
      if (st_.settings.logsOn) Log(kLogRaw, text);
    }

    const FrameCut cut = CutFrame(st_.receiveBuffer);
    if (dry && cut.kind != FrameCut::Kind::Frame) {
      host_.DrawMap();
      return;
    }
    int level = kLevelNone;
    std::string callText;
    if (cut.kind == FrameCut::Kind::Incomplete && st_.receiveBuffer.size() > kReceiveBufferCap) {
      // A frame start whose payload line never ends: without its line start the
      // next cut drops the header, and the text after it goes as text without a frame.
      st_.receiveBuffer.erase(0, 1);
    }
    if (cut.kind == FrameCut::Kind::Incomplete && st_.receiveBuffer.size() > 400) {
      host_.DrawMap();
      return;
    }
    if (cut.kind == FrameCut::Kind::Frame) {
      host_.SetTimer1(false);
      bool ownEcho = false;
      try {
        level = ProcessFrame(cut.frameText, &ownEcho);
      } catch (const std::exception&) {
        // Whatever went wrong concerns this frame only.
        ++st_.malformedFrames;
        level = kLevelNone;
      }
      if (ownEcho) continue;
      callText = lastCall_;
    }
    const bool progressed = !text.empty() || cut.kind == FrameCut::Kind::Frame;
    if (EndOfFrame(level, callText, progressed) == Next::End) return;
  }
}

int ReceivePass::ProcessFrame(const std::string& frameText, bool* ownEcho) {
  FrameValues& v = frame_;
  v.Reset();
  lastCall_.clear();
  const HeaderOutcome header = NormaliseHeader(frameText, st_.settings.txCall, st_.settings.ownEchoHeader, v);
  if (header == HeaderOutcome::OwnEcho) {
    if (ownEcho) *ownEcho = true;
    return kLevelNone;
  }
  if (header == HeaderOutcome::Drop) return kLevelNone;
  DecodeContext ctx;
  ctx.now = host_.Now();
  ctx.utcOffsetHours = st_.settings.utcOffsetHours;
  ctx.mapCentralMeridian = st_.settings.mapCentralMeridian;
  ctx.mapFalseEasting = st_.settings.mapFalseEasting;
  ctx.onMessage = [this](const FrameValues& m) {
    HandleMessage(m, st_.settings, chat_, host_, [this](std::string_view line) { Log(kLogChat, line); });
  };
  const DecodeResult result = DecodePayload(v, ctx);
  if (result == DecodeResult::Malformed) {
    ++st_.malformedFrames;
    st_.lastMalformedReason = result.reason;
  }
  if (result != DecodeResult::Position) return kLevelNone;
  lastCall_.assign(v.callText.view());
  return StoreReport(v);
}

int ReceivePass::StoreReport(FrameValues& v) {
  const ReceptionSettings& s = st_.settings;
  int level = kLevelNone;

  // Position texts and their km values.
  const std::int64_t northM = TruncateMetres(v.northing);
  const std::int64_t eastM = FloorMetres(v.easting);
  const std::string northText = PositionText(northM);
  const std::string eastText = PositionText(eastM);
  // The record's values are made in their places in parts, known below by their names.
  RecordParts parts;
  parts.position.reserve(1 + northText.size() + eastText.size());
  parts.position += kPointMark;
  parts.position += northText;
  parts.position += eastText;
  const std::string& position = parts.position;
  const double northKm = static_cast<double>(northM) / 1000.0;
  const double eastKm = static_cast<double>(eastM) / 1000.0;

  // Date and time.
  std::string& date = parts.date;
  std::string& time = parts.time;
  if (v.thirdPartyFlag == 1 && !v.stampDate.empty() && !v.stampTime.empty()) {
    date = v.stampDate.str();
    time = v.stampTime.str();
  } else {
    const LocalTime now = host_.Now();
    date = TwoDigits(now.year % 100) + TwoDigits(now.month) + TwoDigits(now.day);
    time = TwoDigits(now.hour) + TwoDigits(now.minute);
  }

  // Symbol.
  RecordSymbol sym = CompleteSymbol(v.symbolText, symbols_);
  const int index = sym.index;
  st_.symbolIndex = index;
  if (index == 101) v.emergencyFlag = 1;
  const std::string& row = symbols_[index];
  parts.symbol = Printable(std::move(sym.symbol));
  parts.symbolName = Printable(std::move(sym.name));

  // Comment.
  v.decodedComment = CutComment(v.decodedComment);
  parts.comment = Printable(v.decodedComment.str());
  parts.call = Printable(v.callText.str());
  parts.via = Printable(v.viaText.str());
  const std::string& call = parts.call;
  const std::string& via = parts.via;

  // Record.
  parts.stamped = v.stampDeviates == 1;
  parts.messagingMark = v.messagingMark.str();
  std::string record = parts.Build(false);
  if (v.objectFlag == 1) WriteAt(record, 90, "_");
  if (v.emergencyFlag == 1) WriteAt(record, 42, "!");

  // Emergency.
  if (v.emergencyFlag == 1) {
    RecordEmergency(st_, host_, parts, northText, eastText, northKm, eastKm, false);
    level = kLevelEmergency;
  }

  // Duplicate test.
  const std::string_view trimmed = TrimView(record);
  const int newMinutes = MinutesOfDay(time);
  const std::string trimmedVia = Trim(via);
  // Records begin with their date, never with a blank: records equal without
  // their outer blanks then hold the same position, so a record at another
  // position needs no further look.
  const bool noLeadingBlank = !record.empty() && record[0] != ' ';
  std::uint64_t northHead = 0;  // the first eight bytes of the northing, a quick first look
  std::memcpy(&northHead, position.data() + 1, sizeof northHead);
  const std::string* const slots = st_.stations.MoniAll().data();
  const int count = st_.stations.MoniAllCount();
  for (int i = 1; i <= count; ++i) {
    const std::string& stored = slots[i];
    // Each record lives apart from the others: its bytes are asked for some records ahead.
    if (i + 16 <= count) __builtin_prefetch(slots[i + 16].data() + 13);
    if (noLeadingBlank && stored.size() >= 31) {
      // The common case in few steps: another position, no leading blank.
      const char* const d = stored.data();
      std::uint64_t head;
      std::memcpy(&head, d + 13, sizeof head);
      if (head != northHead && d[0] != ' ') continue;
    }
    std::uint64_t storedHead = 0;
    if (stored.size() >= 31) std::memcpy(&storedHead, stored.data() + 13, sizeof storedHead);
    const bool samePosition = storedHead == northHead && Columns(stored, 13, 31) == position;
    if (!samePosition && noLeadingBlank && !stored.empty() && stored[0] != ' ') continue;
    if (samePosition) {
      if (std::abs(MinutesOfDay(Columns(stored, 8, 11)) - newMinutes) < 10 &&
          TrimView(Columns(stored, 91, 99)) != trimmedVia)
        return level;
    }
    if (TrimView(stored) == trimmed) return level;
  }

  // Store and log.
  st_.stations.Add(record, s.moniAllLimit);
  if (s.logsOn) {
    Log(kLogShort, ShortLogLine(record), "\r\n");
    Log(kLogLong, record, "\r\n");
  }
  level = std::max(level, kLevelReport);

  // MONI ALL distance alarm.
  const int cls = v.objectFlag == 1 ? 3 : reception::SymbolClassOf(row);
  const int bit = cls == 2 ? 1 : cls == 1 ? 2 : cls == 0 ? 4 : cls == 3 ? 8 : 0;
  const std::string userCall = Trim(s.userCall);
  if (s.moniAllAlarmOn && s.moniAllDisplayLevel != 0 && (bit == 0 || (s.stationFilterMask & bit) != 0) &&
      v.callText != s.moniOneCall && userCall != v.callText && userCall != CallWithoutSsid(v.callText)) {
    const double d = std::hypot(northKm - s.userNorth, eastKm - s.userEast);
    if (d < s.alarmDistanceKm) {
      DistanceAlarm alarm;
      alarm.moniOne = false;
      alarm.frameCaption =
          "MONI ALL  < " + std::to_string(s.alarmDistanceKm) + " km  ALARM   " + AlarmTimeText(date, time);
      alarm.labelCaption = call + "    D = " + AlarmDistanceText(d) + " km !";
      host_.ShowDistanceAlarm(alarm);
    }
  }

  if (!s.moniOneCall.empty() && v.callText == s.moniOneCall) MoniOneStage(v, parts, level);
  return level;
}

void MoniOneAlarmAndFollow(const ReceptionState& st, ReceptionHost& host, const std::string& call,
                           std::string_view date, std::string_view time) {
  const ReceptionSettings& s = st.settings;
  const MoniOneNewest& n = st.stations.Newest();
  if (s.moniOneAlarmOn) {
    const double d = std::hypot(s.userNorth - n.north, s.userEast - n.east);
    if (d < s.alarmDistanceKm) {
      DistanceAlarm alarm;
      alarm.moniOne = true;
      alarm.frameCaption =
          "MONI 1  < " + std::to_string(s.alarmDistanceKm) + " km  ALARM   " + AlarmTimeText(date, time);
      alarm.labelCaption = Printable(call) + "    D = " + AlarmDistanceText(d) + " km !";
      host.ShowDistanceAlarm(alarm);
    }
  }
  host.FollowMoniOneStation();
  host.ClosePictureViewer();
}

bool RewriteMoniOneLog(ReceptionState& st) {
  const bool ok =
      WriteMoniOneLog(MoniOneLogPath(st.settings.dataFolder, st.settings.moniOneCall), st.stations.TrackRecords());
  const int error = errno;
  NoteLogWrite(st, ok, error);
  return ok;
}

void ReceivePass::MoniOneStage(const FrameValues& v, const RecordParts& parts, int& level) {
  const ReceptionSettings& s = st_.settings;
  // Append: the values of the stored record without the emergency and object marks
  // (the store takes the newest fields from it).
  st_.stations.AddWatched(parts.Build(true), s.smartLog, s.moniOneTrackLimit);
  RewriteMoniOneLog(st_);
  MoniOneAlarmAndFollow(st_, host_, v.callText.str(), parts.date, parts.time);
  if (s.toneOn) host_.Beep();
  level = std::max(level, kLevelMoniOne);
}

// The pass goes on while its turns bring text or frames: every frame that has
// arrived whole is taken in the pass that received it, never left in the
// receive buffer for a later pass (on a quiet channel, for the next frame). A
// turn that brought neither ends the pass, which draws what it stored once.
ReceivePass::Next ReceivePass::EndOfFrame(int frameLevel, const std::string& callText, bool progressed) {
  st_.passEventLevel = std::max(st_.passEventLevel, frameLevel);
  if (st_.passEventLevel == kLevelNone) {
    // A turn that brought neither text nor a frame would only repeat itself.
    if (progressed) return Next::Turn;
    host_.SetTimer1(true);
    host_.AfterQuietPass();
    return Next::End;
  }
  // A report of the INFO panel's station: the panel follows it to the newest slot.
  if (frameLevel > kLevelNone && st_.info.StationReported(callText, st_.stations, st_.settings.moniOneCall)) {
    if (st_.info.Visible()) host_.ShowWxInfoForRecord(st_.info.Record());
    host_.InfoPanelChanged();
  }
  if (frameLevel == kLevelMoniOne) {
    host_.ClosePictureViewer();
    host_.DrawMap();
  }
  if (frameLevel == kLevelEmergency) host_.ShowEmergencyWindow();
  if (progressed) return Next::Turn;
  if (!host_.PictureViewerShown()) {
    host_.DrawMap();
    return Next::End;
  }
  host_.AfterQuietPass();
  return Next::End;
}

}  // namespace zeblon::reception

#include "internet/internet_pass.h"

#include <algorithm>
#include <cstring>
#include <cmath>
#include <exception>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "reception/messages.h"
#include "settings/text_files.h"

namespace zeblon::internet {
namespace {

using reception::Columns;
using reception::FrameValues;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool Digits(std::string_view s, std::size_t at, std::size_t n, int& out) {
  if (at + n > s.size()) return false;
  out = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (!IsDigit(s[i])) return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

void AppendDigits(std::string& t, long long n, int width) {
  std::string d = std::to_string(n);
  while (static_cast<int>(d.size()) < width) d.insert(d.begin(), '0');
  t += d;
}

bool IsPositionType(char c) { return c == '!' || c == '=' || c == '@' || c == '/'; }

double Sign(double x) { return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0); }

std::string Pad9(std::string s) {
  if (s.size() < 9) s.resize(9, ' ');
  return s;
}

// The text after the first "{", as the number of a message.
std::string_view AfterBrace(std::string_view s) {
  const std::size_t b = s.find('{');
  return b == std::string_view::npos ? std::string_view{} : s.substr(b + 1);
}

}  // namespace

bool MinutesOf(int year, int month, int day, int hour, int minute, long long& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return false;
  // Days since 1970-01-01 of the proleptic Gregorian calendar.
  const long long y = month <= 2 ? year - 1 : year;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  out = (era * 146097 + doe - 719468) * 1440 + hour * 60 + minute;
  return true;
}

namespace {

// The date of a day number since 1970-01-01.
void CivilOfDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void PutDigits(std::string& t, std::size_t at, long long n, int width) {
  for (int i = width - 1; i >= 0; --i) {
    t[at + static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
    n /= 10;
  }
}

}  // namespace

bool ReadLineStamp(std::string_view d, int& year, int& month, int& day, int& hour, int& minute, int& second) {
  long long unused = 0;
  return Digits(d, 0, 4, year) && Digits(d, 4, 2, month) && Digits(d, 6, 2, day) && Digits(d, 8, 2, hour) &&
         Digits(d, 10, 2, minute) && Digits(d, 12, 2, second) && second <= 59 &&
         MinutesOf(year, month, day, hour, minute, unused);
}

bool RecordMinutes(std::string_view record, long long& out) {
  int yy = 0, mo = 0, dd = 0, hh = 0, mi = 0;
  if (!Digits(record, 0, 2, yy) || !Digits(record, 2, 2, mo) || !Digits(record, 4, 2, dd) ||
      !Digits(record, 7, 2, hh) || !Digits(record, 9, 2, mi))
    return false;
  return MinutesOf(2000 + yy, mo, dd, hh, mi, out);
}

LineOutcome DecodeInternetLine(std::string_view rawLine, std::string_view newestMoniOne, const LineSettings& s,
                               InternetLine& l, const std::function<void(const InternetLine&)>& onMessage) {
  FrameValues& v = l.v;
  v.Reset();
  l.reportStamp.clear();
  l.relayed = false;
  l.date.clear();
  l.time.clear();

  // Dashed stamp: YYYY-MM-DD HH:MM:SS, to the 14-digit form.
  if (rawLine.size() > 19 && rawLine[4] == '-') {
    std::string& t = l.line;
    t.clear();
    static constexpr std::size_t kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    for (std::size_t i : kDigits) t += rawLine[i];
    t.append(rawLine.substr(19));
  } else {
    l.line.assign(rawLine);
  }
  std::string& line = l.line;

  // Reception stamp: UTC, rewritten to local time.
  int second = 0;
  long long utc = 0;
  if (!Digits(line, 0, 4, l.utcYear) || !Digits(line, 4, 2, l.utcMonth) || !Digits(line, 6, 2, l.utcDay) ||
      !Digits(line, 8, 2, l.utcHour) || !Digits(line, 10, 2, l.utcMinute) || !Digits(line, 12, 2, second) ||
      second > 59 || !MinutesOf(l.utcYear, l.utcMonth, l.utcDay, l.utcHour, l.utcMinute, utc))
    return LineOutcome::Broken;
  l.localMinutes = utc + static_cast<long long>(s.utcOffsetHours) * 60;
  if (s.utcOffsetHours != 0) {
    const long long days = l.localMinutes >= 0 ? l.localMinutes / 1440 : -((-l.localMinutes + 1439) / 1440);
    const long long inDay = l.localMinutes - days * 1440;
    int year = 0, month = 0, day = 0;
    CivilOfDays(days, year, month, day);
    if (year < 0 || year > 9999) return LineOutcome::Broken;
    PutDigits(line, 0, year, 4);
    PutDigits(line, 4, month, 2);
    PutDigits(line, 6, day, 2);
    PutDigits(line, 8, inDay / 60, 2);
    PutDigits(line, 10, inDay % 60, 2);
  }
  l.date = line.substr(2, 6);
  l.time = line.substr(8, 4);

  // Time filter: older than the newest MONI 1 record.
  char minuteText[11];
  std::memcpy(minuteText, line.data() + 2, 6);
  minuteText[6] = ' ';
  std::memcpy(minuteText + 7, line.data() + 8, 4);
  if (std::string_view(minuteText, 11) < Columns(newestMoniOne, 1, 11)) return LineOutcome::Older;

  // Header.
  const std::size_t comma = line.find(',');
  const std::size_t gt = line.find('>');
  const std::size_t colon = line.find(':');
  if (comma == std::string::npos || gt == std::string::npos || colon == std::string::npos || gt < comma || colon < gt)
    return LineOutcome::Broken;
  {
    std::string& call = v.callText.Buffer();
    call.assign(line, comma + 1, gt - comma - 1);
    reception::UpperCaseInPlace(call);
    v.callText.Commit();
  }
  const std::size_t destEnd = std::min(line.find(',', gt + 1), colon);
  // The texts below refer to the line, which lives as long as the values.
  v.destinationCall.Refer(std::string_view(line).substr(gt + 1, destEnd - gt - 1));
  const std::size_t lastComma = line.rfind(',', colon);
  if (line.find("TCPIP*") != std::string::npos)
    v.viaText = "tcpip";
  else {
    std::string& via = v.viaText.Buffer();
    via.assign(line, lastComma + 1, colon - lastComma - 1);
    for (char& c : via)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    v.viaText.Commit();
  }
  v.payloadText.Refer(std::string_view(line).substr(colon + 1));
  const std::string_view p = v.payloadText;
  v.dataTypeChar = p.empty() ? '\0' : p[0];

  // The program's own relayed packets.
  if (v.destinationCall == "ZEBLRE") {
    if (!s.txCall.empty() && std::string_view(line).substr(0, 26).find(s.txCall) != std::string_view::npos)
      return LineOutcome::OwnRelay;
    l.relayed = true;
  }

  // Stamp flag: the report's own time more than 2 minutes from the reception.
  if (!l.relayed && (v.dataTypeChar == '@' || v.dataTypeChar == '/') && p.size() >= 8) {
    long long report = 0;
    int a = 0, b = 0, c = 0;
    bool known = true;
    if (p[7] == 'z') {
      if (!Digits(p, 1, 2, a) || !Digits(p, 3, 2, b) || !Digits(p, 5, 2, c) ||
          !MinutesOf(l.utcYear, l.utcMonth, a, b, c, report))
        return LineOutcome::Broken;
    } else if (p[7] == 'h') {
      if (!Digits(p, 1, 2, b) || !Digits(p, 3, 2, c) || !MinutesOf(l.utcYear, l.utcMonth, l.utcDay, b, c, report))
        return LineOutcome::Broken;
    } else {
      known = false;
    }
    if (known) {
      report += static_cast<long long>(s.utcOffsetHours) * 60;
      if (std::llabs(report - l.localMinutes) > 2) v.stampDeviates = 1;
    }
  }

  // Position forms.
  const char type = v.dataTypeChar;
  if (IsPositionType(type)) {
    if (type == '=' || type == '@') v.messagingMark = "'";
    const std::size_t d = p.find('.');
    if (d == 5 || d == 12) {
      if (p.size() >= 8 && p[7] == 'z' && v.stampDeviates == 0) l.reportStamp = std::string(p.substr(1, 6));
      if (!reception::DecodePlainForm(v)) return LineOutcome::NoPosition;
    }
  } else if (type == '$') {
    reception::DecodeNmeaForm(v);
  }
  if ((v.latText.empty() || v.lonText.empty()) && IsPositionType(type)) {
    if (!reception::DecodeCompressedForm(v)) return LineOutcome::NoPosition;
  }
  if ((type == '`' || type == '\'') && v.destinationCall.size() >= 6) {
    if (!reception::DecodeMicEForm(v)) return LineOutcome::NoPosition;
    // A comment that starts with a letter, "Z" included, or a digit keeps it.
    if (p.size() >= 10 && p[9] == 'Z' && !TrimView(p.substr(10)).empty()) v.decodedComment = TrimView(p.substr(9));
  }

  // Messages.
  if (type == ':' && !v.callText.empty() && !v.destinationCall.empty() && onMessage) onMessage(l);

  // Completion.
  if (!v.decodedComment.empty())
    v.decodedComment.RemovePrefix(v.decodedComment.size() - reception::StrippedAltitude(v.decodedComment).size());
  if (v.latText.empty() || v.lonText.empty()) return LineOutcome::NoPosition;
  if (!l.reportStamp.empty()) {
    const double stamp = LeadingNumber(l.reportStamp);
    const double received = l.utcDay * 10000.0 + l.utcHour * 100.0 + l.utcMinute;
    if (std::fabs(stamp - received) > 1) return LineOutcome::BadStamp;
  }
  if (v.latText != "YYYY" || v.lonText != "XXXX") reception::LatLonFromTexts(v);
  if (!std::isfinite(v.latitude) || !std::isfinite(v.longitude) || std::fabs(v.latitude) > 90.0 ||
      std::fabs(v.longitude) > 180.0)
    return LineOutcome::NoPosition;
  if (std::fabs(v.latitude) <= 0.01) return LineOutcome::NoPosition;
  v.projectedLatitude = Sign(v.latitude) * std::fabs(v.latitude + 0.00005);
  v.projectedLongitude = Sign(v.longitude) * std::fabs(v.longitude + 0.00005);
  double easting = std::nan(""), northing = std::nan("");
  geodesy::ConvertLatLonToUtm(v.projectedLongitude, v.projectedLatitude, s.mapCentralMeridian, easting, northing,
                              s.mapFalseEasting);
  if (!std::isfinite(easting) || !std::isfinite(northing)) return LineOutcome::NoPosition;
  if (std::fabs(northing) > 9999000.0 || std::fabs(easting) > 9999000.0) return LineOutcome::NoPosition;
  v.northing = northing;
  v.easting = easting;
  return LineOutcome::Record;
}

void HandleInternetMessage(const InternetLine& l, const reception::ReceptionSettings& s, reception::ChatPanel& chat,
                           reception::ReceptionHost& host) {
  const std::string_view body = l.v.payloadText;
  if (body.empty()) return;
  const std::string_view afterFirst = TrimView(body.substr(1));
  const std::size_t k0 = afterFirst.find(':');
  if (k0 == std::string_view::npos) return;
  const std::size_t k = k0 + 1;  // 1-based
  if (k < 5 || k > 11) return;
  const std::string t = Trim(body);
  const std::string addressee = reception::UpperCase(reception::TrimmedColumns(t, 2, static_cast<int>(k)));
  if (addressee != Trim(s.txCall) && addressee != Trim(s.userCall)) return;
  const std::string sender = reception::Printable(l.v.callText.str());

  const std::string kind(Columns(t, static_cast<int>(k) + 2, static_cast<int>(k) + 4));
  if (kind != "mok" && kind != "ack") {
    std::string chatLine(100, ' ');
    chatLine.replace(0, std::min<std::size_t>(sender.size(), 9), sender.substr(0, 9));
    chatLine[9] = ':';
    chatLine.replace(10, std::min<std::size_t>(addressee.size(), 9), addressee.substr(0, 9));
    chatLine[19] = ':';
    const std::string text = reception::Printable(TrimRight(Columns(t, static_cast<int>(k) + 2, 1 << 20)));
    chatLine.replace(20, std::min<std::size_t>(text.size(), 80), text.substr(0, 80));
    const std::string wanted = Trim(chatLine);
    const bool numbered = t.find('{') != std::string::npos;

    bool seen = Trim(chat.Line(7)) == wanted;
    for (int i = 0; i < 8 && numbered && !seen; ++i) seen = Trim(chat.Line(i)) == wanted;
    const auto logPath = reception::FindFileInFolder(reception::LogFolder(s.dataFolder), "_CHATLOG.TXT");
    if (!seen) {
      std::string log;
      if (ReadWholeFile(logPath, log)) {  // a missing or unreadable log counts as empty
        for (const std::string& entry : SplitLines(log)) {
          if (TrimView(std::string_view(entry)).empty()) continue;
          const std::string_view trimmed = TrimView(std::string_view(entry));
          if (trimmed.size() >= 16 && TrimView(trimmed.substr(15)) == wanted) {
            seen = true;
            break;
          }
        }
      }
    }
    if (!seen) {
      if (s.toneOn) host.Beep();
      chat.ScrollIn(chatLine, reception::kChatToUser);
      const reception::LocalTime now = host.Now();
      std::string entry;
      AppendDigits(entry, now.year, 4);
      AppendDigits(entry, now.month, 2);
      AppendDigits(entry, now.day, 2);
      entry += ' ';
      AppendDigits(entry, now.hour, 2);
      AppendDigits(entry, now.minute, 2);
      entry += "  " + Trim(chat.Line(7)) + "\r\n";
      reception::AppendToFile(logPath, entry);
      if (!chat.Visible()) chat.OpenForUser();
      if (numbered) {
        const std::string number = reception::WithoutControlBytes(Trim(AfterBrace(t)));
        host.SendAprsMessage(":" + Pad9(reception::WithoutControlBytes(sender)) + ":mok" + number);
      }
    }
  }
  const std::string ackKind(Columns(t, 12, 14));
  if (ackKind == "mok" || ackKind == "ack") {
    chat.Acknowledge(reception::TrimmedColumns(t, 15, 19));
  }
}

InternetPass::InternetPass(reception::ReceptionState& state, reception::ReceptionHost& host, reception::ChatPanel& chat,
                           InternetControls& controls, InternetWindow& window, const reception::SymbolTable& symbols)
    : st_(state), host_(host), chat_(chat), controls_(controls), window_(window), symbols_(symbols) {}

void InternetPass::Run(std::string& lines, const PassOptions& options) {
  level_ = 0;
  lastSource_.clear();
  for (;;) {
    const std::size_t end = lines.find("\r\n");
    if (end == std::string::npos || end == 0 || lines.size() <= 40) break;
    const std::string raw = lines.substr(0, end);
    lines.erase(0, end + 2);
    ++linesRead_;
    try {
      lastOutcome_ = ProcessLine(raw);
    } catch (const std::exception&) {
      // Whatever went wrong concerns this line only.
      lastOutcome_ = LineOutcome::Broken;
    }
  }
  EndOfPass(options);
}

LineOutcome InternetPass::ProcessLine(std::string_view raw) {
  lastSource_.clear();
  const reception::ReceptionSettings& s = st_.settings;
  LineSettings ls;
  ls.utcOffsetHours = s.utcOffsetHours;
  ls.txCall = s.txCall;
  ls.mapCentralMeridian = s.mapCentralMeridian;
  ls.mapFalseEasting = s.mapFalseEasting;
  const std::string newest(
      Columns(st_.stations.MoniOneTrack()[static_cast<std::size_t>(st_.stations.MoniOneCount())], 1, 11));
  const LineOutcome outcome = DecodeInternetLine(
      raw, newest, ls, line_, [this](const InternetLine& l) { HandleInternetMessage(l, st_.settings, chat_, host_); });
  lastSource_ = line_.v.callText.str();
  if (outcome != LineOutcome::Record) return outcome;
  if (line_.v.callText != s.moniOneCall || s.moniOneCall.empty()) return LineOutcome::NotWatched;
  StoreRecord(line_);
  ++linesStored_;
  if (level_ >= 1) RefreshMoniOne(line_);
  return LineOutcome::Record;
}

void InternetPass::StoreRecord(const InternetLine& l) {
  const reception::ReceptionSettings& s = st_.settings;
  const FrameValues& v = l.v;

  // The record.
  const std::int64_t northM = TruncateMetres(v.northing);
  const std::int64_t eastM = FloorMetres(v.easting);
  const std::string northText = PositionText(northM);
  const std::string eastText = PositionText(eastM);
  const double northKm = static_cast<double>(northM) / 1000.0;
  const double eastKm = static_cast<double>(eastM) / 1000.0;
  const reception::RecordSymbol sym = reception::CompleteSymbol(v.symbolText, symbols_);
  st_.symbolIndex = sym.index;
  const std::string comment = reception::Printable(reception::CutComment(v.decodedComment));
  const reception::RecordParts parts{l.date,
                                     l.time,
                                     v.stampDeviates == 1,
                                     std::string(1, reception::kPointMark) + northText + eastText,
                                     v.messagingMark.str(),
                                     reception::Printable(v.callText.str()),
                                     comment,
                                     reception::Printable(v.viaText.str()),
                                     reception::Printable(sym.symbol),
                                     reception::Printable(sym.name)};
  std::string record = parts.BuildClipped();

  // MONI 1 merge: the track in time order, the record added when it is newer.
  const auto later = [&record](const std::string& newest) {
    long long n = 0, r = 0;
    if (!RecordMinutes(newest, n)) return true;  // a newest record without a readable date cannot hold newer ones back
    if (!RecordMinutes(record, r)) return false;
    const long long d = r - n;
    return d > 1 || (d > 0 && Columns(record, 13, 89) != Columns(newest, 13, 89));
  };
  if (st_.stations.MergeWatched(record, later)) {
    level_ = std::max(level_, reception::kLevelMoniOne);
    if (sym.index == 101 || v.emergencyFlag == 1) {
      reception::WriteAt(record, 42, "!");
      reception::RecordEmergency(st_, host_, parts, northText, eastText, northKm, eastKm, true);
      level_ = reception::kLevelEmergency;
    }
  }

  // MONI ALL: the same report is stored once; a later copy may bring its comment.
  st_.stations.Merge(record, s.moniAllLimit);
  reception::AppendToReportLogs(st_, record);

  // MONI 1 track upkeep and its log file.
  st_.stations.KeepTrackBounds(s.smartLog, s.moniOneTrackLimit);
  reception::RewriteMoniOneLog(st_);
}

void InternetPass::RefreshMoniOne(const InternetLine& l) {
  st_.stations.RenewNewest();
  reception::MoniOneAlarmAndFollow(st_, host_, l.v.callText.str(), l.date, l.time);
}

void InternetPass::EndOfPass(const PassOptions& options) {
  const reception::ReceptionSettings& s = st_.settings;
  if (level_ > 1 && s.toneOn) host_.Beep();
  // A report of the INFO panel's station: the panel follows it to the newest slot.
  if (!lastSource_.empty() && st_.info.StationReported(lastSource_, st_.stations, s.moniOneCall)) {
    if (st_.info.Visible()) host_.ShowWxInfoForRecord(st_.info.Record());
    host_.InfoPanelChanged();
    if (st_.info.Visible()) window_.ShowNewestInfoReport();
  }
  host_.ClosePictureViewer();
  controls_.HideNotice();
  if (level_ == reception::kLevelEmergency)
    host_.ShowEmergencyWindow();
  else if (!options.scanBusy || !options.areaSupportOn)
    host_.DrawMap();
}

}  // namespace zeblon::internet

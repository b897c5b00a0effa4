#include "reception/station_record.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "geodesy/text.h"
#include "reception/log_appender.h"
#include "settings/text_files.h"

namespace zeblon::reception {

namespace fs = std::filesystem;

std::string BlankRecord() { return std::string(kRecordLength, ' '); }

void WriteAt(std::string& record, int column, std::string_view value) {
  if (column < 1) return;
  const std::size_t start = static_cast<std::size_t>(column - 1);
  if (start >= record.size()) return;
  const std::size_t n = std::min(value.size(), record.size() - start);
  record.replace(start, n, value.substr(0, n));
}

long RecordDayNumber(std::string_view record) {
  long year = static_cast<long>(LeadingNumber(Columns(record, 1, 2))) + 1900;
  if (year < 1970) year += 100;
  return year * 360 + static_cast<long>(LeadingNumber(Columns(record, 3, 4))) * 30 +
         static_cast<long>(LeadingNumber(Columns(record, 5, 6)));
}

std::string TrimmedColumns(std::string_view text, int first, int last) { return Trim(Columns(text, first, last)); }

std::string ToSlot(std::string_view text) {
  std::string s(text.substr(0, std::min(text.size(), kRecordLength)));
  s.resize(kRecordLength, ' ');
  return s;
}

std::string PositionPart(double northingMetres, double eastingMetres) {
  std::string part(1, kPointMark);
  part += PositionText(TruncateMetres(northingMetres));
  part += PositionText(FloorMetres(eastingMetres));
  return part;
}

std::string CutComment(std::string_view comment) {
  if (comment.size() <= kCommentWidth) return std::string(comment);
  return std::string(comment.substr(0, kCommentWidth - 1)) + "~";
}

std::string Printable(std::string s) {
  for (char& ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32 || c == 127) ch = '_';
  }
  return s;
}

std::string ShortLogLine(std::string_view record) {
  // Columns 1-58, a blank, columns 90-120 of the record held to its slot length.
  std::string line;
  line.reserve(92);  // room for a line end
  line.assign(90, ' ');
  const std::string_view r = record.substr(0, std::min(record.size(), kRecordLength));
  r.substr(0, 58).copy(line.data(), 58);
  if (r.size() > 89) r.substr(89).copy(line.data() + 59, 31);
  return line;
}

std::string AlarmTimeText(std::string_view date, std::string_view time) {
  std::string d(date.substr(0, std::min<std::size_t>(date.size(), 6)));
  std::string t(time.substr(0, std::min<std::size_t>(time.size(), 4)));
  d.resize(6, ' ');
  t.resize(4, ' ');
  return "20" + d.substr(0, 2) + "-" + d.substr(2, 2) + "-" + d.substr(4, 2) + " " + t.substr(0, 2) + ":" +
         t.substr(2, 2);
}

std::string AlarmBlock(const AlarmRecord& a, std::string_view mapZoneText, bool internet) {
  const std::string rule(60, '-');
  std::string b;
  b += rule + "\r\n";
  b += "STATION : " + a.call + "\r\n";
  b += "TIME    : " + a.time + "\r\n";
  b += (internet ? "QTH GLL : " : "GLL     : ") + a.latText + " " + a.lonText + "\r\n";
  b += "UTM(Z" + std::string(mapZoneText) + "): " + a.northText + " " + a.eastText + "\r\n";
  b += "INFO    : " + a.comment + "\r\n";
  b += rule + "\r\n";
  return b;
}

bool AppendToFile(const fs::path& path, std::string_view bytes, int* error) {
  const int fd = OpenForAppending(path);
  if (fd < 0) {
    if (error != nullptr) *error = errno;
    return false;
  }
  int failure = 0;
  bool torn = false;
  // A last line left without its end (a program killed while it appended) is ended first.
  const bool ok =
      AppendWholeLines(fd, OwedLineEnd(fd), {}, failure, torn) && AppendWholeLines(fd, bytes, {}, failure, torn);
  ::close(fd);
  if (error != nullptr) *error = failure;
  return ok;
}

fs::path LogFolder(const fs::path& dataFolder) { return FindFileInFolder(dataFolder, "LOG"); }

std::string SafeFileName(std::string_view name) {
  std::string s;
  s.reserve(name.size() + 1);
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    const bool bad = c < 32 || c == 127 || ch == '/' || ch == '\\' || ch == ':' || ch == '*' || ch == '?' ||
                     ch == '"' || ch == '<' || ch == '>' || ch == '|';
    s += bad ? '_' : ch;
  }
  if (s.empty() || s.front() == '.' || s.front() == ' ') s.insert(s.begin(), '_');
  return s;
}

namespace {
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}
}  // namespace

fs::path FindFileInFolder(const fs::path& folder, std::string_view name) {
  std::error_code ec;
  const fs::path exact = folder / std::string(name);
  if (fs::exists(exact, ec)) return exact;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (SameNameIgnoringCase(entry, name)) return it->path();
  }
  return exact;
}

fs::path MoniOneLogPath(const fs::path& dataFolder, std::string_view call) {
  return FindFileInFolder(LogFolder(dataFolder), SafeFileName(call) + ".TXT");
}

std::vector<std::string> MoniOneRecordsOf(std::string_view bytes) {
  std::vector<std::string> records;
  for (const std::string& line : SplitLines(bytes)) {
    if (line.size() >= 103 && line.size() <= kRecordLength) records.push_back(ToSlot(line));
  }
  if (records.size() > static_cast<std::size_t>(kMoniOneMaxLines)) {
    records.erase(records.begin(), records.end() - kMoniOneMaxLines);
  }
  return records;
}

std::vector<std::string> ReadMoniOneLog(const fs::path& path, bool* ok) {
  std::string bytes;
  const bool read = ReadWholeFile(path, bytes);
  if (ok) *ok = read;
  return read ? MoniOneRecordsOf(bytes) : std::vector<std::string>{};
}

}  // namespace zeblon::reception

#include "links/track_import.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "geodesy/text.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "settings/settings.h"

namespace zeblon::links {
namespace fs = std::filesystem;
namespace {

bool IsBlank(const std::string& line) { return Trim(line).empty(); }

// Columns `from` (1-based) for `count` characters; shorter when the line ends first.
std::string Columns(const std::string& line, size_t from, size_t count) {
  if (line.size() < from) return {};
  return line.substr(from - 1, count);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

bool ReadLines(const fs::path& file, std::vector<std::string>& lines) {
  std::string bytes;
  if (!ReadWholeFile(file, bytes)) return false;
  lines = SplitLines(bytes);
  return true;
}

// Replaces `target` with the lines (platform::WriteFileAtomically: a temporary
// file beside the target, flushed, renamed over it); false with the target
// untouched when any step fails.
bool WriteLines(const fs::path& target, const std::vector<std::string>& lines) {
  return WriteFileAtomically(target, JoinLines(lines));
}

}  // namespace

std::string TrackLineKey(const std::string& line) { return Columns(line, 21, 13); }

std::string WayLogLineKey(const std::string& line) { return Columns(line, 11, 11); }

std::vector<std::string> MergeTrackLines(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> out;
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::string ka = TrackLineKey(a[i]);
    const std::string kb = TrackLineKey(b[j]);
    if (ka < kb) {
      if (!IsBlank(a[i])) out.push_back(a[i]);
      ++i;
    } else if (ka == kb) {
      if (!IsBlank(a[i])) out.push_back(a[i]);
      ++i;
      ++j;
    } else {
      out.push_back(b[j]);
      ++j;
    }
  }
  for (; i < a.size(); ++i) {
    if (!IsBlank(a[i])) out.push_back(a[i]);
  }
  for (; j < b.size(); ++j) out.push_back(b[j]);
  return out;
}

std::optional<std::string> WayLogSummaryLine(const std::vector<std::string>& vec_lines,
                                             const std::string& vec_file_name) {
  const std::string* candidate = nullptr;
  double n0 = 0, e0 = 0;
  float best = 0;
  for (const std::string& line : vec_lines) {
    if (IsBlank(line)) continue;
    const double n = LeadingNumber(Columns(line, 2, 5));
    const double e = LeadingNumber(Columns(line, 11, 5));
    if (candidate == nullptr) {
      candidate = &line;
      n0 = n;
      e0 = e;
      continue;
    }
    const float d = std::sqrt(static_cast<float>((n - n0) * (n - n0) + (e - e0) * (e - e0)));
    if (d >= best) {
      candidate = &line;
      best = d;
    }
  }
  if (candidate == nullptr) return std::nullopt;
  const std::string& c = *candidate;
  const std::string tail = vec_file_name.size() > 2 ? vec_file_name.substr(2) : std::string();
  return Columns(c, 3, 4) + Columns(c, 11, 5) + " " + Columns(c, 23, 11) + " OUT_A  OUTDOOR_ACT TK" + tail;
}

std::vector<std::string> InsertWayLogLine(const std::vector<std::string>& log_lines, const std::string& summary) {
  const std::string t = WayLogLineKey(summary);
  std::vector<std::string> out;
  bool inserted = false;
  for (const std::string& line : log_lines) {
    if (!inserted) {
      const std::string k = WayLogLineKey(line);
      if (k == t) {
        out.push_back(line);
        out.push_back(summary);
        inserted = true;
        continue;
      }
      if (k > t) {
        out.push_back(summary);
        inserted = true;
      }
    }
    out.push_back(line);
  }
  if (!inserted) out.push_back(summary);
  return out;
}

TrackImportResult ImportVecTrackFiles(const fs::path& app_folder) {
  TrackImportResult result;
  std::error_code ec;
  const fs::path stock = platform::ResolveOrSame(app_folder / "U33");
  const fs::path vec_folder = platform::ResolveOrSame(stock / "VEC");
  fs::create_directories(vec_folder, ec);
  const auto map_folder = platform::ResolveCaseInsensitive(platform::WindowsPathToLinux("C:\\MAP\\U33", app_folder));
  const fs::path trk_folder = platform::ResolveOrSame(stock / "TRK");
  // What an interrupted import left: the work file of earlier versions and the
  // temporary files of killed rewrites.
  fs::remove(stock / "X.INT", ec);
  platform::RemoveLeftoverTemporaryFiles(trk_folder);
  if (map_folder) platform::RemoveLeftoverTemporaryFiles(*map_folder);

  // The names, in a stable order, at most 200.
  std::vector<fs::path> files;
  for (fs::directory_iterator it(vec_folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    if (platform::UpperAscii(it->path().extension().string()) == ".VEC") files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  if (files.size() > static_cast<size_t>(kMaxVecFilesPerStart)) files.resize(kMaxVecFilesPerStart);
  if (files.empty()) return result;

  for (const fs::path& vec : files) {
    const std::string name = vec.filename().string();
    std::vector<std::string> vec_lines;
    if (!ReadLines(vec, vec_lines)) {
      result.failed.push_back(name);
      continue;
    }

    // The way log, where there is one; a failure here does not stop the merge.
    if (map_folder) {
      const std::string tail = name.size() > 2 ? name.substr(2) : name;
      fs::copy_file(vec, *map_folder / ("TK" + tail), fs::copy_options::overwrite_existing, ec);
      if (const auto summary = WayLogSummaryLine(vec_lines, name)) {
        const fs::path log = platform::ResolveOrSame(*map_folder / "QTHWAY.TXT");
        std::vector<std::string> log_lines;
        ReadLines(log, log_lines);  // a missing way log starts empty
        WriteLines(log, InsertWayLogLine(log_lines, *summary));
      }
    }

    // The day's TRK file.
    fs::create_directories(trk_folder, ec);
    const fs::path target =
        platform::ResolveOrSame(trk_folder / (name.substr(0, std::min<size_t>(8, name.size())) + ".TRK"));
    std::vector<std::string> merged;
    bool ok = true;
    if (fs::exists(target, ec)) {
      std::vector<std::string> trk_lines;
      ok = ReadLines(target, trk_lines);
      if (ok) merged = MergeTrackLines(vec_lines, trk_lines);
    } else {
      for (const std::string& l : vec_lines) {
        if (!IsBlank(l)) merged.push_back(l);
      }
    }
    if (ok) ok = WriteLines(target, merged);
    if (!ok) {
      result.failed.push_back(name);  // kept for a later start
      continue;
    }
    fs::remove(vec, ec);
    if (ec)
      result.failed.push_back(name);
    else
      ++result.imported;
  }
  return result;
}

}  // namespace zeblon::links

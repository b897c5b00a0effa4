#include "reception/station_store.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <functional>
#include <utility>

#include "geodesy/text.h"
#include "settings/text_files.h"

namespace zeblon::reception {

namespace fs = std::filesystem;

namespace {

double KmOf(std::string_view record, int first, int last) { return LeadingNumber(Columns(record, first, last)); }

}  // namespace

MoniOneNewest NewestFieldsOf(std::string_view record) {
  MoniOneNewest f;
  if (record.empty()) return f;
  f.date = std::string(Columns(record, 1, 6));
  f.time = std::string(Columns(record, 8, 11));
  f.north = KmOf(record, 14, 22);
  f.east = KmOf(record, 23, 31);
  f.via = TrimmedColumns(record, 91, 99);
  f.comment = TrimmedColumns(record, 43, 89);
  f.symbol = TrimmedColumns(record, 101, 103);
  f.symbolName = TrimmedColumns(record, 105, 120);
  return f;
}

StationStore::StationStore()
    : moniAll_(static_cast<std::size_t>(kMoniAllSlots), BlankRecord()),
      track_(static_cast<std::size_t>(kMoniOneSlots), BlankRecord()) {}

void StationStore::Changed() {
  for (const auto& listener : listeners_)
    if (listener) listener();
}

// ---------------------------------------------------------------------------
// MONI ALL

void StationStore::AppendMoniAll(const std::string& record) {
  if (moniAllCount_ < kMoniAllSlots - 1) {
    moniAll_[static_cast<std::size_t>(++moniAllCount_)] = record;
  } else {
    // The slots are full (a limit above the store's size): make room as the quarter pass does.
    moniAll_.erase(moniAll_.begin() + 2);
    moniAll_.push_back(BlankRecord());
    moniAll_[static_cast<std::size_t>(moniAllCount_)] = record;
  }
}

void StationStore::SortMoniAll() {
  const auto first = moniAll_.begin() + 1, last = moniAll_.begin() + 1 + moniAllCount_;
  if (!std::is_sorted(first, last)) std::sort(first, last);
}

void StationStore::Add(const std::string& record, int limit) {
  AppendMoniAll(record);
  if (moniAllCount_ > limit) PruneMoniAll(limit);
  Changed();
}

void StationStore::AddInOrder(const std::string& record, int limit) {
  AppendMoniAll(record);
  if (moniAllCount_ > limit) PruneMoniAll(limit);
  SortMoniAll();
  Changed();
}

void StationStore::Merge(const std::string& record, int limit) {
  bool stored = false;
  const std::string_view key = Columns(record, 1, 41);
  for (int i = 1; i <= moniAllCount_; ++i) {
    std::string& old = moniAll_[static_cast<std::size_t>(i)];
    if (Columns(old, 1, 41) != key) continue;
    stored = true;
    if (TrimmedColumns(old, 43, 89).empty() && !TrimmedColumns(record, 43, 89).empty())
      old.replace(42, 47, record, 42, 47);
  }
  if (!stored) AppendMoniAll(record);
  if (moniAllCount_ > limit) PruneMoniAll(limit);
  SortMoniAll();
  Changed();
}

void StationStore::ClearMoniAll() {
  for (int i = 0; i <= moniAllCount_ && i < kMoniAllSlots; ++i) moniAll_[static_cast<std::size_t>(i)] = BlankRecord();
  moniAllCount_ = 0;
  Changed();
}

void StationStore::PruneMoniAll(int limit) {
  auto& log = moniAll_;
  int& count = moniAllCount_;
  // Recurrence pass: of slots 2 on, only the newest record of a call at one place stays.
  // The place (columns 14-31) and the call (33-41) are looked at where they stand,
  // in a table of slot numbers (0: free) with room to spare.
  const auto key = [&log](int i) { return std::make_pair(Columns(log[i], 14, 31), Columns(log[i], 33, 41)); };
  const auto hash = [](const std::pair<std::string_view, std::string_view>& k) {
    const std::size_t a = std::hash<std::string_view>{}(k.first);
    return a ^ (std::hash<std::string_view>{}(k.second) + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
  };
  std::size_t size = 16;
  while (size < 2 * static_cast<std::size_t>(count) + 2) size *= 2;
  std::vector<int> table(size, 0);
  std::vector<bool> keep(static_cast<std::size_t>(count) + 1, true);
  for (int i = count; i >= 2; --i) {
    const auto k = key(i);
    for (std::size_t at = hash(k) & (size - 1);; at = (at + 1) & (size - 1)) {
      if (table[at] == 0) {
        table[at] = i;
        break;
      }
      if (key(table[at]) == k) {
        keep[i] = false;
        break;
      }
    }
  }
  int to = 2;
  for (int i = 2; i <= count; ++i)
    if (keep[i]) {
      if (to != i) log[to] = std::move(log[i]);
      ++to;
    }
  for (int i = to; i <= count; ++i) log[i] = BlankRecord();
  count = to - 1;
  // Quarter pass.
  if (count > limit) {
    const int q = limit / 4;
    for (int i = 2; i <= count - q; ++i) log[i] = std::move(log[i + q]);
    for (int i = count - q + 1; i <= count; ++i) log[i] = BlankRecord();
    count -= q;
  }
}

// ---------------------------------------------------------------------------
// The MONI 1 track

void StationStore::AddWatched(const std::string& record, bool smartLog, int trackLimit) {
  auto& track = track_;
  int& count = trackCount_;
  ++count;
  track[count] = record;
  // Repeat: a report equal from column 13 on only renews the date and time.
  if (Columns(track[count], 13, 120) == Columns(track[count - 1], 13, 120)) {
    track[count - 1] = track[count];
    track[count] = BlankRecord();
    --count;
  }
  BoundTrack(smartLog, trackLimit, ThinCycles::OnPreviousResult);
  TakeNewestOfTrack();
  Changed();
}

bool StationStore::MergeWatched(const std::string& record, const std::function<bool(const std::string&)>& later) {
  auto& track = track_;
  const int count = trackCount_;
  if (!std::is_sorted(track.begin() + 1, track.begin() + 1 + count))
    std::sort(track.begin() + 1, track.begin() + 1 + count);
  const bool add = count == 0 || later(track[static_cast<std::size_t>(count)]);  // an empty track takes the first
  if (add) {
    if (trackCount_ >= kMoniOneSlots - 1) DropOldestThousand();
    track[static_cast<std::size_t>(++trackCount_)] = record;
    TakeNewestOfTrack();
  }
  Changed();
  return add;
}

void StationStore::DropOldestThousand() {
  auto& track = track_;
  int& count = trackCount_;
  for (int i = 1; i <= count - 1000; ++i) track[i] = std::move(track[i + 1000]);
  for (int i = count - 999; i <= count; ++i) track[i] = BlankRecord();
  count -= 1000;
}

void StationStore::BoundTrack(bool smartLog, int trackLimit, ThinCycles cycles) {
  if (trackCount_ > kMoniOneMaxLines) DropOldestThousand();
  if (smartLog && trackCount_ > 1.1 * trackLimit) ThinTrack(trackLimit, cycles);
}

void StationStore::KeepTrackBounds(bool smartLog, int trackLimit) {
  BoundTrack(smartLog, trackLimit, ThinCycles::FromTrackAfterGaps);
  Changed();
}

void StationStore::ThinTrack(int trackLimit, ThinCycles cycles) {
  auto& track = track_;
  int& count = trackCount_;
  const double limit = trackLimit;
  // Gap pass: the earlier trips go first.
  const std::size_t before =
      RecordsBeforeLastGap(std::span(track).subspan(1, static_cast<std::size_t>(count)), kReceivePassGapDays);
  for (std::size_t k = 1; k <= before; ++k) track[k] = BlankRecord();
  // The track as the file holds it: the blank slots left out.
  const std::string blank = BlankRecord();
  int to = 1;
  for (int i = 1; i <= count; ++i)
    if (track[i] != blank) {
      if (to != i) track[to] = track[i];
      ++to;
    }
  for (int i = to; i <= count; ++i) track[i] = blank;
  count = to - 1;

  struct Pass {
    double share, step;
  };
  static constexpr Pass kPasses[] = {{3.0 / 4, 0.01}, {2.0 / 3, 0.05}, {1.0 / 2, 0.1}, {1.0 / 3, 0.2}, {1.0 / 4, 0.5}};
  // The track as the gap pass left it, for cycles that start from it again.
  std::vector<std::string> afterGaps;
  if (cycles == ThinCycles::FromTrackAfterGaps) afterGaps.assign(track.begin() + 1, track.begin() + 1 + count);
  double x = 1;
  for (int run = 0; run < 80; ++run) {
    if (run > 0 && cycles == ThinCycles::FromTrackAfterGaps) {
      for (int i = 1; i <= count; ++i) track[i] = blank;
      count = static_cast<int>(afterGaps.size());
      std::copy(afterGaps.begin(), afterGaps.end(), track.begin() + 1);
    }
    for (const Pass& p : kPasses) {
      if (!(count > 0.8 * limit)) continue;
      int i = 1;
      while (i < count * p.share) {
        const double dn = std::fabs(KmOf(track[i], 14, 22) - KmOf(track[i + 1], 14, 22));
        const double de = std::fabs(KmOf(track[i], 23, 31) - KmOf(track[i + 1], 23, 31));
        if (dn < p.step * x && de < p.step * x) {
          for (int k = i + 1; k < count; ++k) track[k] = std::move(track[k + 1]);
          track[count] = blank;
          --count;
          if (i == 1) i = 2;
        } else {
          ++i;
        }
      }
    }
    if (!(count > 0.8 * limit)) break;
    x *= 2;
  }
}

void StationStore::RemoveStamped() {
  auto& track = track_;
  const int count = std::clamp(trackCount_, 0, static_cast<int>(track.size()) - 1);
  int kept = 0;
  for (int i = 1; i <= count; ++i) {
    if (Columns(track[i], 12, 12) == "T") continue;
    ++kept;
    if (kept != i) track[kept] = std::move(track[i]);
  }
  for (int i = kept + 1; i <= count; ++i) track[i] = BlankRecord();
  trackCount_ = kept;
  Changed();
}

void StationStore::PrepareTrackForDrawing(bool smartLog, bool pictureShown) {
  if (smartLog && !pictureShown) RemoveStamped();
}

void StationStore::TakeNewestOfTrack() { newest_ = NewestFieldsOf(track_[static_cast<std::size_t>(trackCount_)]); }

void StationStore::RenewNewest() {
  TakeNewestOfTrack();
  Changed();
}

void StationStore::SetNewestPosition(double north, double east) {
  newest_.north = north;
  newest_.east = east;
  Changed();
}

void StationStore::SetNewest(MoniOneNewest newest) {
  newest_ = std::move(newest);
  Changed();
}

void StationStore::FillTrack(std::vector<std::string> records) {
  const int old = trackCount_;
  trackCount_ = 0;
  for (std::string& record : records) {
    if (trackCount_ >= kMoniOneSlots - 1) break;
    track_[static_cast<std::size_t>(++trackCount_)] = std::move(record);
  }
  const std::string blank = BlankRecord();
  for (int i = trackCount_ + 1; i <= old; ++i) track_[static_cast<std::size_t>(i)] = blank;
  track_[0] = blank;
}

void StationStore::LoadTrack(std::vector<std::string> records) {
  FillTrack(std::move(records));
  Changed();
}

int StationStore::MergeMoniAll(std::string_view call, bool internetSupport) {
  const int taken = TakeFromMoniAll(call, internetSupport);
  Changed();
  return taken;
}

int StationStore::TakeFromMoniAll(std::string_view call, bool internetSupport) {
  auto& track = track_;
  int& count = trackCount_;
  int taken = 0;
  const int last = std::min(moniAllCount_, static_cast<int>(moniAll_.size()) - 1);
  for (int j = 0; j <= last; ++j) {
    const std::string& rec = moniAll_[j];
    if (TrimmedColumns(rec, 33, 41) != call) continue;
    if (!(Columns(rec, 1, 11) > Columns(track[count], 1, 11))) continue;
    const bool fromInternet = rec.size() >= 91 && static_cast<unsigned char>(rec[90]) > 96;
    if (internetSupport && fromInternet && TrimmedColumns(rec, 43, 89).empty()) continue;
    // A full track makes room the way reception does: the oldest 1000 go.
    if (count >= kMoniOneMaxLines) DropOldestThousand();
    track[++count] = rec;
    ++taken;
  }
  return taken;
}

bool StationStore::SelectWatched(const fs::path& dataFolder, std::string_view call, bool internetSupport) {
  const fs::path logPath = MoniOneLogPath(dataFolder, call);
  MoniOneLogFile log = OpenMoniOneLog(logPath);
  FillTrack(std::move(log.records));
  TakeFromMoniAll(call, internetSupport);
  Changed();
  if (!log.read) return false;
  return WriteMoniOneLog(logPath, TrackRecords());
}

MoniOneLogFile StationStore::RestoreAtStartUp(const fs::path& dataFolder, std::string_view call) {
  MoniOneLogFile log = RestoreMoniOneLog(MoniOneLogPath(dataFolder, call));
  newest_ = log.records.empty() ? MoniOneNewest{} : NewestFieldsOf(log.records.back());
  FillTrack(log.records);
  Changed();
  return log;
}

bool StationStore::DeleteTrack(bool older, int index, const fs::path& log, int& error) {
  const int count = std::clamp(trackCount_, 0, static_cast<int>(track_.size()) - 1);
  index = std::clamp(index, std::min(1, count), count);
  std::vector<std::string> kept;
  if (older) {
    for (int i = std::max(index, 1); i <= count; ++i) kept.push_back(track_[static_cast<std::size_t>(i)]);
  } else {
    for (int i = 1; i <= index; ++i) kept.push_back(track_[static_cast<std::size_t>(i)]);
  }
  // The file first: when it cannot be replaced, nothing changes.
  const std::vector<std::string> before(track_.begin(), track_.begin() + count + 1);
  for (std::size_t i = 0; i < kept.size(); ++i) track_[i + 1] = kept[i];
  for (std::size_t i = kept.size() + 1; i <= static_cast<std::size_t>(count); ++i) track_[i] = BlankRecord();
  trackCount_ = static_cast<int>(kept.size());
  const bool ok = WriteMoniOneLog(log, TrackRecords());
  error = errno;
  if (!ok) {
    std::copy(before.begin(), before.end(), track_.begin());
    trackCount_ = count;
    return false;
  }
  // The track as the file now holds it: every line, whatever its length (the
  // newest when there are more than the track takes).
  std::string bytes;
  if (ReadWholeFile(log, bytes)) {
    std::vector<std::string> lines = SplitLines(bytes);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    if (lines.size() > static_cast<std::size_t>(kMoniOneMaxLines))
      lines.erase(lines.begin(), lines.end() - kMoniOneMaxLines);
    for (std::size_t i = 1; i < track_.size(); ++i) track_[i] = BlankRecord();
    for (std::size_t i = 0; i < lines.size(); ++i) track_[i + 1] = ToSlot(lines[i]);
    trackCount_ = static_cast<int>(lines.size());
  }
  Changed();
  return true;
}

bool StationStore::DeleteOlder(int index, const fs::path& log, int& error) {
  return DeleteTrack(true, index, log, error);
}

bool StationStore::DeleteNewer(int index, const fs::path& log, int& error) {
  return DeleteTrack(false, index, log, error);
}

}  // namespace zeblon::reception

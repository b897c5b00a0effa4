// The heard stations: the MONI ALL reports, the watched station's (MONI 1) track
// with its newest fields, and the name of the track's log file. Every change goes
// through a named method here and is announced to the listeners of `changed`
// once; everyone else reads the store const.
//
// Both stores keep the slot layout the passes and panels count on: slot 0 holds
// no report, the reports are in slots 1 … count, and the unused slots hold a
// blank record.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reception/moni_one_log.h"
#include "reception/station_record.h"

namespace zeblon::reception {

// The newest record of the watched station's track.
struct MoniOneNewest {
  std::string date;  // YYMMDD
  std::string time;  // HHMM
  double north = 0;  // km
  double east = 0;
  std::string via;
  std::string comment;
  std::string symbol;
  std::string symbolName;
};

// The newest fields of a track record, every field at its record columns (the
// symbol name in 105-120); empty fields for an empty record.
MoniOneNewest NewestFieldsOf(std::string_view record);

class StationStore {
 public:
  StationStore();

  // --- Reading ---
  const std::vector<std::string>& MoniAll() const { return moniAll_; }
  int MoniAllCount() const { return moniAllCount_; }
  const std::vector<std::string>& MoniOneTrack() const { return track_; }
  int MoniOneCount() const { return trackCount_; }
  // The track's reports (slots 1 … count), oldest first.
  std::span<const std::string> TrackRecords() const {
    return std::span(track_).subspan(1, static_cast<std::size_t>(trackCount_));
  }
  const MoniOneNewest& Newest() const { return newest_; }

  // --- Changes (each announced once) ---
  // A report heard on the radio joins MONI ALL (a full store makes room after
  // slot 1). Above `limit` the store is pruned: of slots 2 on, repeats of a call
  // at one place go first (the newest stays), then, still above it, the quarter
  // of the limit after slot 1.
  void Add(const std::string& record, int limit);
  // As Add, and MONI ALL is then kept in time order (the web's area reports).
  void AddInOrder(const std::string& record, int limit);
  // An internet report joins MONI ALL once: a report already stored (columns
  // 1-41 equal) only takes the comment it lacked. Pruned above `limit`, kept in
  // time order.
  void Merge(const std::string& record, int limit);
  // Empties MONI ALL (CLEAR MONI ALL).
  void ClearMoniAll();

  // A report of the watched station heard on the radio joins the track; one equal
  // to the newest from column 13 on only renews its date and time. The track is
  // then kept in bounds as KeepTrackBounds does, except that every thinning cycle
  // works on the result of the one before. The newest fields are then those of
  // the track's newest record.
  void AddWatched(const std::string& record, bool smartLog, int trackLimit);
  // An internet report of the watched station: the track is put in time order and
  // takes the report when it is empty or `later(newest record)` holds; a full
  // track drops its oldest 1000 first. True when the report was taken; the
  // newest fields are then those of the report.
  bool MergeWatched(const std::string& record, const std::function<bool(const std::string& newest)>& later);
  // The internet pass's upkeep of the track: above kMoniOneMaxLines the oldest
  // 1000 go. With smart logging a track above 110 % of `trackLimit` is thinned:
  // what lies before its last gap of more than kReceivePassGapDays goes, then
  // neighbouring points closer than the pass tolerances merge in cycles of
  // doubling tolerance until the track is at 80 % of its limit. Unlike the radio
  // pass (AddWatched), whose every cycle works on the one before, each cycle here
  // starts again from the track as the gap pass left it.
  void KeepTrackBounds(bool smartLog, int trackLimit);
  // Smart logging keeps no report whose time stamp deviated (column 12 "T"):
  // they leave the track, the others keep their order; only the track in memory
  // changes (the log file keeps them until it is next rewritten).
  void RemoveStamped();
  // The track as a drawing of the map shows it: with smart logging the stamped
  // reports leave it first (RemoveStamped), except while the picture viewer
  // covers the map. Nothing changes without smart logging.
  void PrepareTrackForDrawing(bool smartLog, bool pictureShown);
  // The newest fields become those of the track's newest record (the blank slot 0
  // of an empty track): the internet pass renews them after every report of the
  // watched station once it took one, the window after the track was chosen or
  // cut.
  void RenewNewest();
  // The newest position alone: the window keeps the map centre it gave the
  // watched station there.
  void SetNewestPosition(double north, double east);
  // The newest fields as given.
  void SetNewest(MoniOneNewest newest);

  // Makes `call` the watched station: the track is emptied and takes every
  // record of the call's log in `dataFolder` (a missing log is created empty),
  // then the later reports of the call in MONI ALL (MergeMoniAll), and the log is
  // rewritten with the whole track. No report is dropped for its age. A log that
  // cannot be read is not rewritten. True when the log was read and written back.
  bool SelectWatched(const std::filesystem::path& dataFolder, std::string_view call, bool internetSupport);
  // The start-up's load of `call`'s log (RestoreMoniOneLog: cut before its last
  // gap of more than kStartUpGapDays and rewritten); the newest fields are those
  // of the last record (empty without one).
  MoniOneLogFile RestoreAtStartUp(const std::filesystem::path& dataFolder, std::string_view call);
  // Deletes the positions of the track older (DeleteOlder) or newer than slot
  // `index` (held within the track), rewrites `log` whole and reads the track
  // back from it. When the file cannot be written the track stays as it was,
  // false is returned and `error` gets the errno.
  bool DeleteOlder(int index, const std::filesystem::path& log, int& error);
  bool DeleteNewer(int index, const std::filesystem::path& log, int& error);
  // Appends to the track every MONI ALL record of `call` (slots 0 … count,
  // oldest first) whose date and time (columns 1-11) are later, as text, than the
  // track's newest record, so that the track stays in time order. An internet
  // report (lower-case heard-via in column 91) without a comment is left out
  // while MONI 1 internet support is on. A full track drops its oldest records as
  // reception does. Returns the number of records taken.
  int MergeMoniAll(std::string_view call, bool internetSupport);

  // The track becomes `records` (oldest first; what the track cannot hold is left out).
  void LoadTrack(std::vector<std::string> records);

  // --- Listening ---
  // `listener` is called after every change.
  void OnChanged(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

 private:
  void Changed();
  // The newest fields from the track's newest record, unannounced.
  void TakeNewestOfTrack();
  void AppendMoniAll(const std::string& record);
  void PruneMoniAll(int limit);
  void SortMoniAll();
  void DropOldestThousand();
  // How successive thinning cycles start.
  enum class ThinCycles { OnPreviousResult, FromTrackAfterGaps };
  void BoundTrack(bool smartLog, int trackLimit, ThinCycles cycles);
  void FillTrack(std::vector<std::string> records);
  int TakeFromMoniAll(std::string_view call, bool internetSupport);
  void ThinTrack(int trackLimit, ThinCycles cycles);
  bool DeleteTrack(bool older, int index, const std::filesystem::path& log, int& error);

  std::vector<std::string> moniAll_;
  int moniAllCount_ = 0;
  std::vector<std::string> track_;
  int trackCount_ = 0;
  MoniOneNewest newest_;
  std::vector<std::function<void()>> listeners_;
};

}  // namespace zeblon::reception

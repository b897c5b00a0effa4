// The station INFO panel's place in the stores: the station it shows, the slot
// of the report shown, whether the panel is open, the mode of its step buttons
// and the report on its record line. The reception state holds the one cursor;
// the panel's controller, the RAW list, the MONI 1 selection and the receive and
// internet passes move it through its named changes, everyone else reads it.
//
// The mode decides the step buttons' captions: on the watched station's MONI 1
// track they delete ("<X", "DELETE", "X>"), on MONI ALL they search the
// selected place ("<", "QTH=", ">"); a cursor never opened shows none.
#pragma once

#include <string>
#include <string_view>

#include "reception/station_store.h"

namespace zeblon::reception {

enum class InfoMode { None, MoniAll, MoniOne };

// The captions of the panel's step buttons and the label between them.
struct InfoCaptions {
  std::string back, label, forward;
};

class InfoCursor {
 public:
  // The one caption rule of the step buttons.
  static InfoCaptions CaptionsOf(InfoMode mode);

  const std::string& Call() const { return call_; }  // InfoCall: "" when none
  int Index() const { return index_; }               // InfoIndex
  const std::string& Record() const { return record_; }
  bool Visible() const { return visible_; }  // Frame1 shown
  InfoMode Mode() const { return mode_; }
  InfoCaptions Captions() const { return CaptionsOf(mode_); }
  std::string BackCaption() const { return Captions().back; }
  std::string LabelCaption() const { return Captions().label; }
  std::string ForwardCaption() const { return Captions().forward; }
  // The shown record with every "&" doubled, for the label controls that take
  // "&" as an access-key mark.
  const std::string& LabelText() const { return label_text_; }
  // The cursor is on `call` (never on an empty one).
  bool Shows(std::string_view call) const { return !call_.empty() && call == call_; }

  // The panel opened on slot `index` of `call`'s reports in the mode's store.
  void Open(const std::string& call, int index, InfoMode mode);
  // The panel's report: the record and its label text.
  void ShowRecord(const std::string& record);
  // The record the WX STATION window shows, the label text left as it is.
  void SetRecordForWx(const std::string& record);
  // Another slot of the same station (a step, the track shortened, MONI ALL cleared).
  void StepTo(int index);
  // The panel closed: no station any more.
  void Close();
  // The panel hidden with its station kept (positions of the track deleted).
  void Hide();
  // A report at the selected place, found searching `forward` or back from the
  // panel's slot: the cursor moves to it in MONI ALL mode with the call it was
  // opened with. A forward search opens the panel and keeps the record the WX
  // window had; a search back leaves the panel as it is and takes the record.
  // Both put the found report on the label.
  void TakePlaceHit(int index, const std::string& record, bool forward);
  // The watched station chosen anew: the cursor turns to `call` on its track's
  // slot `newest`, open or not as it was.
  void FollowWatchedStation(const std::string& call, int newest);

  // A pass stored a new report of the cursor's station in slot `index` of the
  // mode's store: the cursor moves there and, while the panel is open, takes
  // `record`.
  void FollowReport(int index, InfoMode mode, const std::string& record);
  // A pass stored a new report of `call` as the newest of its store: a cursor on
  // that station follows it to the newest slot of the MONI 1 track (the watched
  // station `moniOneCall`) or of MONI ALL. True when it did.
  bool StationReported(std::string_view call, const StationStore& stations, std::string_view moniOneCall);

 private:
  std::string call_;
  int index_ = 0;
  std::string record_;
  bool visible_ = false;
  InfoMode mode_ = InfoMode::None;
  std::string label_text_;
};

}  // namespace zeblon::reception

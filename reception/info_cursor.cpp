#include "reception/info_cursor.h"

#include "reception/receive_pass.h"

namespace zeblon::reception {

InfoCaptions InfoCursor::CaptionsOf(InfoMode mode) {
  switch (mode) {
    case InfoMode::MoniAll: return {"<", "QTH=", ">"};
    case InfoMode::MoniOne: return {"<X", "DELETE", "X>"};
    case InfoMode::None: break;
  }
  return {};
}

void InfoCursor::Open(const std::string& call, int index, InfoMode mode) {
  call_ = call;
  index_ = index;
  mode_ = mode;
  visible_ = true;
}

void InfoCursor::ShowRecord(const std::string& record) {
  record_ = record;
  label_text_ = reception::LabelText(record);
}

void InfoCursor::SetRecordForWx(const std::string& record) { record_ = record; }

void InfoCursor::StepTo(int index) { index_ = index; }

void InfoCursor::Close() {
  call_.clear();
  visible_ = false;
}

void InfoCursor::Hide() { visible_ = false; }

void InfoCursor::TakePlaceHit(int index, const std::string& record, bool forward) {
  index_ = index;
  mode_ = InfoMode::MoniAll;
  if (forward) {
    visible_ = true;
  } else {
    record_ = record;
  }
  label_text_ = reception::LabelText(record);
}

void InfoCursor::FollowWatchedStation(const std::string& call, int newest) {
  call_ = call;
  index_ = newest;
  mode_ = InfoMode::MoniOne;
}

void InfoCursor::FollowReport(int index, InfoMode mode, const std::string& record) {
  index_ = index;
  mode_ = mode;
  if (visible_) ShowRecord(record);
}

bool InfoCursor::StationReported(std::string_view call, const StationStore& stations, std::string_view moniOneCall) {
  if (!Shows(call)) return false;
  if (call_ != moniOneCall) {
    const int newest = stations.MoniAllCount();
    FollowReport(newest, InfoMode::MoniAll, stations.MoniAll()[static_cast<std::size_t>(newest)]);
  } else {
    const int newest = stations.MoniOneCount();
    FollowReport(newest, InfoMode::MoniOne, stations.MoniOneTrack()[static_cast<std::size_t>(newest)]);
  }
  return true;
}

}  // namespace zeblon::reception

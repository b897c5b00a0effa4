#include "panels/moni_one_select.h"

#include <algorithm>

#include "reception/aprs_decode.h"
#include "reception/receive_pass.h"
#include "reception/station_record.h"
#include "settings/text_files.h"

namespace zeblon::panels {

std::string MoniOneComboCall(std::string_view text) { return reception::UpperCase(Trim(text)); }

int MergeMoniAllIntoTrack(reception::ReceptionState& st, std::string_view call, bool internet_support) {
  auto& track = st.moniOneTrack;
  int& count = st.moniOneCount;
  int taken = 0;
  const int last = std::min(st.moniAllCount, static_cast<int>(st.moniAllLog.size()) - 1);
  for (int j = 0; j <= last; ++j) {
    const std::string& rec = st.moniAllLog[j];
    if (reception::TrimmedColumns(rec, 33, 41) != call) continue;
    if (!(reception::Columns(rec, 1, 11) > reception::Columns(track[count], 1, 11))) continue;
    const bool from_internet = rec.size() >= 91 && static_cast<unsigned char>(rec[90]) > 96;
    if (internet_support && from_internet && reception::TrimmedColumns(rec, 43, 89).empty()) continue;
    // A full track makes room the way reception does: the oldest 1000 go.
    if (count >= reception::kMoniOneMaxLines) {
      for (int i = 1; i <= count - 1000; ++i) track[i] = std::move(track[i + 1000]);
      for (int i = count - 999; i <= count; ++i) track[i] = reception::BlankRecord();
      count -= 1000;
    }
    track[++count] = rec;
    ++taken;
  }
  if (taken > 0 && st.settings.smartLog && count > 1.1 * st.settings.moniOneTrackLimit) {
    reception::ThinMoniOneTrack(st);
  }
  return taken;
}

std::string MoniOneComboPick::TakeOnLostFocus(std::string_view combo_text) {
  if (pick_.empty() || pick_ == combo_text) return {};
  std::string pick = std::move(pick_);
  pick_.clear();
  return pick;
}

}  // namespace zeblon::panels

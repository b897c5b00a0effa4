#include "panels/moni_one_select.h"

#include "reception/aprs_decode.h"
#include "settings/text_files.h"

namespace zeblon::panels {

std::string MoniOneComboCall(std::string_view text) { return reception::UpperCase(Trim(text)); }

std::string MoniOneComboPick::TakeOnLostFocus(std::string_view combo_text) {
  if (pick_.empty() || pick_ == combo_text) return {};
  std::string pick = std::move(pick_);
  pick_.clear();
  return pick;
}

}  // namespace zeblon::panels

#pragma once
// Choosing the watched station (MONI 1): the call typed or picked in its combo.
// The track and log of the chosen station: reception/moni_one_log.h.

#include <string>
#include <string_view>

namespace zeblon::panels {

// The combo's text as a call: trimmed and upper case ("" means keep the current call).
std::string MoniOneComboCall(std::string_view text);

// Tracks the combo's list pick: a click remembers the text, the next loss of focus
// that finds the text changed hands the pick back (to be taken like Enter).
class MoniOneComboPick {
 public:
  void Clicked(std::string_view combo_text) { pick_ = combo_text; }
  // The pick to take on a loss of focus, or "" (a pick equal to the text stays pending).
  std::string TakeOnLostFocus(std::string_view combo_text);
  const std::string& Pending() const { return pick_; }

 private:
  std::string pick_;
};

}  // namespace zeblon::panels

#pragma once
// Choosing the watched station (MONI 1): the call typed or picked in its combo,
// and the reports of the heard-stations log that join its track on selection.

#include <string>
#include <string_view>

#include "reception/reception_state.h"

namespace zeblon::panels {

// The combo's text as a call: trimmed and upper case ("" means keep the current call).
std::string MoniOneComboCall(std::string_view text);

// Appends to the MONI 1 track every MONI ALL record of `call` (slots 0 … moniAllCount,
// oldest first) whose date and time (columns 1-11) are later, as text, than the
// track's newest record, so that the track stays in time order. An internet report
// (lower-case heard-via in column 91) without a comment is left out while MONI 1
// internet support is on. A full track drops its oldest records as reception does,
// and a smart log thins it as reception does. Returns the number of records taken.
int MergeMoniAllIntoTrack(reception::ReceptionState& state, std::string_view call, bool internet_support);

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

// The station INFO panel's work on the stores, without the window: stepping
// through the reports of the shown station, the search for reports at the
// selected place, the deletion of older or newer positions of the watched
// station's track (in memory and in its log file), the retransmitted report of a
// heard station, the RAW list's line of a station and the panel's questions.
//
// The panel shows one report of `info.Call()`: in MONI 1 mode (the call is the
// watched station) slot `info.Index()` of the MONI 1 track, otherwise slot
// `info.Index()` of MONI ALL, where stepping visits only the reports of that call.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reception/aprs_decode.h"
#include "reception/reception_state.h"

namespace zeblon::panels {

// The panel shows the watched station (its call is the MONI 1 call).
bool InfoShowsMoniOne(const reception::ReceptionState& st);

// The call or object name of a record (columns 33-41, blanks around removed).
std::string RecordCall(std::string_view record);

// The record a label caption shows: every "&&" back to one "&".
std::string RecordOfLabelText(std::string_view label);

// One step of the panel's stepping buttons.
struct InfoStep {
  bool end = false;    // MONI ALL at the end of the log: a held button stops repeating
  bool found = false;  // a report to show (always in MONI 1 mode)
  int index = 0;       // the new InfoIndex (unchanged without a report)
};
enum class InfoStepKind { Newest, Oldest, Earlier, Later };
InfoStep StepInfo(const reception::ReceptionState& st, InfoStepKind kind);

// The record of the panel's slot in the store of its mode ("" outside the store).
std::string InfoSlotRecord(const reception::ReceptionState& st);

// The search radius in km at a map resolution: the metres per pixel rounded to
// a whole number, divided by 200 (whole numbers), plus 0.5.
double SearchRadiusKm(double metresPerPixel);

// The nearest MONI ALL report before (`forward` false) or after the panel's slot,
// of any station, whose position lies less than `radiusKm` from the selected point
// in both northing and easting; nullopt without one.
std::optional<int> FindReportNearby(const reception::ReceptionState& st, bool forward, double selectedNorth,
                                    double selectedEast, double radiusKm);

// A question of the panel with its message box title.
struct InfoQuestion {
  std::string text, title;
};

// The deletion's question in the language of the units digit of `languageSetting`
// (1 English, 2 German, 3 Swedish) with the first 31 characters of the shown
// report; nullopt for another digit (the answer then counts as No).
std::optional<InfoQuestion> DeletionQuestion(int languageSetting, bool older, std::string_view shownRecord);

// The retransmission's question, as above.
std::optional<InfoQuestion> RetransmitQuestion(int languageSetting);

// The MONI1 button's question for a call.
InfoQuestion MoniOneQuestion(std::string_view call);

// Deletes the positions of the MONI 1 track older (`older`) or newer than the
// panel's slot, rewrites the station's log file whole through a temporary file
// and reads it back into the track; the panel's slot becomes the newest. When the
// file cannot be written the track and the file stay as they were and false is
// returned (`error` names the file).
bool DeleteTrackPositions(reception::ReceptionState& st, bool older, std::string* error = nullptr);

// What the retransmitted report needs besides the record.
struct RetransmitContext {
  std::string userCall;  // USER: nothing is sent without one
  std::string txCall;    // the own call as sent, with its SSID
  reception::LocalTime now;
  int utcOffsetHours = 0;  // local time minus UTC
  double mapCentralMeridian = 15;
  double mapFalseEasting = 500000;
};

// The information field that puts a heard station's report on the air again:
// "}" + call + ">ZEBLRE," + own call + "*:" + "/DDHHMMz" (the report's local day
// and time moved to UTC) or "!" (a report from an earlier month), the latitude,
// the record's symbol table, the longitude, the symbol code and overlay, a blank
// and the 47 columns of the comment. nullopt without a user call or for a text
// shorter than a record's call.
std::optional<std::string> RetransmittedReport(std::string_view record, const RetransmitContext& c);

// The RAW list's line of a call: the last line that starts with it, else the last
// with it from the second character, else the last relayed line ("}" first) that
// holds it anywhere; -1 without one.
int FindRawLine(const std::vector<std::string>& lines, std::string_view call);

}  // namespace zeblon::panels

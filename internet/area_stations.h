// The area query's answer: a JSON array of the stations heard around the map
// centre, read by searching for its keys within fixed windows, each station
// that is no object stored in MONI ALL as heard via the internet ("inet").
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "reception/receive_pass.h"

namespace zeblon::internet {

// One station as the key search found it.
struct AreaStation {
  std::string call;
  std::string date;  // YYYY-MM-DD
  std::string time;  // HH:MM:SS
  double latitude = 0, longitude = 0;
  char table = '/', code = '"';
  char overlay = ' ';
};

// The next station of the answer, consumed from its front. Returns false when
// no further station is looked for; `found` is false for a station that is
// skipped (an object, a call with a blank, a key missing or outside its window).
bool NextAreaStation(std::string_view& answer, bool first, AreaStation& station, bool& found);

struct AreaOptions {
  std::function<void()> hideNotice;  // Text10 hidden, its colour green
  // The INFO panel's newest-report button at work (the map's focus, MAP L).
  std::function<void()> showNewestInfoReport;
};

// ParseAreaStations: the stations of the answer into MONI ALL (duplicates and
// older reports of a call dropped), the logs, the prune and the sort, the INFO
// panel; then the notice hidden and the map redrawn. Returns the records added.
int ParseAreaStations(std::string answer, reception::ReceptionState& state, reception::ReceptionHost& host,
                      const reception::SymbolTable& symbols = reception::StandardSymbolTable(),
                      const AreaOptions& options = {});

}  // namespace zeblon::internet

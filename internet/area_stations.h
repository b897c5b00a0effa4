// The area query's answer: a JSON array of the stations heard around the map
// centre, read as JSON (blanks and line breaks anywhere, keys in any order), each
// station that is no object stored in MONI ALL as heard via the internet ("inet").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "internet/internet_ports.h"
#include "reception/receive_pass.h"

namespace zeblon::internet {

// One station of the answer.
struct AreaStation {
  std::string call;
  std::string date;  // YYYY-MM-DD
  std::string time;  // HH:MM:SS
  double latitude = 0, longitude = 0;
  char table = '/', code = '"';
  char overlay = ' ';
};

// The stations of the answer in its order: every JSON object with a "callsign",
// less objects ("type" "O"), calls with a blank and stations lacking the time
// received ("posreceived" YYYY-MM-DD HH:MM:SS), "lat", "lon" (numbers, or numbers
// in quotes), "symbolcode" or "symboltable". Nothing for an answer that is no JSON.
std::vector<AreaStation> AreaStationsOf(std::string_view answer);

// ParseAreaStations: the stations of the answer into MONI ALL (duplicates and
// older reports of a call dropped), the logs, the prune and the sort, the INFO
// panel (a new report of its station shown with its newest-report button at
// work, through `window`: the map's focus, MAP L); then the notice hidden
// (`controls`) and the map redrawn. Returns the records added.
int ParseAreaStations(std::string answer, reception::ReceptionState& state, reception::ReceptionHost& host,
                      InternetControls& controls, InternetWindow& window,
                      const reception::SymbolTable& symbols = reception::StandardSymbolTable());

}  // namespace zeblon::internet

// libFuzzer target: fetched web text through the internet pass (raw packet lines
// of both page forms) to records, logs and the MONI 1 track in a temporary data
// folder, and through the area query's station parser and the ionosphere page
// parsers. The first byte chooses the road.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/reception_host.h"
#include "fuzz/scratch.h"
#include "internet/area_stations.h"
#include "internet/internet_pass.h"
#include "internet/ionosphere.h"
#include "internet/web_polls.h"

using namespace zeblon;
using namespace zeblon::reception;

namespace {

using Host = zeblon_fuzz::FuzzHost;
using zeblon_fuzz::Check;
using zeblon_fuzz::FuzzSettings;

void CheckStores(const ReceptionState& st) {
  Check(st.stations.MoniAllCount() >= 0 && st.stations.MoniAllCount() < kMoniAllSlots);
  Check(st.stations.MoniOneCount() >= 0 && st.stations.MoniOneCount() < kMoniOneSlots);
  for (int i = 1; i <= st.stations.MoniAllCount(); ++i)
    Check(st.stations.MoniAll()[static_cast<std::size_t>(i)].size() == kRecordLength);
  for (int i = 1; i <= st.stations.MoniOneCount(); ++i)
    Check(st.stations.MoniOneTrack()[static_cast<std::size_t>(i)].size() == kRecordLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 5;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  static ReceptionState state;
  static bool first = true;
  if (first) {
    first = false;
    state.settings = FuzzSettings();
    state.settings.moniOneAlarmOn = true;
    state.settings.alarmDistanceKm = 20000;
    state.settings.utcOffsetHours = 2;
  }
  // The watched station is the source of the first line, so that its records go on.
  const std::size_t comma = text.find(',');
  const std::size_t gt = text.find('>');
  if (comma != std::string::npos && gt != std::string::npos && gt > comma)
    state.settings.moniOneCall = UpperCase(text.substr(comma + 1, std::min<std::size_t>(gt - comma - 1, 12)));
  Host host;
  ChatLines chat;
  zeblon_fuzz::FuzzInternetWindow window;

  switch (mode) {
    case 0:
    case 1: {  // raw packet lines as handed over (mode 1: CR LF after every LF)
      std::string lines;
      if (mode == 1) {
        for (char c : text) {
          if (c == '\n') lines += '\r';
          lines += c;
        }
      } else {
        lines = text;
      }
      const std::size_t before = lines.size();
      internet::InternetPass pass(state, host, chat, window, window);
      pass.Run(lines);
      Check(lines.size() <= before);
      break;
    }
    case 2: {  // the two page forms
      std::string lines =
          internet::RawLinesFromSource1Page(text) + internet::RawLinesFromSource2Page(text, state.settings.moniOneCall);
      internet::InternetPass pass(state, host, chat, window, window);
      pass.Run(lines);
      break;
    }
    case 3:  // the area query's answer
      internet::ParseAreaStations(text, state, host, window, window);
      break;
    case 4: {  // the ionosphere pages
      internet::IonoState iono;
      internet::ParseMagnetogramPage(text, iono, "00:00:00");
      internet::ParseSpaceWeatherBulletin(text, iono, "00:00:00");
      break;
    }
  }
  CheckStores(state);
  for (int i = 0; i < 8; ++i) Check(chat.text[i].size() <= 100);
  return 0;
}

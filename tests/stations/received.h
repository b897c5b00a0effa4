// Stores filled the way the program fills them: TNC2 lines through the real
// receive pass into MONI ALL and the MONI 1 track.
#pragma once

#include <string>
#include <vector>

#include "fuzz/corpus.h"
#include "fakes.h"
#include "reception/receive_pass.h"

namespace zeblon::stations::testing {

class Received {
 public:
  Received() {
    st.settings.dataFolder = folder.path();
    st.settings.logsOn = false;
    st.settings.moniAllLimit = 3000;
    st.settings.moniOneTrackLimit = 9998;
    st.settings.mapCentralMeridian = 15.0;  // zone 33
    st.settings.mapZoneText = "33";
    st.settings.userCall = "N0CALL";
    st.settings.txCall = "N0CALL-1";
    chat.ownCall = "N0CALL-1";
  }
  // One TNC2 line ("SRC>DEST,PATH:payload") received at the given local time;
  // without a "*" in its path it was heard directly from its source.
  void Receive(std::string line, int hour = 12, int minute = 0) {
    host.now.hour = hour;
    host.now.minute = minute;
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && line.substr(0, colon).find('*') == std::string::npos) {
      const std::size_t gt = line.find('>');
      if (gt < colon) line.insert(gt, "*");
    }
    const std::string m = reception::corpus::Tnc2ToMonitor(line);
    if (!m.empty()) pass.ProcessFrame(m.substr(0, m.size() - 1));
  }
  // The newest MONI ALL record of a call ("" when none).
  std::string Newest(const std::string& call) const {
    for (int i = st.stations.MoniAllCount(); i >= 1; --i)
      if (reception::TrimmedColumns(st.stations.MoniAll()[i], 33, 41) == call) return st.stations.MoniAll()[i];
    return {};
  }

  reception::testing::TempDataFolder folder;
  reception::ReceptionState st;
  reception::testing::FakeHost host;
  reception::ChatLines chat;
  reception::ReceivePass pass{st, host, chat};
};

}  // namespace zeblon::stations::testing

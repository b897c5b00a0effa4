// One receive pass over one frame, as a TNC hands it over: the window tests feed
// the real receive pass with it.
#pragma once

#include <string>

#include "reception/monitor_input.h"
#include "reception/receive_pass.h"

namespace zeblon::testing_support {

inline void RunOneFrame(reception::ReceivePass& pass, reception::ReceptionState& state, const std::string& header,
                        const std::string& payload) {
  struct OneRead : reception::MonitorSource {
    std::string text;
    bool done = false;
    reception::TurnRead ReadTurn() override {
      if (done) return {};
      done = true;
      return {text, reception::TurnRead::Leave::No};
    }
  } source;
  source.text = header + " <UI>:\r\n" + payload + "\r\n";
  state.receiveBuffer = "\n";
  pass.Run(source);
}

}  // namespace zeblon::testing_support

// One receive pass over one frame, as a TNC hands it over: the window tests feed
// the real receive pass with it.
#pragma once

#include <string>

#include "reception/monitor_input.h"
#include "reception/receive_pass.h"

namespace zeblon::testing_support {

// The monitor text of one frame, handed over in one read.
struct OneFrameSource : reception::MonitorSource {
  OneFrameSource(const std::string& header, const std::string& payload)
      : text(header + " <UI>:\r\n" + payload + "\r\n") {}
  std::string text;
  bool done = false;
  reception::TurnRead ReadTurn() override {
    if (done) return {};
    done = true;
    return {text, reception::TurnRead::Leave::No};
  }
};

inline void RunOneFrame(reception::ReceivePass& pass, reception::ReceptionState& state, const std::string& header,
                        const std::string& payload) {
  OneFrameSource source(header, payload);
  state.receiveBuffer = "\n";
  pass.Run(source);
}

// The same through the window's own receive path (`window` has RunReceivePass).
template <class Window>
void RunOneFrame(Window& window, const std::string& header, const std::string& payload) {
  OneFrameSource source(header, payload);
  window.RunReceivePass(source);
}

}  // namespace zeblon::testing_support

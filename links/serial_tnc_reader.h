// The live reading of a serial TNC (PK-232, SCS TNC, SCS PTC): the text waiting
// at the TNC port for the receive pass, and the pass's source over it.
//
// A line that goes away under the open port (a USB adapter pulled, the far end
// closed) is said once, the port is closed and the program goes on: what was
// read before the loss is handed to the pass as usual, later reads are empty.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "reception/monitor_input.h"

namespace platform {
class SerialPort;
}

namespace zeblon::links {

class SerialTncReader {
 public:
  // `port`: the TNC port, opened by the radio link's bring-up. `kindName` ("PK-232",
  // "SCS TNC", "SCS PTC") and `portNumber` name the TNC in the notice.
  SerialTncReader(platform::SerialPort& port, std::string kindName, int portNumber,
                  std::function<void(const std::string&)> notice);

  // The input of the TNC port: everything received since the last read.
  std::string Read();
  // True once the line was found lost, until the port is open again.
  bool Lost() const { return lost_; }

  // The receive pass's source for the kind, reading through this reader (the SCS
  // kinds wait 0.01 s between their reads, without window events). Nothing for
  // kinds without a serial TNC. The reader outlives the source.
  std::unique_ptr<reception::MonitorSource> SourceFor(reception::InterfaceKind kind, reception::GateHook gate);

 private:
  platform::SerialPort& port_;
  std::string kindName_;
  int portNumber_;
  std::function<void(const std::string&)> notice_;
  bool lost_ = false;
};

}  // namespace zeblon::links

// SendAprsMessage: one APRS message information field (OutgoingMessage) out
// through the radio link of the interface kind, or through the web send page
// when there is no radio or the field is a web acknowledgement ("mok").
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zeblon::links {

enum class MessageRoad {
  Radio,        // the transmit step
  RadioHfDual,  // the SCS TNC's HF-DUAL mode switched off first (ESC "%AU0" CR, 0.1 s)
  Web,          // the web send page
  None          // nothing is sent (kind 2)
};

// The road of `outgoing`: characters 11 to 14 ":mok" take the web whatever the
// kind; kind 4 the web; 0, 1, 3, 5, 6 the radio.
MessageRoad RoadFor(int interfaceKind, bool hfDualOn, std::string_view outgoing);

// What the sender needs of the main window.
struct MessageLink {
  int interfaceKind = 4;
  bool hfDualOn = false;
  std::function<bool(const std::string& infoField)> transmit;  // TransmitInfoField; false: nothing went out
  std::function<bool(const std::string& bytes)> writeTnc;      // MSComm1
  std::function<void(float seconds)> pause;                    // Pause
  std::function<void(const std::string& outgoing)> web;        // queues the web send
};

enum class MessageSent { Yes, No, ToWeb };

// Sends `outgoing` without its control bytes. Yes: the radio took it; No: it did
// not go out; ToWeb: handed to the web send, whose outcome comes later.
MessageSent SendAprsMessage(const MessageLink& link, const std::string& outgoing);

}  // namespace zeblon::links

// The transmit step (TransmitInfoField): every own transmission builds only its
// APRS information field and hands it here; the step sends it through the link
// of the interface kind and then waits 0.8 s without letting events run.
#pragma once

#include <functional>
#include <string>

namespace zeblon::links {

class AgwTcpLink;

// What the step needs of the main window.
struct TransmitLink {
  int interfaceKind = 4;         // MODEM
  std::string txCall;            // the own call with its SSID
  std::string destination;       // TXTO
  std::string path;              // TXPA, calls separated by commas
  std::string radioMode;         // HBAUD
  AgwTcpLink* engine = nullptr;  // kinds 0 and 3: the packet engine's link
  // Kinds 1, 5 and 6: writes bytes to the TNC's port; false when it could not.
  std::function<bool(const std::string&)> writeTnc;
  // The wait after a transmission (Pause by default).
  std::function<void(float)> pause;
};

// Sends `infoField`; false when nothing went out (no radio, the link down, a
// call that does not fit the engine's frame, the port closed). The wait follows
// every kind that has a radio, whether or not the sending worked.
bool TransmitInfoField(const TransmitLink& link, const std::string& infoField);

}  // namespace zeblon::links

// The radio link and GPS port bring-up of the main window's start-up, by the
// interface kind: the packet engine's TCP link (this computer or another one),
// the serial TNC's port with its few commands, and the GPS port.
//
// On Linux the engine on this computer is reached through the same TCP host
// interface as one on another computer, at "localhost" and the port HOSTP.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "links/agw_tcp_link.h"
#include "links/tnc_commands.h"
#include "settings/settings.h"

namespace platform {
class SerialPort;
}

namespace zeblon::links {

// The steps written to the TNC's port after it is opened (the full command
// set went out at START): PK-232 "ECHO ON", 0.2 s, the port flushed (ten reads
// 0.1 s apart), "K", 0.2 s; SCS TNC the flush; SCS PTC the flush, "K", 0.2 s.
// Empty for the kinds without a serial TNC.
TncCommandSet TncBringUpSet(int interfaceKind, const std::string& baud);

// The engine's TCP port from HOSTP: its leading number to the nearest whole
// number; 0 when it is not a port (below 1 or above 65535).
int AgwPortFrom(const std::string& hostp);

// Where the engine of kinds 0 and 3 is reached: this computer ("localhost")
// with kind 0, HOSTC with kind 3, at the port of HOSTP.
struct AgwAddress {
  std::string host;
  int port = 0;
};
AgwAddress AgwAddressFor(const Settings& s);

// The text that tells a registration that failed; empty when it is registered
// or still on its way.
std::string AgwFailureText(AgwTcpLink::ConnectResult r);

// The notice of a packet engine that START did not reach (the link keeps trying),
// and the line that tells it answered after all.
std::string EngineNotReachedText(std::string_view host, int port);
std::string EngineAnsweredText(std::string_view host, int port);

// The TX setup OK's renewal of the engine link (kinds 0 and 3): the old call is
// unregistered and the link closed, then, after `pauseSeconds` letting events
// run, the link is opened again with `txCall` ("MYCALL" when empty) registered
// and monitoring on. A link that does not come up is left to the upkeep.
AgwTcpLink::ConnectResult RenewAgwRegistration(const Settings& s, const std::string& txCall, AgwTcpLink& engine,
                                               float pauseSeconds = 2.0f);

struct BringUpResult {
  bool engineTried = false;
  AgwTcpLink::ConnectResult engine = AgwTcpLink::ConnectResult::HostNotFound;
  bool tncTried = false;
  bool tncOpened = false;
  bool gpsTried = false;
  bool gpsOpened = false;
  // The program ends after this message (kind 3 without its engine at start-up).
  bool endProgram = false;
  std::string message;  // the message to show ("" none)
  std::string messageTitle;
  std::vector<std::string> portErrors;  // ports that could not be opened, to tell the user
};

struct BringUpPorts {
  platform::SerialPort* tnc = nullptr;  // MSComm1
  platform::SerialPort* gps = nullptr;  // MSComm2
  AgwTcpLink* engine = nullptr;
  // The waits of the TNC steps (Pause / PauseWithEvents by default).
  std::function<void(float seconds, bool withEvents)> wait;
};

// Brings the link of `s.InterfaceKind` up, then the GPS port. `txCall` is the own
// call as registered with the engine ("MYCALL" when empty). The engine of kind 3
// is waited for (without it the program ends); the engine of kind 0 registers
// while the start-up goes on (its result is Pending).
BringUpResult BringUpRadioLink(const Settings& s, const std::string& txCall, BringUpPorts& ports);

}  // namespace zeblon::links

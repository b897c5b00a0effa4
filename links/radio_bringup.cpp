#include "links/radio_bringup.h"

#include <cmath>

#include "geodesy/text.h"
#include "platform/serial_port.h"
#include "settings/interface_kind.h"

namespace zeblon::links {

TncCommandSet TncBringUpSet(int interfaceKind, const std::string& baud) {
  TncCommandSet set;
  auto flush = [&set] {
    for (int i = 0; i < 10; ++i) set.push_back({TncAction::DiscardInput, "", 0.1f, false});
  };
  switch (InterfaceKindOf(interfaceKind)) {
    case InterfaceKind::Pk232:
      set.push_back({TncAction::Open, baud, 0, false});
      set.push_back({TncAction::Send, "ECHO ON\r", 0.2f, false});
      flush();
      set.push_back({TncAction::Send, "K\r", 0.2f, false});
      break;
    case InterfaceKind::ScsTnc:
      set.push_back({TncAction::Open, baud, 0, false});
      flush();
      break;
    case InterfaceKind::ScsPtc:
      set.push_back({TncAction::Open, baud, 0, false});
      flush();
      set.push_back({TncAction::Send, "K\r", 0.2f, false});
      break;
    default: break;
  }
  return set;
}

int AgwPortFrom(const std::string& hostp) {
  const double v = RoundHalfEven(LeadingNumber(hostp));
  if (!(v >= 1 && v <= 65535)) return 0;
  return static_cast<int>(v);
}

AgwAddress AgwAddressFor(const Settings& s) {
  return {InterfaceKindOf(s.InterfaceKind) == InterfaceKind::AgwLocal ? std::string("localhost") : s.AgwHost,
          AgwPortFrom(s.AgwPort)};
}

std::string AgwFailureText(AgwTcpLink::ConnectResult r) {
  switch (r) {
    case AgwTcpLink::ConnectResult::Registered:
    case AgwTcpLink::ConnectResult::Pending: return {};
    case AgwTcpLink::ConnectResult::NotRegistered: return kAgwNotFound;
    case AgwTcpLink::ConnectResult::CallRefused: return kAgwCallTooLong;
    case AgwTcpLink::ConnectResult::HostNotFound: break;
  }
  return kAgwHostNotFound;
}

AgwTcpLink::ConnectResult RenewAgwRegistration(const Settings& s, const std::string& txCall, AgwTcpLink& engine,
                                               float pauseSeconds) {
  const AgwAddress a = AgwAddressFor(s);
  engine.Disconnect(pauseSeconds);
  return engine.Connect(a.host, a.port, txCall.empty() ? "MYCALL" : txCall);
}

BringUpResult BringUpRadioLink(const Settings& s, const std::string& txCall, BringUpPorts& ports) {
  BringUpResult r;
  const InterfaceKind kind = InterfaceKindOf(s.InterfaceKind);
  const std::string call = txCall.empty() ? "MYCALL" : txCall;

  if (UsesPacketEngine(kind) && ports.engine != nullptr) {
    r.engineTried = true;
    const AgwAddress a = AgwAddressFor(s);
    // The engine on this computer is not waited for: its registration completes
    // while the start-up goes on and the map is drawn.
    r.engine = kind == InterfaceKind::AgwRemote ? ports.engine->Connect(a.host, a.port, call)
                                                : ports.engine->ConnectInBackground(a.host, a.port, call);
    if (kind == InterfaceKind::AgwRemote && r.engine != AgwTcpLink::ConnectResult::Registered) {
      // Another computer's engine that is not there at the start: the program ends.
      r.endProgram = true;
      r.messageTitle = kAgwTitle;
      r.message = AgwFailureText(r.engine);
    } else if (r.engine == AgwTcpLink::ConnectResult::CallRefused) {
      r.portErrors.push_back(kAgwCallTooLong);
    }
    // The engine on this computer that is not (yet) there: the start goes on
    // without it and the main cycle's upkeep keeps trying.
  }

  if (UsesSerialTnc(kind) && ports.tnc != nullptr) {
    r.tncTried = true;
    TncRunOptions o;
    o.portNumber = kind == InterfaceKind::Pk232 ? s.TncComPort : ToWholeNumber<int>(s.ScsComPort);
    o.wait = ports.wait;
    o.closeAtEnd = false;
    const TncRunResult run = RunTncCommandSet(
        TncBringUpSet(s.InterfaceKind, kind == InterfaceKind::Pk232 ? s.TncBaud : s.ScsBaud), *ports.tnc, o);
    r.tncOpened = run.portOpened;
    if (!run.portOpened)
      r.portErrors.push_back("CANNOT OPEN COM" + std::to_string(o.portNumber) + " FOR THE " +
                             TncKindName(s.InterfaceKind) + " (" + platform::SerialDeviceForPort(o.portNumber) +
                             "): " + run.error);
  }

  if (ports.gps != nullptr) {
    ports.gps->Close();
    const double n = LeadingNumber(s.GpsSource);
    if (n > 0) {
      r.gpsTried = true;
      const int port = ToWholeNumber<int>(n);
      r.gpsOpened = ports.gps->Open(port, s.GpsBaud + ",N,8,1");
      if (!r.gpsOpened)
        r.portErrors.push_back("GPS PORT COM" + std::to_string(port) + " (" + platform::SerialDeviceForPort(port) +
                               "): " + ports.gps->LastError());
    }
  }
  return r;
}

std::string EngineNotReachedText(std::string_view host, int port) {
  return "PACKET ENGINE NOT REACHED AT " + std::string(host) + ":" + std::to_string(port) + ", RETRYING";
}

std::string EngineAnsweredText(std::string_view host, int port) {
  return "PACKET ENGINE AT " + std::string(host) + ":" + std::to_string(port) + " ANSWERED";
}

}  // namespace zeblon::links

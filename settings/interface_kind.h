// The radio interface the program works through: the settings' MODEM number.
#pragma once

namespace zeblon {

// The numbers are what the settings file holds; 2 is not used.
enum class InterfaceKind { AgwLocal = 0, Pk232 = 1, AgwRemote = 3, NoRadio = 4, ScsTnc = 5, ScsPtc = 6 };

// The settings' MODEM number as the kind.
constexpr InterfaceKind InterfaceKindOf(int modem) { return static_cast<InterfaceKind>(modem); }
// The settings' number of the kind.
constexpr int ModemNumber(InterfaceKind kind) { return static_cast<int>(kind); }

// The packet engine, on this computer or remote, over TCP.
constexpr bool UsesPacketEngine(InterfaceKind kind) {
  return kind == InterfaceKind::AgwLocal || kind == InterfaceKind::AgwRemote;
}
// An SCS TNC or PTC on a serial port.
constexpr bool IsScs(InterfaceKind kind) { return kind == InterfaceKind::ScsTnc || kind == InterfaceKind::ScsPtc; }
// A TNC on a serial port (the PK-232 or an SCS).
constexpr bool UsesSerialTnc(InterfaceKind kind) { return kind == InterfaceKind::Pk232 || IsScs(kind); }
// The kinds with a digipeater: the packet engine on this computer and the serial TNCs.
constexpr bool CanDigipeat(InterfaceKind kind) { return kind == InterfaceKind::AgwLocal || UsesSerialTnc(kind); }

}  // namespace zeblon

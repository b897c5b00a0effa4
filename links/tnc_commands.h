// The command sets of the serial TNCs (PK-232, SCS TNC, SCS PTC) as plain lists of
// steps, and a runner that carries such a list out on a serial port.
//
// A list says everything that goes over the line and every wait between: the
// bytes of each command, the port openings and closings with their speeds, the
// waits (with or without window events), draining the output, dropping the
// input, and the PK-232's prompt loop. Building a list touches nothing, so the
// lists are compared byte for byte in tests; the runner is the only part that
// talks to a port.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace platform {
class SerialPort;
}

namespace zeblon::links {

inline constexpr char kEsc = '\x1b';
inline constexpr char kCr = '\r';
inline constexpr const char* kCrLf = "\r\n";

enum class TncAction {
  Open,             // open the TNC's port at the speed `bytes` (",N,8,1" is added)
  Send,             // write `bytes`
  Drain,            // wait until the output has gone out
  DiscardInput,     // read and drop what the TNC has sent
  AwaitPromptGone,  // repeat: wait `wait` s, read; until a read holds no "cmd:"
  Close,            // close the port
  Wait,             // only the wait below
};

struct TncStep {
  TncAction action = TncAction::Wait;
  std::string bytes;        // Send: the bytes; Open: the speed text
  float wait = 0;           // seconds to wait after the step (0: none)
  bool withEvents = false;  // the wait lets window events run
};

using TncCommandSet = std::vector<TncStep>;

// What the command sets read of the settings.
struct TncSettings {
  int interfaceKind = 0;    // MODEM: 1 PK-232, 5 SCS TNC, 6 SCS PTC
  int comPort = 0;          // COM (PK-232)
  std::string tncBaud;      // TBAUD (PK-232)
  int scsComPort = 0;       // SCOMP as a whole number (SCS kinds)
  std::string scsBaud;      // SBAUD (SCS kinds)
  std::string radioMode;    // HBAUD: "300", "300R", "1200", "9600", "19200"
  std::string crossMode;    // XBAUD: "NONE", "R300", "300", "1200", "9600", "19200"
  int txLevel = 0;          // TXAF, mV
  int txAfc = 0;            // TXAFC, 0 or 1
  std::string txSsid;       // TXID
  std::string userCall;     // USER
  std::string destination;  // TXTO
  std::string path;         // TXPA, calls separated by commas
  int digiOn = 0;           // DIGI
  bool hfDual = false;      // the HF-DUAL box of the TX setup panel
};

// ---------------------------------------------------------------------------
// Pieces of the command texts.

// CallWithSsid (settings/settings.h) adds the SSID to a call or a command.

// A number with one leading blank when it is not negative (300 -> " 300", -5 -> "-5").
std::string SignedNumber(int value);

// The SCS TNC's radio mode command after ESC ("%BR300", "%B1200", ...); empty for an
// unknown mode.
std::string ScsTncModeCommand(const std::string& radio_mode);
// The SCS PTC's ("B R300", "B 1200", ...); empty for an unknown mode.
std::string ScsPtcModeCommand(const std::string& radio_mode);
// The SCS TNC's cross mode command: "%AGH" for the two HF pairs, else "%AG " and the mode.
std::string ScsTncCrossModeCommand(const std::string& radio_mode, const std::string& cross_mode);

// ---------------------------------------------------------------------------
// The initialisation sets that START sends.

TncCommandSet Pk232InitSet(const TncSettings& s);
TncCommandSet ScsTncInitSet(const TncSettings& s);
TncCommandSet ScsPtcInitSet(const TncSettings& s);
// The set of the interface kind; empty for the kinds without a serial TNC.
TncCommandSet TncInitSet(const TncSettings& s);

// The commands the TX setup panel's OK sends again to the running TNC (on the open
// port): own call, destination and path, digipeater, radio mode, level and cross
// mode; the PK-232 back in converse mode at its end. Empty for the kinds without a
// serial TNC.
TncCommandSet Pk232ResendSet(const TncSettings& s);
TncCommandSet ScsTncResendSet(const TncSettings& s);
TncCommandSet ScsPtcResendSet(const TncSettings& s);
TncCommandSet TncResendSet(const TncSettings& s);

// The own call: the user call with "-" and the SSID when it has no "-" yet and the
// SSID is not empty. One rule for the TNC, the packet engine and the echo.
std::string OwnCall(const TncSettings& s);

// The last commands of the main window's shutdown by interface kind, with their
// waits: the PK-232 leaves its converse mode, the SCS TNC its monitor, the PTC its
// host mode and then resets (with its pause between the two). The packet engine's
// kind only waits (its UI digipeater's window has nothing to close here).
TncCommandSet TncCloseSet(int interface_kind);

// The command sets' view of the settings; `hf_dual` is the HF-DUAL box of the TX
// setup panel in use.
TncSettings TncSettingsFrom(const Settings& s, bool hf_dual);

// The port number of the kind (COM for the PK-232, SCOMP for the SCS kinds).
int TncPortNumber(const TncSettings& s);

// All bytes that a set sends, in order (openings and waits left out).
std::string SentBytes(const TncCommandSet& set);
// The sum of the set's waits, in seconds.
double TotalWaitSeconds(const TncCommandSet& set);

// ---------------------------------------------------------------------------
// Carrying a set out.

struct TncRunOptions {
  int portNumber = 0;
  // Limits of our own where the sets would otherwise wait without end.
  int maxPromptReads = 30;    // the PK-232's "cmd:" loop
  int drainTimeoutMs = 5000;  // draining the output of a stuck line
  // The port is closed at the end of the set (START); the main window's
  // bring-up keeps it open for the receive pass.
  bool closeAtEnd = true;
  // The waits: Pause / PauseWithEvents by default (tests install their own clock).
  std::function<void(float seconds, bool with_events)> wait;
};

struct TncRunResult {
  bool portOpened = false;     // every opening succeeded
  bool answered = false;       // the TNC sent something back at some point
  bool promptLoopCut = false;  // the "cmd:" loop reached its limit
  std::string device;          // the device of the port
  std::string error;           // why the port could not be opened
};

// Runs the steps on `port`. When an opening fails, the rest of the set is skipped
// (nothing could reach the TNC); the result says so.
TncRunResult RunTncCommandSet(const TncCommandSet& set, platform::SerialPort& port, const TncRunOptions& options);

// The message for the user after a run, or "" when all went well. `kind_name` is
// "PK-232", "SCS TNC" or "SCS PTC".
std::string TncRunMessage(const TncRunResult& r, const std::string& kind_name, int port_number);

// "PK-232", "SCS TNC", "SCS PTC" or "" by interface kind.
std::string TncKindName(int interface_kind);

}  // namespace zeblon::links

// The IGate: heard radio frames turned into APRS-IS lines, one formatter per
// monitor format, and the memory of the lines sent a moment ago.
//
// A gated line is
//   SRC ">" DEST "," [each path element ","] "qAR," GATE ":" PAYLOAD CR LF
// with GATE the own call (trimmed), or "TCPIP" when the source begins with it.
//
// The formatters work on a copy of the text and never throw: a frame whose
// markers are missing or out of order is not gated, and the formatter goes on
// with the next frame it can find. A frame that must not be gated ("NOGATE",
// "RFONLY", "TCPIP", "TCPXX" in its header, a payload starting with "}" or
// "?") ends the formatter: nothing after it in the same text is gated.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "reception/monitor_input.h"

namespace zeblon::reception {

// AGW Packet Engine monitor text (":Fm SRC To DEST Via D1,D2 <UI ...>[time]" CR,
// payload, CR CR; or CR NUL, as the engine's TCP frames end).
std::vector<std::string> GateAgwFrames(std::string_view text, std::string_view txCall);
// PK-232 monitor lines ("SRC>DEST,D1*,D2 <UI>:" CR LF, payload, CR LF).
std::vector<std::string> GateTnc2Frames(std::string_view text, std::string_view txCall);
// SCS TNC ("fm SRC to DEST via D1* D2 ctl UI^ pid F0" CR LF, payload, CR LF); the
// first "fm " stands within the first five characters.
std::vector<std::string> GateScsTncFrames(std::string_view text, std::string_view txCall);
// SCS PTC: as the SCS TNC, with the port number before ":fm ".
std::vector<std::string> GateScsPtcFrames(std::string_view text, std::string_view txCall);

// The formatter of an interface kind; nothing for the kinds that do not gate
// (the engine over TCP, no radio).
std::vector<std::string> GateFrames(InterfaceKind kind, std::string_view text, std::string_view txCall);

// True for the kinds whose received text is gated: 0, 1, 5 and 6.
bool IsGatingInterface(InterfaceKind kind);

// IGateDuplicateList: five slots of the lines last sent, slot 5 the newest. Two
// lines are the same frame when their first 8 and last 8 characters agree; a
// repeat within 30 s (counted in whole-second boundaries) is not sent again.
// The main cycle ages the list once per tick while the login is verified.
class IGateDuplicateList {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kSlots = 5;
  static constexpr int kRepeatSeconds = 30;

  // True when `line` repeats a remembered line sent less than 30 s before `now`.
  bool IsRepeat(std::string_view line, Clock::time_point now) const;
  // Slot 5 takes the line just sent.
  void Remember(std::string line, Clock::time_point now);
  // Every slot moves one place towards slot 1; slot 5's text becomes empty.
  void Age();
  // The text of slot 1 … 5.
  const std::string& Text(int slot) const { return slots_[slot - 1].text; }

 private:
  struct Slot {
    std::string text;
    Clock::time_point time{};
  };
  Slot slots_[kSlots];
};

}  // namespace zeblon::reception

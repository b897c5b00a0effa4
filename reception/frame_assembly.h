// Frame assembly: the heard mark, the RAW monitor list, cutting whole frames
// from the receive buffer and taking their header apart.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "reception/aprs_decode.h"

namespace zeblon::reception {

// The RAW monitor list: 400 completed lines and the line being filled.
struct MonitorLines {
  std::array<std::string, 501> lines;
  int count = 0;  // index of the line being filled (0..400)
};

// Gives every UI header line of a text that carries no "*" one after its
// source call (a frame heard directly).
std::string ApplyHeardMark(std::string_view text);
// The same, taking over the text (no copy when nothing is marked).
std::string ApplyHeardMark(std::string&& text);

// Adds a read to the monitor list: an LF starts a new line (beyond 400 the
// oldest goes), characters above code 27 are kept, CR and other control bytes
// left out.
void AddToMonitorLines(MonitorLines& list, std::string_view text);

// The result of looking for the next frame in the receive buffer.
struct FrameCut {
  enum class Kind {
    None,        // no whole frame this turn
    Incomplete,  // a frame whose payload line has not arrived yet
    Frame        // frameText holds header line, CR LF, payload, CR
  } kind = Kind::None;
  std::string frameText;
};

// Cuts the next frame from the front of the buffer (the buffer is shortened
// as described: no marker and over 2000 characters keeps the last 100; a
// header without its line start is removed up to its marker).
FrameCut CutFrame(std::string& receiveBuffer);

enum class HeaderOutcome {
  Payload,  // a frame with a payload for the decoding
  Drop,     // no report in this frame
  OwnEcho   // the echo of the own transmission
};

// Takes the header of a cut frame apart into v (which the caller has reset).
// The texts of v refer to frameText, which must live as long as they are used.
HeaderOutcome NormaliseHeader(std::string_view frameText, std::string_view txCall, std::string_view ownEchoHeader,
                              FrameValues& v);

// The same for a frame text that goes away with the call: v keeps it.
HeaderOutcome NormaliseHeader(std::string&& frameText, std::string_view txCall, std::string_view ownEchoHeader,
                              FrameValues& v);

// The same for a C text: v keeps a copy.
HeaderOutcome NormaliseHeader(const char* frameText, std::string_view txCall, std::string_view ownEchoHeader,
                              FrameValues& v);

}  // namespace zeblon::reception

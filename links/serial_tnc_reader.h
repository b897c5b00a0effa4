// The live reading of a serial TNC (PK-232, SCS TNC, SCS PTC): the text waiting
// at the TNC port for the receive pass, and the pass's source over it.
//
// A line that goes away under the open port (a USB adapter pulled, the far end
// closed) is said once, the port is closed and the program goes on: what was
// read before the loss is handed to the pass as usual, later reads are empty.
// A line torn by the loss is ended there, so that it never runs into the first
// line read after the port is opened again.
//
// No line the TNC sends grows without bound: a line longer than
// kLongestTncLine characters is ended where it passes that length and the rest
// of it is thrown away up to its own line end (line noise, a TNC gone mad).
// A frame header that the junk ran into without a line end of its own is the
// next frame's start: it is kept, as a line of its own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "reception/monitor_input.h"

namespace platform {
class SerialPort;
}

namespace zeblon::links {

// The longest line of TNC text handed over: far beyond a frame's header or
// payload line.
inline constexpr std::size_t kLongestTncLine = 1024;

// What HoldLinesShort keeps from read to read.
struct TncLineState {
  std::size_t lineLength = 0;  // of the unfinished line handed over
  bool dropping = false;       // the rest of an overlong line is being thrown away
  std::string droppedTail;     // the last characters thrown away
};

// The text of one read with every line held to kLongestTncLine characters. An
// overlong line is ended by CR LF where it is cut and its rest thrown away up
// to its line end; when that rest ends in a frame header (FrameHeaderStart),
// the header is handed over with its line end.
std::string HoldLinesShort(std::string_view text, TncLineState& state);

// Where the frame header starts that ends `line` (without its line end): the
// PK-232's "SRC>DIGI>DEST <UI>:" (also "[UI]", "(UI)"), whose address part is
// upper-case letters, digits, "-", "*" and ">" behind a character that is
// none of these; the SCS TNC's "fm SRC to DEST ... pid F0" (the PTC's "1:"
// ahead of it). npos when the line ends otherwise.
std::size_t FrameHeaderStart(std::string_view line);

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
  TncLineState lines_;
};

}  // namespace zeblon::links

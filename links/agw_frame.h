// The packet engine's TCP host frames: a 36-byte header (port, kind letter,
// PID, two 10-byte call fields, a 32-bit little-endian data length, four user
// bytes) followed by the data. Building frames, the data of a UI frame with its
// digipeater list, and cutting a byte stream back into frames by their length
// field. Plain code: no socket here.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeblon::links {

inline constexpr std::size_t kAgwHeaderSize = 36;
inline constexpr std::size_t kAgwCallField = 10;
// The largest data part taken from the engine. A length field above it cannot
// come from a sane engine: the stream is out of step and the link is dropped.
inline constexpr std::uint32_t kAgwMaxDataLen = 64 * 1024;

struct AgwFrame {
  std::uint8_t port = 0;
  char kind = 0;
  std::uint8_t pid = 0;
  std::string callFrom;  // without the zero bytes of the field
  std::string callTo;
  std::string data;
};

// A whole frame as bytes. nullopt when a call does not fit its 10-byte field:
// such a call is refused instead of being written across the next field.
std::optional<std::string> BuildAgwFrame(char kind, std::uint8_t port, std::string_view callFrom,
                                         std::string_view callTo, std::string_view data = {});

// The data of a "V" frame: the count of digipeater calls, each call of the
// comma-separated path in 10 bytes (zero-filled), then the information field.
// Blanks around the path are trimmed; empty elements (two commas in a row, a
// comma at the end) are left out, so the count always equals the calls that
// follow. nullopt when a call is longer than 10 characters or there are more
// than 255 of them.
std::optional<std::string> BuildUiFrameData(std::string_view path, std::string_view infoField);

// The radio port byte of a mode: 0 for "300" and "300R" (numeric value 300), 1
// for "1200"; any other mode keeps the current port.
std::uint8_t AgwRadioPortFor(std::string_view radioMode, std::uint8_t current);

// A monitor frame kind: what the engine hears (U unproto, I and S of connected
// traffic) and what it transmits itself (T).
bool IsAgwMonitorKind(char kind);

// The data part of a monitor frame as the monitor text form: header line, CR,
// payload, CR CR. The engine's CR NUL end (and trailing NUL bytes) becomes CR CR.
std::string AgwMonitorText(std::string data);

// Cuts a byte stream into frames by their length fields: arrivals may hold part
// of a frame or several frames.
class AgwFrameReader {
 public:
  // Adds an arrival; returns false when a length field is out of bounds (the
  // stream is out of step). Whole frames wait in Frames().
  bool Feed(std::string_view bytes);
  bool HasFrame() const { return !frames_.empty(); }
  AgwFrame Take();
  std::size_t Pending() const { return partial_.size(); }
  void Clear();

 private:
  std::string partial_;
  std::deque<AgwFrame> frames_;
};

}  // namespace zeblon::links

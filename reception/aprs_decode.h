// Payload decoding of one received frame: the report's own timestamp, live
// objects and items, and the position forms (plain text, NMEA, compressed,
// Mic-E), ending in a position in metres of the map zone.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zeblon::reception {

// The computer's local date and time.
struct LocalTime {
  int year = 2000;  // four digits
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The values of one frame, from the header normalising through the decoding
// to the storing of the report.
struct FrameValues {
  // Back to the values of a new frame. The texts keep their buffers, so one
  // FrameValues used for frame after frame stops allocating once it has seen
  // the longest fields.
  void Reset();

  // Set by the header normalising.
  std::string headerLine;       // header line as cut, without its final ":"
  int thirdPartyFlag = 0;       // 1: the payload began with "}" and was unwrapped
  std::string callText;         // source call upper case, or the object or item name
  std::string destinationCall;  // destination call
  std::string viaText;          // heard-via
  char dataTypeChar = '\0';     // first payload character as received
  std::string payloadText;      // first payload line, trimmed

  // Filled by the decoding.
  std::string stampDate;  // YYMMDD of a relayed report's zulu stamp
  std::string stampTime;  // HHMM of it
  int stampDeviates = 0;  // 1: own timestamp more than 2 minutes off the clock
  int objectFlag = 0;
  int emergencyFlag = 0;
  std::string messagingMark = " ";
  std::string symbolText;  // table and code (0 or 2 characters)
  std::string latText;     // DDMM.mmN, an NMEA field with its letter, or "YYYY"
  std::string lonText;     // DDDMM.mmE, an NMEA field with its letter, or "XXXX"
  std::string decodedComment;

  // The position: degrees as decoded, the degrees handed to the map
  // projection (moved by 0.00005 degree away from the equator and the prime
  // meridian on the north and east side, toward them on the south and west
  // side), and the metres of the map zone.
  double latitude = 0;
  double longitude = 0;
  double projectedLatitude = 0;
  double projectedLongitude = 0;
  double northing = 0;
  double easting = 0;
};

// What the decoding found.
enum class DecodeResult {
  Position,  // a report with a position in metres
  NoReport,  // nothing to store (no position form applies, or a drop rule)
  Malformed  // the frame is broken (bad timestamp, short or invalid form): dropped
};

struct DecodeContext {
  LocalTime now;
  int utcOffsetHours = 0;
  double mapCentralMeridian = 15.0;
  double mapFalseEasting = 500000.0;
  // false: stop at latitude and longitude, without the map projection and
  // its range test (for comparisons with other decoders).
  bool project = true;
  // Called for a payload of the message form (":" + 9 + ":"); may be empty.
  std::function<void(const FrameValues&)> onMessage;
};

// Decodes the payload of a frame whose header values are set.
DecodeResult DecodePayload(FrameValues& v, const DecodeContext& ctx);

// The comment clean-up: a "}" at positions 1 to 6 drops the text up to it;
// then everything up to the end of the digits behind the first "/A=" goes.
void StripAltitude(std::string& comment);

// The Windows-1252 upper case of a text.
std::string UpperCase(std::string_view text);

// The same, in place.
void UpperCaseInPlace(std::string& text);

}  // namespace zeblon::reception

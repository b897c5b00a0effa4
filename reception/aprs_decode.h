// Payload decoding of one received frame: the report's own timestamp, live
// objects and items, and the position forms (plain text, NMEA, compressed,
// Mic-E), ending in a position in metres of the map zone.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <iosfwd>
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

// A text field of a frame. Most refer to the frame text they were cut from
// (or to a constant) and cost no copy; a text that had to be changed, and
// every text assigned from elsewhere, is kept in the field's own buffer, which
// stays allocated from frame to frame.
class FrameText {
 public:
  FrameText() = default;
  FrameText(const FrameText& other) { CopyFrom(other); }
  FrameText(FrameText&& other) noexcept { MoveFrom(other); }
  FrameText& operator=(const FrameText& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  FrameText& operator=(FrameText&& other) noexcept {
    if (this != &other) MoveFrom(other);
    return *this;
  }
  // A copy of the text, kept in the own buffer.
  FrameText& operator=(std::string_view text) {
    own_.assign(text.data(), text.size());  // text may lie in the own buffer
    view_ = own_;
    owned_ = true;
    return *this;
  }
  FrameText& operator=(const char* text) { return *this = std::string_view(text); }
  FrameText& operator=(const std::string& text) { return *this = std::string_view(text); }

  // Refers to the text without copying it: it must outlive this reference.
  void Refer(std::string_view text) {
    view_ = text;
    owned_ = false;
  }
  void Clear() { Refer({}); }

  // The own buffer, to be filled with the new text; Commit then takes it.
  // text may not refer to the own buffer while it is being filled.
  std::string& Buffer() { return own_; }
  void Commit() {
    view_ = own_;
    owned_ = true;
  }

  std::string_view view() const { return view_; }
  operator std::string_view() const { return view_; }
  std::string str() const { return std::string(view_); }
  const char* data() const { return view_.data(); }
  std::size_t size() const { return view_.size(); }
  bool empty() const { return view_.empty(); }
  char operator[](std::size_t i) const { return view_[i]; }
  char front() const { return view_.front(); }
  char back() const { return view_.back(); }
  std::size_t find(char c, std::size_t from = 0) const { return view_.find(c, from); }
  std::size_t find(std::string_view s, std::size_t from = 0) const { return view_.find(s, from); }
  std::string_view substr(std::size_t from, std::size_t count = std::string_view::npos) const {
    return view_.substr(from, count);
  }
  // When the text lies in from (which moved to to), the same place in to.
  void Rebase(std::string_view from, std::string_view to) {
    const auto at = reinterpret_cast<std::uintptr_t>(view_.data());
    const auto base = reinterpret_cast<std::uintptr_t>(from.data());
    if (owned_ || at == 0 || base == 0 || at < base || at > base + from.size()) return;
    view_ = to.substr(static_cast<std::size_t>(at - base), view_.size());
  }

  // Drops the first n characters (n no more than the size).
  void RemovePrefix(std::size_t n) { view_.remove_prefix(n); }

  // True when the text is held in the own buffer.
  bool Owned() const { return owned_; }
  // part, a piece of from's text: referred to where from refers to a frame,
  // copied where from holds its own text (which may change or go with it).
  void Take(const FrameText& from, std::string_view part) {
    if (from.owned_)
      *this = part;
    else
      Refer(part);
  }

  friend bool operator==(const FrameText& a, const FrameText& b) { return a.view_ == b.view_; }
  friend bool operator==(const FrameText& a, std::string_view b) { return a.view_ == b; }
  friend bool operator==(const FrameText& a, const std::string& b) { return a.view_ == std::string_view(b); }
  friend bool operator==(const FrameText& a, const char* b) { return a.view_ == std::string_view(b); }
  friend std::ostream& operator<<(std::ostream& out, const FrameText& t);

 private:
  void CopyFrom(const FrameText& other) {
    owned_ = other.owned_;
    if (owned_) {
      const std::size_t at = static_cast<std::size_t>(other.view_.data() - other.own_.data());
      own_ = other.own_;
      view_ = std::string_view(own_).substr(at, other.view_.size());
    } else {
      view_ = other.view_;
    }
  }
  void MoveFrom(FrameText& other) {
    owned_ = other.owned_;
    if (owned_) {
      const std::size_t at = static_cast<std::size_t>(other.view_.data() - other.own_.data());
      const std::size_t n = other.view_.size();
      own_ = std::move(other.own_);
      view_ = std::string_view(own_).substr(at, n);
    } else {
      view_ = other.view_;
    }
    other.own_.clear();
    other.Clear();
  }

  std::string_view view_;
  std::string own_;
  bool owned_ = false;  // view_ lies in own_
};

// The values of one frame, from the header normalising through the decoding
// to the storing of the report. Its texts refer to the frame text where they
// are parts of it unchanged: to the caller's frame text, which must then live
// as long as the values are used, or to a frame text the values keep.
struct FrameValues {
  FrameValues() = default;
  FrameValues(const FrameValues& other);
  FrameValues(FrameValues&& other);
  FrameValues& operator=(const FrameValues& other);
  FrameValues& operator=(FrameValues&& other);

  // Back to the values of a new frame. The buffers stay, so one FrameValues
  // used for frame after frame does not allocate once it has seen the longest
  // frame and changed fields.
  void Reset();

  // Keeps the frame text for the texts to refer to; returns it.
  std::string_view HoldFrame(std::string&& frameText) {
    frame_ = std::move(frameText);
    return frame_;
  }

  // Set by the header normalising.
  FrameText headerLine;       // header line as cut, without its final ":"
  int thirdPartyFlag = 0;     // 1: the payload began with "}" and was unwrapped
  FrameText callText;         // source call upper case, or the object or item name
  FrameText destinationCall;  // destination call
  FrameText viaText;          // heard-via
  char dataTypeChar = '\0';   // first payload character as received
  FrameText payloadText;      // first payload line, trimmed

  // Filled by the decoding.
  FrameText stampDate;    // YYMMDD of a relayed report's zulu stamp
  FrameText stampTime;    // HHMM of it
  int stampDeviates = 0;  // 1: own timestamp more than 2 minutes off the clock
  int objectFlag = 0;
  int emergencyFlag = 0;
  FrameText messagingMark = MessagingMarkDefault();
  FrameText symbolText;  // table and code (0 or 2 characters)
  FrameText latText;     // DDMM.mmN, an NMEA field with its letter, or "YYYY"
  FrameText lonText;     // DDDMM.mmE, an NMEA field with its letter, or "XXXX"
  FrameText decodedComment;

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

 private:
  static FrameText MessagingMarkDefault() {
    FrameText t;
    t.Refer(" ");
    return t;
  }
  // The texts that refer to from refer to the same place in to.
  void RebaseTexts(std::string_view from, std::string_view to);

  std::string frame_;
};

// Why a frame was found broken.
enum class MalformedReason {
  None,
  Timestamp,           // the report's own timestamp is no valid date and time
  PlainPosition,       // the plain form has no symbol code
  CompressedPosition,  // too short, or characters outside the compressed form
  MicE,                // destination or payload characters outside the Mic-E form
  OutOfRange,          // a latitude beyond 90 or a longitude beyond 180, or not finite
  Projection,          // the map projection gave no finite position
};

// The reason as a short text for the RAW list ("BAD TIMESTAMP", ...); empty for None.
const char* MalformedReasonText(MalformedReason reason);

// What the decoding found.
struct DecodeResult {
  enum Kind {
    Position,  // a report with a position in metres
    NoReport,  // nothing to store (no position form applies, or a drop rule)
    Malformed  // the frame is broken: dropped, with its reason
  };
  DecodeResult(Kind k, MalformedReason why = MalformedReason::None) : kind(k), reason(why) {}
  Kind kind;
  MalformedReason reason;
  friend bool operator==(DecodeResult a, Kind k) { return a.kind == k; }
  friend std::ostream& operator<<(std::ostream& out, DecodeResult r) {
    static const char* const kNames[] = {"Position", "NoReport", "Malformed"};
    out << kNames[r.kind];
    if (r.kind == Malformed) out << " (" << MalformedReasonText(r.reason) << ")";
    return out;
  }
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

// The position forms one by one, for a decoder that runs its own stages around
// them (the internet pass). Each reads the payload, type character and
// destination of v and fills the position texts, symbol and comment.
// The plain form; false when the symbol code is missing.
bool DecodePlainForm(FrameValues& v);
// An NMEA sentence.
void DecodeNmeaForm(FrameValues& v);
// The compressed form; false for characters outside the form or a position out of range.
bool DecodeCompressedForm(FrameValues& v);
// Mic-E; false for destination or payload characters outside the form.
bool DecodeMicEForm(FrameValues& v);
// Latitude and longitude in degrees from the texts of the plain and NMEA forms
// (the compressed and Mic-E forms set the degrees themselves).
void LatLonFromTexts(FrameValues& v);

// The comment clean-up: a "}" at positions 1 to 6 drops the text up to it;
// then everything up to the end of the digits behind the first "/A=" goes.
void StripAltitude(std::string& comment);

// The same as the part of the comment that is left (the clean-up only ever
// drops a beginning).
std::string_view StrippedAltitude(std::string_view comment);

// The Windows-1252 upper case of a text.
std::string UpperCase(std::string_view text);

// The same, in place.
void UpperCaseInPlace(std::string& text);

}  // namespace zeblon::reception

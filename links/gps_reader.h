// The GPS receiver: NMEA text from the GPS serial port or from a drop file that
// another program writes, the fix taken from the newest sentences, the own
// position in map km, the GPS-INFO read-out line, the day's track file and the
// navigation way log.
//
// What a fix needs:
//  - two sentences of one kind (RMC before GGA before GLL) among the newest
//    complete lines, whose times (RMC), positions (within one minute of arc),
//    hemispheres and dates (RMC) agree; the newer one gives the fix;
//  - a sentence counts only when its checksum (when it carries one) is right and
//    its receiver does not mark it invalid (RMC status V, GGA quality 0, GLL
//    status V); its fields are those of its own line;
//  - the newer sentence arrived after the one of the last fix: a receiver that
//    stops sending leaves its sentences in the buffer, and they never give the
//    same fix again.
// The computer's clock is never set from GPS time; GpsTimeValid says the clock
// follows GPS time: set when a drop file was read (its writer keeps the clock) or
// when an RMC fix's date and time lie within ten seconds of the computer's UTC
// clock. The time-stamped beacon and the clock label's "!" wait for it.
//
// Plain code: the window applies a tick's result to its controls
// (ApplyGpsTick).
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {
class SerialPort;
class Label;
class OptionButton;
class CheckBox;
}  // namespace platform

namespace zeblon::links {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Sentences and fields.

// Field n of a sentence text that starts at its kind ("RMC,123519,A,…"): the text
// after the n-th separator ("," or "*") up to the next separator or the end of the
// line (CR, LF or the end of the text). Empty when the line has fewer fields.
std::string_view NmeaField(std::string_view sentence, int n);

// The sentence from `kind_pos` (the four characters of its kind) to its line end.
std::string_view NmeaSentenceAt(std::string_view buffer, std::size_t kind_pos);

// True when the line around `kind_pos` carries no checksum, or a right one
// ("$" … "*hh", the XOR of the bytes between).
bool NmeaChecksumOk(std::string_view buffer, std::size_t kind_pos);

enum class GpsFixKind { None, Rmc, Gga, Gll };

// The pair a fix is taken from: positions of the kind's four characters in the
// buffer, the newer and the second-newer sentence.
struct GpsSentencePair {
  GpsFixKind kind = GpsFixKind::None;
  std::size_t newer = 0, older = 0;
};

// The backward search over the complete lines of the buffer: usable sentences are
// counted per kind until one kind has four; RMC, GGA or GLL with two wins.
GpsSentencePair FindGpsSentencePair(std::string_view buffer);

// The agreement test of a pair (times within 10 of the raw hhmmss numbers for RMC;
// latitude and longitude not 0 and within 1.0 of ddmm.mmmm; the same hemispheres;
// the same RMC date).
bool GpsSentencesAgree(GpsFixKind kind, std::string_view newer, std::string_view older);

// The fields of a fix kind: latitude, N/S, longitude, E/W, time (0: none), date.
struct GpsFieldNumbers {
  int lat, ns, lon, ew, time, date;
};
GpsFieldNumbers FieldNumbersOf(GpsFixKind kind);

// Degree texts of the fix: a sign column ("-" for S or W), degrees, a point and
// five decimals, a leading "0" blanked: "4916.45","N" -> " 49.27416";
// "0912.0000","S" -> "- 9.20000"; "0030.0000","N" -> "   .50000";
// "01230.0000","W" -> "- 12.50000"; "00832.10","E" -> "   8.53500". Empty when the
// minutes are not below 60 or the field is too short (not a position).
std::string GpsLatitudeText(std::string_view field, std::string_view ns);
std::string GpsLongitudeText(std::string_view field, std::string_view ew);

// ---------------------------------------------------------------------------
// The GPS-INFO line.

// "   GPS-INFO: " and the pieces GLN, GLE, ALT, Vkm, Vnm, ERh, ERv, USE taken from
// the first RMA, RMZ, GGA, RMC, VTG, RME and GSV sentences (with a right checksum,
// or none) of the buffer's complete lines; each piece is its label, the value padded in front with "_" to 11
// characters and a blank.
std::string GpsReadoutText(std::string_view buffer, std::string_view lat_text, std::string_view lon_text);

// ---------------------------------------------------------------------------
// Own track and navigation files.

// A computer clock reading, local time.
struct LocalClock {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The GPS position texts (FormatGpsPosition): both values cut to whole metres in
// place, then their nine-character km texts (empty beyond +/-9999.999 km).
void FormatGpsPosition(double& north, double& east, std::string& north_text, std::string& east_text);

// "þ", the north and east texts, a blank, YYYYMMDD, a blank, HHMM (33 characters).
std::string TrackLine(std::string_view north_text, std::string_view east_text, const LocalClock& now);

// Appends the line to <data folder>/TRK/<YYYYMMDD>.TRK with CR LF, creating the
// folder when missing. False when it could not be written.
bool AppendTrackLine(const fs::path& data_folder, const std::string& line);

// The square key: whole-km northing, then the easting right-aligned to five
// characters with a sign blank ("6612  345", "-1235  345").
std::string NavigationSquareKey(long km_north, long km_east);

// The direction digit of a step into an adjacent square (0 north, 1 north-east …
// 7 north-west), or 0 when the signs say no step.
char DirectionDigit(long d_north, long d_east);

// The navigation recording. The field names are those the shutdown reads.
struct NavigationState {
  int NavigationRecording = 0;   // recording on (set at start-up)
  int NavigationActive = 0;      // a fix was taken since start-up
  std::string NavigationRecord;  // the newest record: key, YYMMDD, HHMM
  std::string NavigationLine;    // the way-log line still open ("" when none)
  std::string GpsNorthText = "         ", GpsEastText = "         ";
  std::string LastNavigationSquare;
  double LastNavigationKmNorth = 0, LastNavigationKmEast = 0;
};

// RecordNavigationSquare: the bytes to append to QTHWAY.TXT for a fix in the
// square (km_north, km_east) at `now` ("" when the square did not change); the
// state follows.
std::string RecordNavigationSquare(NavigationState& nav, long km_north, long km_east, const LocalClock& now);

// Appends bytes to <folder>/QTHWAY.TXT, creating the folder when missing.
bool AppendWayLog(const fs::path& folder, std::string_view bytes);

// ---------------------------------------------------------------------------
// The reader.

// What a tick's read works with besides the text.
struct GpsTickContext {
  double mapCentralMeridian = 15.0;
  double mapFalseEasting = 500000.0;
  fs::path dataFolder;        // TRK below it
  fs::path navigationFolder;  // QTHWAY.TXT in it
  LocalClock now;             // the computer clock, local
  std::time_t utcNow = 0;     // the computer clock, UTC seconds
  double secondsSinceMapInteraction = 1e9;
};

struct GpsTickResult {
  bool hideReadout = false;            // no fix in the tick before: the read-out line goes
  bool fix = false;                    // this tick took a fix
  std::string readout;                 // the GPS-INFO line of the fix
  double latitude = 0, longitude = 0;  // the fix in degrees (five decimals)
  bool centreOnOwn = false;            // CentreMode 2 (the user left the map alone 30 s)
  bool fixRegained = false;            // a fix after a tick without one, map left alone 30 s
  bool trackWritten = false;
  bool writeFailed = false;  // a track or way-log write failed (skipped)
};

class GpsReader {
 public:
  static constexpr std::size_t kBufferLimit = 3000;

  // Text from the receiver: appended, the buffer cut to its last 3000 characters.
  void Feed(std::string_view text);
  // Reads the drop file whole (each line with CR LF) and deletes it. False when
  // it is missing or cannot be read or deleted (lines already read stay).
  bool ReadDropFile(const fs::path& file);

  // A tick's GPS work once the source was read: the tick's start (GpsFixMoved to
  // GpsFixMovedBefore), the search, the agreement test and everything a fix does.
  // `source_ok` false (a drop file that failed) ends the tick after its start.
  GpsTickResult Evaluate(NavigationState& nav, const GpsTickContext& c, bool source_ok = true);

  const std::string& Buffer() const { return buffer_; }
  int GpsFixMoved = 0;
  int GpsFixMovedBefore = 0;
  double GpsNorth = 0, GpsEast = 0;  // km of the map zone
  int GpsTimeValid = 0;
  std::string LastTrackMinute;  // "hh:mm"

 private:
  std::string buffer_;
  std::uint64_t appended_ = 0;      // bytes ever appended
  std::uint64_t last_fix_end_ = 0;  // absolute position behind the last fix's kind
  bool have_fix_ = false;
};

// The GPS source of the NMEA setting: a port number above 0, or a drop file (a
// text longer than three characters without "SAVE").
int GpsPortNumber(const std::string& gps_source);
bool GpsSourceIsDropFile(const std::string& gps_source);
// The main cycle reads the GPS only when there is a source.
bool GpsSourceSet(const std::string& gps_source);
// The GPS port's line settings: NBAUD and ",N,8,1".
std::string GpsLineSettings(const std::string& gps_baud);

// Opens the GPS port at start-up when the NMEA setting names one (NBAUD ",N,8,1");
// false when there is none or it cannot be opened (the reader then reads nothing).
bool OpenGpsPort(platform::SerialPort& port, const std::string& gps_source, const std::string& gps_baud);

// One tick's read: the port's waiting text (when `port` is open), then the drop
// file (`drop_file` not empty), then Evaluate.
GpsTickResult ReadGps(GpsReader& reader, NavigationState& nav, platform::SerialPort* port, const fs::path& drop_file,
                      const GpsTickContext& c);

// What a GPS tick shows and changes in the window; the main window fills it.
class GpsTickView {
 public:
  virtual ~GpsTickView() = default;
  virtual void HideReadout() = 0;
  virtual void ShowReadout(const std::string& text) = 0;
  // "USER QTH" chosen as the map's centre.
  virtual void ChooseUserQth() = 0;
  virtual bool TransmitOn() const = 0;
  virtual bool AutoAnswerOn() const = 0;
  // The automatic answer ticked (its click handler runs).
  virtual void TickAutoAnswer() = 0;
};

// The window's part of a tick: the read-out line hidden or shown, the map set to
// follow the own position; on a regained fix "USER QTH" chosen and, with TX on and
// the automatic answer off, the automatic answer ticked.
void ApplyGpsTick(const GpsTickResult& r, int& centre_mode, GpsTickView& view);

// A pass that drew nothing, or drew nothing because the picture viewer lies
// over the map: the map is redrawn when this tick's GPS read took a fix or the
// fix stopped moving since the last tick, and takes the focus when the window
// is active or the screen has fewer than 16 bits per pixel.
struct QuietPassEnd {
  bool redraw = false;
  bool focusMap = false;
};
QuietPassEnd QuietPassEndFor(int gps_fix_moved, int gps_fix_moved_before, bool window_active, int colour_depth);

}  // namespace zeblon::links

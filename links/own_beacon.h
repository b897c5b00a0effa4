// The own position and status beacon (SendOwnBeacon) and the two formatters that
// the object beacon and the retransmission share: the APRS position with symbol
// and the UTC day-hour-minute stamp.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "reception/aprs_decode.h"

namespace zeblon::links {

// Latitude and longitude in degrees of a map position (km of the map zone).
struct LatLon {
  double lat = 0;
  double lon = 0;
};
LatLon MapKmToLatLon(double northKm, double eastKm, double centralMeridian, double falseEastingMetres);

// FormatAprsPosition: "DDMM.hhN", the table character (or the overlay when the
// symbol row holds "No." and an overlay is given), "DDDMM.hhE", the symbol code;
// minutes truncated to hundredths, never carried up. 19 characters.
std::string FormatAprsPosition(const LatLon& p, std::string_view symbolRow, std::string_view overlay);

// FormatUtcDayTime: day of month, hour and minute of the local time moved back
// by the UTC offset (across month ends as the calendar has them), six digits.
std::string FormatUtcDayTime(const reception::LocalTime& now, int utcOffsetHours);

// What the beacon reads of the main window.
struct BeaconSettings {
  std::string userCall;  // USER
  double userNorth = 0;  // UUN, km of the map zone
  double userEast = 0;   // UUE
  double mapCentralMeridian = 15;
  double mapFalseEasting = 500000;
  std::string symbolRow;                 // the SymbolTable row of TXSY
  std::string overlay;                   // TXSS
  bool txTimestamp = false;              // TXTIM
  bool gpsTimeValid = false;             // the clock follows GPS time (GpsTimeValid)
  int utcOffsetHours = 0;                // UTCD
  std::array<std::string, 6> infoLines;  // TXI1..TXI6
  std::array<bool, 6> infoActive{};      // TXI1A..TXI6A
  bool digiOn = false;                   // DIGI
  bool aprsIsVerified = false;
  std::string crossMode = "NONE";  // XBAUD
  std::string radioMode;           // HBAUD
  int interfaceKind = 4;           // MODEM
};

// The comment of the status beacon.
std::string StatusText(const BeaconSettings& s);

// The longest line (blanks around each line removed) of an info line file,
// control characters dropped, cut to 63 characters; nullopt when unreadable.
std::optional<std::string> LongestLineOfFile(const std::filesystem::path& file);

// Where the file an info line names in braces lies: a Windows path as the
// settings' paths are read (C:\ZEBLON\INFO.TXT in the program folder, another
// drive in its folder below it), a name without folder in the program folder,
// letter case matched to what is on the disk.
std::filesystem::path InfoFilePath(const std::string& name, const std::filesystem::path& programFolder);

class OwnBeacon {
 public:
  // Resolves the path an info line names in braces; the default takes it as a
  // Linux path (the program sets InfoFilePath).
  std::function<std::filesystem::path(const std::string&)> resolvePath;
  // Told once for an info line's file that cannot be read (the beacon goes out
  // without comment), again only after the file was read in between.
  std::function<void(const std::string& text)> tell;

  // The information field of the next beacon, or nullopt when none may go out
  // (no user call, or the home position at 0/0: InfoLineIndex stays as it was).
  // A status beacon leaves the info-line rotation where it was.
  std::optional<std::string> NextInfoField(const BeaconSettings& s, const reception::LocalTime& now,
                                           bool statusRequest);

  int InfoLineIndex() const { return infoLineIndex_; }

 private:
  int infoLineIndex_ = 0;
  std::set<std::string> unreadable_;  // the info files already told
};

}  // namespace zeblon::links

// The settings file ZEBLON.INI: one KEY=value line for each of 80 keys.
//
// Both windows keep a copy of the settings in a `Settings`; each reads the file
// once at its start-up by its own read rules and writes it whole (the start window
// all 80 keys, the main window 73). `PatchSettingsFile` replaces single lines.
//
// Files are written whole to a temporary file beside the settings file, flushed and
// then renamed over it, so a crash never leaves a truncated file behind; reading
// the file removes the temporary files that killed writers left (platform/safe_file.h).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/text_files.h"

namespace zeblon {

// Which window's copy: the two differ in some field types, read rules and defaults.
enum class SettingsWindow { Start, Main };

struct Settings {
  int LanguageSetting = 0;    // LANG
  std::string UserCall;       // USER
  std::string MapSystem;      // MSYS
  std::string MapRootFolder;  // UMAPS
  std::string MapFolderM0002, MapFolderM0010, MapFolderM0050, MapFolderM0200, MapFolderM1000,
      MapFolderM5000;                       // M0002 … M5000
  std::string TempFolder;                   // TEMP
  std::string GpsSource;                    // NMEA
  std::string GpsBaud;                      // NBAUD
  int InterfaceKind = 0;                    // MODEM
  int TncComPort = 0;                       // COM
  std::string TncBaud;                      // TBAUD
  double ScsComPort = 0;                    // SCOMP (a whole number in the main window)
  std::string ScsBaud;                      // SBAUD
  std::string AgwHost;                      // HOSTC
  std::string AgwPort;                      // HOSTP
  std::string RadioMode;                    // HBAUD
  std::string MoniOneCall;                  // CALL
  int MoniOneAlarmOn = 0;                   // DISA
  int AlarmDistanceKm = 0;                  // DIST
  double UtcOffsetHours = 0;                // UTCD (a whole number in the main window)
  int SmartLog = 0;                         // SLOG
  int LogsOn = 0;                           // LOGS
  std::string TxSsid;                       // TXID
  int BeaconInterval = 0;                   // TXON
  std::string TxDestination;                // TXTO
  std::string TxPath;                       // TXPA
  std::array<std::string, 5> PathMemories;  // TXPM1 … TXPM4 at 1 … 4
  int TxTimestamp = 0;                      // TXTIM
  std::array<std::string, 7> InfoLines;     // TXI1 … TXI6 at 1 … 6
  std::array<int, 7> InfoLineActive{};      // TXI1A … TXI6A at 1 … 6
  std::array<std::string, 7> InfoMemories;  // TXM1 … TXM6 at 1 … 6
  int TxLevel = 0;                          // TXAF
  int TxAfc = 0;                            // TXAFC
  int DigiOn = 0;                           // DIGI
  std::string CrossMode;                    // XBAUD
  int TxSymbolIndex = 0;                    // TXSY
  std::string TxOverlay;                    // TXSS
  double CentreNorth = 0, CentreEast = 0;   // UTN, UTE
  double UserNorth = 0, UserEast = 0;       // UUN, UUE
  std::string ObjectName;                   // ONAM (padded to 9)
  std::string ObjectText;                   // OTXT
  int ObjectSymbolIndex = 0;                // OSYM
  std::string ObjectOverlay;                // OSYN
  double ObjectNorth = 0, ObjectEast = 0;   // OUTN, OUTE
  int NoAttribReset = 0;                    // NOAT (start window only)
  double SunspotNumber = 0;                 // SSPT
  double KIndex = 0;                        // KIND
  int IonoAutoUpdate = 0;                   // IONA
  std::string PoiFileName;                  // POIF
  std::string TrackFileName;                // TRKF
  std::string AprsIsPort;                   // AIPRT
  std::string AprsIsServer;                 // AISRV
  int IGateOn = 0;                          // IGATE
  std::string WindowsVersion;               // WVER
};

// The defaults of each window. `temp_env` is the TEMP environment variable's value,
// `app_folder` the program folder.
void SetDefaultSettings(SettingsWindow window, Settings& s, const std::string& app_folder, const std::string& temp_env);

// The default APRS-IS server and port the start window shows before any are stored.
inline constexpr const char* kDefaultAprsIsServer = "rotate.aprs2.net";
inline constexpr const char* kDefaultAprsIsPort = "14580";
inline constexpr const char* kDefaultAgwHost = "localhost";

// Called for each line that belonged to a key, after the value was stored.
using KeyReadHook = std::function<void(std::string_view key)>;

// Reads the settings file by the window's read rules into `s`; keys without a usable
// line keep what `s` held. A missing or unreadable file reads nothing and gives
// false. The main window also forms `tx_call` (when given) at the TXID line.
bool ReadSettingsFile(const std::filesystem::path& file, SettingsWindow window, Settings& s,
                      const KeyReadHook& hook = {}, std::string* tx_call = nullptr);

// Reads the settings from text (the file's bytes).
void ReadSettingsText(std::string_view text, SettingsWindow window, Settings& s, const KeyReadHook& hook = {},
                      std::string* tx_call = nullptr);

// The whole file the window's writer writes.
std::string SettingsFileText(SettingsWindow window, const Settings& s);

// The main window's settings file text: its 73 keys, and the lines of the keys it does
// not write (the map folders, NOAT) kept, trimmed, from the file as it is now (`existing`).
std::string MainSettingsText(std::string_view existing, const Settings& s);

// Writes the file anew (temporary file, then rename). False when it could not be written.
bool WriteSettingsFile(const std::filesystem::path& file, SettingsWindow window, const Settings& s);

// Replaces in place every line that begins (case-sensitively) with a key and "=",
// and with `append` adds the keys that had no line at the end. Any number of lines.
// False when the file could not be read or written (then it is left as it was).
bool PatchSettingsFile(const std::filesystem::path& file,
                       const std::vector<std::pair<std::string, std::string>>& entries, bool append);

// The text transformation of PatchSettingsFile, for the file's bytes.
std::string PatchSettingsText(std::string_view text, const std::vector<std::pair<std::string, std::string>>& entries,
                              bool append);

// The own call "CALL-n": `text` (a call, or a command ending in one) with "-" and
// the SSID added when the text holds no "-" and the SSID, trimmed, is a number of
// 1 … 15 in digits (kept as typed: "07" gives "-07"). One rule for the TNC's
// commands, the packet engine's registration and the recognition of the own echo.
std::string CallWithSsid(std::string_view text, std::string_view ssid);

// True for an own call that can be a licensed one: its third character is a digit,
// or its second is a digit followed by a letter (one-letter prefixes: W1AW, K1ABC,
// G4ABC). It opens the chat boxes, the IGate and the APRS-IS passcode.
bool IsValidOwnCall(std::string_view call);

// MSYS as the start window normalises it: "U" and the zone (0 … 60), two digits at least.
std::string NormaliseMapSystem(std::string_view msys);

}  // namespace zeblon

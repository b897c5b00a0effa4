// The own object's beacon (SendObjectBeacon): the information field of the one
// object the user set up, a live object stamped with the current UTC day and time.
#pragma once

#include <optional>
#include <string>

#include "reception/aprs_decode.h"
#include "settings/settings.h"

namespace zeblon::links {

// What the object beacon reads of the main window.
struct ObjectBeaconSettings {
  std::string userCall;  // USER
  double userNorth = 0;  // UUN, km of the map zone: the home position
  double userEast = 0;   // UUE
  double mapCentralMeridian = 15;
  double mapFalseEasting = 500000;
  std::string name;        // ONAM, nine characters
  double north = 0;        // OUTN, km of the map zone
  double east = 0;         // OUTE
  int symbolIndex = 0;     // OSYM
  std::string overlay;     // OSYN
  std::string text;        // OTXT
  int utcOffsetHours = 0;  // UTCD
};

ObjectBeaconSettings ObjectBeaconSettingsFrom(const Settings& s, double mapCentralMeridian, double mapFalseEasting);

// The longest comment an object report carries (the 43 characters APRS allows
// after an object's position).
inline constexpr std::size_t kObjectCommentLimit = 43;

// The information field: ";", the name padded or cut to nine characters, "*",
// the UTC day-hour-minute and "z", the position with the object's symbol, a
// blank and the comment. Nothing (nullopt) without a user call, with the home
// position at 0/0, without an object name, with a symbol number outside the
// symbol table or with a position that has no latitude and longitude. Control bytes in the name, overlay and comment
// become "_"; the comment is cut to kObjectCommentLimit characters.
std::optional<std::string> ObjectInfoField(const ObjectBeaconSettings& s, const reception::LocalTime& now);

}  // namespace zeblon::links

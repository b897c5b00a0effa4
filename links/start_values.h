// The values the main window's start-up derives from the settings alone, once the
// file is read: the own call the links send with, the radio mode's label, what the
// TX and IGATE boxes may show, the APRS-IS passcode and where the map starts.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings.h"

namespace zeblon::links {

// The clock label's radio mode while the settings name none of the known speeds.
inline constexpr const char* kDefaultRadioModeLabel = "300 Bd";

struct StartValues {
  std::string txCall;          // the call the file formed at TXID, else USER
  bool centringOff = false;    // a centre picked from the start picture (both axes end in .499)
  std::string radioModeLabel;  // HBAUD's label, kDefaultRadioModeLabel for an unknown mode
  // The TX box. With a user call: its interval caption, and it is switched on (never
  // off) with a home position and a radio. Without one: "TX !" and off.
  bool userCall = false;
  std::string txBoxCaption;
  bool txBoxEnabled = false;
  // With a user call: the header of the own transmissions heard back, the internet
  // polls' limit (seconds) and whether the call can be a licensed one.
  std::string ownEchoHeader;
  float internetPollLimit = 0;
  bool callValid = false;
  // The APRS-IS passcode of a valid call, "0" without one; the IGATE box may be on
  // only with a passcode other than "0".
  std::string aprsIsPasscode = "0";
  bool IGateAllowed() const { return aprsIsPasscode != "0"; }
  // The map centre (km): 6600 / 400 for a centre of 0 / 0.
  double centreNorth = 0, centreEast = 0;
};

// `file_tx_call` is the own call with SSID that reading the settings file formed
// (empty when the file held no TXID line).
StartValues StartValuesFrom(const Settings& s, std::string_view file_tx_call);

}  // namespace zeblon::links

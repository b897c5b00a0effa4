// The receive path's view of the settings: one function builds it for the window.
#pragma once

#include <filesystem>
#include <string>

#include "reception/reception_state.h"
#include "settings/settings.h"

namespace zeblon::reception {

// What the receive path takes of the main window beside the settings file.
struct ReceptionInputs {
  std::string txCall;         // the own call as sent (with SSID)
  std::string ownEchoHeader;  // the header of the own transmissions heard back
  std::filesystem::path dataFolder;
  std::string mapZoneText = "33";
  double mapCentralMeridian = 15.0;
  double mapFalseEasting = 500000.0;
  int stationFilterMask = 31;
  bool toneOn = false;
  int moniAllLimit = 50;       // the speed test's limit; the track holds five times as many
  bool autoAnswerOn = false;   // the AUTO-A box, never without a radio
  std::string autoAnswerText;  // AutoAnswerText
};

ReceptionSettings ReceptionSettingsFrom(const Settings& s, const ReceptionInputs& in);

}  // namespace zeblon::reception

#include "links/start_values.h"

#include "links/aprs_is.h"
#include "links/tx_identity.h"
#include "links/tx_setup.h"
#include "map/start_centre.h"
#include "settings/interface_kind.h"

namespace zeblon::links {

StartValues StartValuesFrom(const Settings& s, std::string_view file_tx_call) {
  StartValues v;
  v.txCall = EffectiveTxCall(file_tx_call, s.UserCall);
  v.centringOff = map::EndsIn499(s.CentreNorth) && map::EndsIn499(s.CentreEast);
  v.radioModeLabel = RadioModeLabelFor(s.RadioMode, kDefaultRadioModeLabel);
  v.userCall = !s.UserCall.empty();
  if (v.userCall) {
    v.txBoxCaption = TxBoxCaption(s.BeaconInterval);
    v.txBoxEnabled = s.UserNorth != 0 && s.UserEast != 0 && InterfaceKindOf(s.InterfaceKind) != InterfaceKind::NoRadio;
    v.ownEchoHeader = OwnEchoHeaderFor(v.txCall, s.TxPath, s.TxDestination);
    v.internetPollLimit = 900;
    v.callValid = IsValidOwnCall(s.UserCall);
  } else {
    v.txBoxCaption = "TX !";
  }
  if (v.callValid) v.aprsIsPasscode = ComputeAprsIsPasscode(s.UserCall);
  const bool no_centre = s.CentreNorth == 0 && s.CentreEast == 0;
  v.centreNorth = no_centre ? 6600 : s.CentreNorth;
  v.centreEast = no_centre ? 400 : s.CentreEast;
  return v;
}

}  // namespace zeblon::links

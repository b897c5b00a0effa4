#include "links/tx_identity.h"

#include "links/tx_setup.h"

namespace zeblon::links {

std::string EffectiveTxCall(std::string_view tx_call, std::string_view user_call) {
  return std::string(tx_call.empty() ? user_call : tx_call);
}

std::string TxIdentity::EffectiveCall() const { return EffectiveTxCall(tx_call_, settings_.UserCall); }

void TxIdentity::TakeStartValues(const StartValues& start) {
  tx_call_ = start.txCall;
  radio_mode_label_ = start.radioModeLabel;
  if (!start.userCall) return;
  own_echo_header_ = start.ownEchoHeader;
  if (start.callValid) call_valid_ = true;
}

void TxIdentity::TakeTxSetup(const std::string& tx_call, bool hf_dual_on, const std::string& radio_mode_label) {
  tx_call_ = tx_call;
  hf_dual_on_ = hf_dual_on;
  radio_mode_label_ = radio_mode_label;
}

void TxIdentity::RenewOwnEchoHeader() {
  own_echo_header_ = OwnEchoHeaderFor(tx_call_, settings_.TxPath, settings_.TxDestination);
}

}  // namespace zeblon::links

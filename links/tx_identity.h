// The own station as it goes on the air: the call the own packets carry, the
// SCS TNC's HF dual mode, the radio mode the clock label shows, the header the
// own transmissions are known by when heard back, and whether the own call can
// be a licensed one. The start-up and the TX setup change it through the TX
// setup controller; the rest of the program reads it.
#pragma once

#include <string>
#include <string_view>

#include "links/start_values.h"
#include "settings/settings.h"

namespace zeblon::links {

// The call the own station sends under: the TX setup's call, the user's call
// while no TX call is set.
std::string EffectiveTxCall(std::string_view tx_call, std::string_view user_call);

class TxIdentity {
 public:
  // `settings`: the user's call, the TX path and destination, read as they are now.
  explicit TxIdentity(const Settings& settings) : settings_(settings) {}

  // The TX setup's call with SSID as set (empty before the start-up sets one).
  const std::string& TxCall() const { return tx_call_; }
  // The call own messages and retransmissions go out under (EffectiveTxCall).
  std::string EffectiveCall() const;
  bool HfDualOn() const { return hf_dual_on_; }
  const std::string& RadioModeLabel() const { return radio_mode_label_; }
  const std::string& OwnEchoHeader() const { return own_echo_header_; }
  bool CallValid() const { return call_valid_; }

  // The start-up's values: the call and the radio mode label; with a user call
  // also the echo header, and the call's validity once it is a valid one.
  void TakeStartValues(const StartValues& start);
  // The TX setup's OK: its call, dual HF mode and radio mode label.
  void TakeTxSetup(const std::string& tx_call, bool hf_dual_on, const std::string& radio_mode_label);
  void SetHfDualOn(bool on) { hf_dual_on_ = on; }
  // The echo header anew from the TX call and the settings' path and destination.
  void RenewOwnEchoHeader();

 private:
  const Settings& settings_;
  std::string tx_call_;
  bool hf_dual_on_ = false;
  std::string radio_mode_label_;
  std::string own_echo_header_;
  bool call_valid_ = false;
};

}  // namespace zeblon::links

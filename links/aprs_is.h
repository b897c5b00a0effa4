// The APRS-IS passcode of the user call and the text the APRS-IS server sends back.
#pragma once

#include <string>
#include <string_view>

namespace zeblon::links {

// The APRS-IS passcode of a call: the call trimmed of blanks and upper-cased (nothing
// else removed), hashed from 0x73E2 by exclusive or, the characters at odd positions
// (1, 3, …) shifted into the high byte, those at even positions into the low byte,
// the result held to 15 bits. 0 … 32767; "N0CALL" gives 13023.
int AprsIsPasscodeOf(std::string_view user_call);

// ComputeAprsIsPasscode: the passcode of `user_call` as decimal digits without blanks.
std::string ComputeAprsIsPasscode(std::string_view user_call);

// The call as it goes to the server: trimmed of blanks, upper case.
std::string AprsIsCall(std::string_view user_call);

enum class LoginAnswer { None, Verified, Unverified };
// The server's answer to the login of `user_call` anywhere in the received text:
// "# logresp CALL verified" or "# logresp CALL unverified".
LoginAnswer FindLoginAnswer(std::string_view received, std::string_view user_call);

// The text received from the APRS-IS server since the main cycle last emptied it.
struct AprsIsReceiveBuffer {
  std::string buffer;  // AprsIsReceiveBuffer
  std::string chunk;   // AprsIsChunk: the latest arrival

  // The buffer's bound: a server that talks without end (or never sends the
  // answer) cannot make it grow past this; the newest text is kept.
  static constexpr std::size_t kLimit = 16384;
  static constexpr std::size_t kKeptOnOverflow = 4096;

  // Winsock2_DataArrival: the arrival is appended whole, in arrival order; past
  // kLimit only the newest kKeptOnOverflow bytes stay, so that a login answer
  // split across arrivals is still found whole.
  void Arrived(std::string_view data);
  void Clear() { buffer.clear(); }
  // True when the buffer holds the server's answer that the login of `user_call` was
  // verified ("# logresp CALL verified").
  bool LoginVerified(std::string_view user_call) const;
};

}  // namespace zeblon::links

#include "links/aprs_is.h"

#include "platform/paths.h"
#include "settings/text_files.h"

namespace zeblon::links {

int AprsIsPasscodeOf(std::string_view user_call) {
  const std::string call = AprsIsCall(user_call);
  unsigned hash = 0x73E2;
  for (std::size_t i = 0; i < call.size(); ++i) {
    const unsigned code = static_cast<unsigned char>(call[i]);
    // Position i + 1 is odd for even i.
    hash ^= (i % 2 == 0) ? (code << 8) : code;
  }
  // A byte above 127 at an odd position would carry past 15 bits; the mask keeps
  // such a call's passcode in range as the published algorithm does.
  return static_cast<int>(hash & 0x7FFF);
}

std::string ComputeAprsIsPasscode(std::string_view user_call) { return std::to_string(AprsIsPasscodeOf(user_call)); }

void AprsIsReceiveBuffer::Arrived(std::string_view data) {
  chunk.assign(data);
  buffer += chunk;
  if (buffer.size() > kLimit) buffer.erase(0, buffer.size() - kKeptOnOverflow);
}

std::string AprsIsCall(std::string_view user_call) { return platform::UpperAscii(Trim(user_call)); }

LoginAnswer FindLoginAnswer(std::string_view received, std::string_view user_call) {
  const std::string call = AprsIsCall(user_call);
  if (received.find("# logresp " + call + " verified") != std::string_view::npos) return LoginAnswer::Verified;
  if (received.find("# logresp " + call + " unverified") != std::string_view::npos) return LoginAnswer::Unverified;
  return LoginAnswer::None;
}

bool AprsIsReceiveBuffer::LoginVerified(std::string_view user_call) const {
  return FindLoginAnswer(buffer, user_call) == LoginAnswer::Verified;
}

}  // namespace zeblon::links

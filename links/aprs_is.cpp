#include "links/aprs_is.h"

#include "platform/paths.h"
#include "settings/text_files.h"

namespace zeblon::links {

int AprsIsPasscodeOf(std::string_view user_call) {
  const std::string call = platform::UpperAscii(Trim(user_call));
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

std::string ComputeAprsIsPasscode(std::string_view user_call) {
  return std::to_string(AprsIsPasscodeOf(user_call));
}

void AprsIsReceiveBuffer::Arrived(std::string_view data) {
  chunk.assign(data);
  buffer += chunk;
}

bool AprsIsReceiveBuffer::LoginVerified(std::string_view user_call) const {
  const std::string want = "# logresp " + platform::UpperAscii(Trim(user_call)) + " verified";
  return buffer.find(want) != std::string::npos;
}

}  // namespace zeblon::links

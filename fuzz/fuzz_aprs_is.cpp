// libFuzzer target: bytes as what the APRS-IS server sends, in arrivals cut at
// the input's NUL bytes, for the receive buffer and the login answer. (The line
// decoders of the internet link join this target as they come.)
#include <cstdint>
#include <string>
#include <string_view>

#include "links/aprs_is.h"
#include "scratch.h"

using zeblon_fuzz::Check;
using namespace zeblon::links;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  AprsIsReceiveBuffer rx;
  std::string all;
  for (;;) {
    const std::size_t nul = rest.find('\0');
    rx.Arrived(rest.substr(0, nul));
    all += rest.substr(0, nul);
    if (nul == std::string_view::npos) break;
    rest = rest.substr(nul + 1);
  }
  // Arrivals are kept whole and in order.
  Check(rx.buffer == all);
  // A verified login is found whichever way the answer was cut.
  const std::string call = all.substr(0, std::min<std::size_t>(all.find(' '), 9));
  if (all.find("# logresp " + call + " verified") != std::string::npos &&
      call.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-") == std::string::npos && !call.empty())
    Check(rx.LoginVerified(call));
  rx.LoginVerified("N0CALL");
  (void)AprsIsPasscodeOf(all);
  return 0;
}

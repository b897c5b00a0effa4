// libFuzzer target: bytes as the name of a picture for TALMOR's picture name
// converter, which names it by the UTM zone 33 square of its RT90 square.
#include <cstdint>
#include <string>
#include <string_view>

#include "scratch.h"
#include "talmor/file_converters.h"

using zeblon_fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  const std::string utm = talmor::UtmPictureName(name);
  // Always a picture name of 8 characters and ".BMP", from the first 8 alone.
  Check(utm.size() == 12 && utm.ends_with(".BMP"));
  Check(talmor::UtmPictureName(name.substr(0, 8)) == utm);
  return 0;
}

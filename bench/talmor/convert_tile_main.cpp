// Runs TALMOR's map tile converter once over a folder, without windows:
//   talmor_convert_tiles SOURCE DESTINATION TEMP SCALE
// Used by the benchmark to time the converter as a whole process.
#include <cstdio>
#include <string>

#include "talmor/tile_converter.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s SOURCE DESTINATION TEMP SCALE\n", argv[0]);
    return 2;
  }
  talmor::TileRunOptions options;
  options.source = argv[1];
  options.destination = argv[2];
  options.temp = argv[3];
  options.scale = std::stoi(argv[4]);
  talmor::RunHooks hooks;  // no window: progress and events go nowhere
  const auto result = talmor::ConvertMapTiles(options, hooks);
  if (result.end != talmor::RunEnd::Ready) {
    std::fprintf(stderr, "%s\n", result.message.c_str());
    return 1;
  }
  return 0;
}

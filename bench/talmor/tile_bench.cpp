// One full 1000 x 1000 RT90 tile converted to UTM zone 33 by TALMOR's converter
// and by gdalwarp, each as a whole process; prints the seconds of each and the
// ratio. The best of a few runs counts for both.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "map/bmp.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

int RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  posix_spawn_file_actions_t quiet;  // the programs' own output is not wanted here
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  const int started = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (started != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double TimeBest(int runs, const std::vector<std::string>& args, const std::function<void()>& before) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    before();
    const auto start = std::chrono::steady_clock::now();
    if (RunProgram(args) != 0) {
      std::fprintf(stderr, "failed: %s\n", args[0].c_str());
      return -1;
    }
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "bench_tmp" / "talmor_tile";
  fs::remove_all(dir);
  for (const char* d : {"RN", "U33", "temp", "gdal"}) fs::create_directories(dir / d);

  // An 8-bit tile of 2 m pixels at 6580 km north, 1628 km east with a pattern of
  // stripes and blocks, so nothing about it is uniform.
  std::vector<std::uint32_t> palette;
  for (int i = 0; i < 256; ++i) palette.push_back(static_cast<std::uint32_t>(i * 0x010305));
  auto tile = zeblon::map::Tile::Make(8, palette);
  for (int r = 0; r < 1000; ++r)
    for (int c = 0; c < 1000; ++c) tile.SetPixel(r, c, static_cast<std::uint32_t>((r / 10 * 7 + c / 13 * 3 + r * c) % 256));
  const fs::path bmp = dir / "RN" / "65801628.BMP";
  std::string error;
  if (!zeblon::map::WriteTileFile(bmp, tile, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  auto empty_destination = [&] {
    for (const auto& e : fs::directory_iterator(dir / "U33")) fs::remove(e.path());
  };
  const std::vector<std::string> folders{(dir / "RN").string(), (dir / "U33").string(), (dir / "temp").string(), "2"};
  // TALMOR itself, its map converter window driven offscreen, and the converter
  // function alone in a bare executable.
  std::vector<std::string> program{(fs::path(ZEBLON_PROGRAM_DIR) / "TALMOR").string(), "--convert-tiles"};
  program.insert(program.end(), folders.begin(), folders.end());
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const double talmor = TimeBest(runs, program, empty_destination);
  std::vector<std::string> bare{(fs::path(ZEBLON_BINARY_DIR) / "bench" / "talmor" / "talmor_convert_tiles").string()};
  bare.insert(bare.end(), folders.begin(), folders.end());
  const double converter = TimeBest(runs, bare, empty_destination);

  const fs::path vrt = dir / "gdal" / "source.vrt", out = dir / "gdal" / "warped.tif";
  if (RunProgram({"gdal_translate", "-q", "-of", "VRT", "-a_srs", "EPSG:3021", "-a_ullr", "1628000", "6582000",
                  "1630000", "6580000", bmp.string(), vrt.string()}) != 0) {
    std::fprintf(stderr, "gdal_translate is missing or failed (Debian package gdal-bin)\n");
    return 1;
  }
  const std::vector<std::string> warp{"gdalwarp", "-q", "-overwrite", "-s_srs", "EPSG:3021", "-t_srs", "EPSG:3006",
                                      "-tr", "2", "2", "-r", "near", vrt.string(), out.string()};
  const double gdal = TimeBest(runs, warp, [] {});
  auto exact = warp;
  exact.insert(exact.begin() + 1, {"-et", "0"});
  const double gdal_exact = TimeBest(runs, exact, [] {});
  if (talmor < 0 || converter < 0 || gdal < 0 || gdal_exact < 0) return 1;

  std::printf("one 1000 x 1000 tile, 8 bits, scale 2, best of %d whole-process runs:\n", runs);
  std::printf("  TALMOR program     %8.3f s   (TALMOR --convert-tiles, window offscreen)\n", talmor);
  std::printf("  converter alone    %8.3f s   (talmor_convert_tiles, no Qt)\n", converter);
  std::printf("  gdalwarp           %8.3f s   (default approximate transform)\n", gdal);
  std::printf("  gdalwarp -et 0     %8.3f s   (every pixel transformed exactly)\n", gdal_exact);
  std::printf("  ratio gdalwarp / TALMOR program: %.2f (exact: %.2f); gdalwarp / converter alone: %.2f\n",
              gdal / talmor, gdal_exact / talmor, gdal / converter);
  fs::remove_all(dir);
  return talmor < gdal ? 0 : 1;
}

// Folders of 1000 x 1000 RT90 tiles (1, 16 and 100 tiles at 4, 8 and 24 bits,
// scale 2) converted to UTM zone 33 by TALMOR (`TALMOR --convert-tiles`) and by
// gdalwarp (nearest neighbour, single-threaded, on a VRT of the same tiles, onto
// the same 2 m grid), each as a whole process. The two programs take turns; the
// median of the runs counts for each. Prints wall time and processor time (user
// and system, of the process and its threads) and the ratios TALMOR / gdalwarp.
//
//   bench_talmor_tile [RUNS [BITS [TILES]]]
//
// RUNS is the number of runs of each program (5 by default); BITS and TILES limit
// the benchmark to one depth and one folder size.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "map/bmp.h"
#include "map/map_tile.h"
#include "platform/safe_file.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

struct Times {
  double wall = -1, cpu = -1;
};

// Runs a program to its end; its own output goes nowhere.
Times RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  const int started = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (started != 0) return {};
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  Times t;
  t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  auto seconds = [](const timeval& v) { return static_cast<double>(v.tv_sec) + v.tv_usec / 1e6; };
  t.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  return t;
}

// The machine's load average over the last minute (other work running besides
// the benchmark slows the threads of TALMOR more than the one of gdalwarp).
std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one;
  in >> one;
  return one.empty() ? "?" : one;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A tile with a pattern of stripes and blocks, so nothing about it is uniform.
zeblon::map::Tile PatternTile(int bits) {
  std::vector<std::uint32_t> palette;
  for (int i = 0; i < 256; ++i) palette.push_back(static_cast<std::uint32_t>(i * 0x010305));
  if (bits == 4) palette.resize(16);
  auto tile = zeblon::map::Tile::Make(bits, palette);
  for (int r = 0; r < 1000; ++r)
    for (int c = 0; c < 1000; ++c) {
      const auto v = static_cast<std::uint32_t>(r / 10 * 7 + c / 13 * 3 + r * c);
      tile.SetPixel(r, c, bits == 4 ? v % 16 : bits == 8 ? v % 256 : (v * 2654435761u) & 0xFFFFFF);
    }
  return tile;
}

// `count` tiles of scale 2 side by side (a square of them, row by row) in `folder`,
// each with a world file for GDAL, which reads the tiles through one VRT.
bool MakeFolder(const fs::path& folder, int bits, int count, const fs::path& vrt) {
  const auto tile = PatternTile(bits);
  const int side = static_cast<int>(std::lround(std::sqrt(count)));
  const int north_km = 6580, east_km = 1620;
  std::string error;
  for (int i = 0; i < count; ++i) {
    const int n = north_km + 2 * (i / side), e = east_km + 2 * (i % side);
    const std::string name = zeblon::map::TileName(n, e);
    if (!platform::WriteFileAtomically(folder / name, tile.bytes(), &error, false)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return false;
    }
    // Pixel size, two rotations, the centre of the north-west pixel.
    std::ofstream world(folder / (name.substr(0, 8) + ".wld"));
    world << "2\n0\n0\n-2\n" << e * 1000 + 1 << "\n" << n * 1000 + 1999 << "\n";
  }
  std::vector<std::string> build{"gdalbuildvrt", "-q", "-a_srs", "EPSG:3021", vrt.string()};
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".BMP") build.push_back(entry.path().string());
  if (RunProgram(build).wall < 0) {
    std::fprintf(stderr, "gdalbuildvrt is missing or failed (Debian package gdal-bin)\n");
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int only_bits = argc > 2 ? std::atoi(argv[2]) : 0;
  const int only_count = argc > 3 ? std::atoi(argv[3]) : 0;
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "bench_tmp" / "talmor_tiles";
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string talmor = (fs::path(ZEBLON_PROGRAM_DIR) / "TALMOR").string();

  std::printf(
      "TALMOR --convert-tiles against gdalwarp (-r near, single-threaded), scale 2,\n"
      "whole processes taking turns, median of %d runs each; cpu = user + system;\n"
      "%u processors, load average %s at the start\n\n",
      runs, std::thread::hardware_concurrency(), LoadAverage().c_str());
  std::printf("bits tiles |  TALMOR wall    cpu | gdalwarp wall    cpu | TALMOR/gdalwarp wall   cpu\n");
  bool failed = false;
  for (int bits : {4, 8, 24}) {
    if (only_bits && bits != only_bits) continue;
    for (int count : {1, 16, 100}) {
      if (only_count && count != only_count) continue;
      fs::remove_all(dir);
      const fs::path source = dir / "RN", destination = dir / "U33", temp = dir / "temp", gdal = dir / "gdal";
      for (const auto& d : {source, destination, temp, gdal}) fs::create_directories(d);
      const fs::path vrt = gdal / "source.vrt", warped = gdal / "warped.tif";
      if (!MakeFolder(source, bits, count, vrt)) return 1;
      const std::vector<std::string> ours{
          talmor, "--convert-tiles", source.string(), destination.string(), temp.string(), "2"};
      const std::vector<std::string> theirs{
          "gdalwarp", "-q",   "-overwrite", "-t_srs", "EPSG:3006",  "-tr",          "2",
          "2",        "-tap", "-r",         "near",   vrt.string(), warped.string()};
      std::vector<double> our_wall, our_cpu, their_wall, their_cpu;
      for (int run = 0; run < runs; ++run) {
        for (const auto& e : fs::directory_iterator(destination)) fs::remove(e.path());
        fs::remove(warped);
        const Times a = RunProgram(ours);
        const Times b = RunProgram(theirs);
        if (a.wall < 0 || b.wall < 0) {
          std::fprintf(stderr, "%s failed (%d bits, %d tiles)\n", a.wall < 0 ? "TALMOR" : "gdalwarp", bits, count);
          failed = true;
          break;
        }
        our_wall.push_back(a.wall), our_cpu.push_back(a.cpu);
        their_wall.push_back(b.wall), their_cpu.push_back(b.cpu);
      }
      if (our_wall.empty()) continue;
      const double ow = Median(our_wall), oc = Median(our_cpu), tw = Median(their_wall), tc = Median(their_cpu);
      std::printf("%4d %5d | %8.3f s %6.3f s | %8.3f s %6.3f s | %13.2f %10.2f\n", bits, count, ow, oc, tw, tc, ow / tw,
                  oc / tc);
      std::fflush(stdout);
    }
  }
  std::printf("\nload average %s at the end\n", LoadAverage().c_str());
  fs::remove_all(dir);
  return failed ? 1 : 0;
}

// Small helpers of the TALMOR tests: scratch folders and tiles built in code.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "map/bmp.h"
#include "talmor/run.h"

namespace talmor_test {

namespace fs = std::filesystem;

inline fs::path Scratch(const std::string& name) {
  const fs::path dir = fs::path(ZEBLON_BINARY_DIR) / "test_tmp" / "talmor" / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

inline std::vector<std::uint32_t> Palette(int entries) {
  std::vector<std::uint32_t> p;
  for (int i = 0; i < entries; ++i) p.push_back(static_cast<std::uint32_t>(i * 0x010203));
  return p;
}

inline zeblon::map::Tile FilledTile(int bits, std::uint32_t value) {
  auto tile = zeblon::map::Tile::Make(bits, Palette(bits == 4 ? 16 : 256));
  for (int r = 0; r < 1000; ++r)
    for (int c = 0; c < 1000; ++c) tile.SetPixel(r, c, value);
  return tile;
}

inline void WriteBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

inline std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<std::uint8_t> ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Hooks that collect the progress text, with a fixed clock.
struct Recorder {
  std::string text;
  int pumps = 0;
  int beeps = 0;
  std::function<bool()> stop;
  talmor::RunHooks Hooks() {
    talmor::RunHooks h;
    h.append = [this](const std::string& t) { text += t; };
    h.pump = [this] { ++pumps; };
    h.stopRequested = [this] { return stop && stop(); };
    h.timeOfDay = [] { return std::string("12:00:00"); };
    h.secondsNow = [] { return 43200.0; };
    h.beep = [this] { ++beeps; };
    return h;
  }
};

}  // namespace talmor_test

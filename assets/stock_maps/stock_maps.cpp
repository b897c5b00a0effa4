#include "assets/stock_maps/stock_maps.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include "geodesy/geodesy.h"

extern char** environ;

namespace zeblon::stock_maps {

namespace {

int LevelOfHeader(const std::string& line) {
  const auto at = line.rfind("Level");
  if (at == std::string::npos) return 0;
  return std::atoi(line.c_str() + at + 5);
}

double Distance2(LonLat a, LonLat b) {
  const double dx = a.lon - b.lon, dy = a.lat - b.lat;
  return dx * dx + dy * dy;
}

// Position of an edge point along the region's outline, anticlockwise from the
// south-west corner; negative when the point is not on the edge.
double EdgeParameter(LonLat p, const Region& r, double tolerance) {
  const double w = r.east - r.west, h = r.north - r.south;
  if (std::abs(p.lat - r.south) <= tolerance) return std::clamp(p.lon - r.west, 0.0, w);
  if (std::abs(p.lon - r.east) <= tolerance) return w + std::clamp(p.lat - r.south, 0.0, h);
  if (std::abs(p.lat - r.north) <= tolerance) return w + h + std::clamp(r.east - p.lon, 0.0, w);
  if (std::abs(p.lon - r.west) <= tolerance) return 2 * w + h + std::clamp(r.north - p.lat, 0.0, h);
  return -1;
}

LonLat EdgePoint(double t, const Region& r) {
  const double w = r.east - r.west, h = r.north - r.south, perimeter = 2 * (w + h);
  t = std::fmod(t, perimeter);
  if (t < 0) t += perimeter;
  if (t <= w) return {r.west + t, r.south};
  if (t <= w + h) return {r.east, r.south + (t - w)};
  if (t <= 2 * w + h) return {r.east - (t - w - h), r.north};
  return {r.west, r.north - (t - 2 * w - h)};
}

// Appends the edge from parameter `from` to `to`, anticlockwise (`ccw`) or
// clockwise, in steps of at most a quarter degree so that the projected edge bends
// as it should.
void WalkEdge(std::vector<LonLat>& out, double from, double to, bool ccw, const Region& r) {
  const double perimeter = 2 * ((r.east - r.west) + (r.north - r.south));
  double length = ccw ? to - from : from - to;
  length = std::fmod(length, perimeter);
  if (length < 0) length += perimeter;
  const int steps = static_cast<int>(std::ceil(length / 0.25));
  for (int i = 1; i < steps; ++i) out.push_back(EdgePoint(from + (ccw ? 1 : -1) * length * i / steps, r));
}

}  // namespace

std::vector<Piece> ReadPieces(std::istream& in) {
  std::vector<Piece> pieces;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '>') {
      pieces.push_back({LevelOfHeader(line), {}});
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    const char* s = line.c_str();
    char* end = nullptr;
    const double lon = std::strtod(s, &end);
    if (end == s) continue;
    const char* s2 = end;
    const double lat = std::strtod(s2, &end);
    if (end == s2) continue;
    if (pieces.empty()) pieces.push_back({0, {}});
    pieces.back().points.push_back({lon, lat});
  }
  std::erase_if(pieces, [](const Piece& p) { return p.points.size() < 2; });
  return pieces;
}

std::vector<Ring> AssembleRings(const std::vector<Piece>& pieces, const Region& region, double join_degrees,
                                int* straight) {
  if (straight != nullptr) *straight = 0;
  std::vector<Ring> rings;
  const double tol2 = join_degrees * join_degrees;

  // Closed pieces are rings already; the others are joined end to start.
  std::vector<size_t> open;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const auto& p = pieces[i].points;
    if (p.size() >= 4 && Distance2(p.front(), p.back()) <= tol2) {
      Ring ring{pieces[i].level, p};
      ring.points.back() = ring.points.front();
      rings.push_back(std::move(ring));
    } else {
      open.push_back(i);
    }
  }

  // Starts by grid cell of the join distance.
  auto cell_key = [join_degrees](LonLat p, int dx, int dy) {
    const auto x = static_cast<std::int64_t>(std::floor(p.lon / join_degrees)) + dx;
    const auto y = static_cast<std::int64_t>(std::floor(p.lat / join_degrees)) + dy;
    return (x * 73856093) ^ (y * 19349663);
  };
  std::unordered_multimap<std::int64_t, size_t> starts;
  for (size_t k = 0; k < open.size(); ++k) starts.emplace(cell_key(pieces[open[k]].points.front(), 0, 0), k);

  std::vector<int> next(open.size(), -1), previous(open.size(), -1);
  for (size_t k = 0; k < open.size(); ++k) {
    const Piece& a = pieces[open[k]];
    const LonLat end = a.points.back();
    // A chain that ends on the region's edge is closed along the edge, not joined.
    if (EdgeParameter(end, region, join_degrees) >= 0) continue;
    int best = -1;
    double best_d = tol2;
    for (int dx = -1; dx <= 1; ++dx) {
      for (int dy = -1; dy <= 1; ++dy) {
        const auto range = starts.equal_range(cell_key(end, dx, dy));
        for (auto it = range.first; it != range.second; ++it) {
          const size_t j = it->second;
          if (previous[j] >= 0 || pieces[open[j]].level != a.level) continue;
          const double d = Distance2(end, pieces[open[j]].points.front());
          if (d <= best_d) {
            best_d = d;
            best = static_cast<int>(j);
          }
        }
      }
    }
    if (best >= 0) {
      next[k] = best;
      previous[static_cast<size_t>(best)] = static_cast<int>(k);
    }
  }

  // Chains: from each piece without a predecessor; what is left forms cycles.
  struct Chain {
    int level;
    std::vector<LonLat> points;
  };
  std::vector<Chain> chains;
  std::vector<bool> used(open.size(), false);
  auto follow = [&](size_t k) {
    Chain chain{pieces[open[k]].level, {}};
    for (int j = static_cast<int>(k); j >= 0 && !used[static_cast<size_t>(j)]; j = next[static_cast<size_t>(j)]) {
      used[static_cast<size_t>(j)] = true;
      const auto& p = pieces[open[static_cast<size_t>(j)]].points;
      chain.points.insert(chain.points.end(), p.begin() + (chain.points.empty() ? 0 : 1), p.end());
    }
    return chain;
  };
  for (size_t k = 0; k < open.size(); ++k)
    if (previous[k] < 0) chains.push_back(follow(k));
  for (size_t k = 0; k < open.size(); ++k) {
    if (used[k]) continue;
    Chain cycle = follow(k);
    cycle.points.push_back(cycle.points.front());
    rings.push_back({cycle.level, std::move(cycle.points)});
  }

  // Chains on the edge, by level: land (odd levels) lies anticlockwise from where a
  // chain leaves the region, water (even levels) clockwise.
  std::vector<bool> closed(chains.size(), false);
  for (size_t c = 0; c < chains.size(); ++c) {
    const double ts = EdgeParameter(chains[c].points.front(), region, join_degrees);
    const double te = EdgeParameter(chains[c].points.back(), region, join_degrees);
    if (ts < 0 || te < 0) {
      Ring ring{chains[c].level, chains[c].points};
      ring.points.push_back(ring.points.front());
      rings.push_back(std::move(ring));
      closed[c] = true;
      if (straight != nullptr) ++*straight;
    }
  }
  const double perimeter = 2 * ((region.east - region.west) + (region.north - region.south));
  for (size_t first = 0; first < chains.size(); ++first) {
    if (closed[first]) continue;
    const int level = chains[first].level;
    const bool ccw = level % 2 == 1;
    Ring ring{level, {}};
    size_t c = first;
    while (!closed[c]) {
      closed[c] = true;
      ring.points.insert(ring.points.end(), chains[c].points.begin(), chains[c].points.end());
      const double te = EdgeParameter(chains[c].points.back(), region, join_degrees);
      // The nearest start along the edge in the walking direction (open or the first).
      size_t best = first;
      double best_d = std::numeric_limits<double>::max();
      for (size_t d = 0; d < chains.size(); ++d) {
        if (chains[d].level != level || (closed[d] && d != first)) continue;
        const double ts = EdgeParameter(chains[d].points.front(), region, join_degrees);
        double along = std::fmod(ccw ? ts - te : te - ts, perimeter);
        if (along < 0) along += perimeter;
        if (along < best_d) {
          best_d = along;
          best = d;
        }
      }
      WalkEdge(ring.points, te, EdgeParameter(chains[best].points.front(), region, join_degrees), ccw, region);
      c = best;
    }
    ring.points.push_back(ring.points.front());
    rings.push_back(std::move(ring));
  }
  return rings;
}

bool RunGmt(const std::vector<std::string>& args, const std::string& scratch, std::string& out, int timeout_ms) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<std::string> all = {"gmt"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_text = {"GMT_TMPDIR=" + scratch};
  for (char** e = environ; *e != nullptr; ++e)
    if (std::string_view(*e).substr(0, 11) != "GMT_TMPDIR=") env_text.push_back(*e);
  std::vector<char*> envp;
  for (auto& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "gmt", &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  bool timed_out = false;
  char buffer[1 << 16];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timed_out = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (timed_out) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  return !timed_out && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

ZoneXy ToZone(LonLat p) {
  ZoneXy xy{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
  geodesy::ConvertLatLonToUtm(p.lon, p.lat, geodesy::kZone33CentralMeridian, xy.east, xy.north,
                              geodesy::kUtmFalseEasting);
  return xy;
}

bool FromZone(ZoneXy xy, LonLat& p) {
  try {
    geodesy::ConvertUtmToLatLon(p.lon, p.lat, geodesy::kZone33CentralMeridian, xy.east, xy.north,
                                geodesy::kUtmFalseEasting);
  } catch (const geodesy::GeodesyError&) {
    return false;
  }
  return std::isfinite(p.lon) && std::isfinite(p.lat);
}

const std::array<std::uint32_t, 16>& StockPalette() {
  // Calm mid tones: the map's dark (x 0.6) and bright (x 1.6) palettes keep land,
  // water and lines apart. Inks 7 to 14 are spare standard colours.
  static const std::array<std::uint32_t, 16> palette = {
      0x6496BE,  // 0 sea
      0xD2CCA6,  // 1 land
      0x74A6CC,  // 2 lake
      0x3C6484,  // 3 coastline
      0x4A7896,  // 4 lake shore
      0x4E86BA,  // 5 river
      0x9A3C64,  // 6 national border
      0x000000,  // 7
      0x808080,  // 8
      0xC0C0C0,  // 9
      0xFFFFFF,  // 10
      0xA00000,  // 11
      0x008000,  // 12
      0x0000A0,  // 13
      0x806000,  // 14
      0xFCFC00,  // 15 the empty colour
  };
  return palette;
}

ZoneLine Project(int level, const std::vector<LonLat>& points) {
  ZoneLine line;
  line.level = level;
  line.points.reserve(points.size());
  line.min_east = line.min_north = std::numeric_limits<double>::max();
  line.max_east = line.max_north = std::numeric_limits<double>::lowest();
  for (const LonLat& p : points) {
    const ZoneXy xy = ToZone(p);
    if (!std::isfinite(xy.east) || !std::isfinite(xy.north)) continue;
    line.points.push_back(xy);
    line.min_east = std::min(line.min_east, xy.east);
    line.max_east = std::max(line.max_east, xy.east);
    line.min_north = std::min(line.min_north, xy.north);
    line.max_north = std::max(line.max_north, xy.north);
  }
  return line;
}

Canvas::Canvas(double east0, double north0, double metres_per_pixel, int width, int height, std::uint8_t ink)
    : east0_(east0),
      north0_(north0),
      m_(metres_per_pixel),
      width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), ink) {}

bool Canvas::Overlaps(const ZoneLine& line, double margin) const {
  return !line.points.empty() && line.max_east >= east0_ - margin && line.min_east <= east0_ + width_ * m_ + margin &&
         line.max_north >= north0_ - margin && line.min_north <= north0_ + height_ * m_ + margin;
}

void Canvas::FillRings(const std::vector<ZoneLine>& rings, std::uint8_t ink) {
  std::vector<std::vector<double>> crossings(static_cast<size_t>(height_));
  for (const ZoneLine& ring : rings) {
    if (!Overlaps(ring, 0)) continue;
    const auto& p = ring.points;
    for (size_t i = 1; i < p.size(); ++i) {
      const double ya = (p[i - 1].north - north0_) / m_, yb = (p[i].north - north0_) / m_;
      if (ya == yb) continue;
      const double lo = std::min(ya, yb), hi = std::max(ya, yb);
      if (hi < 0 || lo > height_) continue;
      const double xa = (p[i - 1].east - east0_) / m_, xb = (p[i].east - east0_) / m_;
      // Rows whose centre r + 0.5 lies in [lo, hi).
      const int r0 = std::max(0, static_cast<int>(std::ceil(lo - 0.5)));
      const int r1 = std::min(height_ - 1, static_cast<int>(std::ceil(hi - 0.5)) - 1);
      const double slope = (xb - xa) / (yb - ya);
      for (int r = r0; r <= r1; ++r) crossings[static_cast<size_t>(r)].push_back(xa + (r + 0.5 - ya) * slope);
    }
  }
  for (int r = 0; r < height_; ++r) {
    auto& xs = crossings[static_cast<size_t>(r)];
    if (xs.size() < 2) continue;
    std::sort(xs.begin(), xs.end());
    std::uint8_t* row = pixels_.data() + static_cast<size_t>(r) * width_;
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
      // Columns whose centre c + 0.5 lies in [x0, x1).
      const double x0 = std::clamp(xs[i], -1.0, width_ + 1.0), x1 = std::clamp(xs[i + 1], -1.0, width_ + 1.0);
      const int c0 = std::max(0, static_cast<int>(std::ceil(x0 - 0.5)));
      const int c1 = std::min(width_, static_cast<int>(std::ceil(x1 - 0.5)));
      if (c1 > c0) std::fill(row + c0, row + c1, ink);
    }
  }
}

void Canvas::Stamp(int row, int column, std::uint8_t ink, int thickness) {
  const int lo = -(thickness - 1) / 2, hi = thickness / 2;
  for (int r = row + lo; r <= row + hi; ++r) {
    if (r < 0 || r >= height_) continue;
    for (int c = column + lo; c <= column + hi; ++c)
      if (c >= 0 && c < width_) pixels_[static_cast<size_t>(r) * width_ + c] = ink;
  }
}

void Canvas::DrawLine(const ZoneLine& line, std::uint8_t ink, int thickness) {
  if (!Overlaps(line, thickness * m_)) return;
  const auto& p = line.points;
  const double margin = thickness;
  for (size_t i = 1; i < p.size(); ++i) {
    const double xa = (p[i - 1].east - east0_) / m_, ya = (p[i - 1].north - north0_) / m_;
    const double xb = (p[i].east - east0_) / m_, yb = (p[i].north - north0_) / m_;
    if ((xa < -margin && xb < -margin) || (xa > width_ + margin && xb > width_ + margin) ||
        (ya < -margin && yb < -margin) || (ya > height_ + margin && yb > height_ + margin)) {
      continue;
    }
    const double length = std::max(std::abs(xb - xa), std::abs(yb - ya));
    if (!(length < 1e7)) continue;
    const int steps = std::max(1, static_cast<int>(std::ceil(length)));
    for (int s = 0; s <= steps; ++s) {
      const double t = static_cast<double>(s) / steps;
      Stamp(static_cast<int>(std::floor(ya + (yb - ya) * t)), static_cast<int>(std::floor(xa + (xb - xa) * t)), ink,
            thickness);
    }
  }
}

map::Tile Canvas::CutTile(int row0, int column0) const {
  map::Tile tile = map::Tile::Make(4, StockPalette());
  auto& bytes = tile.bytes();
  for (int r = 0; r < map::kTilePixels; ++r) {
    const std::uint8_t* src = pixels_.data() + static_cast<size_t>(row0 + r) * width_ + column0;
    std::uint8_t* dst = bytes.data() + tile.first_pixel() + static_cast<size_t>(r) * tile.row_length();
    for (int c = 0; c < map::kTilePixels; c += 2)
      dst[c / 2] = static_cast<std::uint8_t>((src[c] & 15) << 4 | (src[c + 1] & 15));
  }
  return tile;
}

bool Canvas::Holds(int row0, int column0, std::uint8_t ink) const {
  for (int r = 0; r < map::kTilePixels; ++r) {
    const std::uint8_t* src = pixels_.data() + static_cast<size_t>(row0 + r) * width_ + column0;
    if (std::find(src, src + map::kTilePixels, ink) != src + map::kTilePixels) return true;
  }
  return false;
}

Canvas DrawBand(const ScaleData& data, int scale_km, std::int64_t north_km, std::int64_t west_km, int columns,
                const LineWidths& widths) {
  Canvas canvas(static_cast<double>(west_km) * 1000, static_cast<double>(north_km) * 1000, scale_km,
                columns * map::kTilePixels, map::kTilePixels, kSea);
  static constexpr std::uint8_t kLevelInk[5] = {kSea, kLand, kLake, kLand, kLake};
  for (int level = 1; level <= 4; ++level) canvas.FillRings(data.rings[level], kLevelInk[level]);
  for (const ZoneLine& line : data.rivers) canvas.DrawLine(line, kRiver, widths.river);
  for (const ZoneLine& line : data.shores)
    canvas.DrawLine(line, line.level % 2 == 1 ? kCoast : kLakeShore, widths.coast);
  for (const ZoneLine& line : data.borders) canvas.DrawLine(line, kBorder, widths.border);
  return canvas;
}

}  // namespace zeblon::stock_maps

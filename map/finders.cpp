#include "map/finders.h"

#include <cmath>

#include "geodesy/text.h"
#include "map/layers/overlay_layers.h"
#include "map/picture_page.h"
#include "settings/text_files.h"
#include "reception/symbol_table.h"

namespace zeblon::map {
namespace {

std::string_view Columns(std::string_view record, std::size_t first, std::size_t count) {
  if (record.size() < first) return {};
  return record.substr(first - 1, count);
}

int MaskBitOfClass(int station_class) {
  switch (station_class) {
    case 2: return 1;
    case 1: return 2;
    case 0: return 4;
    case 3: return 8;
    case 4: return 16;
    default: return 0;
  }
}

}  // namespace

double FinderRadiusKm(double metres_per_pixel) { return metres_per_pixel / 100.0; }

double PictureFinderRadiusKm(double metres_per_pixel) {
  const double whole = RoundHalfEven(metres_per_pixel);
  const double hundreds = std::isfinite(whole) ? std::trunc(whole / 100.0) : 0;
  return 0.5 + hundreds;
}

bool InFinderSquare(double north, double east, double selected_north, double selected_east, double r) {
  return std::fabs(east - selected_east) < r && std::fabs(north - selected_north) < r;
}

int StationClassOfRecord(std::string_view record) {
  if (Columns(record, 90, 1) == "_") return 3;
  const std::string symbol = Trim(Columns(record, 101, 3));
  const auto& table = reception::StandardSymbolTable();
  if (symbol.size() >= 2) {
    const int index = reception::SymbolIndexOf(symbol[0], symbol[1]);
    if (index >= 0 && index < reception::kSymbolTableRows) return reception::SymbolClassOf(table[index]);
  }
  return reception::SymbolClassOf(reception::kNoSymbolRow);
}

StationHit FindStationAt(std::span<const std::string> moni_one_track, std::string_view moni_one_call,
                         std::span<const std::string> moni_all_log, double selected_north, double selected_east,
                         double metres_per_pixel, const StationFilter& filter) {
  const double r = FinderRadiusKm(metres_per_pixel);
  const auto at = [&](const std::string& rec) {
    return InFinderSquare(LeadingNumber(Columns(rec, 14, 9)), LeadingNumber(Columns(rec, 23, 9)), selected_north,
                          selected_east, r);
  };
  StationHit hit;
  for (std::size_t i = 0; i < moni_one_track.size(); ++i) {
    if (!at(moni_one_track[i])) continue;
    hit.index = long(i) + 1;
    hit.moniOne = true;
    hit.call = std::string(moni_one_call);
    hit.record = moni_one_track[i];
  }
  if (hit.moniOne) return hit;
  for (std::size_t i = 0; i < moni_all_log.size(); ++i) {
    const std::string& rec = moni_all_log[i];
    if (!at(rec)) continue;
    const std::string call = Trim(Columns(rec, 33, 9));
    if (call.empty()) continue;
    if (filter.directOnly && !Trim(Columns(rec, 91, 9)).empty()) continue;
    if ((filter.mask & MaskBitOfClass(StationClassOfRecord(rec))) == 0) continue;
    hit.index = long(i) + 1;
    hit.call = call;
    hit.record = rec;
  }
  return hit;
}

int FindPictureAt(std::span<const std::string> names, double selected_north, double selected_east,
                  double metres_per_pixel) {
  const double r = PictureFinderRadiusKm(metres_per_pixel);
  int found = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const PicturePlace p = PictureCentre(names[i]);
    if (InFinderSquare(p.north, p.east, selected_north, selected_east, r)) found = int(i) + 1;
  }
  return found;
}

LineHit FindLineAt(std::span<const std::string> lines, double selected_north, double selected_east,
                   double metres_per_pixel) {
  const double r = FinderRadiusKm(metres_per_pixel);
  LineHit hit;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!InFinderSquare(LineNorth(lines[i]), LineEast(lines[i]), selected_north, selected_east, r)) continue;
    hit.index = long(i) + 1;
    hit.text = Trim(Columns(lines[i], 21, std::string_view::npos));
  }
  return hit;
}

bool TextHoldsLink(std::string_view text) {
  return text.find('{') != std::string_view::npos && text.find('}') != std::string_view::npos;
}

}  // namespace zeblon::map

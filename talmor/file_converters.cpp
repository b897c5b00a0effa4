#include "talmor/file_converters.h"

#include <cmath>
#include <map>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "map/bmp.h"
#include "map/map_tile.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

namespace talmor {

namespace {

const char kDifferentPaths[] = "SOURCE / DESTINATION  PATHS  HAVE TO BE DIFFERENT !";
constexpr unsigned char kPositionMark = 0xFE;  // "þ"

}  // namespace

std::string DataFieldText(double metres) {
  if (metres > 9999990) metres = 9999990;
  if (metres < -9999999) metres = -9999999;  // keeps the field at 9 characters
  return PositionText(FloorMetres(metres));
}

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

}  // namespace

bool ConvertRt90PointToUtm33(double rt90_north, double rt90_east, double& utm_north, double& utm_east) {
  double e = NAN, n = NAN;
  try {
    geodesy::ConvertRt90ToUtm33(rt90_east, rt90_north, e, n);
  } catch (const geodesy::GeodesyError&) {
    return false;
  }
  if (!std::isfinite(e) || !std::isfinite(n)) return false;
  utm_north = n;
  utm_east = e;
  return true;
}

std::string UtmPictureName(std::string_view base_name) {
  const auto corner = zeblon::map::TileCornerOfName(base_name.substr(0, std::min<std::size_t>(8, base_name.size())));
  double n = 0, e = 0;
  if (!ConvertRt90PointToUtm33((corner.northKm + 0.5) * 1000, (corner.eastKm + 0.5) * 1000, n, e))
    return "XXXXXXXX.BMP";
  auto km = [](double metres) {
    const double k = std::floor(metres / 1000);
    // Far out of range still names "XXXX"; keep the value inside the integer.
    return static_cast<std::int64_t>(std::clamp(k, -1e9, 1e9));
  };
  return zeblon::map::TileName(km(n), km(e));
}

RunResult ConvertImageNames(const FileRunOptions& options, const RunHooks& hooks) {
  std::vector<std::string> files;
  if (auto end = StartRun({options.source, options.destination}, kDifferentPaths, {".BMP"}, hooks, files)) return *end;
  std::string error;
  std::vector<std::string> names;
  for (const auto& f : files) names.push_back(BaseNameBeforeBmp(f).substr(0, 8));
  SortUnique(names);

  // Every picture and its new name first: nothing is copied when one is missing or
  // when two pictures would end under the same name.
  std::vector<std::string> targets;
  std::map<std::string, std::string> taken;  // UTM name -> picture
  for (const auto& name : names) {
    std::error_code ec;
    if (!fs::exists(FileInFolder(options.source, name + ".BMP"), ec))
      return {RunEnd::Refused, "SOURCE FILE " + name + ".BMP NOT FOUND (A PICTURE NAME IS 8 CHARACTERS AND .BMP) !"};
    const std::string target = UtmPictureName(name);
    const auto [at, fresh] = taken.emplace(platform::UpperAscii(target), name + ".BMP");
    if (!fresh)
      return {RunEnd::Refused, "TWO PICTURES GET THE SAME UTM NAME: " + at->second + " AND " + name + ".BMP -> " +
                                   target + " ! NOTHING IS COPIED."};
    targets.push_back(target);
  }

  const std::size_t total = names.size();
  for (std::size_t i = 1; i <= total; ++i) {
    if (hooks.StopRequested()) return {RunEnd::Stopped, {}};
    const std::string file = names[i - 1] + ".BMP";
    const fs::path source_file = FileInFolder(options.source, file);
    std::vector<std::uint8_t> bytes;
    if (!zeblon::map::ReadFileBytes(source_file, bytes, error)) return {RunEnd::Failed, error + " !"};
    if (!platform::WriteFileAtomically(FileInFolder(options.destination, targets[i - 1]), bytes, &error))
      return {RunEnd::Failed, error + " !"};
    hooks.Pump();
    if (options.deleteSources && !DeleteSource(source_file, error)) return {RunEnd::Failed, error};
    hooks.Pump();
    hooks.Append(ProgressLine(file, i, total, "  DONE"));
  }
  hooks.Append(std::string(kLineBreak) + "READY !" + std::string(kLineBreak));
  hooks.Beep();
  hooks.Pump();
  return {RunEnd::Ready, {}};
}

int PositionColumn(std::string_view file_name) {
  if (file_name.size() < 4) return 0;
  const std::string ext = platform::UpperAscii(file_name.substr(file_name.size() - 4));
  if (ext == ".TXT") return 14;
  if (ext == ".POI" || ext == ".TRK") return 2;  // track lines have the layout of point lines
  return 0;
}

std::string ConvertDataLine(std::string_view line, int column) {
  std::string out(line);
  if (column <= 0) return out;
  const std::size_t north_at = static_cast<std::size_t>(column - 1), east_at = north_at + 9;
  if (out.size() <= east_at) return out;                                                 // no place for the easting
  if (column == 14 && static_cast<unsigned char>(out[12]) != kPositionMark) return out;  // not a record
  const double north_km = LeadingNumber(std::string_view(out).substr(north_at, 9));
  const double east_km = LeadingNumber(std::string_view(out).substr(east_at, 9));
  double n = 0, e = 0;
  if (!ConvertRt90PointToUtm33(north_km * 1000, east_km * 1000, n, e)) return out;
  const std::string north_text = DataFieldText(n), east_text = DataFieldText(e);
  out.replace(north_at, std::min<std::size_t>(9, out.size() - north_at), north_text.substr(0, out.size() - north_at));
  out.replace(east_at, std::min<std::size_t>(9, out.size() - east_at), east_text.substr(0, out.size() - east_at));
  return out;
}

std::string ConvertDataText(const std::string& text, int column) {
  std::string converted;
  converted.reserve(text.size() + text.size() / 16);
  for (const auto& line : SplitLines(text)) {
    converted += ConvertDataLine(line, column);
    converted += kLineBreak;
  }
  return converted;
}

RunResult ConvertDataFiles(const FileRunOptions& options, const RunHooks& hooks) {
  std::vector<std::string> names;
  if (auto end =
          StartRun({options.source, options.destination}, kDifferentPaths, {".TXT", ".POI", ".TRK"}, hooks, names))
    return *end;
  std::string error;
  SortUnique(names);

  const std::size_t total = names.size();
  for (std::size_t i = 1; i <= total; ++i) {
    if (hooks.StopRequested()) return {RunEnd::Stopped, {}};
    const std::string& name = names[i - 1];
    const int column = PositionColumn(name);
    const fs::path source_file = options.source / name;
    std::vector<std::uint8_t> bytes;
    if (!zeblon::map::ReadFileBytes(source_file, bytes, error)) return {RunEnd::Failed, error + " !"};
    const std::string converted = ConvertDataText(std::string(bytes.begin(), bytes.end()), column);
    // An existing destination file of that name, in any letter case, is replaced.
    if (!platform::WriteFileAtomically(FileInFolder(options.destination, name), converted, &error))
      return {RunEnd::Failed, error + " !"};
    hooks.Pump();
    if (options.deleteSources && !DeleteSource(source_file, error)) return {RunEnd::Failed, error};
    hooks.Pump();
    hooks.Append(ProgressLine(name, i, total, "  DONE"));
    hooks.Pump();
  }
  hooks.Append(std::string(kLineBreak) + "READY !" + std::string(kLineBreak));
  hooks.Beep();
  hooks.Pump();
  return {RunEnd::Ready, {}};
}

}  // namespace talmor

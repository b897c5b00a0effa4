// Our latitudes and longitudes against an outside decoder: decode_aprs of the
// Debian direwolf package, over a few hundred generated packets of every form.
//
// The comparison takes the degrees that go into the map projection: the
// decoder moves every position by 0.00005 degree on purpose (north and east of
// the equator and the prime meridian away from them, south and west toward
// them), so the tolerance is that offset plus the resolution of the form:
// 0.01 minute for plain, Mic-E and NMEA (whose further decimals are ignored),
// a hundred-thousandth of a degree for compressed positions, plus the
// 0.0001-minute print resolution of decode_aprs.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "fuzz/corpus.h"
#include "fakes.h"
#include "reception/frame_assembly.h"

namespace zeblon::reception {
namespace {

std::string DecodeAprsPath() {
  for (const char* p : {"/usr/bin/decode_aprs", "/usr/local/bin/decode_aprs"})
    if (std::filesystem::exists(p)) return p;
  return {};
}

std::string RunDecodeAprs(const std::string& tool, const std::string& line, const std::filesystem::path& file) {
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << line << "\n";
  }
  const std::string cmd = tool + " < '" + file.string() + "' 2>&1";
  std::string output;
  if (FILE* pipe = popen(cmd.c_str(), "r")) {
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) output.append(buf.data(), n);
    pclose(pipe);
  }
  // Without the colour codes.
  return std::regex_replace(output, std::regex("\x1b\\[[0-9;]*[A-Za-z]"), "");
}

// "N 59 30.0000, E 018 00.0000" -> degrees; false when the output has no position line.
bool ReferencePosition(const std::string& output, double& lat, double& lon) {
  std::smatch m;
  static const std::regex kLine("([NS]) (\\d+) ([0-9.]+), ([EW]) (\\d+) ([0-9.]+)");
  if (!std::regex_search(output, m, kLine)) return false;
  auto number = [](const std::string& s) { return std::strtod(s.c_str(), nullptr); };  // test side only
  lat = number(m[2]) + number(m[3]) / 60.0;
  lon = number(m[5]) + number(m[6]) / 60.0;
  if (m[1] == "S") lat = -lat;
  if (m[4] == "W") lon = -lon;
  return true;
}

TEST(DecodeAprsReference, LatitudesAndLongitudesAgree) {
  const std::string tool = DecodeAprsPath();
  if (tool.empty()) GTEST_SKIP() << "decode_aprs (Debian package direwolf) is not installed";
  testing::TempDataFolder folder;
  corpus::Generator gen(2024);
  int compared = 0;
  std::array<int, 11> perForm{};
  for (int i = 0; compared < 300 && i < 2000; ++i) {
    const corpus::Packet p = gen.Next();
    if (p.form == corpus::Form::Message || p.form == corpus::Form::Other) continue;
    const std::string monitor = ApplyHeardMark(corpus::Tnc2ToMonitor(p.line));
    FrameValues v;
    ASSERT_EQ(NormaliseHeader(monitor.substr(0, monitor.size() - 1), "N0CALL", "", v), HeaderOutcome::Payload)
        << p.line;
    DecodeContext ctx;
    ctx.now = {2024, 5, 1, 12, 34, 0};
    ctx.mapCentralMeridian = std::floor(p.lon / 6.0) * 6.0 + 3.0;
    const DecodeResult result = DecodePayload(v, ctx);
    if (std::fabs(p.lat) <= 0.03) continue;  // the equator band is dropped on purpose
    ASSERT_EQ(result, DecodeResult::Position) << p.line;

    double lat = 0, lon = 0;
    // decode_aprs shows only the outer header of a third-party packet: it gets the inner packet.
    const std::string reference = p.form == corpus::Form::ThirdParty ? p.line.substr(p.line.find('}') + 1) : p.line;
    const std::string output = RunDecodeAprs(tool, reference, folder.log("packet.txt"));
    ASSERT_TRUE(ReferencePosition(output, lat, lon)) << p.line << "\n" << output;
    double resolution = 0.01 / 60.0;
    if (p.form == corpus::Form::Compressed) resolution = 1e-5;
    const double tolerance = resolution + 0.00005 + 0.0001 / 60.0 + 1e-9;
    EXPECT_NEAR(v.projectedLatitude, lat, tolerance) << p.line << "\n" << output;
    EXPECT_NEAR(v.projectedLongitude, lon, tolerance) << p.line << "\n" << output;
    ++compared;
    ++perForm[static_cast<int>(p.form)];
  }
  EXPECT_GE(compared, 200);
  for (int f = 0; f <= static_cast<int>(corpus::Form::ThirdParty); ++f) EXPECT_GT(perForm[f], 5) << "form " << f;
}

}  // namespace
}  // namespace zeblon::reception

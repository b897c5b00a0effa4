// Weather readings: the decoding rules over a table of reports, the colour
// rules of the diagrams, and the readings of real packets after the receive
// pass compared with direwolf's decode_aprs on the same packets.
#include "geodesy/geodesy.h"
#include "stations/wx_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "received.h"
#include "run_process.h"

namespace zeblon::stations {
namespace {

// A record whose comment (column 43 on) is the given text.
std::string RecordWithComment(const std::string& comment) {
  std::string r = std::string(42, ' ') + comment;
  if (r.size() < 120) r.resize(120, ' ');
  return r;
}

// Expected readings: "" for absent, else the value; -999 marks "not checked".
struct WordCase {
  const char* word;
  const char* dir;
  const char* speed;
  const char* gust;
  const char* temp;
  const char* r1h;
  const char* r24;
  const char* today;
  const char* hum;
  const char* pressure;
  bool knots;
  const char* remark;
};

TEST(WxReport, WordsTable) {
  const WordCase cases[] = {
      // The opening form: knots for speed and gust; r001 is present with 0.
      {"180/010g015t050r001p010P005h65b10132", "  180", "    5", "    8", "   10", "    0", "    3", "    1", "   65",
       " 1013", true, ""},
      // c and s: mph.
      {"c180s010g015t050h65", "  180", "    4", "    7", "   10", "", "", "", "   65", "", false, ""},
      // Below zero, and letters in digit places.
      {"c000t-05", "    0", "", "", "  -21", "", "", "", "", "", false, ""},
      {"c000t0-5xxxxxxxxx", "    0", "", "", "  -18", "", "", "", "", "", false, ""},
      {"t0x5h5xb1o132", "", "", "", "", "", "", "", "", "", false, ""},
      // Halves to the even neighbour.
      {"r250p750", "", "", "", "", "   64", "  190", "", "", "", false, ""},
      {"b09876", "", "", "", "", "", "", "", "", "  988", false, ""},
      {"b00132", "", "", "", "", "", "", "", "", " 1013", false, ""},
      {"b01234", "", "", "", "", "", "", "", "", " 1123", false, ""},
      {"b1013x", "", "", "", "", "", "", "", "", " 1101", false, ""},
      // Cut short: a letter without its full run of digits, or too near the end.
      {"c180s010t07", "  180", "    4", "", "", "", "", "", "", "", false, ""},
      {"t050c18", "", "", "", "   10", "", "", "", "", "", false, ""},
      {"b1013", "", "", "", "", "", "", "", "", "", false, ""},
      {"h6", "", "", "", "", "", "", "", "", "", false, ""},
      // The last occurrence wins.
      {"t050t068", "", "", "", "   20", "", "", "", "", "", false, ""},
      {"h00", "", "", "", "", "", "", "", "    0", "", false, ""},
      // The remark: after the first "/" from the 10th character on.
      {"c180s010g015t050/ABC", "  180", "    4", "    7", "   10", "", "", "", "", "", false, "ABC"},
      {"180/010g015t050", "  180", "    5", "    8", "   10", "", "", "", "", "", true, ""},
      // The opening form needs three digits on both sides.
      {"18/0010g015", "", "", "    7", "", "", "", "", "", "", false, ""},
      {"", "", "", "", "", "", "", "", "", "", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    const WxReport r = DecodeWxWord(c.word);
    EXPECT_EQ(r.windDirection.text, c.dir);
    EXPECT_EQ(r.windSpeed.text, c.speed);
    EXPECT_EQ(r.gustSpeed.text, c.gust);
    EXPECT_EQ(r.temperature.text, c.temp);
    EXPECT_EQ(r.rainLastHour.text, c.r1h);
    EXPECT_EQ(r.rainLast24Hours.text, c.r24);
    EXPECT_EQ(r.rainToday.text, c.today);
    EXPECT_EQ(r.humidity.text, c.hum);
    EXPECT_EQ(r.pressure.text, c.pressure);
    EXPECT_EQ(r.windInKnots, c.knots);
    EXPECT_EQ(r.remark, c.remark);
  }
  EXPECT_EQ(DecodeWxWord("c000t-05").temperature.value, -21);
  EXPECT_EQ(DecodeWxWord("r001").rainLastHour.value, 0);
}

TEST(WxReport, RecordRules) {
  // 15 characters from column 43: no report, even with valid readings.
  EXPECT_FALSE(DecodeWxReport(RecordWithComment("c180s010g015t05")));
  ASSERT_TRUE(DecodeWxReport(RecordWithComment("c180s010g015t050")));
  // Only the first word counts.
  const auto wx = DecodeWxReport(RecordWithComment("WX c180s010g015t050h65"));
  ASSERT_TRUE(wx);
  EXPECT_FALSE(wx->windDirection.present());
  EXPECT_FALSE(wx->temperature.present());
  // The word runs on into the object mark, heard-via and symbol columns when
  // the comment fills its columns.
  std::string r = RecordWithComment(std::string(47, 'x'));
  r.replace(90, 5, "t050/");
  EXPECT_FALSE(DecodeWxReport(r)->temperature.present());
  // Short and odd records never fail.
  EXPECT_FALSE(DecodeWxReport(""));
  const auto garbage = DecodeWxReport(std::string(60, 'x'));
  ASSERT_TRUE(garbage);
  EXPECT_FALSE(garbage->windDirection.present() || garbage->pressure.present());
}

TEST(WxColours, TemperatureTable) {
  const std::pair<int, WxColour> cases[] = {
      {-60, {250, 250, 250}}, {-40, {250, 250, 250}}, {-39, {225, 225, 250}}, {-30, {0, 0, 250}},   {-29, {0, 16, 249}},
      {-26, {0, 64, 250}},    {-20, {0, 120, 240}},   {-19, {0, 124, 239}},   {-10, {0, 150, 230}}, {-9, {0, 154, 226}},
      {-1, {0, 186, 194}},    {0, {0, 190, 190}},     {1, {0, 196, 180}},     {10, {0, 250, 0}},    {11, {38, 248, 0}},
      {20, {220, 220, 0}},    {21, {224, 210, 0}},    {29, {248, 60, 0}},     {30, {250, 0, 0}},    {39, {25, 0, 0}},
      {40, {0, 0, 0}},        {99, {0, 0, 0}},
  };
  for (const auto& [t, c] : cases) EXPECT_EQ(TemperatureColour(t), c) << t;
}

TEST(WxColours, HumidityBlendClampsMalformedHumidity) {
  const WxColour c{0, 250, 0};
  EXPECT_EQ(HumidityBlend(c, DecodeWxWord("h00")), c);
  EXPECT_EQ(HumidityBlend(c, DecodeWxWord("")), (WxColour{96, 221, 96}));  // 50 when absent
  EXPECT_EQ(HumidityBlend(c, DecodeWxWord("h99")), (WxColour{190, 192, 190}));
  // h-5 reads as -5; held to 0, the colour stays the temperature colour.
  EXPECT_EQ(HumidityBlend(c, DecodeWxWord("h-5")), c);
}

TEST(WxColours, PressureStepAndShade) {
  const std::pair<int, int> steps[] = {{1013, 25}, {1014, 25}, {1015, 12}, {1016, 8}, {1018, 5}, {1019, 4},
                                       {1023, 2},  {1030, 1},  {1043, 1},  {983, 1},  {0, 1}};
  for (const auto& [p, s] : steps) EXPECT_EQ(PressureStep(p), s) << p;
  // 1040: step 1, shading from 255 to 129; below 1013 the ring turns round.
  EXPECT_EQ(PressureShade(geodesy::kShortPi / 2, 1040, 1), 255);
  EXPECT_EQ(PressureShade(3 * geodesy::kShortPi / 2, 1040, 1), 129);
  EXPECT_EQ(PressureShade(geodesy::kShortPi / 2, 990, 1), 129);
  for (int k = 0; k < 64; ++k) {
    const int g = PressureShade(k * geodesy::kShortPi / 32, 1013, 25);
    EXPECT_GE(g, 189);
    EXPECT_LE(g, 194);
  }
}

TEST(WxReport, RainOver24Hours) {
  const WxReport today = DecodeWxWord("P004");  // 1 mm
  EXPECT_DOUBLE_EQ(RainOver24Hours(today, 12, 0), 2);
  EXPECT_DOUBLE_EQ(RainOver24Hours(today, 0, 0), 0);
  EXPECT_DOUBLE_EQ(RainOver24Hours(DecodeWxWord("p047P004"), 12, 0), 12);
}

// ---------------------------------------------------------------------------
// Real packets through the receive pass, compared with decode_aprs.

// Runs decode_aprs over the lines and returns its output without colour codes.
std::string DecodeAprs(const std::vector<std::string>& lines) {
  reception::testing::TempDataFolder tmp;
  const auto in = tmp.path() / "in.txt", out = tmp.path() / "out.txt";
  {
    std::ofstream f(in, std::ios::binary);
    for (const auto& l : lines) f << l << "\n";
  }
  if (testing::RunProcess({"decode_aprs"}, in.string(), out.string(), 30) != 0) return {};
  std::ifstream f(out, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  std::string text, raw = s.str();
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\x1b') {
      while (i < raw.size() && !std::isalpha(static_cast<unsigned char>(raw[i]))) ++i;
      continue;
    }
    text += raw[i];
  }
  return text;
}

// decode_aprs's readings of one packet, by name: "wind" (mph), "direction",
// "gust" (the number as sent), "temperature" (F), "rain 1h", "rain 24h",
// "rain today" (inches), "humidity", "barometer" (inHg).
std::map<std::string, double> ReadingsOf(const std::string& output, const std::string& line) {
  std::map<std::string, double> m;
  const std::size_t at = output.find(line + "\n");
  if (at == std::string::npos) return m;
  const std::size_t end = output.find("\n\n", at);
  std::istringstream block(output.substr(at, end - at));
  std::string l;
  while (std::getline(block, l)) {
    if (l.find("wind ") == std::string::npos && l.find("temperature ") == std::string::npos &&
        l.find("humidity ") == std::string::npos)
      continue;
    std::istringstream items(l);
    std::string item;
    while (std::getline(items, item, ',')) {
      while (!item.empty() && item[0] == ' ') item.erase(0, 1);
      auto num = [&](std::size_t from) { return std::stod(item.substr(from)); };
      if (item.rfind("wind ", 0) == 0)
        m["wind"] = num(5);
      else if (item.rfind("direction ", 0) == 0)
        m["direction"] = num(10);
      else if (item.rfind("gust ", 0) == 0)
        m["gust"] = num(5);
      else if (item.rfind("temperature ", 0) == 0)
        m["temperature"] = num(12);
      else if (item.find("in last hour") != std::string::npos)
        m["rain 1h"] = num(5);
      else if (item.find("in last 24 hours") != std::string::npos)
        m["rain 24h"] = num(5);
      else if (item.find("since midnight") != std::string::npos)
        m["rain today"] = num(5);
      else if (item.rfind("humidity ", 0) == 0)
        m["humidity"] = num(9);
      else if (item.rfind("barometer ", 0) == 0)
        m["barometer"] = num(10);
    }
  }
  return m;
}

TEST(WxReport, RealPacketsAgainstDecodeAprs) {
  // Weather stations as they are heard: complete reports in the usual forms
  // (with and without timestamp, messaging, below zero, every reading), and
  // reports with odd or missing readings.
  const std::vector<std::string> lines = {
      "SM5WX-13>APRS,WIDE2-1:!5930.12N/01805.34E_090/012g020t041r010p035P020h87b10213L000eMB63",
      "OH2WX>APN391,WIDE1-1:@101700z6010.50N/02457.20E_220/004g005t-07r000p000P000h50b09900wRSW",
      "LA3WX-2>APRS:=6325.00N/01023.00E_000/000g000t014r000p000P000h95b10338",
      "SK0WX>APRS,TCPIP*:!5920.00N/01800.00E_315/025g043t068r045p120P090h42b09812",
      "DL1WX>APRS:!5410.00N/01205.00E_270/008g012t032h99b10150",
      "SM7WX>APRS:!5600.00N/01300.00E_c180s010g015t050h65",
      "SM6WX>APRS:!5800.00N/01200.00E_c045s003g007t-10h80b10020",
      "OZ1WX>APRS:!5540.00N/01230.00E_.../...g...t055h70b10111",
      "SM3WX>APRS:!6230.00N/01720.00E_c225s012t07",
  };
  testing::Received rx;
  for (const auto& l : lines) rx.Receive(l);
  const std::string out = DecodeAprs(lines);
  ASSERT_NE(out.find("SM5WX-13>APRS"), std::string::npos) << "decode_aprs gave no output";

  for (const auto& line : lines) {
    SCOPED_TRACE(line);
    const std::string call = line.substr(0, line.find('>'));
    const std::string record = rx.Newest(call);
    ASSERT_FALSE(record.empty());
    const auto wx = DecodeWxReport(record);
    ASSERT_TRUE(wx);
    auto ref = ReadingsOf(out, line);
    ASSERT_FALSE(ref.empty());
    auto near = [](const WxReading& r, double expected, double tolerance) {
      EXPECT_TRUE(r.present());
      EXPECT_NEAR(r.value, expected, tolerance);
    };
    if (ref.count("direction"))
      near(wx->windDirection, ref["direction"], 0);
    else
      EXPECT_FALSE(wx->windDirection.present());
    if (ref.count("wind")) near(wx->windSpeed, ref["wind"] * 0.44704, 0.6);
    if (ref.count("gust")) {
      // Where the wind opens the word in knots, the gust counts in knots as well;
      // decode_aprs reads every gust in mph.
      near(wx->gustSpeed, ref["gust"] * (wx->windInKnots ? 1.852 / 3.6 : 0.44704), 0.6);
    } else {
      EXPECT_FALSE(wx->gustSpeed.present());
    }
    if (ref.count("temperature"))
      near(wx->temperature, (ref["temperature"] - 32) / 1.8, 0.6);
    else
      EXPECT_FALSE(wx->temperature.present());
    if (ref.count("rain 1h")) near(wx->rainLastHour, ref["rain 1h"] * 25.4, 0.6);
    if (ref.count("rain 24h")) near(wx->rainLast24Hours, ref["rain 24h"] * 25.4, 0.6);
    if (ref.count("rain today")) near(wx->rainToday, ref["rain today"] * 25.4, 0.6);
    if (ref.count("humidity") && ref["humidity"] < 100) near(wx->humidity, ref["humidity"], 0);
    // inHg to hPa; decode_aprs prints hundredths of an inch (0.34 hPa).
    if (ref.count("barometer"))
      near(wx->pressure, ref["barometer"] * 33.8639, 0.9);
    else
      EXPECT_FALSE(wx->pressure.present());
  }
}

TEST(WxReport, WhereTheRulesDifferFromDecodeAprs) {
  const std::vector<std::string> lines = {
      "WXA>APRS:!5930.00N/01800.00E_180/010g015t050h00b00132",
  };
  const std::string out = DecodeAprs(lines);
  auto ref = ReadingsOf(out, lines[0]);
  ASSERT_FALSE(ref.empty());
  testing::Received rx;
  rx.Receive(lines[0]);
  const auto wx = DecodeWxReport(rx.Newest("WXA"));
  ASSERT_TRUE(wx);
  // h00: decode_aprs reads 100 %, the map shows 0 %.
  EXPECT_EQ(ref["humidity"], 100);
  EXPECT_EQ(wx->humidity.value, 0);
  // b00132: decode_aprs 13.2 hPa (0.39 inHg), the map adds 1000 to 13.
  EXPECT_NEAR(ref["barometer"], 0.39, 0.005);
  EXPECT_EQ(wx->pressure.value, 1013);
  // Gust after the knots opening: decode_aprs 15 mph (7 m/s), here 15 kt (8 m/s).
  EXPECT_EQ(ref["gust"], 15);
  EXPECT_EQ(wx->gustSpeed.value, 8);
}

}  // namespace
}  // namespace zeblon::stations

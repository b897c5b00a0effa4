#include "reception/symbol_table.h"

#include <algorithm>

namespace zeblon::reception {
namespace {

// Display names in index order, 94 per table.
constexpr std::array<std::string_view, 94> kPrimaryNames = {
    "Police Stn", "No Symbol",  "Digi",       "Phone",      "DX Cluster", "HF Gateway", "Plane sm",   "Mob SatStn",
    "WheelChair", "Snowmobile", "Red Cross",  "Boy Scout",  "Home",       "X",          "Red Dot",    "Circle (0)",
    "Circle (1)", "Circle (2)", "Circle (3)", "Circle (4)", "Circle (5)", "Circle (6)", "Circle (7)", "Circle (8)",
    "Circle (9)", "Fire",       "Campground", "Motorcycle", "Rail Eng.",  "Car",        "File svr",   "HC Future",
    "Aid Stn",    "BBS",        "Canoe",      "No Symbol",  "Eyeball",    "Tractor",    "Grid Squ.",  "Hotel",
    "Tcp/ip",     "No Symbol",  "School",     "Usr Log-ON", "MacAPRS",    "NTS Stn",    "Balloon",    "Police",
    "TBD",        "Rec Veh'le", "Shuttle",    "SSTV",       "Bus",        "ATV",        "WX Service", "Helo",
    "Yacht",      "WinAPRS",    "Jogger",     "Triangle",   "PBBS",       "Plane lrge", "WX Station", "Dish Ant.",
    "Ambulance",  "Bike",       "ICP",        "Fire Stn",   "Horse",      "Fire Truck", "Glider",     "Hospital",
    "IOTA",       "Jeep",       "Truck",      "Laptop",     "Mic-E Rptr", "Node",       "EOC",        "Rover",
    "Grid squ.",  "Antenna",    "Power Boat", "Truck Stop", "Truck 18wh", "Van",        "Water Stn",  "XAPRS",
    "Yagi",       "Shelter",    "No Symbol",  "res.(StSw)", "No Symbol",  "res.(StSw)"};

constexpr std::array<std::string_view, 94> kAlternateNames = {
    "Emergency",  "No Symbol",  "No. Digi",   "Bank",       "No Symbol", "No. Diam'd", "Crash site", "Cloudy",
    "MEO",        "Snow",       "Church",     "Girl Scout", "Home (HF)", "UnknownPos", "Destinatn",  "No. Circle",
    "No Symbol",  "No Symbol",  "No Symbol",  "No Symbol",  "No Symbol", "No Symbol",  "No Symbol",  "No Symbol",
    "Petrol Stn", "Hail",       "Park",       "Gale Fl",    "No Symbol", "No. Car",    "Info Kiosk", "Hurricane",
    "No. Box",    "Snow blwng", "Coast G'rd", "Drizzle",    "Smoke",     "Fr'ze Rain", "Snow Shwr",  "Haze",
    "Rain Shwr",  "Lightning",  "Kenwood",    "Lighthouse", "No Symbol", "Nav Buoy",   "Rocket",     "Parking",
    "Quake",      "Restaurant", "Sat/Pacsat", "T'storm",    "Sunny",     "VORTAC",     "No. WXS",    "Pharmacy",
    "No Symbol",  "No Symbol",  "Wall Cloud", "No Symbol",  "No Symbol", "No. Plane",  "No. WX Stn", "Rain",
    "No.Diamond", "Dust blwng", "No. CivDef", "DX Spot",    "Sleet",     "Funnel Cld", "Gale",       "HAM store",
    "No.Blk Box", "WorkZone",   "SUV",        "Area Locns", "Milepost",  "No. Triang", "Circle sm",  "Part Cloud",
    "No Symbol",  "Restrooms",  "No. Boat",   "Tornado",    "No. Truck", "No. Van",    "Flooding",   "No Symbol",
    "Sky Warn",   "No.Shelter", "Fog",        "res.(StSw)", "No Symbol", "res.(StSw)"};

constexpr std::array<int, 42> kMobileRows = {7,  8,  9,   10,  12,  28,  29,  30,  35,  38,  47,  48,  50,  51,
                                             53, 56, 57,  59,  62,  65,  66,  69,  70,  71,  74,  75,  80,  83,
                                             85, 86, 101, 112, 130, 135, 147, 151, 162, 167, 175, 183, 185, 186};
constexpr std::array<int, 5> kDigiRows = {3, 5, 6, 41, 103};
constexpr std::array<int, 2> kWeatherRows = {63, 163};
constexpr std::array<int, 10> kOverlayMarkRows = {103, 106, 116, 130, 133, 162, 178, 183, 185, 186};

template <std::size_t N>
bool Contains(const std::array<int, N>& rows, int index) {
  return std::find(rows.begin(), rows.end(), index) != rows.end();
}

// The GPS symbol code of a code character in one of the two tables.
std::string GpsCode(bool alternate, int c) {
  std::string g(2, ' ');
  if (c <= 47) {
    g[0] = alternate ? 'O' : 'B';
    g[1] = static_cast<char>('B' + (c - 33));
  } else if (c <= 57) {
    g[0] = alternate ? 'A' : 'P';
    g[1] = static_cast<char>(c);
  } else if (c <= 64) {
    g[0] = alternate ? 'N' : 'M';
    g[1] = static_cast<char>('R' + (c - 58));
  } else if (c <= 90) {
    g[0] = alternate ? 'A' : 'P';
    g[1] = static_cast<char>(c);
  } else if (c <= 96) {
    g[0] = alternate ? 'D' : 'H';
    g[1] = static_cast<char>('S' + (c - 91));
  } else if (c <= 122) {
    g[0] = alternate ? 'S' : 'L';
    g[1] = static_cast<char>(c - 32);
  } else {
    g[0] = alternate ? 'Q' : 'J';
    g[1] = static_cast<char>('1' + (c - 123));
  }
  return g;
}

std::string Row(int index) {
  const bool alternate = index > 100;
  const int k = index % 100;
  const int code = 32 + k;
  std::string row(19, ' ');
  row[0] = alternate ? '\\' : '/';
  row[1] = static_cast<char>(code);
  const std::string gps = GpsCode(alternate, code);
  row[3] = gps[0];
  row[4] = gps[1];
  if (Contains(kOverlayMarkRows, index)) row[5] = '#';
  const std::string_view name = alternate ? kAlternateNames[k - 1] : kPrimaryNames[k - 1];
  row.replace(7, name.size(), name);
  char cls = '1';
  if (Contains(kMobileRows, index)) cls = '0';
  if (Contains(kDigiRows, index)) cls = '2';
  if (Contains(kWeatherRows, index)) cls = '4';
  row[18] = cls;
  return row;
}

}  // namespace

SymbolTable BuildSymbolTable() {
  SymbolTable table;
  for (auto& row : table) row = std::string(kNoSymbolRow);
  for (int i = 1; i <= 94; ++i) table[i] = Row(i);
  for (int i = 101; i <= 194; ++i) table[i] = Row(i);
  return table;
}

const SymbolTable& StandardSymbolTable() {
  static const SymbolTable table = BuildSymbolTable();
  return table;
}

int SymbolIndexOf(char table, char code) {
  const int t = static_cast<unsigned char>(table);
  const int c = static_cast<unsigned char>(code);
  return ((t - 47) / 45) * 100 + (c - 32);
}

std::string SymbolNameOf(std::string_view row) {
  if (row.size() < 8) return {};
  std::string_view name = row.substr(7, 10);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  return std::string(name);
}

std::string SymbolCodeAndName(std::string_view row) {
  std::string text(row.substr(0, 2));
  text += "  ";
  if (row.size() > 7) text += row.substr(7, 10);
  return text;
}

int SymbolClassOf(std::string_view row) {
  if (row.empty()) return 0;
  const char c = row.back();
  return (c >= '0' && c <= '9') ? c - '0' : 0;
}

bool SymbolTakesOverlay(std::string_view row) { return row.find("No.") != std::string_view::npos; }

std::string OverlayCharacter(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return {};
  char c = text.back();
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return std::string(1, c);
}

}  // namespace zeblon::reception

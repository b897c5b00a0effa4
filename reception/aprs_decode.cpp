#include "reception/aprs_decode.h"

#include <array>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ostream>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "reception/byte_scan.h"
#include "settings/text_files.h"

namespace zeblon::reception {
namespace {

// 1-based character access: '\0' outside the text.
char At(std::string_view s, std::size_t pos1) { return (pos1 >= 1 && pos1 <= s.size()) ? s[pos1 - 1] : '\0'; }

// Characters from a 1-based position, as many as there are (count npos: to the end).
std::string_view Mid(std::string_view s, std::size_t pos1, std::size_t count = std::string_view::npos) {
  if (pos1 < 1 || pos1 > s.size()) return {};
  return s.substr(pos1 - 1, count);
}

// 1-based position of a character, searching from a 1-based start; 0 when absent.
std::size_t InStr(std::string_view s, char what, std::size_t start1 = 1) {
  const std::size_t i = scan::Find(s, what, start1 < 1 ? 0 : start1 - 1);
  return i == scan::npos ? 0 : i + 1;
}

// The Windows-1252 upper case of every byte.
constexpr std::array<unsigned char, 256> kUpper = [] {
  std::array<unsigned char, 256> t{};
  for (unsigned c = 0; c < 256; ++c) {
    unsigned u = c;
    if (c >= 'a' && c <= 'z')
      u = c - 32;
    else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
      u = c - 32;
    else if (c == 0x9A || c == 0x9C || c == 0x9E)
      u = c - 16;
    else if (c == 0xFF)
      u = 0x9F;
    t[c] = static_cast<unsigned char>(u);
  }
  return t;
}();

bool HasLowerCase(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 'a') return true;  // nothing below "a" has an upper case
  return false;
}

// target = the upper case of part, a piece of from's text: taken as it is
// when it has no byte to change.
void TakeUpper(FrameText& target, const FrameText& from, std::string_view part) {
  if (!HasLowerCase(part)) {
    target.Take(from, part);
    return;
  }
  std::string& b = target.Buffer();
  b.assign(part.data(), part.size());
  UpperCaseInPlace(b);
  target.Commit();
}

// target = part, a piece of from's text, with its last character made upper case.
void TakeWithUpperLast(FrameText& target, const FrameText& from, std::string_view part) {
  const char last = static_cast<char>(kUpper[static_cast<unsigned char>(part.back())]);
  if (last == part.back()) {
    target.Take(from, part);
    return;
  }
  std::string& b = target.Buffer();
  b.assign(part.data(), part.size());
  b.back() = last;
  target.Commit();
}

// target = the two characters a and b.
void SetPair(FrameText& target, char a, char b) {
  std::string& t = target.Buffer();
  if (t.size() != 2) t.resize(2);  // once: the buffer keeps its two characters
  t[0] = a;
  t[1] = b;
  target.Commit();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
unsigned Code(char c) { return static_cast<unsigned char>(c); }

// Two digits at a 1-based position; -1 when they are not two digits.
int TwoDigits(std::string_view s, std::size_t pos1) {
  const char a = At(s, pos1), b = At(s, pos1 + 1);
  if (!IsDigit(a) || !IsDigit(b)) return -1;
  return (a - '0') * 10 + (b - '0');
}

void AppendTwoDigits(std::string& t, int n) {
  t += static_cast<char>('0' + (n / 10) % 10);
  t += static_cast<char>('0' + n % 10);
}

using std::chrono::year_month_day;

// Minutes of a date and time counted within its month (the moments compared
// are always of one month, so no calendar count is needed for their
// distance); false when it is no valid date.
bool MomentMinutes(int year, int month, int day, int hour, int minute, long long& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return false;
  const year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                           std::chrono::day{static_cast<unsigned>(day)}};
  if (!ymd.ok()) return false;
  out = static_cast<long long>(day) * 1440 + hour * 60 + minute;
  return true;
}

// Stage 1: the report's own timestamp (APRS 1.0.1, chapter 6). False for a stamp that is
// no valid date and time.
bool CheckTimestamp(FrameValues& v, const DecodeContext& ctx) {
  const std::string_view p = v.payloadText;
  if (p.empty() || (p[0] != '@' && p[0] != '/')) return true;
  const char type = At(p, 8);
  const LocalTime& now = ctx.now;
  if (v.thirdPartyFlag == 1) {
    if (type != 'z') return true;
    const int day = TwoDigits(p, 2), hour = TwoDigits(p, 4), minute = TwoDigits(p, 6);
    long long unused = 0;
    if (day < 0 || hour < 0 || minute < 0 || !MomentMinutes(now.year, now.month, day, hour, minute, unused))
      return false;
    std::string& date = v.stampDate.Buffer();
    date.clear();
    AppendTwoDigits(date, now.year % 100);
    AppendTwoDigits(date, now.month);
    date += Mid(p, 2, 2);
    v.stampDate.Commit();
    v.stampTime.Take(v.payloadText, Mid(p, 4, 4));
    return true;
  }
  long long stamp = 0;
  if (type == 'z') {
    const int day = TwoDigits(p, 2), hour = TwoDigits(p, 4), minute = TwoDigits(p, 6);
    if (day < 0 || hour < 0 || minute < 0 || !MomentMinutes(now.year, now.month, day, hour, minute, stamp))
      return false;
  } else if (type == 'h') {
    const int hour = TwoDigits(p, 2), minute = TwoDigits(p, 4);
    if (hour < 0 || minute < 0 || !MomentMinutes(now.year, now.month, now.day, hour, minute, stamp)) return false;
  } else {
    return true;
  }
  long long clock = 0;
  if (!MomentMinutes(now.year, now.month, now.day, now.hour, now.minute, clock)) return false;
  stamp += static_cast<long long>(ctx.utcOffsetHours) * 60;
  if (std::llabs(stamp - clock) > 2) v.stampDeviates = 1;
  return true;
}

// Stage 2: a live object or item (APRS 1.0.1, chapter 11) becomes a position report of its name.
void RewriteObject(FrameValues& v) {
  const std::string_view p = v.payloadText;
  if (p.empty()) return;
  char marker;
  if (p[0] == ';')
    marker = '*';
  else if (p[0] == ')')
    marker = '!';
  else
    return;
  const std::size_t pos = InStr(std::string_view(p).substr(0, std::min<std::size_t>(p.size(), 11)), marker, 3);
  if (pos == 0) return;
  const std::size_t dot = InStr(p, '.');
  if (!(p.size() > pos + 10 && dot > pos + 3)) return;
  v.viaText = v.callText;
  TakeUpper(v.callText, v.payloadText, TrimView(Mid(p, 2, pos - 2)));
  // From here the position report of the name: the type character, then what
  // follows the marker.
  const std::string_view rest = p.substr(pos);
  const char type = InStr(p.substr(pos - 1), '.') > 7 ? '@' : '=';
  v.dataTypeChar = type;
  if (!rest.empty() && rest[0] == '/') {
    v.payloadText.Take(v.payloadText, rest);
    v.dataTypeChar = '/';
  } else {
    std::string& s = v.payloadText.Buffer();
    if (v.payloadText.Owned()) {
      // rest lies in this buffer: move it up behind the type character.
      const std::size_t at = static_cast<std::size_t>(rest.data() - s.data());
      s.erase(0, at - 1);
      s[0] = type;
      s.resize(rest.size() + 1);
    } else {
      s.assign(1, type);
      s.append(rest);
    }
    v.payloadText.Commit();
  }
  v.objectFlag = 1;
}

// Character classes by table: one test instead of a chain of compares, whose
// outcome the processor cannot foresee when the forms of the frames alternate.
enum : unsigned char { kPositionType = 1, kLatitudeLetter = 2, kLongitudeLetter = 4, kMessagingType = 8 };
constexpr std::array<unsigned char, 256> kClass = [] {
  std::array<unsigned char, 256> t{};
  for (unsigned char c : {'!', '=', '@', '/'}) t[c] |= kPositionType;
  for (unsigned char c : {'=', '@'}) t[c] |= kMessagingType;
  for (unsigned char c : {'N', 'S', 'n', 's'}) t[c] |= kLatitudeLetter;
  for (unsigned char c : {'E', 'W', 'e', 'w'}) t[c] |= kLongitudeLetter;
  return t;
}();
bool Is(char c, unsigned char cls) { return (kClass[static_cast<unsigned char>(c)] & cls) != 0; }

bool IsPositionType(char c) { return Is(c, kPositionType); }

// The sign of x as 1, -1 or 0 (0 also for not a number), without a branch.
double Sign(double x) { return static_cast<double>(static_cast<int>(x > 0) - static_cast<int>(x < 0)); }

// -x when negate, without a branch.
double Negated(double x, bool negate) {
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) ^ (static_cast<std::uint64_t>(negate) << 63));
}

// The messaging mark "'" of the types "=" and "@", chosen without a branch.
void MarkMessaging(FrameValues& v) {
  v.messagingMark.Refer(Is(v.dataTypeChar, kMessagingType) ? std::string_view("'") : v.messagingMark.view());
}

// The letters of an NMEA position, in either case: N 1, S 2, E 3, W 4.
constexpr std::array<unsigned char, 256> kNmeaLetter = [] {
  std::array<unsigned char, 256> t{};
  t['N'] = t['n'] = 1;
  t['S'] = t['s'] = 2;
  t['E'] = t['e'] = 3;
  t['W'] = t['w'] = 4;
  return t;
}();

// Quotients the decoding needs for every frame, worked out once: divisions
// are slow, and a table gives the very same double.
template <std::size_t N>
constexpr std::array<double, N> Quotients(double divisor) {
  std::array<double, N> t{};
  for (std::size_t i = 0; i < N; ++i) t[i] = static_cast<double>(i) / divisor;
  return t;
}
constexpr auto kSixths = Quotients<10>(6.0);
constexpr auto kSixtieths = Quotients<60>(60.0);
constexpr auto kSixHundredths = Quotients<10>(600.0);
constexpr auto kSixThousandths = Quotients<100>(6000.0);

// A Mic-E destination character: its digit (bits 0-3), its message or
// hemisphere bit (bit 4), and bit 5 for a character the form defines.
constexpr std::array<unsigned char, 256> kMicE = [] {
  std::array<unsigned char, 256> t{};
  for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<unsigned char>(32 | (c - '0'));
  for (int c = 'A'; c <= 'J'; ++c) t[c] = static_cast<unsigned char>(32 | (c - 'A'));
  for (int c = 'P'; c <= 'Y'; ++c) t[c] = static_cast<unsigned char>(32 | 16 | (c - 'P'));
  t['K'] = t['Z'] = 32 | 16;
  t['L'] = 32;
  return t;
}();

// Stage 4a: the plain text form (APRS 1.0.1, chapter 8). False when the symbol code is missing.
bool DecodePlain(FrameValues& v) {
  const std::string_view p = v.payloadText;
  MarkMessaging(v);
  const std::size_t d = InStr(p, '.');
  if (d < 5) return true;
  const char ns = At(p, d + 3);
  if (!Is(ns, kLatitudeLetter)) return true;
  // The layout nearly every report has, "DDMM.mmN" table "DDDMM.mmE" code, all
  // digits where digits belong: the steps below come to the same fields.
  const std::size_t D = d - 1;  // 0-based index of the first point
  if (p.size() >= D + 15) {
    auto notDigit = [&](std::size_t i) { return static_cast<unsigned>(Code(p[i]) - '0') > 9; };
    const char ew = p[D + 13];
    const bool digits = !(notDigit(D - 4) | notDigit(D - 3) | notDigit(D - 2) | notDigit(D - 1) | notDigit(D + 1) |
                          notDigit(D + 2) | notDigit(D + 5) | notDigit(D + 6) | notDigit(D + 7) | notDigit(D + 8) |
                          notDigit(D + 9) | notDigit(D + 11) | notDigit(D + 12));
    if (digits && p[D + 4] != '.' && p[D + 10] == '.' && Is(ew, kLongitudeLetter)) {
      TakeWithUpperLast(v.latText, v.payloadText, p.substr(D - 4, 8));
      TakeWithUpperLast(v.lonText, v.payloadText, p.substr(D + 5, 9));
      v.decodedComment.Take(v.payloadText, TrimView(p.substr(D + 15)));
      SetPair(v.symbolText, p[D + 4], p[D + 14]);
      return true;
    }
  }
  // A field that is a number text holds only digits, points and blanks, which
  // have no upper case: only the hemisphere letter needs it.
  const std::string_view lat = Mid(p, d - 4, 8);
  if (IsNumberText(lat.substr(0, 7))) TakeWithUpperLast(v.latText, v.payloadText, lat);
  const std::size_t e = InStr(p, '.', d + 1);
  if (e == 0 || e < d + 2) return true;
  const char ew = At(p, e + 3);
  if (!Is(ew, kLongitudeLetter)) return true;
  const std::string_view lon = Mid(p, e - 5, 9);
  if (IsNumberText(lon.substr(0, 8))) TakeWithUpperLast(v.lonText, v.payloadText, lon);
  v.decodedComment.Take(v.payloadText, TrimView(Mid(p, e + 5)));
  if (e + 4 > p.size()) return false;  // no symbol code
  SetPair(v.symbolText, At(p, d + 4), At(p, e + 4));
  return true;
}

// Stage 4b: an NMEA sentence (APRS 1.0.1, chapter 6, raw GPS data).
void DecodeNmea(FrameValues& v) {
  const std::string_view p = v.payloadText;
  // For each letter, in either case, the first "," letter ","; slot 0 takes
  // every other comma. Kept: the 1-based position of that first comma (0
  // when absent) and the start of the field that ends there. Without
  // branches on the characters, which change from comma to comma.
  std::size_t first[5] = {0, 0, 0, 0, 0};  // -, N, S, E, W
  std::size_t start[5] = {0, 0, 0, 0, 0};
  std::size_t fieldStart = 0;  // behind the comma before
  scan::ForEachOf(p, ',', [&](std::size_t i) {
    const unsigned k = i + 2 < p.size() && p[i + 2] == ',' ? kNmeaLetter[Code(p[i + 1])] : 0;
    const bool firstOne = first[k] == 0;
    start[k] = firstOne ? fieldStart : start[k];
    first[k] = firstOne ? i + 1 : first[k];
    fieldStart = i + 1;
  });
  const int latSlot = first[1] != 0 ? 1 : 2, lonSlot = first[3] != 0 ? 3 : 4;
  if (first[latSlot] == 0 || first[lonSlot] == 0) return;
  // The field that ends at the comma of the slot, with the letter behind that comma, upper case.
  auto field = [&](FrameText& text, int slot) {
    const std::size_t comma = first[slot] - 1;
    const std::string_view digits = p.substr(start[slot], comma - start[slot]);
    std::string& out = text.Buffer();
    out.assign(digits.data(), digits.size());
    if (HasLowerCase(digits)) UpperCaseInPlace(out);
    out += static_cast<char>(kUpper[Code(p[comma + 1])]);
    text.Commit();
  };
  field(v.latText, latSlot);
  field(v.lonText, lonSlot);
  static constexpr const char* kSsidSymbols[16] = {"",   "/a", "/U", "/f", "/b", "/Y", "/X", "/'",
                                                   "/s", "/>", "/<", "/O", "/j", "/R", "/k", "/v"};
  const std::size_t dash = v.callText.find('-');
  if (dash != std::string_view::npos) {
    const std::string_view digits = v.callText.substr(dash + 1);
    const bool plain =
        (digits.size() == 1 && IsDigit(digits[0])) || (digits.size() == 2 && IsDigit(digits[0]) && IsDigit(digits[1]));
    const double ssid = plain ? (digits.size() == 1 ? digits[0] - '0' : (digits[0] - '0') * 10 + (digits[1] - '0'))
                              : LeadingNumber(digits);
    if (ssid >= 1 && ssid <= 15 && ssid == std::floor(ssid)) v.symbolText.Refer(kSsidSymbols[static_cast<int>(ssid)]);
  }
}

bool IsBase91(char c) { return Code(c) >= 33 && Code(c) <= 123; }
bool IsSymbolCode(char c) { return Code(c) >= 33 && Code(c) <= 126; }
bool IsCompressedTable(char c) { return c == '/' || c == '\\' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'j'); }

// Stage 4c: the compressed form (APRS 1.0.1, chapter 9). False when the characters are no
// compressed position.
bool DecodeCompressed(FrameValues& v) {
  const std::string_view p = v.payloadText;
  MarkMessaging(v);
  const std::size_t table = (v.dataTypeChar == '@' || v.dataTypeChar == '/') ? 9 : 2;
  if (p.size() < table + 9) return false;  // table, 4 + 4 position characters and the code
  for (std::size_t i = table + 1; i <= table + 8; ++i)
    if (!IsBase91(At(p, i))) return false;
  if (!IsCompressedTable(At(p, table)) || !IsSymbolCode(At(p, table + 9))) return false;
  auto value = [&](std::size_t first) {
    double x = 0;
    for (std::size_t i = first; i < first + 4; ++i) x = x * 91 + (Code(At(p, i)) - 33);
    return x;
  };
  v.latitude = 90.0 - value(table + 1) / 380926.0;
  v.longitude = value(table + 5) / 190463.0 - 180.0;
  if (std::fabs(v.latitude) > 90.0 || std::fabs(v.longitude) > 180.0) return false;
  SetPair(v.symbolText, At(p, table), At(p, table + 9));
  v.decodedComment.Take(v.payloadText, TrimView(Mid(p, table + 10)));
  v.latText.Refer("YYYY");
  v.lonText.Refer("XXXX");
  return true;
}

// Stage 4d: Mic-E (APRS 1.0.1, chapter 10). False when the destination or the payload is no
// Mic-E position.
bool DecodeMicE(FrameValues& v) {
  const std::string_view dest = v.destinationCall;
  const std::string_view p = v.payloadText;
  if (dest.size() <= 5) return true;  // no position
  int digit[6];
  int bit[6];
  for (int i = 0; i < 6; ++i) {
    const unsigned e = kMicE[Code(dest[i])];
    if ((e & 32) == 0) return false;
    digit[i] = static_cast<int>(e & 15);
    bit[i] = static_cast<int>((e >> 4) & 1);
  }
  if (p.size() < 9) return false;  // longitude, speed, course and symbol
  // Degrees 38..127, minutes 38..97, hundredths 28..127: the characters the form defines.
  const unsigned degreeCode = Code(At(p, 2)), minuteCode = Code(At(p, 3)), hundredthCode = Code(At(p, 4));
  if (degreeCode < 38 || degreeCode > 127 || minuteCode < 38 || minuteCode > 97 || hundredthCode < 28 ||
      hundredthCode > 127)
    return false;
  if (!IsSymbolCode(At(p, 8)) || !IsSymbolCode(At(p, 9))) return false;
  if (digit[2] * 10 + digit[3] >= 60) return false;
  // 10 * d0 + d1 + d2 / 6 + d3 / 60 + d4 / 600 + d5 / 6000, the quotients from tables.
  double lat = 10 * digit[0] + digit[1] + kSixths[digit[2]] + kSixtieths[digit[3]] + kSixHundredths[digit[4]] +
               kSixThousandths[digit[5]];
  if (lat > 90.0) return false;
  lat = Negated(lat, bit[3] == 0);
  if (IsDigit(dest[0]) && IsDigit(dest[1]) && IsDigit(dest[2])) v.emergencyFlag = 1;
  int deg = static_cast<int>(Code(At(p, 2))) - 28;
  // Without branches: the bits and the ranges change from frame to frame.
  deg += 100 * bit[4];
  deg -= 80 * static_cast<int>(static_cast<unsigned>(deg - 180) <= 9);   // 180..189
  deg -= 190 * static_cast<int>(static_cast<unsigned>(deg - 190) <= 9);  // 190..199
  int min = static_cast<int>(Code(At(p, 3))) - 28;
  min -= 60 * static_cast<int>(min >= 60);
  const int hundredths = static_cast<int>(Code(At(p, 4))) - 28;
  double lon = deg + kSixtieths[min] + kSixThousandths[hundredths];  // deg + min / 60 + hundredths / 6000
  lon = Negated(lon, bit[5] == 1);
  v.latitude = lat;
  v.longitude = lon;
  SetPair(v.symbolText, At(p, 9), At(p, 8));
  std::string_view comment = TrimView(Mid(p, 11));
  const char c10 = At(p, 10);
  if (!comment.empty() && (IsDigit(c10) || (c10 >= 'A' && c10 <= 'Y') || (c10 >= 'a' && c10 <= 'z')))
    comment = TrimView(Mid(p, 10));
  v.decodedComment.Take(v.payloadText, comment);
  v.latText.Refer("YYYY");
  v.lonText.Refer("XXXX");
  return true;
}

// The value of a field of a latitude or longitude text: characters from a
// 1-based position, at most five. A field of nothing but digits, points and
// the blanks of an ambiguous position is read here as LeadingNumber reads it
// (blanks skipped, the number ends at a second point): its digits as a whole
// number divided by the power of ten of its decimals. Both are exact doubles,
// so the one division rounds the decimal value correctly, to the same double
// that LeadingNumber gives. Anything else (signs, exponents) goes through
// LeadingNumber.
double FieldValueOther(std::string_view f);

inline double FieldValue(std::string_view text, std::size_t pos1, std::size_t count) {
  if (pos1 > text.size()) return 0;
  const std::string_view f = text.substr(pos1 - 1, count);
  // "DD", "DDD" and "MM.mm" as the plain form writes them.
  const unsigned d0 = f.size() > 0 ? Code(f[0]) - '0' : 99, d1 = f.size() > 1 ? Code(f[1]) - '0' : 99;
  if (f.size() == 2 && d0 <= 9 && d1 <= 9) return d0 * 10 + d1;
  const unsigned d2 = f.size() > 2 ? Code(f[2]) - '0' : 99;
  if (f.size() == 3 && d0 <= 9 && d1 <= 9 && d2 <= 9) return d0 * 100 + d1 * 10 + d2;
  if (f.size() == 5 && d0 <= 9 && d1 <= 9 && f[2] == '.') {
    const unsigned d3 = Code(f[3]) - '0', d4 = Code(f[4]) - '0';
    if (d3 <= 9 && d4 <= 9) return static_cast<double>(d0 * 1000 + d1 * 100 + d3 * 10 + d4) / 100.0;
  }
  return FieldValueOther(f);
}

double FieldValueOther(std::string_view f) {
  if (f.size() <= 5) {
    static constexpr double kPowers[6] = {1, 10, 100, 1000, 10000, 100000};
    long digits = 0;
    int decimals = 0;
    bool point = false, ended = false, plain = true;
    for (char c : f) {
      if (c == ' ' || c == '\t' || c == '\n') continue;
      if (c >= '0' && c <= '9') {
        if (ended) continue;
        digits = digits * 10 + (c - '0');
        decimals += point;
      } else if (c == '.') {
        if (point) ended = true;
        point = true;
      } else {
        plain = false;
        break;
      }
    }
    if (plain) return static_cast<double>(digits) / kPowers[decimals];
  }
  return LeadingNumber(f);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const FrameText& t) { return out << t.view(); }

FrameValues::FrameValues(const FrameValues& other) { *this = other; }

FrameValues::FrameValues(FrameValues&& other) { *this = std::move(other); }

FrameValues& FrameValues::operator=(const FrameValues& other) {
  if (this == &other) return *this;
  headerLine = other.headerLine;
  thirdPartyFlag = other.thirdPartyFlag;
  callText = other.callText;
  destinationCall = other.destinationCall;
  viaText = other.viaText;
  dataTypeChar = other.dataTypeChar;
  payloadText = other.payloadText;
  stampDate = other.stampDate;
  stampTime = other.stampTime;
  stampDeviates = other.stampDeviates;
  objectFlag = other.objectFlag;
  emergencyFlag = other.emergencyFlag;
  messagingMark = other.messagingMark;
  symbolText = other.symbolText;
  latText = other.latText;
  lonText = other.lonText;
  decodedComment = other.decodedComment;
  latitude = other.latitude;
  longitude = other.longitude;
  projectedLatitude = other.projectedLatitude;
  projectedLongitude = other.projectedLongitude;
  northing = other.northing;
  easting = other.easting;
  frame_ = other.frame_;
  RebaseTexts(other.frame_, frame_);
  return *this;
}

FrameValues& FrameValues::operator=(FrameValues&& other) {
  // A copy: the frame copy is short, and the texts must follow it in any case.
  *this = static_cast<const FrameValues&>(other);
  return *this;
}

void FrameValues::RebaseTexts(std::string_view from, std::string_view to) {
  for (FrameText* t : {&headerLine, &callText, &destinationCall, &viaText, &payloadText, &stampDate, &stampTime,
                       &messagingMark, &symbolText, &latText, &lonText, &decodedComment})
    t->Rebase(from, to);
}

void FrameValues::Reset() {
  headerLine.Clear();
  thirdPartyFlag = 0;
  callText.Clear();
  destinationCall.Clear();
  viaText.Clear();
  dataTypeChar = '\0';
  payloadText.Clear();
  stampDate.Clear();
  stampTime.Clear();
  stampDeviates = 0;
  objectFlag = 0;
  emergencyFlag = 0;
  messagingMark.Refer(" ");
  symbolText.Clear();
  latText.Clear();
  lonText.Clear();
  decodedComment.Clear();
  latitude = longitude = 0;
  projectedLatitude = projectedLongitude = 0;
  northing = easting = 0;
}

void UpperCaseInPlace(std::string& text) {
  char* p = text.data();
  for (std::size_t i = 0, n = text.size(); i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(p[i]);
    if (c >= 'a') p[i] = static_cast<char>(kUpper[c]);  // nothing below "a" changes
  }
}

std::string UpperCase(std::string_view text) {
  std::string s(text);
  UpperCaseInPlace(s);
  return s;
}

std::string_view StrippedAltitude(std::string_view comment) {
  // The first "}", if among the first six characters.
  for (std::size_t i = 0; i < 6 && i < comment.size(); ++i) {
    if (comment[i] == '}') {
      comment.remove_prefix(i + 1);
      break;
    }
  }
  std::size_t alt = scan::Find(comment, '/');
  while (alt != scan::npos && alt + 2 < comment.size() && !(comment[alt + 1] == 'A' && comment[alt + 2] == '='))
    alt = scan::Find(comment, '/', alt + 1);
  if (alt == scan::npos || alt + 2 >= comment.size()) return comment;
  std::size_t end = alt + 3;
  while (end < comment.size() && IsDigit(comment[end])) ++end;
  return comment.substr(end);
}

void StripAltitude(std::string& comment) { comment.erase(0, comment.size() - StrippedAltitude(comment).size()); }

const char* MalformedReasonText(MalformedReason reason) {
  switch (reason) {
    case MalformedReason::None: return "";
    case MalformedReason::Timestamp: return "BAD TIMESTAMP";
    case MalformedReason::PlainPosition: return "BAD POSITION";
    case MalformedReason::CompressedPosition: return "BAD COMPRESSED POSITION";
    case MalformedReason::MicE: return "BAD MIC-E";
    case MalformedReason::OutOfRange: return "POSITION OUT OF RANGE";
    case MalformedReason::Projection: return "NO MAP POSITION";
  }
  return "";
}

bool DecodePlainForm(FrameValues& v) { return DecodePlain(v); }
void DecodeNmeaForm(FrameValues& v) { DecodeNmea(v); }
bool DecodeCompressedForm(FrameValues& v) { return DecodeCompressed(v); }
bool DecodeMicEForm(FrameValues& v) { return DecodeMicE(v); }

void LatLonFromTexts(FrameValues& v) {
  const std::string_view la = v.latText;
  const std::string_view lo = v.lonText;
  if (la.empty() || lo.empty()) return;
  v.latitude = FieldValue(la, 1, 2) + FieldValue(la, 3, 5) / 60.0;
  v.longitude = FieldValue(lo, 1, 3) + FieldValue(lo, 4, 5) / 60.0;
  v.latitude = Negated(v.latitude, la.back() == 'S');
  v.longitude = Negated(v.longitude, lo.back() == 'W');
}

DecodeResult DecodePayload(FrameValues& v, const DecodeContext& ctx) {
  using enum MalformedReason;
  // Stage 1.
  const char first = v.payloadText.empty() ? '\0' : v.payloadText[0];
  if ((first == '@' || first == '/') && !CheckTimestamp(v, ctx)) return {DecodeResult::Malformed, Timestamp};
  // Stage 2.
  RewriteObject(v);
  // Stage 3.
  if (!v.payloadText.empty() && v.payloadText[0] == ':' && At(v.payloadText, 11) == ':') {
    if (ctx.onMessage) ctx.onMessage(v);
    return DecodeResult::NoReport;
  }
  // Stage 4.
  if (IsPositionType(v.dataTypeChar)) {
    if (!DecodePlain(v)) return {DecodeResult::Malformed, PlainPosition};
  } else if (v.dataTypeChar == '$') {
    DecodeNmea(v);
  }
  if ((v.latText.empty() || v.lonText.empty()) && IsPositionType(v.dataTypeChar)) {
    if (!DecodeCompressed(v)) return {DecodeResult::Malformed, CompressedPosition};
  }
  if (v.dataTypeChar == '`' || v.dataTypeChar == '\'') {
    if (!DecodeMicE(v)) return {DecodeResult::Malformed, MicE};
  }
  // Stage 5.
  if (!v.decodedComment.empty())
    v.decodedComment.RemovePrefix(v.decodedComment.size() - StrippedAltitude(v.decodedComment).size());
  if (v.callText.empty() || v.destinationCall.empty() || v.latText.empty() || v.lonText.empty())
    return DecodeResult::NoReport;
  const auto is = [](std::string_view text, const char(&marker)[5]) {
    return text.size() == 4 && text[0] == marker[0] && text[1] == marker[1] && text[2] == marker[2] &&
           text[3] == marker[3];
  };
  if (!is(v.latText, "YYYY") || !is(v.lonText, "XXXX")) LatLonFromTexts(v);
  if (!std::isfinite(v.latitude) || !std::isfinite(v.longitude) || std::fabs(v.latitude) > 90.0 ||
      std::fabs(v.longitude) > 180.0)
    return {DecodeResult::Malformed, OutOfRange};
  if (std::fabs(v.latitude) <= 0.02) return DecodeResult::NoReport;
  v.projectedLatitude = Sign(v.latitude) * std::fabs(v.latitude + 0.00005);
  v.projectedLongitude = Sign(v.longitude) * std::fabs(v.longitude + 0.00005);
  if (!ctx.project) return DecodeResult::Position;
  double easting = std::nan(""), northing = std::nan("");
  geodesy::ConvertLatLonToUtm(v.projectedLongitude, v.projectedLatitude, ctx.mapCentralMeridian, easting, northing,
                              ctx.mapFalseEasting);
  if (!std::isfinite(easting) || !std::isfinite(northing)) return {DecodeResult::Malformed, Projection};
  if (std::fabs(northing) > 9999000.0 || std::fabs(easting) > 9999000.0) return DecodeResult::NoReport;
  v.northing = northing;
  v.easting = easting;
  return DecodeResult::Position;
}

}  // namespace zeblon::reception

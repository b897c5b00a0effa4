#include "geodesy/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

// ---------------------------------------------------------------------------
// Leading number.

namespace {

bool IsSkipped(char ch) { return ch == ' ' || ch == '\t' || ch == '\n'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Reads the characters of a text one by one, skipping blanks, tabs and line feeds.
class SkippingReader {
 public:
  explicit SkippingReader(std::string_view text) : text_(text) { Skip(); }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Next() {
    ++pos_;
    Skip();
  }
  std::size_t Position() const { return pos_; }
  void Seek(std::size_t pos) {
    pos_ = pos;
    Skip();
  }

 private:
  void Skip() {
    while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

double LeadingNumberOfAnyForm(std::string_view text) {
  SkippingReader r(text);
  bool negative = false;
  if (r.Peek() == '+' || r.Peek() == '-') {
    negative = r.Peek() == '-';
    r.Next();
  }
  // Significant digits (leading zeros dropped) and the decimal exponent of the point.
  std::string digits;
  long long pointExponent = 0;  // value = 0.digits... shifted: digits * 10^(pointExponent - digits.size())
  bool anyDigit = false;
  while (IsDigit(r.Peek())) {
    anyDigit = true;
    if (!(digits.empty() && r.Peek() == '0')) {
      if (digits.size() < 800) digits.push_back(r.Peek());
      ++pointExponent;
    }
    r.Next();
  }
  if (r.Peek() == '.') {
    r.Next();
    while (IsDigit(r.Peek())) {
      anyDigit = true;
      if (digits.empty() && r.Peek() == '0') {
        --pointExponent;
      } else if (digits.size() < 800) {
        digits.push_back(r.Peek());
      }
      r.Next();
    }
  }
  if (!anyDigit || digits.empty()) return 0.0;

  long long exponent = 0;
  if (r.Peek() == 'E' || r.Peek() == 'e') {
    const std::size_t mark = r.Position();
    r.Next();
    bool expNegative = false;
    if (r.Peek() == '+' || r.Peek() == '-') {
      expNegative = r.Peek() == '-';
      r.Next();
    }
    if (IsDigit(r.Peek())) {
      while (IsDigit(r.Peek())) {
        if (exponent < 100000) exponent = exponent * 10 + (r.Peek() - '0');
        r.Next();
      }
      if (expNegative) exponent = -exponent;
    } else {
      r.Seek(mark);  // "E" without digits is not part of the number
    }
  }

  // Decimal magnitude: the value lies in [10^(m-1), 10^m).
  const long long magnitude = pointExponent + exponent;
  if (magnitude > 310) return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
  if (magnitude < -330) return negative ? -0.0 : 0.0;

  // "0.<digits>e<magnitude>" in a form that from_chars reads.
  std::string normal = "0.";
  normal += digits;
  normal += 'e';
  normal += std::to_string(magnitude);
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    value = magnitude > 0 ? std::numeric_limits<double>::max() : 0.0;
  } else if (ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

// ---------------------------------------------------------------------------
// Number text.

std::string NumberTextUntrimmed(double value) {
  if (!std::isfinite(value) || value == 0.0) return " 0";
  // Fifteen significant digits in scientific form: d.dddddddddddddde+XX
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
  if (ec != std::errc()) return " 0";
  const std::string_view sci(buf, static_cast<std::size_t>(end - buf));
  const std::size_t ePos = sci.find('e');
  std::string digits;
  for (char ch : sci.substr(0, ePos))
    if (IsDigit(ch)) digits.push_back(ch);
  int exponent = 0;
  {
    std::string_view expText = sci.substr(ePos + 1);
    bool expNegative = false;
    if (!expText.empty() && (expText.front() == '+' || expText.front() == '-')) {
      expNegative = expText.front() == '-';
      expText.remove_prefix(1);
    }
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    if (expNegative) exponent = -exponent;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out(1, value < 0 ? '-' : ' ');
  if (exponent >= 15 || exponent < -4) {
    // Exponent form: 1E+16, 1.5E-05.
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    const int absExp = exponent < 0 ? -exponent : exponent;
    if (absExp < 10) out += '0';
    out += std::to_string(absExp);
    return out;
  }
  if (exponent < 0) {
    // .5, .0001234
    out += '.';
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  const std::size_t wholeDigits = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= wholeDigits) {
    out += digits;
    out.append(wholeDigits - digits.size(), '0');
  } else {
    out.append(digits, 0, wholeDigits);
    out += '.';
    out.append(digits, wholeDigits, std::string::npos);
  }
  return out;
}

std::string NumberText(double value) {
  std::string text = NumberTextUntrimmed(value);
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);
  return text;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double down = std::floor(value);
  const double fraction = value - down;  // exact for doubles below 2^52
  if (fraction > 0.5) return down + 1.0;
  if (fraction < 0.5) return down;
  return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

// ---------------------------------------------------------------------------
// Position text.

std::string PositionText(std::int64_t wholeMetres) {
  // The absolute value, at least three digits.
  const std::uint64_t magnitude = wholeMetres < 0
                                      ? static_cast<std::uint64_t>(0) - static_cast<std::uint64_t>(wholeMetres)
                                      : static_cast<std::uint64_t>(wholeMetres);
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude);
  (void)ec;
  std::string number(buf, end);
  if (number.size() < 3) number.insert(0, 3 - number.size(), '0');
  number.insert(number.begin(), wholeMetres < 0 ? '-' : ' ');
  if (number.size() < 8) number.insert(0, 8 - number.size(), ' ');
  number.insert(number.size() - 3, 1, '.');
  return number;
}

namespace {
std::int64_t ClampToInt64(double whole) {
  if (std::isnan(whole)) return 0;
  constexpr double lo = -9223372036854775808.0;
  constexpr double hi = 9223372036854775808.0;
  if (whole <= lo) return std::numeric_limits<std::int64_t>::min();
  if (whole >= hi) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(whole);
}
}  // namespace

std::int64_t TruncateMetres(double metres) { return ClampToInt64(std::trunc(metres)); }
std::int64_t FloorMetres(double metres) { return ClampToInt64(std::floor(metres)); }

// ---------------------------------------------------------------------------
// Text procedures.

bool IsNumberText(std::string_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  bool result = true;
  for (std::size_t i = first; i < last; ++i) {
    const unsigned char code = static_cast<unsigned char>(text[i]);
    if (!((code >= 48 && code <= 57) || code == 46)) result = false;
  }
  return result;
}

void ConvertToDosCodePage(std::string& text) {
  static constexpr unsigned char kFrom[10] = {0xC4, 0xE4, 0xC5, 0xE5, 0xD6, 0xF6, 0xDC, 0xFC, 0xDF, 0xB5};
  static constexpr unsigned char kTo[10] = {0x8E, 0x84, 0x8F, 0x86, 0x99, 0x94, 0x9A, 0x81, 0xE1, 0xE6};
  for (char& ch : text) {
    const unsigned char byte = static_cast<unsigned char>(ch);
    for (int i = 0; i < 10; ++i) {
      if (byte == kFrom[i]) {
        ch = static_cast<char>(kTo[i]);
        break;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Windows-1252.

namespace {

// Bytes 0x80 to 0x9F; the undefined ones map to the C1 code point of the same value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

int UnicodeToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char ch : bytes) AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  while (i < n) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      cp = lead & 0x1F;
      minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      cp = lead & 0x0F;
      minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      cp = lead & 0x07;
      minimum = 0x10000;
    } else {
      out += '?';  // a stray continuation byte or an invalid lead byte
      ++i;
      continue;
    }
    int taken = 1;
    bool ok = true;
    while (taken < length) {
      if (i + static_cast<std::size_t>(taken) >= n) {
        ok = false;
        break;
      }
      const unsigned char next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(taken)]);
      if ((next & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3F);
      ++taken;
    }
    if (!ok || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      // A malformed sequence: one '?' for the bytes read so far.
      out += '?';
      i += static_cast<std::size_t>(taken);
      continue;
    }
    const int byte = UnicodeToCp1252(cp);
    out += byte < 0 ? '?' : static_cast<char>(byte);
    i += static_cast<std::size_t>(length);
  }
  return out;
}

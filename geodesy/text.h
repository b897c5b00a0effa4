// Text and number helpers shared by both programs.
//
// Texts are 8-bit Windows-1252 byte strings; nothing here depends on the
// process locale, and nothing here uses Qt.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

// ---------------------------------------------------------------------------
// Numbers in texts.

namespace text_detail {

// The common plain decimal ("  6580.123 ", "-12", "0.5x") read at once: up to
// 15 digits with no blank inside and nothing after it that could continue it.
// The quotient of two exactly held numbers is rounded once, so it equals the
// correctly rounded value of the text. Other texts give nothing and take the
// general way.
inline std::optional<double> PlainDecimal(std::string_view text) {
  static constexpr double kTens[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = text.data();
  const char* const end = p + text.size();
  const auto skipped = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n'; };
  const auto digit = [](char ch) { return static_cast<unsigned>(ch - '0') <= 9; };
  while (p < end && skipped(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  // The digits before and after the point as two whole numbers (wrapping only
  // for more digits than are taken).
  std::uint64_t before = 0, after = 0;
  int digits = 0, decimals = 0;
  for (; p < end && digit(*p); ++p, ++digits) before = before * 10 + static_cast<unsigned>(*p - '0');
  if (p < end && *p == '.') {
    for (++p; p < end && digit(*p); ++p, ++decimals) after = after * 10 + static_cast<unsigned>(*p - '0');
    digits += decimals;
  }
  // Up to 15 digits (leading zeros counted), so all of them are held exactly.
  if (digits == 0 || digits > 15) return std::nullopt;
  const std::uint64_t whole = before * static_cast<std::uint64_t>(kTens[decimals]) + after;
  // What follows, past any blanks, must not continue the number.
  while (p < end && skipped(*p)) ++p;
  if (p < end && (digit(*p) || *p == '.' || *p == 'E' || *p == 'e')) return std::nullopt;
  if (whole == 0) return 0.0;
  const double value = static_cast<double>(whole) / kTens[decimals];
  return negative ? -value : value;
}

}  // namespace text_detail

// The general reading of any text, for what PlainDecimal leaves.
double LeadingNumberOfAnyForm(std::string_view text);

// The leading number of a text: blanks, tabs and line feeds anywhere are
// skipped; then an optional sign, digits, an optional "." with digits and an
// optional exponent ("E" or "e", an optional sign, digits) are read up to the
// first character that does not fit. A text without a number gives 0.
// "12abc" -> 12, "1,5" -> 1, ".5" -> 0.5, "- 1 2" -> -12, "1E3" -> 1000.
// A value beyond the range of a double gives +/- the largest double; one too
// small for a double gives 0.
inline double LeadingNumber(std::string_view text) {
  if (const auto plain = text_detail::PlainDecimal(text)) return *plain;
  return LeadingNumberOfAnyForm(text);
}

// The number text of a value, untrimmed: at most 15 significant digits,
// trailing zeros dropped, "." as decimal point, no leading zero before the
// point (.5, -.25), whole numbers without a point, and exponent form for very
// large or very small magnitudes (1E+15 and above, below .0001: 1E+16, 1.5E-05). A value that is not
// negative carries one leading blank, a negative one its minus sign:
// 10 -> " 10", -0.5 -> "-.5". A non-finite value gives " 0".
std::string NumberTextUntrimmed(double value);

// The same without the leading blank: 10 -> "10", 0.5 -> ".5", -1 -> "-1".
std::string NumberText(double value);

// The nearest whole number, a half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -20.5 -> -20). Non-finite values pass unchanged.
double RoundHalfEven(double value);

// A fraction stored into a whole-number field of type T (int16_t for a 16-bit
// field, int32_t, uint8_t for a byte, ...): rounded half to even, then held to
// the range of T (a value that does not fit becomes the nearest end of the
// range; NaN becomes 0).
template <typename T>
T ToWholeNumber(double value) {
  static_assert(std::is_integral_v<T>, "ToWholeNumber needs an integer type");
  if (std::isnan(value)) return T{0};
  const double r = RoundHalfEven(value);
  constexpr double lo = static_cast<double>(std::numeric_limits<T>::min());
  // The largest value as a double may round up (2^63 for int64); compare with >=.
  constexpr double hiLimit = static_cast<double>(std::numeric_limits<T>::max());
  if (r <= lo) return std::numeric_limits<T>::min();
  if (r >= hiLimit) return std::numeric_limits<T>::max();
  return static_cast<T>(r);
}

// True when the half-to-even rounding of value fits a field of type T.
template <typename T>
bool FitsWholeNumber(double value) {
  static_assert(std::is_integral_v<T>, "FitsWholeNumber needs an integer type");
  if (!std::isfinite(value)) return false;
  const double r = RoundHalfEven(value);
  return r >= static_cast<double>(std::numeric_limits<T>::min()) &&
         r < static_cast<double>(std::numeric_limits<T>::max()) + 1.0;
}

// A position in km as 9 characters ("PositionText"), made from whole metres:
// the absolute value with at least three digits (zero-filled in front), a blank
// in front for 0 or more and "-" for a negative value, blanks in front up to 8
// characters, and a point before the last three.
//   6543210 -> " 6543.210", 345678 -> "  345.678", -12345 -> "  -12.345",
//   500 -> "     .500", 5 -> "     .005", -5 -> "    -.005".
// A value of more than 8 characters (below -9999999 or above 9999999) keeps all of
// its digits: the text is then longer than 9 characters.
std::string PositionText(std::int64_t wholeMetres);

// The usual ways a position in metres becomes whole metres for PositionText:
// northings are truncated toward zero, eastings rounded down.
std::int64_t TruncateMetres(double metres);  // toward zero; clamped, NaN -> 0
std::int64_t FloorMetres(double metres);     // toward minus infinity; clamped, NaN -> 0

// ---------------------------------------------------------------------------
// Text procedures.

// True when the text, without its leading and trailing blanks, holds nothing
// but the digits 0-9 and points. The empty text and a text of blanks give true.
bool IsNumberText(std::string_view text);

// Replaces, in place, the German and Scandinavian letters (and the micro sign)
// of a Windows-1252 text by the bytes that are their DOS code page 437 codes:
// Ae C4->8E, ae E4->84, Aa C5->8F, aa E5->86, Oe D6->99, oe F6->94, Ue DC->9A,
// ue FC->81, sz DF->E1, micro B5->E6. The length does not change.
void ConvertToDosCodePage(std::string& text);

// ---------------------------------------------------------------------------
// Character sets (where texts meet Unicode).

// Windows-1252 bytes -> UTF-8. The five bytes that Windows-1252 leaves
// undefined (81, 8D, 8F, 90, 9D) become the C1 code points of the same value,
// so they survive a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 -> Windows-1252 bytes. Characters without a Windows-1252 byte and
// malformed UTF-8 sequences become '?'. U+0081, U+008D, U+008F, U+0090 and
// U+009D become the bytes of the same value.
std::string Utf8ToCp1252(std::string_view utf8);

// One character: its Windows-1252 byte, or -1 when it has none.
int UnicodeToCp1252(char32_t codePoint);
// One byte: its Unicode code point.
char32_t Cp1252ToUnicode(unsigned char byte);

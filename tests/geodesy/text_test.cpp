#include "geodesy/text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <random>
#include <limits>
#include <string>

namespace {

// ---------------------------------------------------------------------------
// Leading number.

TEST(LeadingNumber, Table) {
  struct Case {
    std::string text;
    double value;
  };
  const double big = std::numeric_limits<double>::max();
  const Case cases[] = {
      {"", 0},
      {"   ", 0},
      {"MANUAL", 0},
      {"12abc", 12},
      {"7A", 7},
      {"1,5", 1},
      {".5", 0.5},
      {"-.5", -0.5},
      {"+5", 5},
      {"--5", 0},
      {"-", 0},
      {".", 0},
      {"1.2.3", 1.2},
      {" 1 2 3 ", 123},
      {"- 1 2", -12},
      {"\t7\n", 7},
      {"1E3", 1000},
      {"1e3", 1000},
      {"1E+3", 1000},
      {"2.5E-2", 0.025},
      {"1 E - 2", 0.01},
      {"1E", 1},
      {"1E+", 1},
      {"1Ex", 1},
      {"0.1", 0.1},
      {"000123.4500", 123.45},
      {"0.30000000000000004", 0.30000000000000004},
      {"    -.005", -0.005},
      {" 6543.210", 6543.21},
      {"15.808277777", 15.808277777},
      {"123456789012345678901234567890", 123456789012345678901234567890.0},
      {"1E400", big},
      {"-1E400", -big},
      {"1E-400", 0},
      {"0.000000001E-320", 0},
      {"1E99999999999999999999", big},
  };
  for (const Case& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

// Plain decimals of every length (the store's columns are read this way) give
// the correctly rounded value, with blanks around them and any tail after them.
TEST(LeadingNumber, PlainDecimalsAreCorrectlyRounded) {
  std::mt19937 rng(12);
  std::uniform_int_distribution<int> digit(0, 9), length(0, 17), coin(0, 3);
  const char* tails[] = {"", " ", "  ", "x", " km", ",5", "\t"};
  for (int k = 0; k < 200000; ++k) {
    std::string number;
    if (coin(rng) == 0) number += "-";
    const int whole = length(rng), decimals = coin(rng) == 0 ? 0 : length(rng);
    for (int i = 0; i < whole; ++i) number += static_cast<char>('0' + digit(rng));
    if (decimals > 0 || coin(rng) == 0) number += ".";
    for (int i = 0; i < decimals; ++i) number += static_cast<char>('0' + digit(rng));
    if (number.find_first_of("0123456789") == std::string::npos) continue;
    double expected = 0;
    const char* first = number.data() + (number[0] == '-' ? 1 : 0);
    std::from_chars(first, number.data() + number.size(), expected, std::chars_format::fixed);
    if (number[0] == '-') expected = -expected;
    const std::string text = std::string(static_cast<std::size_t>(coin(rng)), ' ') + number + tails[k % 7];
    ASSERT_EQ(LeadingNumber(text), expected) << '"' << text << '"';
  }
}

// ---------------------------------------------------------------------------
// Number text.

TEST(NumberText, Table) {
  struct Case {
    double value;
    const char* untrimmed;
  };
  const Case cases[] = {
      {0, " 0"},
      {-0.0, " 0"},
      {10, " 10"},
      {-1, "-1"},
      {300, " 300"},
      {0.5, " .5"},
      {-0.25, "-.25"},
      {0.1 + 0.2, " .3"},
      {1.0 / 3.0, " .333333333333333"},
      {2.0 / 3.0, " .666666666666667"},
      {-1234.5, "-1234.5"},
      {6543.21, " 6543.21"},
      {15.808277777, " 15.808277777"},
      {0.0001, " .0001"},
      {0.00001, " 1E-05"},
      {-0.000015, "-1.5E-05"},
      {999999999999999.0, " 999999999999999"},
      {123456789012345.6, " 123456789012346"},
      {1e15, " 1E+15"},
      {1e16, " 1E+16"},
      {1.5e100, " 1.5E+100"},
      {9999999999999999.0, " 1E+16"},
      {std::numeric_limits<double>::quiet_NaN(), " 0"},
      {std::numeric_limits<double>::infinity(), " 0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NumberTextUntrimmed(c.value), c.untrimmed) << c.value;
    const std::string trimmed = c.untrimmed[0] == ' ' ? std::string(c.untrimmed + 1) : std::string(c.untrimmed);
    EXPECT_EQ(NumberText(c.value), trimmed) << c.value;
  }
}

TEST(NumberText, ReadsBackThroughLeadingNumber) {
  for (const double v : {0.5, -0.25, 1234.5678, 6543210.0, 15.808277777, 1e-7, 3.25e20, -98765.4321}) {
    EXPECT_EQ(LeadingNumber(NumberText(v)), v) << NumberText(v);
    EXPECT_EQ(LeadingNumber(NumberTextUntrimmed(v)), v) << NumberTextUntrimmed(v);
  }
}

// ---------------------------------------------------------------------------
// Whole numbers.

TEST(RoundHalfEven, Table) {
  struct Case {
    double value, rounded;
  };
  const Case cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-20.5, -20},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {1.5, 2},
      {2.4999, 2},
      {2.5000001, 3},
      {-0.4, 0},
      {7, 7},
      {-7.6, -8},
      {1e20, 1e20},
      {4503599627370497.0, 4503599627370497.0},
      {4503599627370495.5, 4503599627370496.0},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

TEST(ToWholeNumber, RoundsAndHoldsToTheFieldRange) {
  EXPECT_EQ(ToWholeNumber<std::int16_t>(2.5), 2);
  EXPECT_EQ(ToWholeNumber<std::int16_t>(3.5), 4);
  EXPECT_EQ(ToWholeNumber<std::int16_t>(32767.4), 32767);
  EXPECT_EQ(ToWholeNumber<std::int16_t>(40000), 32767);
  EXPECT_EQ(ToWholeNumber<std::int16_t>(-40000), -32768);
  EXPECT_EQ(ToWholeNumber<std::int16_t>(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(ToWholeNumber<std::uint8_t>(-1), 0);
  EXPECT_EQ(ToWholeNumber<std::uint8_t>(254.5), 254);
  EXPECT_EQ(ToWholeNumber<std::uint8_t>(255.5), 255);
  EXPECT_EQ(ToWholeNumber<std::int32_t>(-2147483648.4), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ToWholeNumber<std::int64_t>(1e30), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(ToWholeNumber<std::int64_t>(-std::numeric_limits<double>::infinity()),
            std::numeric_limits<std::int64_t>::min());

  EXPECT_TRUE(FitsWholeNumber<std::int16_t>(32767.49));
  EXPECT_FALSE(FitsWholeNumber<std::int16_t>(32767.5));
  EXPECT_TRUE(FitsWholeNumber<std::int16_t>(-32768.5));
  EXPECT_FALSE(FitsWholeNumber<std::int16_t>(-32769));
  EXPECT_FALSE(FitsWholeNumber<std::int16_t>(std::numeric_limits<double>::quiet_NaN()));
}

// ---------------------------------------------------------------------------
// Position text.

TEST(PositionText, Table) {
  struct Case {
    std::int64_t metres;
    const char* text;
  };
  const Case cases[] = {
      {6543210, " 6543.210"}, {345678, "  345.678"},   {-12345, "  -12.345"},    {500, "     .500"},
      {5, "     .005"},       {-5, "    -.005"},       {0, "     .000"},         {1000, "    1.000"},
      {9999999, " 9999.999"}, {-9999999, "-9999.999"}, {12345678, " 12345.678"}, {-12345678, "-12345.678"},
  };
  for (const Case& c : cases) EXPECT_EQ(PositionText(c.metres), c.text) << c.metres;
}

TEST(PositionText, ReadsBackAsKilometres) {
  for (std::int64_t m = -9999999; m <= 9999999; m += 99991) {
    const std::string text = PositionText(m);
    ASSERT_EQ(text.size(), 9u) << m;
    EXPECT_EQ(text[5], '.');
    EXPECT_DOUBLE_EQ(LeadingNumber(text) * 1000.0, static_cast<double>(m)) << text;
  }
}

TEST(PositionText, MetreCutting) {
  EXPECT_EQ(TruncateMetres(-12.7), -12);
  EXPECT_EQ(FloorMetres(-12.7), -13);
  EXPECT_EQ(TruncateMetres(6543210.99), 6543210);
  EXPECT_EQ(FloorMetres(512345.6), 512345);
  EXPECT_EQ(TruncateMetres(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(FloorMetres(1e300), std::numeric_limits<std::int64_t>::max());
}

// ---------------------------------------------------------------------------
// Text procedures.

TEST(IsNumberText, Table) {
  struct Case {
    std::string text;
    bool result;
  };
  const Case cases[] = {
      {"59.12", true},  {" 12 ", true},
      {"", true},       {"   ", true},
      {"...", true},    {"0123456789", true},
      {"59-30", false}, {"59,12", false},
      {"12 34", false}, {"-5", false},
      {"5A", false},    {"\t5", false},
      {"5\xB2", false}, {std::string("5\0", 2), false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsNumberText(c.text), c.result) << '"' << c.text << '"';
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

TEST(ConvertToDosCodePage, Table) {
  struct Case {
    std::string cp1252;
    const char* hex;
  };
  const Case cases[] = {
      {"G\xF6teborg", "47 94 74 65 62 6F 72 67"},
      {"Stra\xDF"
       "e",
       "53 74 72 61 E1 65"},
      {"\xC4\xE4\xC5\xE5\xD6\xF6\xDC\xFC\xDF\xB5", "8E 84 8F 86 99 94 9A 81 E1 E6"},
      {"\xE9\xE6\xF8\xC9", "E9 E6 F8 C9"},  // e acute, ae, o slash stay
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string text = c.cp1252;
    ConvertToDosCodePage(text);
    EXPECT_EQ(Hex(text), c.hex);
    EXPECT_EQ(text.size(), c.cp1252.size());
  }
}

// ---------------------------------------------------------------------------
// Windows-1252.

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << b;
    EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(static_cast<unsigned char>(b))), b);
  }
}

TEST(Cp1252, ToUtf8Table) {
  struct Case {
    std::string cp1252;
    std::string utf8;
  };
  const Case cases[] = {
      {"abc", "abc"},
      {"\x80", "\xE2\x82\xAC"},  // euro
      {"\xE4", "\xC3\xA4"},      // a umlaut
      {"\x9F", "\xC5\xB8"},      // Y diaeresis
      {"\x84\x94", "\xE2\x80\x9E\xE2\x80\x9D"},
      {"\x81\x8F", "\xC2\x81\xC2\x8F"},  // undefined bytes pass as C1 code points
      {"\xFE", "\xC3\xBE"},              // thorn, the position mark
  };
  for (const Case& c : cases) EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << Hex(c.cp1252);
}

TEST(Cp1252, FromUtf8Table) {
  struct Case {
    std::string utf8;
    std::string cp1252;
  };
  const Case cases[] = {
      {"G\xC3\xB6teborg", "G\xF6teborg"},
      {"\xE2\x82\xAC", "\x80"},
      {"\xE2\x84\xA2", "\x99"},   // trade mark
      {"\xCE\xA9", "?"},          // Greek omega: no byte
      {"\xF0\x9F\x98\x80", "?"},  // emoji
      {"\xC2\x85", "?"},          // C1 control whose byte means something else
      {"\xC2\x81", "\x81"},
      {"a\xC3", "a?"},  // cut sequence
      {"a\xE2\x82"
       "b",
       "a?b"},
      {"\x80", "?"},                 // stray continuation byte
      {"\xC0\xAF", "??"},            // overlong
      {"\xED\xA0\x80", "?"},         // surrogate
      {"\xF5\x80\x80\x80", "????"},  // beyond Unicode
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << Hex(c.utf8);
}

}  // namespace

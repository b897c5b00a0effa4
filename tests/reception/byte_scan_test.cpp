// The word-wise byte searches against plain loops: every start and end over
// texts of every length around the word size, with the bytes looked for in
// runs, at the edges, and high bytes that could carry into a neighbour.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reception/byte_scan.h"

namespace zeblon::reception {
namespace {

std::size_t PlainFind(std::string_view s, char c, std::size_t from) {
  for (std::size_t i = from; i < s.size(); ++i)
    if (s[i] == c) return i;
  return scan::npos;
}

std::size_t PlainFindEither(std::string_view s, char c, char d, std::size_t from) {
  for (std::size_t i = from; i < s.size(); ++i)
    if (s[i] == c || s[i] == d) return i;
  return scan::npos;
}

std::size_t PlainFindLast(std::string_view s, char c, std::size_t before) {
  for (std::size_t i = std::min(before, s.size()); i-- > 0;)
    if (s[i] == c) return i;
  return scan::npos;
}

bool PlainAnyFromA(std::string_view s, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    if (static_cast<unsigned char>(s[i]) >= 'a') return true;
  return false;
}

TEST(ByteScan, AgreesWithPlainLoops) {
  // ':' and ';' differ in one bit, '`' (96) sits just below 'a' (97); 0x80 and
  // 0xFF test the carries of the word arithmetic.
  const std::string alphabet = std::string(":;*>-W`aAz\r ") + '\x80' + '\xFF' + '\x00' + '\x7F';
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    for (std::size_t n = 0; n <= 27; ++n) {
      std::string text(n, 'X');
      const int density = static_cast<int>(rng() % 4);  // from no markers to mostly markers
      for (char& ch : text)
        if (static_cast<int>(rng() % 4) < density) ch = alphabet[rng() % alphabet.size()];
      const std::string_view s = text;
      for (std::size_t from = 0; from <= n + 1; ++from) {
        ASSERT_EQ(scan::Find(s, ':', from), PlainFind(s, ':', from)) << text << " from " << from;
        ASSERT_EQ(scan::Find(s, '\r', from), PlainFind(s, '\r', from)) << text << " from " << from;
        ASSERT_EQ(scan::FindEither(s, '*', '>', from), PlainFindEither(s, '*', '>', from)) << text << " from " << from;
        ASSERT_EQ(scan::FindEither(s, '-', 'W', from), PlainFindEither(s, '-', 'W', from)) << text << " from " << from;
        ASSERT_EQ(scan::FindLast(s, '>', from), PlainFindLast(s, '>', from)) << text << " before " << from;
        for (std::size_t to = from; to <= n; ++to)
          ASSERT_EQ(scan::AnyFromA(s, from, to), PlainAnyFromA(s, from, to)) << text << " " << from << ".." << to;
      }
    }
  }
}

TEST(ByteScan, AgreesWithPlainLoopsOverSeveralBlocks) {
  // Texts as long as frames: several 16-byte blocks, the last one overlapping.
  const std::string alphabet = std::string(":;*>-W`aAz\r ") + '\x80' + '\xFF' + '\x00' + '\x7F';
  std::mt19937 rng(6);
  for (int round = 0; round < 40; ++round) {
    for (std::size_t n = 28; n <= 70; ++n) {
      std::string text(n, 'X');
      const int density = static_cast<int>(rng() % 4);
      for (char& ch : text)
        if (static_cast<int>(rng() % 8) < density) ch = alphabet[rng() % alphabet.size()];
      const std::string_view s = text;
      for (std::size_t from = 0; from <= n + 1; ++from) {
        ASSERT_EQ(scan::Find(s, ':', from), PlainFind(s, ':', from)) << text << " from " << from;
        ASSERT_EQ(scan::FindEither(s, '*', '>', from), PlainFindEither(s, '*', '>', from)) << text << " from " << from;
        ASSERT_EQ(scan::FindLast(s, '>', from), PlainFindLast(s, '>', from)) << text << " before " << from;
        for (std::size_t to = from; to <= n; ++to)
          ASSERT_EQ(scan::AnyFromA(s, from, to), PlainAnyFromA(s, from, to)) << text << " " << from << ".." << to;
      }
    }
  }
}

TEST(ByteScan, EveryIndexOfACharacterInOrder) {
  const std::string alphabet = std::string(":,*") + '\x80' + '\xFF' + '\x00';
  std::mt19937 rng(7);
  for (int round = 0; round < 100; ++round) {
    for (std::size_t n = 0; n <= 70; ++n) {
      std::string text(n, 'X');
      const int density = static_cast<int>(rng() % 4);
      for (char& ch : text)
        if (static_cast<int>(rng() % 4) < density) ch = alphabet[rng() % alphabet.size()];
      std::vector<std::size_t> found, expected;
      scan::ForEachOf(text, ',', [&](std::size_t i) { found.push_back(i); });
      for (std::size_t i = 0; i < n; ++i)
        if (text[i] == ',') expected.push_back(i);
      ASSERT_EQ(found, expected) << text;
    }
  }
}

}  // namespace
}  // namespace zeblon::reception

// Byte searches over short texts, sixteen bytes at a time where the processor
// has 16-byte vectors (SSE2), else eight at a time in a 64-bit word: the
// decoding looks for a few marker characters in every frame, and a plain loop
// or a library call per search costs more than the search itself. Every load
// stays inside the text: the last bytes of a text of a block's length or more
// come from a block that overlaps the one before, with the bytes already seen
// masked off; a text shorter than a word is looked at byte by byte.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zeblon::reception::scan {

inline constexpr std::size_t npos = std::string_view::npos;
inline constexpr bool kWordwise = std::endian::native == std::endian::little;

inline std::uint64_t Broadcast(char c) { return 0x0101010101010101ull * static_cast<unsigned char>(c); }

inline std::uint64_t Load8(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

// Bit 7 of every byte of the result is set where the byte of w equals the
// byte of pattern, and only there (no carry crosses from one byte to the next).
inline std::uint64_t EqualBytes(std::uint64_t w, std::uint64_t pattern) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const std::uint64_t x = w ^ pattern;
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// The first index from 'from' on where match(word) marks a byte; npos when none.
template <class Match>
inline std::size_t FindWhere(std::string_view s, std::size_t from, Match match) {
  const std::size_t n = s.size();
  std::size_t i = from;
  for (; i + 8 <= n; i += 8) {
    const std::uint64_t m = match(Load8(s.data() + i));
    if (m != 0) return i + (std::countr_zero(m) >> 3);
  }
  if (i < n && n >= 8) {
    const std::uint64_t m = match(Load8(s.data() + n - 8)) & (~0ull << (8 * (i - (n - 8))));
    if (m != 0) return n - 8 + (std::countr_zero(m) >> 3);
  }
  return npos;
}

#if defined(__SSE2__)
inline __m128i Load16(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Bit i of the result is set where byte i of the block equals c.
inline unsigned EqualMask(__m128i block, __m128i c) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, c)));
}

// The first index from 'from' on where match(block) marks a byte; npos when
// none. The text is at least 16 bytes long.
template <class Match>
inline std::size_t FindWhere16(std::string_view s, std::size_t from, Match match) {
  const std::size_t n = s.size();
  std::size_t i = from;
  for (; i + 16 <= n; i += 16) {
    const unsigned m = match(Load16(s.data() + i));
    if (m != 0) return i + static_cast<std::size_t>(std::countr_zero(m));
  }
  if (i < n) {
    const unsigned m = match(Load16(s.data() + n - 16)) & (~0u << (i - (n - 16)));
    if (m != 0) return n - 16 + static_cast<std::size_t>(std::countr_zero(m));
  }
  return npos;
}
#endif

// The first index from 'from' on of c; npos when none.
inline std::size_t Find(std::string_view s, char c, std::size_t from = 0) {
#if defined(__SSE2__)
  if (s.size() >= 16) {
    const __m128i pc = _mm_set1_epi8(c);
    return FindWhere16(s, from, [pc](__m128i b) { return EqualMask(b, pc); });
  }
#endif
  if (kWordwise && s.size() >= 8) {
    const std::uint64_t pc = Broadcast(c);
    return FindWhere(s, from, [pc](std::uint64_t w) { return EqualBytes(w, pc); });
  }
  for (std::size_t i = from; i < s.size(); ++i)
    if (s[i] == c) return i;
  return npos;
}

// Calls f(i) for every index i of c in s, in order.
template <class F>
inline void ForEachOf(std::string_view s, char c, F f) {
  const std::size_t n = s.size();
#if defined(__SSE2__)
  if (n >= 16) {
    const __m128i pc = _mm_set1_epi8(c);
    auto each = [&](std::size_t base, unsigned m) {
      for (; m != 0; m &= m - 1) f(base + static_cast<std::size_t>(std::countr_zero(m)));
    };
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) each(i, EqualMask(Load16(s.data() + i), pc));
    if (i < n) each(n - 16, EqualMask(Load16(s.data() + n - 16), pc) & (~0u << (i - (n - 16))));
    return;
  }
#endif
  for (std::size_t i = 0; i < n; ++i)
    if (s[i] == c) f(i);
}

// The first index from 'from' on of c or d; npos when none.
inline std::size_t FindEither(std::string_view s, char c, char d, std::size_t from = 0) {
#if defined(__SSE2__)
  if (s.size() >= 16) {
    const __m128i pc = _mm_set1_epi8(c), pd = _mm_set1_epi8(d);
    return FindWhere16(s, from, [pc, pd](__m128i b) {
      return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(b, pc), _mm_cmpeq_epi8(b, pd))));
    });
  }
#endif
  if (kWordwise && s.size() >= 8) {
    const std::uint64_t pc = Broadcast(c), pd = Broadcast(d);
    return FindWhere(s, from, [pc, pd](std::uint64_t w) { return EqualBytes(w, pc) | EqualBytes(w, pd); });
  }
  for (std::size_t i = from; i < s.size(); ++i)
    if (s[i] == c || s[i] == d) return i;
  return npos;
}

// The last index before 'before' of c; npos when none.
inline std::size_t FindLast(std::string_view s, char c, std::size_t before) {
  std::size_t i = before < s.size() ? before : s.size();  // the bytes [0, i) are searched
#if defined(__SSE2__)
  if (s.size() >= 16) {
    const __m128i pc = _mm_set1_epi8(c);
    for (; i >= 16; i -= 16) {
      const unsigned m = EqualMask(Load16(s.data() + i - 16), pc);
      if (m != 0) return i - 16 + static_cast<std::size_t>(31 - std::countl_zero(m));
    }
    if (i == 0) return npos;
    const unsigned m = EqualMask(Load16(s.data()), pc) & ((1u << i) - 1);  // the bytes [0, i)
    return m == 0 ? npos : static_cast<std::size_t>(31 - std::countl_zero(m));
  }
#endif
  if (kWordwise && s.size() >= 8) {
    const std::uint64_t pc = Broadcast(c);
    for (; i >= 8; i -= 8) {
      const std::uint64_t m = EqualBytes(Load8(s.data() + i - 8), pc);
      if (m != 0) return i - 8 + ((63 - std::countl_zero(m)) >> 3);
    }
    if (i == 0) return npos;
    const std::uint64_t m = EqualBytes(Load8(s.data()), pc) & ((1ull << (8 * i)) - 1);  // the bytes [0, i)
    return m == 0 ? npos : (63 - std::countl_zero(m)) >> 3;
  }
  while (i > 0) {
    --i;
    if (s[i] == c) return i;
  }
  return npos;
}

// True when a byte of s[from, to) is "a" (code 97) or above: a byte that may
// have an upper case. to must not pass the end of s.
inline bool AnyFromA(std::string_view s, std::size_t from, std::size_t to) {
#if defined(__SSE2__)
  if (s.size() >= 16) {
    const __m128i a = _mm_set1_epi8('a');
    auto marks = [&](std::size_t at) {  // bytes of "a" and above: max(byte, "a") is the byte
      const __m128i b = Load16(s.data() + at);
      return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(b, a), b)));
    };
    std::size_t i = from;
    for (; i + 16 <= to; i += 16)
      if (marks(i) != 0) return true;
    if (i >= to) return false;
    const std::size_t base = i < s.size() - 16 ? i : s.size() - 16;  // a block holding [i, to)
    const unsigned keep = ((1u << (to - base)) - 1) & (~0u << (i - base));
    return (marks(base) & keep) != 0;
  }
#endif
  if (kWordwise && s.size() >= 8) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full, kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kTo80 = 0x1F1F1F1F1F1F1F1Full;  // 0x61 + 0x1F = 0x80
    auto marks = [&](std::size_t at) {
      const std::uint64_t w = Load8(s.data() + at);
      return (w | ((w & kLow7) + kTo80)) & kHigh;
    };
    std::size_t i = from;
    for (; i + 8 <= to; i += 8)
      if (marks(i) != 0) return true;
    if (i >= to) return false;
    const std::size_t base = i < s.size() - 8 ? i : s.size() - 8;  // a word holding [i, to)
    const std::uint64_t keep = (to - base == 8 ? ~0ull : (1ull << (8 * (to - base))) - 1) & (~0ull << (8 * (i - base)));
    return (marks(base) & keep) != 0;
  }
  for (std::size_t i = from; i < to; ++i)
    if (static_cast<unsigned char>(s[i]) >= 'a') return true;
  return false;
}

}  // namespace zeblon::reception::scan

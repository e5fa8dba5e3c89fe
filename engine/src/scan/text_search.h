#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Forward searches on window text with int positions, -1 meaning "none".
// Internal to the scanner. The finders make many short hops (the next "=",
// the quote right after it), so these are inline and start at once, where a
// library call would pay its set-up for a few bytes; long stretches go 16
// bytes at a time.
namespace tarnwick::text_search {

namespace detail {
// Needles are short and candidates rare: a plain loop beats a library call.
inline bool sameBytes(const char* a, const char* b, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

#if defined(__SSE2__)
inline int lowestBit(unsigned mask) { return __builtin_ctz(mask); }

inline unsigned matchMask(const char* at, __m128i wanted) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
}
#endif
}  // namespace detail

// First `c` in [from, to); `to` must not exceed the text's size.
inline int findCharBefore(std::string_view text, char c, int from, int to) {
  if (from < 0) from = 0;
  const char* data = text.data();
  int at = from;
#if defined(__SSE2__)
  // Blocks may run past `to` while they stay inside the text: a first match
  // beyond `to` means none before it, so short ranges cost one block.
  const int blockEnd = static_cast<int>(text.size()) - 16;
  const __m128i wanted = _mm_set1_epi8(c);
  for (; at < to && at <= blockEnd; at += 16) {
    if (const unsigned mask = detail::matchMask(data + at, wanted)) {
      const int found = at + detail::lowestBit(mask);
      return found < to ? found : -1;
    }
  }
#endif
  for (; at < to; ++at) {
    if (data[at] == c) return at;
  }
  return -1;
}

// First `c` at or after `from`.
inline int findChar(std::string_view text, char c, int from) {
  return findCharBefore(text, c, from, static_cast<int>(text.size()));
}

// First occurrence of `needle` at or after `from`; an empty needle is found
// at `from` (when `from` is within the text).
inline int findString(std::string_view text, std::string_view needle, int from) {
  if (from < 0) from = 0;
  const int size = static_cast<int>(text.size());
  const int length = static_cast<int>(needle.size());
  if (from > size) return -1;
  if (length <= 1) return length == 0 ? from : findChar(text, needle[0], from);
  if (length > size - from) return -1;
  const char* data = text.data();
  const int lastStart = size - length;  // the last position where the needle fits
  // Candidates match the first two and the last byte; only those compare the
  // bytes between (none for needles of up to three bytes).
  const char first = needle[0];
  const char second = needle[1];
  const char last = needle[length - 1];
  const char* rest = needle.data() + 2;
  const std::size_t restLength = length > 3 ? static_cast<std::size_t>(length - 3) : 0;
  int at = from;
#if defined(__SSE2__)
  const __m128i wantedFirst = _mm_set1_epi8(first);
  const __m128i wantedSecond = _mm_set1_epi8(second);
  const __m128i wantedLast = _mm_set1_epi8(last);
  for (; at + 15 <= lastStart; at += 16) {
    unsigned mask = detail::matchMask(data + at, wantedFirst) &
                    detail::matchMask(data + at + 1, wantedSecond) &
                    detail::matchMask(data + at + length - 1, wantedLast);
    while (mask) {
      const int candidate = at + detail::lowestBit(mask);
      if (detail::sameBytes(data + candidate + 2, rest, restLength)) return candidate;
      mask &= mask - 1;
    }
  }
#endif
  for (; at <= lastStart; ++at) {
    if (data[at] == first && data[at + 1] == second && data[at + length - 1] == last &&
        detail::sameBytes(data + at + 2, rest, restLength)) {
      return at;
    }
  }
  return -1;
}

// One pass from `from` to the first `quote`: its position and the first ">"
// and the first space before it (each -1 when there is none).
struct QuotedStretch {
  int end;
  int firstClose;
  int firstSpace;
};

inline QuotedStretch scanQuoted(std::string_view text, char quote, int from) {
  QuotedStretch found{-1, -1, -1};
  const char* data = text.data();
  const int size = static_cast<int>(text.size());
  int at = from < 0 ? 0 : from;
#if defined(__SSE2__)
  const __m128i wantedQuote = _mm_set1_epi8(quote);
  const __m128i wantedClose = _mm_set1_epi8('>');
  const __m128i wantedSpace = _mm_set1_epi8(' ');
  for (; at + 16 <= size; at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const auto maskOf = [&block](__m128i wanted) {
      return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
    };
    const unsigned quotes = maskOf(wantedQuote);
    // Bits of the positions before the quote (all 16 when there is none).
    const unsigned before = quotes ? (quotes & (0u - quotes)) - 1 : 0xFFFFu;
    const unsigned closes = maskOf(wantedClose) & before;
    const unsigned spaces = maskOf(wantedSpace) & before;
    if (found.firstClose < 0 && closes) found.firstClose = at + detail::lowestBit(closes);
    if (found.firstSpace < 0 && spaces) found.firstSpace = at + detail::lowestBit(spaces);
    if (quotes) {
      found.end = at + detail::lowestBit(quotes);
      return found;
    }
  }
#endif
  for (; at < size; ++at) {
    const char c = data[at];
    if (c == quote) {
      found.end = at;
      return found;
    }
    if (c == '>' && found.firstClose < 0) found.firstClose = at;
    if (c == ' ' && found.firstSpace < 0) found.firstSpace = at;
  }
  return found;
}

}  // namespace tarnwick::text_search

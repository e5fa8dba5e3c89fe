#pragma once

#include <cstring>
#include <string_view>

// Forward searches on window text with int positions, -1 meaning "none".
// Internal to the scanner.
namespace tarnwick::text_search {

// First `c` at or after `from`.
inline int findChar(std::string_view text, char c, int from) {
  if (from < 0) from = 0;
  const auto size = static_cast<int>(text.size());
  if (from >= size) return -1;
  const void* at = std::memchr(text.data() + from, c, static_cast<std::size_t>(size - from));
  return at ? static_cast<int>(static_cast<const char*>(at) - text.data()) : -1;
}

// First `c` in [from, to).
inline int findCharBefore(std::string_view text, char c, int from, int to) {
  if (from < 0) from = 0;
  if (from >= to) return -1;
  const void* at = std::memchr(text.data() + from, c, static_cast<std::size_t>(to - from));
  return at ? static_cast<int>(static_cast<const char*>(at) - text.data()) : -1;
}

// First occurrence of `needle` at or after `from`; an empty needle is found at `from`.
inline int findString(std::string_view text, std::string_view needle, int from) {
  if (from < 0) from = 0;
  const auto size = static_cast<int>(text.size());
  if (from > size) return -1;
  if (needle.empty()) return from;
  const void* at = ::memmem(text.data() + from, static_cast<std::size_t>(size - from),
                            needle.data(), needle.size());
  return at ? static_cast<int>(static_cast<const char*>(at) - text.data()) : -1;
}

}  // namespace tarnwick::text_search

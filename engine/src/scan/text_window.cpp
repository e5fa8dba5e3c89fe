#include "scan/text_window.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

namespace {
constexpr std::size_t kChunkBytes = 1024;

// Text is single-byte and NUL-free downstream: a zero byte reads as a space.
// A plain loop: the compiler vectorises it, and binary data full of zeros
// costs no more than text.
void replaceNulBytes(char* begin, char* end) {
  for (; begin != end; ++begin) *begin = *begin == '\0' ? ' ' : *begin;
}
}  // namespace

TextWindowReader::TextWindowReader(std::size_t overlap) : overlap_(overlap) {
  window_.text.reserve(overlap + kChunkBytes);
}

const TextWindow& TextWindowReader::next(std::string_view chunk) {
  std::string& text = window_.text;
  // Before the first chunk the previous window is empty, so nothing is kept
  // and the first window starts at 0.
  const std::size_t kept = std::min(overlap_, text.size());
  text.erase(0, text.size() - kept);
  text.append(chunk);
  replaceNulBytes(text.data() + kept, text.data() + text.size());
  window_.windowStart = bytesRead_ - static_cast<std::int64_t>(kept);
  bytesRead_ += static_cast<std::int64_t>(chunk.size());
  return window_;
}

}  // namespace tarnwick

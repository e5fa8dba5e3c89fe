#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// One piece of a source to scan: its text (one character per source byte)
// and the source position of its first character.
struct TextWindow {
  std::string text;
  std::int64_t windowStart = 0;
};

// Turns the chunks of one source (one page, one file) into overlapping
// windows: every window after the first repeats the last `overlap`
// characters of the previous one, so a hit that straddles a chunk border and
// starts within the repeated part is complete in the next window.
class TextWindowReader {
 public:
  explicit TextWindowReader(std::size_t overlap);

  // Builds the next window from the next chunk (at most 1024 bytes from the
  // source; larger chunks work too). NUL bytes become spaces. The returned
  // reference stays valid until the next call. The buffer is reused, so
  // steady-state calls do not allocate.
  const TextWindow& next(std::string_view chunk);

  // Bytes taken from the source so far.
  std::int64_t bytesRead() const { return bytesRead_; }
  std::size_t overlap() const { return overlap_; }

 private:
  std::size_t overlap_;
  std::int64_t bytesRead_ = 0;
  TextWindow window_;
};

}  // namespace tarnwick

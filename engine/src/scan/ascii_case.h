#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

// Writes `size` bytes of `src` to `dst` with the letters A-Z mapped to a-z;
// every other byte (including those above 0x7F) is kept. `src` may equal `dst`.
void lowerAscii(const char* src, char* dst, std::size_t size);

// The same mapping as a new string.
std::string lowerAsciiCopy(std::string_view text);

}  // namespace tarnwick

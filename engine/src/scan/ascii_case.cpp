#include "scan/ascii_case.h"

namespace tarnwick {

void lowerAscii(const char* src, char* dst, std::size_t size) {
  // Branch-free so the compiler turns it into vector compares: this runs on
  // every byte of every scanned window.
  for (std::size_t i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(src[i]);
    const unsigned upper = static_cast<unsigned char>(c - 'A') < 26u;
    dst[i] = static_cast<char>(c | (upper << 5));
  }
}

std::string lowerAsciiCopy(std::string_view text) {
  std::string lower(text.size(), '\0');
  lowerAscii(text.data(), lower.data(), text.size());
  return lower;
}

}  // namespace tarnwick

#include "scan/scan_text.h"

#include <climits>
#include <stdexcept>

#include "scan/ascii_case.h"

namespace tarnwick {

void ScanText::reset(std::string_view text) {
  if (text.size() > static_cast<std::size_t>(INT_MAX)) {
    throw std::length_error("scan text longer than INT_MAX bytes");
  }
  if (lower_.size() < text.size()) lower_.resize(text.size());
  text_ = text;
  lowerAscii(text.data(), lower_.data(), text.size());
}

}  // namespace tarnwick

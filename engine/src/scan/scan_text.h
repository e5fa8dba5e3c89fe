#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// One window's text and its single lower-case copy (A-Z folded, every other
// byte kept), made once per window and shared by every finder call on it.
// The text is viewed, not copied: it must outlive its use here, and values
// the finders return view into it. Reuse one object across windows with
// reset(); its buffer only grows.
class ScanText {
 public:
  ScanText() = default;
  explicit ScanText(std::string_view text) { reset(text); }

  // Throws std::length_error for a text of more than INT_MAX bytes
  // (positions are ints).
  void reset(std::string_view text);

  std::string_view text() const { return text_; }
  std::string_view lower() const { return {lower_.data(), text_.size()}; }

 private:
  std::string_view text_;
  std::string lower_;  // capacity buffer; only its first text_.size() bytes count
};

}  // namespace tarnwick

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarnwick {

// A set of text views (the views' bytes must outlive the set), flat and open
// addressed: a lookup touches one slot and compares bytes only when the
// stored hash fragment and the size agree, so a save of many distinct links
// stays linear and cache-friendly.
class LabelSet {
 public:
  // True when text was not in the set yet (it is then added).
  bool insert(std::string_view text);
  std::size_t size() const { return size_; }

 private:
  struct Slot {
    const char* data = nullptr;  // null: empty slot
    std::uint32_t size = 0;
    std::uint32_t tag = 0;  // high half of the text's hash: both its place and a quick check
  };
  void grow();

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

}  // namespace tarnwick

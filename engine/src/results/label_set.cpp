#include "results/label_set.h"

#include <cstring>
#include <functional>

namespace tarnwick {

namespace {

constexpr std::size_t kFirstCapacity = 1024;  // a power of two
const char kEmpty[] = "";

}  // namespace

bool LabelSet::insert(std::string_view text) {
  if ((size_ + 1) * 2 > slots_.size()) grow();
  const auto tag = static_cast<std::uint32_t>(std::hash<std::string_view>{}(text) >> 32);
  const auto size = static_cast<std::uint32_t>(text.size());
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = tag & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.data == nullptr) {
      slot = Slot{text.data() ? text.data() : kEmpty, size, tag};
      ++size_;
      return true;
    }
    if (slot.tag == tag && slot.size == size && std::memcmp(slot.data, text.data(), size) == 0)
      return false;
  }
}

void LabelSet::grow() {
  std::vector<Slot> old(slots_.empty() ? kFirstCapacity : slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.data == nullptr) continue;
    std::size_t at = slot.tag & mask;
    while (slots_[at].data != nullptr) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace tarnwick

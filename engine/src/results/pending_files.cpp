#include "results/pending_files.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

#include "tarnwick/pending_files.h"

namespace tarnwick {

namespace {

constexpr std::size_t kSlots = 32;
constexpr std::size_t kPathBytes = 4096;

enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
  std::atomic<int> state{kFree};
  char path[kPathBytes];
};

std::array<Slot, kSlots> slots;

}  // namespace

int PendingFiles::add(const char* path) noexcept {
  const std::size_t length = std::strlen(path);
  if (length >= kPathBytes) return -1;
  for (std::size_t i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[i].path, path, length + 1);
    slots[i].state.store(kReady);
    return static_cast<int>(i);
  }
  return -1;
}

void PendingFiles::drop(int slot) noexcept {
  if (slot >= 0) slots[static_cast<std::size_t>(slot)].state.store(kFree);
}

void removePendingFiles() noexcept {
  for (Slot& slot : slots)
    if (slot.state.load() == kReady) ::unlink(slot.path);
}

}  // namespace tarnwick

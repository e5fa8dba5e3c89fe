#pragma once

#include <cstddef>

namespace tarnwick {

// The temporary files being written right now, kept where a signal handler
// can read them without allocating or locking.
class PendingFiles {
 public:
  // Returns a slot number, or -1 when every slot is taken or the path does
  // not fit (the file then simply is not removed by a signal).
  static int add(const char* path) noexcept;
  static void drop(int slot) noexcept;
};

}  // namespace tarnwick

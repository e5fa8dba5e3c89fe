#pragma once

namespace tarnwick {

// Removes every temporary file that a file being written still holds (the
// ".tarnwick-*.part" files beside their targets). Async-signal-safe: meant for
// a signal handler that ends the process right after.
void removePendingFiles() noexcept;

}  // namespace tarnwick

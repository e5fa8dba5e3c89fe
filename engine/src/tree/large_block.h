#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace tarnwick {

// Memory for big, long-lived tree storage: 2 MiB aligned and marked for huge
// pages, so filling a large tree costs one page fault per 2 MiB rather than
// one per 4 KiB.
using LargeBlock = std::unique_ptr<void, void (*)(void*)>;

inline constexpr std::size_t kLargeBlockBytes = std::size_t{2} << 20;

// Uninitialised; throws std::bad_alloc.
LargeBlock allocateLargeBlock(std::size_t bytes = kLargeBlockBytes);

}  // namespace tarnwick

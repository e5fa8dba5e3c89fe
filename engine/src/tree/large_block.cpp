#include "tree/large_block.h"

#include <sys/mman.h>

#include <cstdlib>

namespace tarnwick {

LargeBlock allocateLargeBlock(std::size_t bytes) {
  const std::size_t size = (bytes + kLargeBlockBytes - 1) / kLargeBlockBytes * kLargeBlockBytes;
  void* p = std::aligned_alloc(kLargeBlockBytes, size);
  if (!p) throw std::bad_alloc();
  ::madvise(p, size, MADV_HUGEPAGE);  // advice only: without huge pages it still works
  return LargeBlock(p, [](void* block) { std::free(block); });
}

}  // namespace tarnwick

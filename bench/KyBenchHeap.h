// Counts the program's heap in use at every allocation, with its peak, by
// replacing the global allocation functions. Include it in exactly one
// source file of a benchmark program.
#pragma once

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>

namespace kybench {

inline std::atomic<std::int64_t> liveBytes{0};
inline std::atomic<std::int64_t> peakBytes{0};

inline void* allocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr)
    throw std::bad_alloc();
  const auto usable = static_cast<std::int64_t>(malloc_usable_size(block));
  const std::int64_t live = liveBytes.fetch_add(usable) + usable;
  std::int64_t peak = peakBytes.load();
  while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
  }
  return block;
}

inline void release(void* block) {
  if (block != nullptr) {
    liveBytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(block)));
    std::free(block);
  }
}

/// Peak heap growth while `work` runs, over what was in use before.
inline std::int64_t peakGrowth(const std::function<void()>& work) {
  const std::int64_t before = liveBytes.load();
  peakBytes.store(before);
  work();
  return peakBytes.load() - before;
}

} // namespace kybench

void* operator new(std::size_t size) { return kybench::allocate(size); }
void* operator new[](std::size_t size) { return kybench::allocate(size); }
void operator delete(void* block) noexcept { kybench::release(block); }
void operator delete[](void* block) noexcept { kybench::release(block); }
void operator delete(void* block, std::size_t) noexcept { kybench::release(block); }
void operator delete[](void* block, std::size_t) noexcept { kybench::release(block); }

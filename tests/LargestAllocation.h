// Replaces the global operator new of a test program to record the largest
// single allocation, so that hostile length fields and counts can be shown
// to cost no memory. Include it in exactly one file of a test program.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

inline std::atomic<std::size_t> LargestAllocation{0};

// GCC takes the free below for a mismatch with the built-in new it knows.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n)
{
  std::size_t cur = LargestAllocation.load(std::memory_order_relaxed);
  while (n > cur && !LargestAllocation.compare_exchange_weak(cur, n, std::memory_order_relaxed)) {
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

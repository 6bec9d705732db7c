// Runs a job over [0, count) split into `threads` contiguous chunks, one per
// thread, the last on the calling thread. The job must not throw. A chunk whose thread cannot be
// started runs on the calling thread instead.
#pragma once

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

template <class Job>  // Job(int begin, int end, int chunkIndex)
void RunInChunks(int count, int threads, Job job)
{
  threads = std::max(1, std::min(threads, count));
  if (threads <= 1) {
    if (count > 0) job(0, count, 0);
    return;
  }
  const int size = (count + threads - 1) / threads;
  std::vector<std::thread> workers;
  workers.reserve(threads - 1);
  for (int k = 0; k + 1 < threads; ++k) {
    const int begin = k * size, end = std::min(count, begin + size);
    if (begin >= end) break;
    try {
      workers.emplace_back([&job, begin, end, k] { job(begin, end, k); });
    } catch (const std::system_error&) {
      job(begin, end, k);
    }
  }
  const int last = (threads - 1) * size;
  if (last < count) job(last, count, threads - 1);
  for (std::thread& w : workers) w.join();
}

#pragma once
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace korvane {

// The portable build (the page) has no threads: every pass runs on the
// calling thread, and no thread is ever made.
#if KORVANE_PORTABLE
inline constexpr bool kThreadsBuilt = false;
#else
inline constexpr bool kThreadsBuilt = true;
#endif

inline int DefaultThreadCount() {
  if (!kThreadsBuilt) return 1;
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(std::min(n, 64u));
}

// Calls fn(worker, index) for every index in [0, count), on up to `threads`
// threads; worker 0 is the calling thread. Indices are handed out in
// increasing chunks, so each worker sees its indices in increasing order.
// fn returns false to ask every worker to stop early.
template <typename Fn>
void ParallelFor(int threads, int count, int grain, Fn&& fn) {
  if (count <= 0) return;
  grain = std::max(1, grain);
  threads = std::clamp(threads, 1, (count + grain - 1) / grain);
  std::atomic<int> next{0};
  std::atomic<bool> cancel{false};
  auto work = [&](int worker) {
    for (;;) {
      if (cancel.load(std::memory_order_relaxed)) return;
      const int begin = next.fetch_add(grain, std::memory_order_relaxed);
      if (begin >= count) return;
      const int end = std::min(count, begin + grain);
      for (int i = begin; i < end; ++i) {
        if (!fn(worker, i)) {
          cancel.store(true, std::memory_order_relaxed);
          return;
        }
      }
    }
  };
  if (threads == 1 || !kThreadsBuilt) {
    work(0);
    return;
  }
  if constexpr (kThreadsBuilt) {
    std::vector<std::thread> pool;
    pool.reserve(threads - 1);
    for (int w = 1; w < threads; ++w) pool.emplace_back(work, w);
    work(0);
    for (auto& t : pool) t.join();
  }
}

}  // namespace korvane

// Threads kept from one generation to the next: starting and joining a
// thread for every generation costs more than a short generation's tail.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace korvane {

class WorkerPool {
 public:
  WorkerPool() = default;
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;
  ~WorkerPool();

  // Calls fn(worker) for workers 0..count-1 at once, worker 0 on the calling
  // thread, and returns when every call has.
  void Run(int count, const std::function<void(int)>& fn);

 private:
  void Loop(int worker);

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_done;
  std::vector<std::thread> m_threads;  // workers 1, 2, ...
  const std::function<void(int)>* m_job = nullptr;
  std::uint64_t m_round = 0;
  int m_wanted = 0;   // workers in this round
  int m_pending = 0;  // of workers 1..wanted-1, those still working
  bool m_quit = false;
};

}  // namespace korvane

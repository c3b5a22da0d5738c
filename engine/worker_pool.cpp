#include "engine/worker_pool.h"

namespace korvane {

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quit = true;
  }
  m_wake.notify_all();
  for (std::thread& t : m_threads) t.join();
}

void WorkerPool::Run(int count, const std::function<void(int)>& fn) {
  if (count <= 1) {
    fn(0);
    return;
  }
  while (static_cast<int>(m_threads.size()) < count - 1) {
    const int worker = static_cast<int>(m_threads.size()) + 1;
    m_threads.emplace_back([this, worker] { Loop(worker); });
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_job = &fn;
    m_wanted = count;
    m_pending = count - 1;
    ++m_round;
  }
  m_wake.notify_all();
  fn(0);
  std::unique_lock<std::mutex> lock(m_mutex);
  m_done.wait(lock, [this] { return m_pending == 0; });
  m_job = nullptr;
}

void WorkerPool::Loop(int worker) {
  std::uint64_t seen = 0;
  for (;;) {
    const std::function<void(int)>* job = nullptr;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_wake.wait(lock, [&] { return m_quit || m_round != seen; });
      if (m_quit) return;
      seen = m_round;
      if (worker >= m_wanted) continue;  // not wanted this round
      job = m_job;
    }
    (*job)(worker);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (--m_pending == 0) m_done.notify_one();
  }
}

}  // namespace korvane

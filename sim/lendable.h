// Lists a run lends to a reader on another thread (the screen), without
// copying them, and takes back once every holder has let them go.
#pragma once
#include <memory>
#include <mutex>
#include <vector>

namespace korvane {

// Objects handed to readers come back here when the last holder lets them
// go, so that their memory serves again. They may outlive the pool's owner:
// the list of those let go lives as long as any of them.
template <class T>
class RecyclingPool {
 public:
  // letGo, when given, runs on an object as it comes back, on the thread
  // that let it go last.
  explicit RecyclingPool(void (*letGo)(T&) = nullptr) { m_free->letGo = letGo; }

  // One let go before, or a new one.
  std::shared_ptr<T> Take() {
    std::unique_ptr<T> object;
    {
      std::lock_guard<std::mutex> lock(m_free->mutex);
      if (!m_free->objects.empty()) {
        object = std::move(m_free->objects.back());
        m_free->objects.pop_back();
      }
    }
    if (!object) object = std::make_unique<T>();
    return {object.release(), [free = m_free](T* o) {
              if (free->letGo) free->letGo(*o);
              std::lock_guard<std::mutex> lock(free->mutex);
              try {
                free->objects.emplace_back(o);
              } catch (...) {
                delete o;
              }
            }};
  }

 private:
  struct Free {
    std::mutex mutex;
    std::vector<std::unique_ptr<T>> objects;
    void (*letGo)(T&) = nullptr;
  };
  std::shared_ptr<Free> m_free = std::make_shared<Free>();
};

// A population a GA keeps and may lend: once lent it is never written again;
// the next write goes to another list (one let go, whose genomes keep their
// memory). Not lent, it is one list written in place, as a plain vector.
template <class Genome>
class LendableList {
 public:
  LendableList() = default;
  LendableList(const LendableList&) = delete;
  LendableList& operator=(const LendableList&) = delete;

  const std::vector<Genome>& operator*() const { return *m_list; }
  const std::vector<Genome>* operator->() const { return m_list.get(); }
  // The list to write.
  std::vector<Genome>& Own() {
    if (m_lent) {
      m_list.reset();  // first, so that it can come straight back when nobody else holds it
      m_list = m_pool.Take();
      m_lent = false;
    }
    return *m_list;
  }
  // The list as it is, for a reader that may keep it.
  std::shared_ptr<const std::vector<Genome>> Lend() {
    m_lent = true;
    return m_list;
  }

 private:
  RecyclingPool<std::vector<Genome>> m_pool;
  std::shared_ptr<std::vector<Genome>> m_list = m_pool.Take();
  bool m_lent = false;
};

}  // namespace korvane

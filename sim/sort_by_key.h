// A stable sort of large items by a small key: the (key, place) pairs are
// sorted, then each item moves once, along its cycle. std::stable_sort
// compares the pairs exactly as it would the items, so the order is the one
// it gives the items themselves.
#pragma once
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace korvane {

template <typename T, typename KeyOf, typename Less>
void StableSortByKey(std::vector<T>& list, KeyOf keyOf, Less less) {
  using Key = decltype(keyOf(list.front()));
  struct Entry {
    Key key;
    std::size_t from;
  };
  constexpr std::size_t kDone = static_cast<std::size_t>(-1);
  thread_local std::vector<Entry> order;  // kept from one call to the next
  order.clear();
  for (std::size_t i = 0; i < list.size(); ++i) order.push_back({keyOf(list[i]), i});
  std::stable_sort(order.begin(), order.end(), [&](const Entry& a, const Entry& b) { return less(a.key, b.key); });
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i].from == kDone) continue;
    if (order[i].from == i) {
      order[i].from = kDone;
      continue;
    }
    T held = std::move(list[i]);
    for (std::size_t at = i;;) {
      const std::size_t from = order[at].from;
      order[at].from = kDone;
      if (from == i) {
        list[at] = std::move(held);
        break;
      }
      list[at] = std::move(list[from]);
      at = from;
    }
  }
}

}  // namespace korvane

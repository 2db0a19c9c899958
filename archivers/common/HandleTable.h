// Per-handle state of an archiver library's listing entries: handles are
// small non-zero 32-bit integers, the lowest free one is given out first.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

namespace arc {

template <class T>
class HandleTable {
 public:
  static constexpr std::int32_t kMaxHandles = 4096;

  // 0 when the table is full.
  std::int32_t Add(std::unique_ptr<T> state) {
    std::int32_t h = 1;
    for (const auto& [used, _] : items_) {
      if (used != h) break;
      ++h;
    }
    if (h > kMaxHandles) return 0;
    items_.emplace(h, std::move(state));
    return h;
  }
  T* Find(std::int32_t h) {
    auto it = items_.find(h);
    return it == items_.end() ? nullptr : it->second.get();
  }
  bool Remove(std::int32_t h) { return items_.erase(h) > 0; }
  std::size_t Size() const { return items_.size(); }

 private:
  std::map<std::int32_t, std::unique_ptr<T>> items_;
};

}  // namespace arc

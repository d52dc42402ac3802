#pragma once
// Growable arrays. Removing elements shifts the rest down; indices past the
// end are ignored by the removing calls and checked by assertions elsewhere.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

template <typename T>
class VoArray {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  VoArray() = default;
  VoArray(std::initializer_list<T> items) : items_(items) {}

  size_t GetCount() const { return items_.size(); }
  bool IsEmpty() const { return items_.empty(); }
  void Reserve(size_t n) { items_.reserve(n); }

  T& operator[](size_t i) { assert(i < items_.size()); return items_[i]; }
  const T& operator[](size_t i) const { assert(i < items_.size()); return items_[i]; }
  T* GetData() { return items_.data(); }
  const T* GetData() const { return items_.data(); }

  // Returns the new element's index.
  size_t Add(const T& item) { items_.push_back(item); return items_.size() - 1; }
  size_t Add(T&& item) { items_.push_back(std::move(item)); return items_.size() - 1; }

  // An index past the end appends.
  void InsertAt(size_t index, T item) {
    const auto at = static_cast<ptrdiff_t>(std::min(index, items_.size()));
    items_.push_back(std::move(item));
    std::rotate(items_.begin() + at, items_.end() - 1, items_.end());
  }
  bool RemoveAt(size_t index) { return RemoveRange(index, 1) == 1; }
  // Removes up to `count` elements from `index` on; returns how many went.
  size_t RemoveRange(size_t index, size_t count) {
    if (index >= items_.size()) return 0;
    count = std::min(count, items_.size() - index);
    const auto first = items_.begin() + static_cast<ptrdiff_t>(index);
    items_.erase(first, first + static_cast<ptrdiff_t>(count));
    return count;
  }
  void Clear() { items_.clear(); }

  // Index of the first element equal to `item` at or after `from`, or npos.
  size_t Find(const T& item, size_t from = 0) const {
    for (size_t i = from; i < items_.size(); ++i) {
      if (items_[i] == item) return i;
    }
    return npos;
  }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  friend bool operator==(const VoArray& a, const VoArray& b) { return a.items_ == b.items_; }

 private:
  std::vector<T> items_;
};

using VoNumberArray = VoArray<int>;
using VoPointerArray = VoArray<void*>;

// An array that owns its elements: removing, clearing and destroying delete
// them. Move-only, so no element has two owners.
template <typename T>
class VoOwnedPtrArray {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  VoOwnedPtrArray() = default;
  VoOwnedPtrArray(VoOwnedPtrArray&&) noexcept = default;
  VoOwnedPtrArray& operator=(VoOwnedPtrArray&&) noexcept = default;

  size_t GetCount() const { return items_.GetCount(); }
  bool IsEmpty() const { return items_.IsEmpty(); }
  T* operator[](size_t i) const { return items_[i].get(); }

  size_t Add(std::unique_ptr<T> item) { return items_.Add(std::move(item)); }
  // Takes ownership of a raw pointer.
  size_t Add(T* item) { return items_.Add(std::unique_ptr<T>(item)); }
  void InsertAt(size_t index, std::unique_ptr<T> item) { items_.InsertAt(index, std::move(item)); }
  bool RemoveAt(size_t index) { return items_.RemoveAt(index); }
  size_t RemoveRange(size_t index, size_t count) { return items_.RemoveRange(index, count); }
  void Clear() { items_.Clear(); }
  // Hands the element at `index` to the caller and removes it without deleting.
  std::unique_ptr<T> Detach(size_t index) {
    if (index >= items_.GetCount()) return nullptr;
    std::unique_ptr<T> item = std::move(items_[index]);
    items_.RemoveAt(index);
    return item;
  }
  size_t Find(const T* item) const {
    for (size_t i = 0; i < items_.GetCount(); ++i) {
      if (items_[i].get() == item) return i;
    }
    return npos;
  }

  // Iteration yields the element pointers.
  class Iterator {
   public:
    explicit Iterator(const std::unique_ptr<T>* at) : at_(at) {}
    T* operator*() const { return at_->get(); }
    Iterator& operator++() { ++at_; return *this; }
    bool operator!=(const Iterator& other) const { return at_ != other.at_; }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }

   private:
    const std::unique_ptr<T>* at_;
  };
  Iterator begin() const { return Iterator(items_.GetData()); }
  Iterator end() const { return Iterator(items_.GetData() + items_.GetCount()); }

 private:
  VoArray<std::unique_ptr<T>> items_;
};

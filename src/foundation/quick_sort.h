#pragma once
// Quicksort with a median-of-three pivot and a three-way partition (runs of
// equal keys cost no extra rounds), insertion sort for short ranges and a
// heap sort fallback when the recursion grows too deep. Large ranges are
// split across worker threads; the result does not depend on how the work was
// split, because every partition step is the same on any thread.
//
// The comparison returns a positive value when the first element is greater,
// negative when smaller, 0 when equal. It is called from several threads at
// once and must not throw.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace vo {

struct QuickSortOptions {
  // Extra threads one sort may run at the same time; negative: one fewer than
  // the processors, 0: only the calling thread.
  int worker_threads = -1;
  // Parts smaller than this stay on the thread that partitioned them.
  size_t parallel_threshold = 32768;
};

unsigned DefaultSortWorkers();

namespace sort_detail {

template <typename T, typename Compare>
class QuickSorter {
 public:
  QuickSorter(const Compare& compare, const QuickSortOptions& options)
      : compare_(compare),
        threshold_(options.parallel_threshold < 2 ? 2 : options.parallel_threshold),
        free_workers_(options.worker_threads < 0 ? static_cast<int>(DefaultSortWorkers()) : options.worker_threads) {}

  void Sort(T* a, size_t n) { SortRange(a, n, DepthLimit(n)); }

 private:
  static constexpr size_t kInsertionLimit = 16;

  static int DepthLimit(size_t n) {
    int depth = 0;
    for (; n > 1; n >>= 1) depth += 2;
    return depth;
  }

  bool Greater(const T& x, const T& y) const { return compare_(x, y) > 0; }

  void SortRange(T* a, size_t n, int depth) {
    std::vector<std::thread> workers;
    while (n > kInsertionLimit) {
      if (depth-- == 0) {
        HeapSort(a, n);
        n = 0;
        break;
      }
      MedianToFront(a, n);
      size_t lt, gt;
      Partition(a, n, lt, gt);
      // Recurse into the smaller part (bounded stack), loop on the larger.
      T* part = a;  // the smaller part
      size_t part_n = lt;
      T* rest = a + gt;
      size_t rest_n = n - gt;
      if (part_n > rest_n) {
        std::swap(part, rest);
        std::swap(part_n, rest_n);
      }
      if (part_n < threshold_ || !StartWorker(workers, part, part_n, depth)) SortRange(part, part_n, depth);
      a = rest;
      n = rest_n;
    }
    if (n > 1) InsertionSort(a, n);
    for (auto& w : workers) w.join();
  }

  bool StartWorker(std::vector<std::thread>& workers, T* a, size_t n, int depth) {
    int free = free_workers_.load();
    do {
      if (free <= 0) return false;
    } while (!free_workers_.compare_exchange_weak(free, free - 1));
    try {
      workers.emplace_back([this, a, n, depth] {
        SortRange(a, n, depth);
        free_workers_.fetch_add(1);
      });
      return true;
    } catch (const std::system_error&) {
      free_workers_.fetch_add(1);  // no thread to be had: the caller sorts it
      return false;
    }
  }

  // Orders the first, middle and last element and moves the median to the
  // front, where the partition takes it as the pivot.
  void MedianToFront(T* a, size_t n) const {
    T& x = a[0];
    T& y = a[n / 2];
    T& z = a[n - 1];
    if (Greater(x, y)) std::swap(x, y);
    if (Greater(y, z)) std::swap(y, z);
    if (Greater(x, y)) std::swap(x, y);
    std::swap(a[0], a[n / 2]);
  }

  // Bentley-McIlroy three-way partition around the pivot at a[0]: keys
  // equal to it are parked at both ends while scanning and swapped into the
  // middle afterwards. Afterwards [0, lt) < pivot, [lt, gt) == pivot and
  // [gt, n) > pivot. Input that is already in order stays in order.
  void Partition(T* a, size_t n, size_t& lt, size_t& gt) const {
    size_t pa = 1, pb = 1;          // [0, pa) equal, [pa, pb) less
    size_t pc = n - 1, pd = n - 1;  // (pc, pd] greater, (pd, n) equal
    for (;;) {
      int c;
      while (pb <= pc && (c = compare_(a[pb], a[0])) <= 0) {
        if (c == 0) std::swap(a[pa++], a[pb]);
        ++pb;
      }
      while (pb <= pc && (c = compare_(a[pc], a[0])) >= 0) {
        if (c == 0) std::swap(a[pc], a[pd--]);
        --pc;
      }
      if (pb > pc) break;
      std::swap(a[pb++], a[pc--]);
    }
    // pb == pc + 1: move the parked equal keys between the two parts.
    const size_t less = pb - pa, greater = pd - pc;
    SwapBlocks(a, a + pb - std::min(pa, less), std::min(pa, less));
    SwapBlocks(a + pb, a + n - std::min(greater, n - 1 - pd), std::min(greater, n - 1 - pd));
    lt = less;
    gt = n - greater;
  }

  static void SwapBlocks(T* x, T* y, size_t count) {
    for (size_t i = 0; i < count; ++i) std::swap(x[i], y[i]);
  }

  void InsertionSort(T* a, size_t n) const {
    for (size_t i = 1; i < n; ++i) {
      for (size_t j = i; j > 0 && Greater(a[j - 1], a[j]); --j) std::swap(a[j - 1], a[j]);
    }
  }

  // Index arithmetic only, so even an inconsistent comparison stays in bounds.
  void SiftDown(T* a, size_t root, size_t n) const {
    for (;;) {
      size_t child = 2 * root + 1;
      if (child >= n) return;
      if (child + 1 < n && Greater(a[child + 1], a[child])) ++child;
      if (!Greater(a[child], a[root])) return;
      std::swap(a[root], a[child]);
      root = child;
    }
  }

  void HeapSort(T* a, size_t n) const {
    for (size_t i = n / 2; i-- > 0;) SiftDown(a, i, n);
    for (size_t end = n; end-- > 1;) {
      std::swap(a[0], a[end]);
      SiftDown(a, 0, end);
    }
  }

  const Compare& compare_;
  const size_t threshold_;
  std::atomic<int> free_workers_;
};

}  // namespace sort_detail

// Sorts `count` elements in place; `compare(a, b)` as described above.
template <typename T, typename Compare>
void QuickSort(T* items, size_t count, const Compare& compare, const QuickSortOptions& options = {}) {
  if (count < 2) return;
  sort_detail::QuickSorter<T, Compare>(compare, options).Sort(items, count);
}

// The same for an array of pointers with a C-style callback.
using VoSortCompare = int (*)(const void* a, const void* b, void* context);
void QuickSortPointers(void** items, size_t count, VoSortCompare compare, void* context,
                       const QuickSortOptions& options = {});

}  // namespace vo

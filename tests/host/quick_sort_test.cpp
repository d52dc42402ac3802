#include "foundation/quick_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>
#include <vector>

namespace {

int CompareInts(const int& a, const int& b) { return a < b ? -1 : (a > b ? 1 : 0); }

// Input shapes that break naive quicksorts: presorted, reversed, organ pipe,
// all equal, few distinct keys, random.
std::vector<int> Shape(int shape, size_t n) {
  std::mt19937 random(static_cast<unsigned>(n * 7 + shape));
  std::vector<int> v(n);
  for (size_t i = 0; i < n; ++i) {
    const int k = static_cast<int>(i);
    switch (shape) {
      case 0: v[i] = k; break;
      case 1: v[i] = static_cast<int>(n) - k; break;
      case 2: v[i] = std::min(k, static_cast<int>(n) - k); break;
      case 3: v[i] = 5; break;
      case 4: v[i] = static_cast<int>(random() % 3); break;
      default: v[i] = static_cast<int>(random() % 1000000) - 500000; break;
    }
  }
  return v;
}
constexpr int kShapes = 6;

TEST(QuickSort, SortsEveryShapeAndSize) {
  for (size_t n : {0, 1, 2, 3, 16, 17, 100, 5000}) {
    for (int shape = 0; shape < kShapes; ++shape) {
      std::vector<int> v = Shape(shape, n), want = v;
      std::sort(want.begin(), want.end());
      vo::QuickSort(v.data(), v.size(), CompareInts, {.worker_threads = 0});
      ASSERT_EQ(v, want) << "shape " << shape << ", " << n << " items";
    }
  }
}

TEST(QuickSort, ComparisonsStayNearNLogN) {
  // Three-way partitioning makes runs of equal keys cheap; the depth limit
  // bounds adversarial orders (organ pipes end in the heap sort). A
  // quadratic sort would need thousands of times more.
  const size_t n = 100000;
  const double bound = 4.0 * n * std::log2(static_cast<double>(n));
  for (int shape = 0; shape < kShapes; ++shape) {
    std::vector<int> v = Shape(shape, n);
    size_t comparisons = 0;
    vo::QuickSort(v.data(), v.size(), [&](const int& a, const int& b) { ++comparisons; return CompareInts(a, b); },
                  {.worker_threads = 0});
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
    EXPECT_LT(static_cast<double>(comparisons), bound) << "shape " << shape;
    if (shape == 3) {
      EXPECT_LT(comparisons, 2 * n) << "all keys equal";
    }
  }
}

struct Keyed {
  int key;
  int id;
  bool operator==(const Keyed&) const = default;
};

TEST(QuickSort, ThreadsGiveTheSameOrderAsOneThread) {
  // Equal keys with distinct ids: the order among them shows any difference
  // in how the work was split.
  std::mt19937 random(7);
  std::vector<Keyed> input(200000);
  for (int i = 0; i < static_cast<int>(input.size()); ++i) input[i] = {static_cast<int>(random() % 5000), i};
  auto by_key = [](const Keyed& a, const Keyed& b) { return CompareInts(a.key, b.key); };

  std::vector<Keyed> single = input;
  vo::QuickSort(single.data(), single.size(), by_key, {.worker_threads = 0});
  ASSERT_TRUE(std::is_sorted(single.begin(), single.end(), [](auto& a, auto& b) { return a.key < b.key; }));
  for (int workers : {1, 3, 8}) {
    std::vector<Keyed> threaded = input;
    vo::QuickSort(threaded.data(), threaded.size(), by_key, {.worker_threads = workers, .parallel_threshold = 1000});
    EXPECT_TRUE(threaded == single) << workers << " workers";
  }
}

TEST(QuickSort, UsesWorkerThreadsForLargeParts) {
  std::vector<int> v = Shape(5, 100000);
  std::atomic<bool> other_thread{false};
  const auto caller = std::this_thread::get_id();
  vo::QuickSort(v.data(), v.size(),
                [&](const int& a, const int& b) {
                  if (std::this_thread::get_id() != caller) other_thread = true;
                  return CompareInts(a, b);
                },
                {.worker_threads = 2, .parallel_threshold = 1000});
  EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
  EXPECT_TRUE(other_thread);
}

TEST(QuickSort, AnInconsistentComparisonStaysInBounds) {
  // A broken callback may give any order but must not corrupt memory or lose
  // elements (the sanitizers watch the first part).
  std::vector<int> v = Shape(5, 50000), before = v;
  std::minstd_rand random(3);
  vo::QuickSort(v.data(), v.size(), [&](const int&, const int&) { return static_cast<int>(random() % 3) - 1; },
                {.worker_threads = 0});
  std::sort(v.begin(), v.end());
  std::sort(before.begin(), before.end());
  EXPECT_EQ(v, before);
}

TEST(QuickSortPointers, PassesTheContextToTheCallback) {
  int values[] = {30, 10, 20};
  void* items[] = {&values[0], &values[1], &values[2]};
  int direction = -1;  // descending through the context
  vo::QuickSortPointers(
      items, 3,
      [](const void* a, const void* b, void* context) {
        return *static_cast<int*>(context) * CompareInts(*static_cast<const int*>(a), *static_cast<const int*>(b));
      },
      &direction);
  EXPECT_EQ(items[0], &values[0]);
  EXPECT_EQ(items[1], &values[2]);
  EXPECT_EQ(items[2], &values[1]);
}

}  // namespace

#include "quick_sort.h"

namespace vo {

unsigned DefaultSortWorkers() {
  const unsigned processors = std::thread::hardware_concurrency();
  return processors > 1 ? processors - 1 : 0;
}

void QuickSortPointers(void** items, size_t count, VoSortCompare compare, void* context,
                       const QuickSortOptions& options) {
  QuickSort(items, count, [compare, context](const void* a, const void* b) { return compare(a, b, context); },
            options);
}

}  // namespace vo

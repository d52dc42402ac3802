// Reads arbitrary bytes as the shared block of the post channel, as the
// product's window does with whatever another process left there. Reading
// stays inside the block, a record it yields ends where its header says,
// and afterwards the ring is valid and takes new records.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "plugins/post_string_ring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first 16 bytes name the records looked for, the rest is the block.
  if (size < 16) return 0;
  vo::PostMessageKey key;
  std::memcpy(&key.wparam, data, 8);
  std::memcpy(&key.lparam, data + 8, 8);
  key.wparam &= 0xFFFFFFFFu;
  std::vector<unsigned char> block(vo::kPostBlockBytes, 0);
  std::memcpy(block.data(), data + 16, std::min(size - 16, block.size()));

  vo::PostRing ring(block.data());
  for (int i = 0; i < 4; ++i) {
    const auto record = ring.Take(key);
    if (record && vo::PostRecordBytes(record->text.size()) > vo::kPostRingBytes) __builtin_trap();
    // Other records of the same wParam.
    key.lparam += 1;
  }
  ring.Prepare();
  const size_t free_bytes = ring.FreeBytes();
  if (free_bytes > vo::kPostRingBytes) __builtin_trap();
  const std::u16string text(16, u'x');
  const bool fits = vo::PostRecordBytes(text.size()) <= free_bytes;
  if (ring.Write({7, 7}, 0, text).has_value() != fits) __builtin_trap();
  if (fits) {
    const auto back = ring.Take({7, 7});
    if (!back || back->text != text) __builtin_trap();
  }
  return 0;
}

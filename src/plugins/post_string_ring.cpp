#include "plugins/post_string_ring.h"

namespace vo {

namespace {

constexpr unsigned char kSignature[4] = {'V', 'o', 'P', 'S'};
constexpr size_t kReadAt = 4;
constexpr size_t kWriteAt = 8;
// The ring size is a power of two, so positions counted modulo 2^32 stay
// consistent with ring offsets when they wrap.
static_assert((kPostRingBytes & (kPostRingBytes - 1)) == 0);
constexpr uint32_t kRingMask = kPostRingBytes - 1;

}  // namespace

bool PostNeedsFile(size_t text_units, size_t free_bytes) {
  return text_units > kPostDirectTextLimit || PostRecordBytes(text_units) > free_bytes;
}

uint32_t PostRing::Get32(size_t offset) const {
  return static_cast<uint32_t>(block_[offset]) | static_cast<uint32_t>(block_[offset + 1]) << 8 |
         static_cast<uint32_t>(block_[offset + 2]) << 16 | static_cast<uint32_t>(block_[offset + 3]) << 24;
}

void PostRing::Put32(size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) block_[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

unsigned char PostRing::RingByte(uint32_t position) const {
  return block_[kPostBlockHeaderBytes + (position & kRingMask)];
}

void PostRing::PutRingByte(uint32_t position, unsigned char value) {
  block_[kPostBlockHeaderBytes + (position & kRingMask)] = value;
}

uint32_t PostRing::RingGet32(uint32_t position) const {
  uint32_t value = 0;
  for (uint32_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(RingByte(position + i)) << (8 * i);
  return value;
}

void PostRing::RingPut32(uint32_t position, uint32_t value) {
  for (uint32_t i = 0; i < 4; ++i) PutRingByte(position + i, static_cast<unsigned char>(value >> (8 * i)));
}

bool PostRing::IsValid() const {
  for (size_t i = 0; i < 4; ++i) {
    if (block_[i] != kSignature[i]) return false;
  }
  return Get32(kWriteAt) - Get32(kReadAt) <= kPostRingBytes;
}

void PostRing::Reset() {
  for (size_t i = 0; i < 4; ++i) block_[i] = kSignature[i];
  Put32(kReadAt, 0);
  Put32(kWriteAt, 0);
  Put32(12, 0);
}

void PostRing::Prepare() {
  if (!IsValid()) Reset();
}

size_t PostRing::FreeBytes() const {
  if (!IsValid()) return 0;
  return kPostRingBytes - (Get32(kWriteAt) - Get32(kReadAt));
}

std::optional<uint32_t> PostRing::Write(PostMessageKey key, uint32_t type, std::u16string_view text) {
  if (key.wparam > 0xFFFFFFFFu || PostRecordBytes(text.size()) > FreeBytes()) return std::nullopt;
  const uint32_t start = Get32(kWriteAt);
  uint32_t at = start;
  RingPut32(at, static_cast<uint32_t>(key.wparam));
  RingPut32(at + 4, static_cast<uint32_t>(key.lparam));
  RingPut32(at + 8, static_cast<uint32_t>(key.lparam >> 32));
  RingPut32(at + 12, type);
  RingPut32(at + 16, static_cast<uint32_t>(2 * text.size() + 2));
  at += kPostRecordHeaderBytes;
  for (char16_t unit : text) {
    PutRingByte(at++, static_cast<unsigned char>(unit & 0xFF));
    PutRingByte(at++, static_cast<unsigned char>(unit >> 8));
  }
  PutRingByte(at++, 0);
  PutRingByte(at++, 0);
  Put32(kWriteAt, at);
  return start;
}

void PostRing::Unwrite(uint32_t start) {
  if (!IsValid()) return;
  const uint32_t read = Get32(kReadAt), write = Get32(kWriteAt);
  if (start - read <= write - read) Put32(kWriteAt, start);
}

std::optional<PostRecord> PostRing::Take(PostMessageKey key) {
  if (!IsValid()) {
    Reset();
    return std::nullopt;
  }
  const uint32_t write = Get32(kWriteAt);
  uint32_t at = Get32(kReadAt);
  while (write - at >= kPostRecordHeaderBytes) {
    const uint32_t available = write - at - kPostRecordHeaderBytes;
    const uint32_t length = RingGet32(at + 16);
    // A record that does not add up leaves no way to find the next one.
    if (length < 2 || length % 2 != 0 || length > available) break;
    const uint64_t wparam = RingGet32(at);
    const uint64_t lparam = RingGet32(at + 4) | static_cast<uint64_t>(RingGet32(at + 8)) << 32;
    const uint32_t next = at + kPostRecordHeaderBytes + length;
    if (wparam == key.wparam && lparam == key.lparam) {
      const uint32_t text_at = at + kPostRecordHeaderBytes;
      const auto unit = [&](uint32_t i) {
        return static_cast<char16_t>(RingByte(text_at + 2 * i) | RingByte(text_at + 2 * i + 1) << 8);
      };
      const uint32_t units = length / 2;
      if (unit(units - 1) != 0) break;
      PostRecord record;
      record.type = RingGet32(at + 12);
      for (uint32_t i = 0; i < units && unit(i) != 0; ++i) record.text.push_back(unit(i));
      Put32(kReadAt, next);
      return record;
    }
    at = next;
  }
  // Stopped short of the write position: the rest cannot be read.
  if (at != write) Reset();
  return std::nullopt;
}

}  // namespace vo

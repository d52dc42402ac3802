#pragma once
// The shared block through which texts are posted to the running product's
// window: a header with the signature "VoPS" and the read and write
// positions, then a ring of records. The window message names its record by
// the wParam/lParam pair it carries.
//
// Block header (16 bytes, little-endian): "VoPS", the read position, the
// write position (both count bytes ever read or written, modulo 2^32; the
// ring offset is the position modulo the ring size), 4 bytes reserved.
// Record: 16 bytes of message identification (wParam as 4 bytes, lParam as
// 8 bytes, then the text's type in the remaining 4), the byte length of the
// text with its terminating zero (4 bytes), then the UTF-16 text and zero.
// Records wrap around the end of the ring byte by byte.
//
// The block is written by other processes, so the reading side trusts
// nothing in it: a header or record that does not add up empties the ring.
// Callers hold the channel's lock around every call.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vo {

constexpr size_t kPostRingBytes = 0x4000;
constexpr size_t kPostBlockHeaderBytes = 16;
constexpr size_t kPostBlockBytes = kPostBlockHeaderBytes + kPostRingBytes;
constexpr size_t kPostRecordHeaderBytes = 20;
// Longer texts go through a temporary file whose path is posted instead.
constexpr size_t kPostDirectTextLimit = 128;
// The type of a record whose text is the path of such a file.
constexpr uint32_t kPostTypeFile = 1;
// The window message that names a record (WM_APP + 2000).
constexpr unsigned kPostStringMessage = 0x8000 + 2000;

struct PostMessageKey {
  uint64_t wparam = 0;
  uint64_t lparam = 0;
};

struct PostRecord {
  uint32_t type = 0;
  std::u16string text;
};

// Ring bytes a record of a text of `text_units` UTF-16 units takes.
constexpr size_t PostRecordBytes(size_t text_units) { return kPostRecordHeaderBytes + 2 * text_units + 2; }

// Whether a text has to travel through a temporary file: it is too long to
// post directly, or its record would not fit into `free_bytes`.
bool PostNeedsFile(size_t text_units, size_t free_bytes);

// A view of a block of kPostBlockBytes; it owns nothing.
class PostRing {
 public:
  explicit PostRing(unsigned char* block) : block_(block) {}

  // Makes the block a valid, empty ring unless it already holds one.
  void Prepare();
  // Free ring bytes; 0 for a block that is not a valid ring.
  size_t FreeBytes() const;

  // Appends a record; nullopt (and nothing written) when the key's wParam
  // does not fit the record or the record does not fit the free bytes.
  // Otherwise the position the record starts at, for Unwrite.
  std::optional<uint32_t> Write(PostMessageKey key, uint32_t type, std::u16string_view text);
  // Takes back the records written from `start` on (a post that failed
  // after its record was written). Ignored when `start` is not inside the
  // unread part.
  void Unwrite(uint32_t start);

  // Reads the record posted with `key`, dropping it and every older record
  // (their messages were lost); nullopt when there is none. The text ends
  // at its first zero unit.
  std::optional<PostRecord> Take(PostMessageKey key);

 private:
  uint32_t Get32(size_t offset) const;
  void Put32(size_t offset, uint32_t value);
  unsigned char RingByte(uint32_t position) const;
  void PutRingByte(uint32_t position, unsigned char value);
  uint32_t RingGet32(uint32_t position) const;
  void RingPut32(uint32_t position, uint32_t value);
  bool IsValid() const;
  void Reset();

  unsigned char* block_;
};

}  // namespace vo

#pragma once
// The element index of an XML document: records addressed by a 32-bit index
// whose upper 16 bits select a segment of 65,536 records, so growing the
// table never moves the records of full segments.

#include <cstdint>
#include <memory>
#include <vector>

struct ElementRecord {
  uint32_t start = 0;             // the opening bracket of the start tag
  uint32_t length = 0;            // through the end of the end tag
  uint32_t start_tag_length = 0;
  uint32_t end_tag_length = 0;
  uint32_t level_and_flags = 0;   // level in the low 16 bits, flags above
  uint32_t parent = 0;
  uint32_t first_child = 0;
  uint32_t next_sibling = 0;
  uint32_t previous_sibling = 0;  // the first child's points to the last child

  enum : uint32_t {
    kFirstChild = 1u << 16,
    kNotEnded = 1u << 17,
    kIllFormedData = 1u << 18,
    kDocumentIllFormed = 1u << 19,  // record 0 only
  };
  uint32_t Level() const { return level_and_flags & 0xFFFF; }
  void SetLevel(uint32_t level) { level_and_flags = (level_and_flags & ~0xFFFFu) | (level > 0xFFFF ? 0xFFFF : level); }
  bool Has(uint32_t flag) const { return (level_and_flags & flag) != 0; }
  void Set(uint32_t flag) { level_and_flags |= flag; }
  void Unset(uint32_t flag) { level_and_flags &= ~flag; }
  uint32_t End() const { return start + length; }
};

class XmlElementTable {
 public:
  static constexpr uint32_t kSegmentSize = 65536;

  // Drops all records and makes room for `capacity` (record 0 included).
  void Reset(uint32_t capacity);
  // Appends a zeroed record and returns its index.
  uint32_t Add();
  uint32_t Count() const { return count_; }
  uint32_t Capacity() const { return capacity_; }

  ElementRecord& operator[](uint32_t index) { return segments_[index >> 16][index & 0xFFFF]; }
  const ElementRecord& operator[](uint32_t index) const { return segments_[index >> 16][index & 0xFFFF]; }

 private:
  void Grow(uint32_t capacity);

  std::vector<std::unique_ptr<ElementRecord[]>> segments_;
  uint32_t count_ = 0;
  uint32_t capacity_ = 0;
};

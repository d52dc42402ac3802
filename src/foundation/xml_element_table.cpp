#include "xml_element_table.h"

#include <algorithm>

void XmlElementTable::Reset(uint32_t capacity) {
  segments_.clear();
  count_ = 0;
  capacity_ = 0;
  Grow(std::max<uint32_t>(capacity, 1));
}

void XmlElementTable::Grow(uint32_t capacity) {
  if (capacity <= capacity_) return;
  // Only the last, partial segment is reallocated; full segments stay put.
  if (!segments_.empty() && capacity_ % kSegmentSize != 0) {
    const uint32_t base = static_cast<uint32_t>(segments_.size() - 1) * kSegmentSize;
    const uint32_t size = std::min(kSegmentSize, capacity - base);
    auto grown = std::make_unique<ElementRecord[]>(size);
    std::copy_n(segments_.back().get(), capacity_ - base, grown.get());
    segments_.back() = std::move(grown);
    capacity_ = base + size;
  }
  while (capacity_ < capacity) {
    const uint32_t size = std::min(kSegmentSize, capacity - capacity_);
    segments_.push_back(std::make_unique<ElementRecord[]>(size));
    capacity_ += size;
  }
}

uint32_t XmlElementTable::Add() {
  if (count_ == capacity_) Grow(capacity_ + std::max<uint32_t>(capacity_ / 2, 8));
  (*this)[count_] = ElementRecord{};
  return count_++;
}

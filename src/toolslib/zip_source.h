#pragma once
// The bytes of a zip archive, read by position: from memory (tests, fuzzers)
// or from a file, which is never read into memory as a whole.

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "foundation/vo_string.h"

class ZipSource {
 public:
  virtual ~ZipSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly `count` bytes at `offset`; false when they are not there.
  virtual bool Read(uint64_t offset, void* buffer, size_t count) = 0;
};

// Bytes the caller keeps alive.
class ZipMemorySource final : public ZipSource {
 public:
  explicit ZipMemorySource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, void* buffer, size_t count) override;

 private:
  std::string_view bytes_;
};

class ZipFileSource final : public ZipSource {
 public:
  ZipFileSource() = default;
  ~ZipFileSource() override;
  ZipFileSource(const ZipFileSource&) = delete;
  ZipFileSource& operator=(const ZipFileSource&) = delete;

  bool Open(const VoString& path);
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, void* buffer, size_t count) override;

 private:
  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
};

#include "toolslib/zip_entry_data.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

#include "foundation/string_format.h"

namespace {

constexpr size_t kChunk = 64 * 1024;

class Inflater {
 public:
  Inflater() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

VoString Damaged(const ZipEntry& entry) { return VoFormat(L"The archive entry '%s' is damaged.", entry.name); }

}  // namespace

bool CanExtractZipEntry(const ZipEntry& entry, VoString& failure) {
  if (entry.IsEncrypted()) {
    failure = VoFormat(L"The archive entry '%s' is encrypted, which is not supported.", entry.name);
    return false;
  }
  if (entry.method != kZipStored && entry.method != kZipDeflated) {
    failure = VoFormat(L"The archive entry '%s' uses compression method %d, which is not supported.", entry.name,
                       entry.method);
    return false;
  }
  if (entry.method == kZipStored && entry.compressed_size != entry.size) {
    failure = Damaged(entry);
    return false;
  }
  return true;
}

bool ExtractZipEntry(ZipSource& source, const ZipEntry& entry, const ZipSink& sink, VoString& failure) {
  if (!CanExtractZipEntry(entry, failure)) return false;
  auto input = std::make_unique<unsigned char[]>(kChunk);
  auto output = std::make_unique<unsigned char[]>(kChunk);
  uLong crc = crc32(0, nullptr, 0);
  uint64_t produced = 0;
  // Hands on one piece, refusing more bytes than the directory recorded.
  const auto emit = [&](const unsigned char* data, size_t size) {
    if (size > entry.size - produced) {
      failure = VoFormat(L"The archive entry '%s' holds more than its recorded size.", entry.name);
      return false;
    }
    produced += size;
    crc = crc32(crc, data, static_cast<uInt>(size));
    if (size && !sink(reinterpret_cast<const char*>(data), size)) {
      failure.Clear();
      return false;
    }
    return true;
  };

  uint64_t offset = entry.data_offset;
  uint64_t remaining = entry.compressed_size;
  if (entry.method == kZipStored || (entry.compressed_size == 0 && entry.size == 0)) {
    while (remaining > 0) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(remaining, kChunk));
      if (!source.Read(offset, input.get(), n)) {
        failure = Damaged(entry);
        return false;
      }
      if (!emit(input.get(), n)) return false;
      offset += n;
      remaining -= n;
    }
  } else {
    Inflater inflater;
    if (!inflater.ok()) {
      failure = L"The decompressor could not be started.";
      return false;
    }
    z_stream& z = inflater.stream();
    int result = Z_OK;
    do {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(remaining, kChunk));
      if (n && !source.Read(offset, input.get(), n)) {
        failure = Damaged(entry);
        return false;
      }
      offset += n;
      remaining -= n;
      z.next_in = input.get();
      z.avail_in = static_cast<uInt>(n);
      do {
        z.next_out = output.get();
        z.avail_out = static_cast<uInt>(kChunk);
        result = inflate(&z, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
          failure = Damaged(entry);
          return false;
        }
        if (!emit(output.get(), kChunk - z.avail_out)) return false;
      } while (z.avail_out == 0 && result != Z_STREAM_END);
    } while (result != Z_STREAM_END && remaining > 0);
    if (result != Z_STREAM_END) {
      failure = Damaged(entry);
      return false;
    }
  }
  if (produced != entry.size) {
    failure = VoFormat(L"The archive entry '%s' holds less than its recorded size.", entry.name);
    return false;
  }
  if (static_cast<uint32_t>(crc) != entry.crc) {
    failure = VoFormat(L"The archive entry '%s' fails its checksum.", entry.name);
    return false;
  }
  return true;
}

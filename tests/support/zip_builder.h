#pragma once
// Builds small zip archives in memory for the tests: stored or deflated
// entries, folders, an archive comment, and ways to damage what it writes.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

class ZipBuilder {
 public:
  struct Entry {
    std::string name;
    std::string data;
    uint16_t method = 8;  // 0 stored, 8 deflated
    uint16_t flags = 0;
    // Changes to what the central directory records, for damaged archives.
    uint32_t crc_xor = 0;
    int64_t size_delta = 0;
  };

  ZipBuilder& Add(std::string name, std::string data, uint16_t method = 8) {
    entries_.push_back({std::move(name), std::move(data), method});
    return *this;
  }
  ZipBuilder& Add(Entry entry) {
    entries_.push_back(std::move(entry));
    return *this;
  }
  ZipBuilder& Folder(std::string name) { return Add(std::move(name), {}, 0); }
  ZipBuilder& Comment(std::string comment) {
    comment_ = std::move(comment);
    return *this;
  }
  // Bytes in front of the archive, as a self-extracting program has.
  ZipBuilder& Prefix(std::string prefix) {
    prefix_ = std::move(prefix);
    return *this;
  }

  std::string Build() const {
    std::string out = prefix_;
    std::string directory;
    for (const Entry& e : entries_) {
      const std::string stored = e.method == 8 ? Deflate(e.data) : e.data;
      const uint32_t crc = static_cast<uint32_t>(
          crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
      const uint32_t offset = static_cast<uint32_t>(out.size() - prefix_.size());
      Put32(out, 0x04034b50);
      Put16(out, 20);
      Put16(out, e.flags);
      Put16(out, e.method);
      Put32(out, 0);  // time and date
      Put32(out, crc);
      Put32(out, static_cast<uint32_t>(stored.size()));
      Put32(out, static_cast<uint32_t>(e.data.size()));
      Put16(out, static_cast<uint16_t>(e.name.size()));
      Put16(out, 0);
      out += e.name;
      out += stored;

      Put32(directory, 0x02014b50);
      Put16(directory, 20);
      Put16(directory, 20);
      Put16(directory, e.flags);
      Put16(directory, e.method);
      Put32(directory, 0);
      Put32(directory, crc ^ e.crc_xor);
      Put32(directory, static_cast<uint32_t>(stored.size()));
      Put32(directory, static_cast<uint32_t>(static_cast<int64_t>(e.data.size()) + e.size_delta));
      Put16(directory, static_cast<uint16_t>(e.name.size()));
      Put16(directory, 0);  // extra
      Put16(directory, 0);  // comment
      Put16(directory, 0);  // disk
      Put16(directory, 0);  // internal attributes
      Put32(directory, 0);  // external attributes
      Put32(directory, offset);
      directory += e.name;
    }
    const uint32_t directory_offset = static_cast<uint32_t>(out.size() - prefix_.size());
    out += directory;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint16_t>(entries_.size()));
    Put16(out, static_cast<uint16_t>(entries_.size()));
    Put32(out, static_cast<uint32_t>(directory.size()));
    Put32(out, directory_offset);
    Put16(out, static_cast<uint16_t>(comment_.size()));
    out += comment_;
    return out;
  }

  static std::string Deflate(const std::string& data) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
  }

  // Little-endian fields, also for tests that patch a built archive.
  static void Put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
  }
  static void Put32(std::string& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
  }

 private:
  std::vector<Entry> entries_;
  std::string comment_;
  std::string prefix_;
};

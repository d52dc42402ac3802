#include "toolslib/zip_directory.h"

#include <algorithm>
#include <string>

#include "foundation/string_format.h"

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;
constexpr size_t kMaxComment = 0xFFFF;
constexpr uint16_t kUtf8NameFlag = 1 << 11;

uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const unsigned char* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }

// Code page 437 from 0x80 on; below it is ASCII.
constexpr wchar_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

VoString DecodeName(std::string_view bytes, uint16_t flags) {
  if (flags & kUtf8NameFlag) return VoString::FromUtf8(bytes);
  std::wstring name;
  name.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    name.push_back(b < 0x80 ? static_cast<wchar_t>(b) : kCp437High[b - 0x80]);
  }
  return VoString(std::move(name));
}

const wchar_t kNotAnArchive[] = L"The file is not a zip archive.";
const wchar_t kZip64[] = L"The archive uses the Zip64 extensions, which are not supported.";

// Finds the end record: it is the last 22 bytes unless a comment follows it,
// whose length the record gives, so a record is only taken where its
// comment runs exactly to the end of the file.
bool FindEndRecord(ZipSource& source, uint64_t& position, unsigned char (&record)[kEndSize]) {
  const uint64_t size = source.Size();
  if (size < kEndSize) return false;
  const uint64_t tail_size = std::min<uint64_t>(size, kEndSize + kMaxComment);
  std::string tail(static_cast<size_t>(tail_size), '\0');
  if (!source.Read(size - tail_size, tail.data(), tail.size())) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(tail.data());
  for (size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
    if (U32(bytes + at) != kEndSignature) continue;
    if (at + kEndSize + U16(bytes + at + 20) != tail.size()) continue;
    std::copy(bytes + at, bytes + at + kEndSize, record);
    position = size - tail_size + at;
    return true;
  }
  return false;
}

struct Span {
  uint64_t start, end;
  size_t entry;
};

}  // namespace

bool ReadZipDirectory(ZipSource& source, std::vector<ZipEntry>& entries, VoString& failure) {
  entries.clear();
  failure.Clear();
  uint64_t end_position = 0;
  unsigned char end[kEndSize];
  if (!FindEndRecord(source, end_position, end)) {
    failure = kNotAnArchive;
    return false;
  }
  const uint16_t disk = U16(end + 4), directory_disk = U16(end + 6);
  const uint16_t count_here = U16(end + 8), count = U16(end + 10);
  const uint32_t directory_size = U32(end + 12), directory_offset = U32(end + 16);
  if (count == 0xFFFF || count_here == 0xFFFF || directory_size == 0xFFFFFFFF || directory_offset == 0xFFFFFFFF) {
    failure = kZip64;
    return false;
  }
  if (end_position >= kZip64LocatorSize) {
    unsigned char locator[4];
    if (source.Read(end_position - kZip64LocatorSize, locator, 4) && U32(locator) == kZip64LocatorSignature) {
      failure = kZip64;
      return false;
    }
  }
  if (disk != 0 || directory_disk != 0 || count_here != count) {
    failure = L"The archive spans several disks, which is not supported.";
    return false;
  }
  // Data put in front of the archive (a self-extracting program) shifts
  // every recorded offset by the same amount.
  if (uint64_t{directory_offset} + directory_size > end_position) {
    failure = L"The archive's central directory lies outside the file.";
    return false;
  }
  const uint64_t shift = end_position - directory_size - directory_offset;
  const uint64_t directory_start = directory_offset + shift;
  if (uint64_t{count} * kCentralSize > directory_size) {
    failure = L"The archive's central directory is shorter than its entries.";
    return false;
  }

  std::string directory(directory_size, '\0');
  if (!source.Read(directory_start, directory.data(), directory.size())) {
    failure = L"The archive's central directory cannot be read.";
    return false;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(directory.data());
  std::vector<ZipEntry> read;
  read.reserve(count);
  size_t at = 0;
  for (size_t i = 0; i < count; ++i) {
    const auto damaged = [&] {
      failure = VoFormat(L"The archive's central directory is damaged at entry %d.", i + 1);
      return false;
    };
    if (directory.size() - at < kCentralSize || U32(bytes + at) != kCentralSignature) return damaged();
    const unsigned char* h = bytes + at;
    const size_t name_length = U16(h + 28), extra_length = U16(h + 30), comment_length = U16(h + 32);
    const size_t record = kCentralSize + name_length + extra_length + comment_length;
    if (record > directory.size() - at) return damaged();
    ZipEntry entry;
    entry.flags = U16(h + 8);
    entry.method = U16(h + 10);
    entry.crc = U32(h + 16);
    const uint32_t compressed = U32(h + 20), size = U32(h + 24), local = U32(h + 42);
    entry.name = DecodeName(std::string_view(directory).substr(at + kCentralSize, name_length), entry.flags);
    if (compressed == 0xFFFFFFFF || size == 0xFFFFFFFF || local == 0xFFFFFFFF || U16(h + 34) == 0xFFFF) {
      failure = kZip64;
      return false;
    }
    entry.compressed_size = compressed;
    entry.size = size;
    entry.local_header_offset = local + shift;
    read.push_back(std::move(entry));
    at += record;
  }

  // Each entry's local header and data must lie before the central
  // directory, and no two entries may share bytes: overlapping entries let
  // a small archive unpack to an enormous size.
  std::vector<Span> spans;
  spans.reserve(read.size());
  for (size_t i = 0; i < read.size(); ++i) {
    ZipEntry& entry = read[i];
    unsigned char local[kLocalSize];
    if (entry.local_header_offset > directory_start || directory_start - entry.local_header_offset < kLocalSize ||
        !source.Read(entry.local_header_offset, local, kLocalSize) || U32(local) != kLocalSignature) {
      failure = VoFormat(L"The archive entry '%s' has no local header where the directory says.", entry.name);
      return false;
    }
    entry.data_offset = entry.local_header_offset + kLocalSize + U16(local + 26) + U16(local + 28);
    if (entry.data_offset > directory_start || entry.compressed_size > directory_start - entry.data_offset) {
      failure = VoFormat(L"The archive entry '%s' runs into the central directory.", entry.name);
      return false;
    }
    spans.push_back({entry.local_header_offset, entry.data_offset + entry.compressed_size, i});
  }
  std::stable_sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
  for (size_t i = 1; i < spans.size(); ++i) {
    if (spans[i].start < spans[i - 1].end) {
      failure = VoFormat(L"The archive entry '%s' overlaps the entry '%s'.", read[spans[i].entry].name,
                         read[spans[i - 1].entry].name);
      return false;
    }
  }
  entries = std::move(read);
  return true;
}

#pragma once
// The central directory of a zip archive: the entries with their names,
// methods, sizes and checksums, and where each entry's data lies. Reading
// checks every size, offset and length against the archive, so a damaged
// archive is refused with a reason instead of being read past its end.
// Archives spanning several disks and Zip64 archives are refused.

#include <cstdint>
#include <vector>

#include "foundation/vo_string.h"
#include "toolslib/zip_source.h"

constexpr uint16_t kZipStored = 0;
constexpr uint16_t kZipDeflated = 8;

struct ZipEntry {
  // As stored: UTF-8 when the entry says so, code page 437 otherwise.
  VoString name;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t crc = 0;
  uint64_t compressed_size = 0;
  uint64_t size = 0;
  uint64_t local_header_offset = 0;  // from the start of the source
  uint64_t data_offset = 0;          // the first byte of the stored data

  // A name ending in a separator stands for a folder.
  bool IsFolder() const { return name.EndsWith(L'/') || name.EndsWith(L'\\'); }
  bool IsEncrypted() const { return (flags & 1) != 0; }
};

// False, with the reason in `failure`, when `source` is no zip archive this
// reader can read; `entries` is then empty.
bool ReadZipDirectory(ZipSource& source, std::vector<ZipEntry>& entries, VoString& failure);

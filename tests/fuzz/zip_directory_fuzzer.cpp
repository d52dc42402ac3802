// Reads arbitrary bytes as a zip archive: the directory, the unpacking plan
// and every entry's data. Whatever the bytes claim, reading stays inside
// them, planned paths stay inside the target folder and no entry yields
// more than its recorded size.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/contained_path.h"
#include "toolslib/zip_directory.h"
#include "toolslib/zip_entry_data.h"
#include "toolslib/zip_unpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ZipMemorySource source(bytes);
  std::vector<ZipEntry> entries;
  VoString failure;
  if (!ReadZipDirectory(source, entries, failure)) {
    if (failure.IsEmpty() || !entries.empty()) __builtin_trap();
    return 0;
  }
  for (const ZipEntry& entry : entries) {
    if (entry.data_offset > size || entry.compressed_size > size - entry.data_offset) __builtin_trap();
  }
  for (bool keep_structure : {true, false}) {
    std::vector<ZipUnpackStep> steps;
    if (!PlanZipUnpack(entries, keep_structure, steps, failure)) {
      if (failure.IsEmpty() || !steps.empty()) __builtin_trap();
      continue;
    }
    for (const ZipUnpackStep& step : steps) {
      if (!vo::StaysInsideFolder(step.relative.View())) __builtin_trap();
      if (!keep_structure && (!step.entry || step.relative.Find(L'\\') != VoString::npos)) __builtin_trap();
    }
  }
  for (const ZipEntry& entry : entries) {
    uint64_t produced = 0;
    const bool ok = ExtractZipEntry(
        source, entry, [&](const char*, size_t n) { produced += n; return true; }, failure);
    if (produced > entry.size || (ok && produced != entry.size) || (!ok && failure.IsEmpty())) __builtin_trap();
  }
  return 0;
}

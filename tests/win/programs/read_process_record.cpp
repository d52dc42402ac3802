// Test program: prints the process information record that the process with
// the given id has published, one field a line, or exits with 1 without one.
#include <cstdio>
#include <cstdlib>

#include "foundation/win/process_info_record.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  ProcessInfoRecord record;
  if (!vo::ReadProcessInfoRecord(static_cast<uint32_t>(std::wcstoul(argv[1], nullptr, 10)), record)) return 1;
  for (const auto& path : record.paths) std::printf("%ls\n", path);
  std::printf("%d\n%d\n%lu\n", record.is_installer, record.portable_installation,
              static_cast<unsigned long>(record.creating_thread_id));
  return 0;
}

#pragma once
// This process's information record, published in named shared memory so
// the product's other programs can read where the installer works.

#include <cstdint>

#include "foundation/vo_string.h"

constexpr int kProcessInfoRecordVersion = 23;
constexpr int kProcessInfoPathLength = 261;

// The published layout; other programs read it byte for byte.
struct ProcessInfoRecord {
  int32_t used;
  wchar_t paths[5][kProcessInfoPathLength];  // in the order of ProcessPath
  uint8_t is_installer;
  uint8_t portable_installation;
  uint32_t creating_thread_id;
  uint32_t state;  // 0x80000001
  int32_t reserved_minus_one[2];
  int32_t reserved_99;
  uint8_t reserved[540];
};
static_assert(sizeof(ProcessInfoRecord) == 3176);
static_assert(sizeof(wchar_t) == 2);

enum class ProcessPath {
  kExecutable = 0,
  kProgramFolder = 1,     // the installed product's program folder
  kInstallFolder = 2,     // published after copying
  kToolsFolder = 3,       // where the tools library's modules load from
  kSharedDataFolder = 4,  // the product's shared data folder
};

namespace vo {

// "Vortala Process v23 (<process id>)".
VoString ProcessInfoRecordName(uint32_t process_id);

// This process's record, created on first use by whichever thread comes
// first; null only when the shared memory cannot be made.
ProcessInfoRecord* GetProcessInfoRecord();

// A copy of another (or this) process's record; false when that process has
// published none.
bool ReadProcessInfoRecord(uint32_t process_id, ProcessInfoRecord& copy);

VoString GetProcessPath(ProcessPath which);
// False, leaving the path as it was, when the text does not fit the record.
bool SetProcessPath(ProcessPath which, const VoString& path);

bool IsInstallerProcess();
void SetInstallerProcess(bool is_installer);
bool IsPortableInstallation();
void SetPortableInstallation(bool portable);

// True when the calling thread is the one that created the record.
bool IsMainThread();

}  // namespace vo

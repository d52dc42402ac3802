#include "foundation/win/process_info_record.h"

#include <windows.h>

#include <cstring>
#include <mutex>

#include "foundation/string_format.h"
#include "foundation/win/vo_shared_memory.h"

namespace vo {

namespace {

std::mutex g_record_lock;
ProcessInfoRecord* g_record = nullptr;

void Initialize(ProcessInfoRecord& record) {
  std::memset(&record, 0, sizeof(record));
  record.used = 1;
  GetModuleFileNameW(nullptr, record.paths[0], kProcessInfoPathLength);
  record.creating_thread_id = GetCurrentThreadId();
  record.state = 0x80000001u;
  record.reserved_minus_one[0] = record.reserved_minus_one[1] = -1;
  record.reserved_99 = 99;
}

}  // namespace

VoString ProcessInfoRecordName(uint32_t process_id) {
  return VoFormat(L"Vortala Process v%d (%d)", kProcessInfoRecordVersion, process_id);
}

ProcessInfoRecord* GetProcessInfoRecord() {
  std::lock_guard lock(g_record_lock);
  if (!g_record) {
    // Kept for the whole life of the process: readers may come at any time.
    auto* memory = new VoSharedMemory;
    if (!memory->Open(ProcessInfoRecordName(GetCurrentProcessId()), sizeof(ProcessInfoRecord))) {
      delete memory;
      return nullptr;
    }
    g_record = static_cast<ProcessInfoRecord*>(memory->GetAddress());
    Initialize(*g_record);
  }
  return g_record;
}

bool ReadProcessInfoRecord(uint32_t process_id, ProcessInfoRecord& copy) {
  if (process_id == GetCurrentProcessId()) {
    const ProcessInfoRecord* own = GetProcessInfoRecord();
    if (!own) return false;
    std::lock_guard lock(g_record_lock);
    copy = *own;
    return true;
  }
  // Open only what exists: creating the name here would publish an empty
  // record under another process's id.
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, ProcessInfoRecordName(process_id).c_str());
  if (!mapping) return false;
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(ProcessInfoRecord));
  bool used = false;
  if (view) {
    std::memcpy(&copy, view, sizeof(copy));
    used = copy.used != 0;
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  return used;
}

VoString GetProcessPath(ProcessPath which) {
  const ProcessInfoRecord* record = GetProcessInfoRecord();
  if (!record) return {};
  std::lock_guard lock(g_record_lock);
  const wchar_t* path = record->paths[static_cast<int>(which)];
  return VoString(path, wcsnlen(path, kProcessInfoPathLength));
}

bool SetProcessPath(ProcessPath which, const VoString& path) {
  ProcessInfoRecord* record = GetProcessInfoRecord();
  if (!record || path.Length() >= kProcessInfoPathLength) return false;
  std::lock_guard lock(g_record_lock);
  wchar_t* slot = record->paths[static_cast<int>(which)];
  std::memset(slot, 0, sizeof(record->paths[0]));
  std::memcpy(slot, path.c_str(), path.Length() * sizeof(wchar_t));
  return true;
}

bool IsInstallerProcess() {
  const ProcessInfoRecord* record = GetProcessInfoRecord();
  return record && record->is_installer;
}

void SetInstallerProcess(bool is_installer) {
  if (ProcessInfoRecord* record = GetProcessInfoRecord()) record->is_installer = is_installer ? 1 : 0;
}

bool IsPortableInstallation() {
  const ProcessInfoRecord* record = GetProcessInfoRecord();
  return record && record->portable_installation;
}

void SetPortableInstallation(bool portable) {
  if (ProcessInfoRecord* record = GetProcessInfoRecord()) record->portable_installation = portable ? 1 : 0;
}

bool IsMainThread() {
  const ProcessInfoRecord* record = GetProcessInfoRecord();
  return record && record->creating_thread_id == GetCurrentThreadId();
}

}  // namespace vo

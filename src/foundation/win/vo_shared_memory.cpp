#include "foundation/win/vo_shared_memory.h"

#include <cstdint>

bool VoSharedMemory::Open(const VoString& name, size_t size) {
  Close();
  if (name.IsEmpty()) return false;
  const auto size64 = static_cast<uint64_t>(size);
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size64 >> 32),
                                static_cast<DWORD>(size64 & 0xFFFFFFFFu), name.c_str());
  existed_ = mapping_ && GetLastError() == ERROR_ALREADY_EXISTS;
  if (mapping_) address_ = MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
  if (!address_) {
    Close();
    return false;
  }
  name_ = name;
  return true;
}

void VoSharedMemory::Close() {
  if (address_) UnmapViewOfFile(address_);
  if (mapping_) CloseHandle(mapping_);
  address_ = nullptr;
  mapping_ = nullptr;
  existed_ = false;
  name_.Clear();
}

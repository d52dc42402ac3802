#pragma once
// Named shared memory in the paging file, readable and writable by every
// process that opens the same name.

#include <windows.h>

#include <cstddef>

#include "foundation/vo_string.h"

class VoSharedMemory {
 public:
  VoSharedMemory() = default;
  ~VoSharedMemory() { Close(); }
  VoSharedMemory(const VoSharedMemory&) = delete;
  VoSharedMemory& operator=(const VoSharedMemory&) = delete;

  // Creates the mapping or opens the existing one of that name; an empty name
  // fails. On failure nothing is held.
  bool Open(const VoString& name, size_t size);
  void Close();
  void* GetAddress() const { return address_; }
  const VoString& GetName() const { return name_; }
  // True when Open found a mapping that another opener had created.
  bool Existed() const { return existed_; }

 private:
  VoString name_;
  HANDLE mapping_ = nullptr;
  void* address_ = nullptr;
  bool existed_ = false;
};

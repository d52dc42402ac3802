#pragma once
// A named mutex held for the holder's lifetime. Only its creation error is
// looked at: another holder shows as ERROR_ALREADY_EXISTS (or as
// ERROR_ACCESS_DENIED when its mutex cannot be opened with our rights).

#include <windows.h>

class NamedMutex {
 public:
  NamedMutex() = default;
  ~NamedMutex() { Close(); }
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // Closes a handle held before; no initial ownership.
  void Create(const wchar_t* name);
  void Close();

  DWORD CreationError() const { return creation_error_; }
  HANDLE Handle() const { return handle_; }

 private:
  DWORD creation_error_ = 0;
  HANDLE handle_ = nullptr;
};

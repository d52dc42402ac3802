#include "foundation/win/named_mutex.h"

void NamedMutex::Create(const wchar_t* name) {
  Close();
  handle_ = CreateMutexW(nullptr, FALSE, name);
  creation_error_ = GetLastError();
}

void NamedMutex::Close() {
  if (handle_) CloseHandle(handle_);
  handle_ = nullptr;
}

#include "foundation/win/file_finder.h"

#include <cwchar>

bool VoFileFinder::Open(const VoString& folder_or_pattern) {
  Close();
  VoString pattern = folder_or_pattern;
  if (pattern.EndsWith(L'\\')) pattern += L"*.*";
  const size_t slash = pattern.FindLast(L'\\');
  folder_ = slash == VoString::npos ? VoString() : pattern.Left(slash + 1);
  handle_ = FindFirstFileW(pattern.c_str(), &data_);
  first_pending_ = handle_ != INVALID_HANDLE_VALUE;
  return first_pending_;
}

bool VoFileFinder::Next() {
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  for (;;) {
    if (first_pending_) {
      first_pending_ = false;
    } else if (!FindNextFileW(handle_, &data_)) {
      Close();
      return false;
    }
    if (std::wcscmp(data_.cFileName, L".") == 0 || std::wcscmp(data_.cFileName, L"..") == 0) continue;
    path_ = folder_ + data_.cFileName;
    if (IsFolder()) path_ += L'\\';
    return true;
  }
}

void VoFileFinder::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  first_pending_ = false;
}

#pragma once
// Walks the entries of a folder or a wildcard pattern, without "." and "..".
//
//   VoFileFinder finder;
//   if (finder.Open(L"C:\\Dir\\")) while (finder.Next()) Use(finder.Path());

#include <windows.h>

#include <cstdint>

#include "foundation/vo_string.h"

class VoFileFinder {
 public:
  VoFileFinder() = default;
  ~VoFileFinder() { Close(); }
  VoFileFinder(const VoFileFinder&) = delete;
  VoFileFinder& operator=(const VoFileFinder&) = delete;

  // A folder path (ending in a backslash) lists the whole folder; anything
  // else is taken as a pattern. False when nothing matches or the folder
  // cannot be read.
  bool Open(const VoString& folder_or_pattern);
  // Moves to the next entry; false at the end.
  bool Next();
  void Close();

  // The current entry: folder part of the pattern plus the name, folders
  // with a trailing backslash.
  const VoString& Path() const { return path_; }
  const wchar_t* Name() const { return data_.cFileName; }
  bool IsFolder() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  DWORD Attributes() const { return data_.dwFileAttributes; }
  int64_t Size() const { return (static_cast<int64_t>(data_.nFileSizeHigh) << 32) | data_.nFileSizeLow; }
  const WIN32_FIND_DATAW& Data() const { return data_; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  bool first_pending_ = false;  // Open found an entry that Next has not yet given out
  WIN32_FIND_DATAW data_{};
  VoString folder_;
  VoString path_;
};

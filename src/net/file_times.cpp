#include "net/file_times.h"

#include <windows.h>
#include <winhttp.h>

namespace vo {
namespace {

// 100 ns ticks between 1601 and 1970.
constexpr int64_t kEpochTicks = 116444736000000000LL;
constexpr int64_t kTicksPerSecond = 10000000;

int64_t SecondsFromFileTime(const FILETIME& time) {
  const int64_t ticks = (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (ticks - kEpochTicks) / kTicksPerSecond;
}

FILETIME FileTimeFromSeconds(int64_t seconds) {
  const uint64_t ticks = static_cast<uint64_t>(seconds * kTicksPerSecond + kEpochTicks);
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return time;
}

}  // namespace

bool ParseHttpTime(const VoString& text, int64_t& seconds) {
  SYSTEMTIME system{};
  FILETIME file;
  if (text.IsEmpty() || !WinHttpTimeToSystemTime(text.c_str(), &system) || !SystemTimeToFileTime(&system, &file)) {
    return false;
  }
  seconds = SecondsFromFileTime(file);
  return true;
}

bool FileModifiedTime(const VoString& path, int64_t& seconds) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  seconds = SecondsFromFileTime(data.ftLastWriteTime);
  return true;
}

bool SetFileModifiedTime(const VoString& path, int64_t seconds) {
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const FILETIME time = FileTimeFromSeconds(seconds);
  const bool set = SetFileTime(file, nullptr, nullptr, &time) != FALSE;
  CloseHandle(file);
  return set;
}

}  // namespace vo

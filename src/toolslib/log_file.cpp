#include "toolslib/log_file.h"

#include <string>

#include "foundation/string_format.h"

namespace {

VoString NewLogFilePath() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) return VoString();
  SYSTEMTIME now;
  GetLocalTime(&now);
  return VoFormat(L"%sHalvoraInstall_%04d%02d%02d_%02d%02d%02d_%u.log", temp, now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, GetCurrentProcessId());
}

VoString FormatLine(int category, const wchar_t* title, const wchar_t* text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return VoFormat(L"%04d-%02d-%02d %02d:%02d:%02d.%03d [%d] %s: %s\r\n", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds, category, title ? title : L"", text ? text : L"");
}

}  // namespace

bool VoLogFile::OpenLocked() {
  if (file_ != INVALID_HANDLE_VALUE) return true;
  if (path_.IsEmpty()) path_ = NewLogFilePath();
  if (path_.IsEmpty()) return false;
  // Readable while we write, so a support person can look at a running install.
  file_ = CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file_, &size) && size.QuadPart == 0) {
    DWORD written = 0;
    WriteFile(file_, "\xEF\xBB\xBF", 3, &written, nullptr);
  }
  return true;
}

void VoLogFile::Write(int category, const wchar_t* title, const wchar_t* text) {
  const VoString line = FormatLine(category, title, text);
  OutputDebugStringW(line.c_str());
  const std::string bytes = line.ToUtf8();
  std::lock_guard lock(mutex_);
  if (!OpenLocked()) return;
  DWORD written = 0;
  WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void VoLogFile::DebugOutput(const wchar_t* text) { OutputDebugStringW(text ? text : L""); }

bool VoLogFile::GetLogFilePath(VoString& path) {
  std::lock_guard lock(mutex_);
  path = path_;
  return !path_.IsEmpty();
}

void VoLogFile::Close() {
  std::lock_guard lock(mutex_);
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
}

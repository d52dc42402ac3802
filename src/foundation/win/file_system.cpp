#include "foundation/win/file_system.h"

#include <windows.h>

#include <atomic>

#include "foundation/path_rules.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/file_finder.h"
#include "foundation/win/process_info_record.h"
#include "tools/vo_tools.h"

namespace vo {
namespace {

bool EntryExists(const VoString& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDriveLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// Length of the part of `path` that cannot be created: "C:\", "\\server\share\",
// with a leading "\\?\" or "\\?\UNC\".
size_t RootLength(const VoString& path) {
  size_t start = 0;
  bool unc = false;
  if (path.StartsWithNoCase(L"\\\\?\\UNC\\")) {
    start = 8;
    unc = true;
  } else if (path.StartsWithNoCase(L"\\\\?\\")) {
    start = 4;
  } else if (path.View().substr(0, 2) == L"\\\\") {
    start = 2;
    unc = true;
  }
  if (unc) {
    const size_t server_end = path.Find(L'\\', start);
    if (server_end == VoString::npos) return path.Length();
    const size_t share_end = path.Find(L'\\', server_end + 1);
    return share_end == VoString::npos ? path.Length() : share_end + 1;
  }
  if (path.Length() >= start + 2 && IsDriveLetter(path[start]) && path[start + 1] == L':') {
    return path.At(start + 2) == L'\\' ? start + 3 : start + 2;
  }
  return start;
}

// The file loader sits above this layer and plugs its HEAD request in here.
std::atomic<RemoteFileSizeQuery> g_remote_size{nullptr};

bool IsThumbnailCache(const wchar_t* name) { return EqualsNoCase(name, L"Thumbs.db"); }

// Whether an (empty) root folder listed nothing at all, as opposed to failing.
bool ListedNothing(const VoString& folder) {
  return GetLastError() == ERROR_FILE_NOT_FOUND && FolderExists(folder);
}

}  // namespace

bool FileExists(const VoString& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const VoString& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int64_t RemoteFileSize(const VoString& url) {
  const RemoteFileSizeQuery query = g_remote_size.load();
  return query ? query(url) : -1;
}

RemoteFileSizeQuery SetRemoteFileSizeQuery(RemoteFileSizeQuery query) { return g_remote_size.exchange(query); }

int64_t FileSize(const VoString& path_or_url) {
  if (IsUrl(path_or_url.View())) return RemoteFileSize(path_or_url);
  // The attribute query reads the same size as a directory listing but
  // takes no wildcards, so "*" in a name cannot answer for another file.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path_or_url.IsEmpty() || !GetFileAttributesExW(path_or_url.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool ForceDeleteFile(const VoString& path) {
  if (path.IsEmpty()) return false;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(path.c_str()) != FALSE;
}

bool CreateFolderTree(const VoString& path, bool verify_writable) {
  if (path.IsEmpty()) return false;
  const VoString folder = WithTrailingBackslash(path.View());
  for (size_t at = folder.Find(L'\\', RootLength(folder)); at != VoString::npos; at = folder.Find(L'\\', at + 1)) {
    const VoString part = folder.Left(at);
    if (part.IsEmpty() || FolderExists(part)) continue;
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  if (!FolderExists(folder)) return false;
  return !verify_writable || IsFolderWritable(folder);
}

bool IsFolderWritable(const VoString& folder) {
  HANDLE handle = CreateFileW(folder.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    return true;
  }
  // Opening a folder for writing can be refused where creating files in it
  // is allowed: try that for real.
  const VoString probe =
      VoFormat(L"%sDirectory Write Test (%d).tmp", WithTrailingBackslash(folder.View()), GetCurrentThreadId());
  handle = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(handle);
  DeleteFileW(probe.c_str());
  return true;
}

bool IsFolderEmpty(const VoString& folder, bool answer_if_unreadable, bool recurse, bool stop_at_subfolder) {
  const VoString listed = WithTrailingBackslash(folder.View());
  VoFileFinder finder;
  if (!finder.Open(listed)) return ListedNothing(listed) ? true : answer_if_unreadable;
  while (finder.Next()) {
    if (finder.IsFolder()) {
      if (recurse) {
        if (!IsFolderEmpty(finder.Path(), false, true, stop_at_subfolder)) return false;
      } else if (stop_at_subfolder) {
        return false;
      }
    } else if (!IsThumbnailCache(finder.Name())) {
      return false;
    }
  }
  return true;
}

VoString ExpandInstallDrive(const VoString& path) {
  return ExpandInstallDrive(path.View(), GetProcessPath(ProcessPath::kProgramFolder).View());
}

VoString MakeUniqueName(const VoString& path) {
  VoString name = path;
  while (EntryExists(name)) name = NextUniqueName(name.View());
  return name;
}

}  // namespace vo

bool VoFileSystem::SafeReplaceFile(const VoString& target, const VoString& new_file) {
  static constexpr wchar_t kTitle[] = L"VoFileSystem::SafeReplaceFile";
  if (vo::FileSize(new_file) >= 0) {
    if (!vo::FileExists(target)) {
      if (MoveFileW(new_file.c_str(), target.c_str())) return true;
    } else {
      const VoString backup = vo::MakeUniqueName(target);
      if (!MoveFileW(target.c_str(), backup.c_str())) {
        vo::Log(kTitle, L"Error renaming original file");
      } else if (MoveFileW(new_file.c_str(), target.c_str())) {
        vo::ForceDeleteFile(backup);
        return true;
      } else {
        MoveFileW(backup.c_str(), target.c_str());
        vo::Log(kTitle, L"Error moving new file into place of original name");
      }
    }
  }
  vo::ForceDeleteFile(new_file);
  return false;
}

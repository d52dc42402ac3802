#include "toolslib/archive_service.h"

#include <windows.h>

#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "toolslib/zip_source.h"
#include "toolslib/zip_unpack.h"

namespace {

VoString SystemFailure(const wchar_t* what, const VoString& path) {
  return VoFormat(L"%s '%s' failed (error %d).", what, path, static_cast<int>(GetLastError()));
}

// Creates `folder` and its missing parents; an existing folder is fine.
bool CreateFolderPath(const VoString& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  VoString path = folder;
  while (path.EndsWith(L'\\')) path.Truncate(path.Length() - 1);
  const size_t slash = path.FindLast(L'\\');
  if (slash != VoString::npos && slash > 0 && path[slash - 1] != L':' && path[slash - 1] != L'\\' &&
      !CreateFolderPath(path.Left(slash + 1))) {
    return false;
  }
  return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Writes the unpacked entries below one folder on disk.
class DiskTarget final : public ZipUnpackTarget {
 public:
  explicit DiskTarget(VoString folder) : folder_(std::move(folder)) {}
  ~DiskTarget() override {
    VoString ignored;
    EndFile(false, ignored);
  }

  bool CreateFolder(const VoString& relative, VoString& failure) override {
    const VoString path = folder_ + relative.View();
    if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
      const DWORD attributes = GetFileAttributesW(path.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
      SetLastError(ERROR_ALREADY_EXISTS);
    }
    failure = SystemFailure(L"Creating the folder", path);
    return false;
  }

  bool BeginFile(const VoString& relative, VoString& failure) override {
    path_ = folder_ + relative.View();
    // A read-only file left by an earlier unpacking is replaced as well.
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    file_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
      failure = SystemFailure(L"Creating the file", path_);
      return false;
    }
    return true;
  }

  bool Write(const char* data, size_t size, VoString& failure) override {
    DWORD written = 0;
    if (!WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) || written != size) {
      failure = SystemFailure(L"Writing the file", path_);
      return false;
    }
    return true;
  }

  bool EndFile(bool complete, VoString& failure) override {
    if (file_ == INVALID_HANDLE_VALUE) return true;
    const bool closed = CloseHandle(file_) != 0;
    file_ = INVALID_HANDLE_VALUE;
    if (complete && closed) return true;
    if (complete) failure = SystemFailure(L"Closing the file", path_);
    DeleteFileW(path_.c_str());
    return false;
  }

 private:
  VoString folder_;
  VoString path_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace

bool VoArchiveService::Unpack(const wchar_t* archive, const wchar_t* folder, bool keep_structure, VoString& failure) {
  failure.Clear();
  const VoString archive_path(archive ? archive : L"");
  const VoString target = vo::WithTrailingBackslash(folder ? folder : L"");
  if (archive_path.IsEmpty() || target.IsEmpty()) {
    failure = L"No archive or no target folder was given.";
    return false;
  }
  ZipFileSource source;
  if (!source.Open(archive_path)) {
    failure = SystemFailure(L"Opening the archive", archive_path);
    return false;
  }
  // The folder is made only once the archive is known to be readable, so
  // a refused archive leaves nothing behind.
  std::vector<ZipEntry> entries;
  std::vector<ZipUnpackStep> steps;
  if (!ReadZipDirectory(source, entries, failure) || !PlanZipUnpack(entries, keep_structure, steps, failure)) {
    return false;
  }
  if (!CreateFolderPath(target)) {
    failure = SystemFailure(L"Creating the folder", target);
    return false;
  }
  DiskTarget disk(target);
  return WriteZipSteps(source, steps, disk, failure);
}

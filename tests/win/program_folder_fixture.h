#pragma once
// Test helpers: a temporary folder of the test's own, removed with
// everything in it at the end, and temporary paths (such as the program
// folder) in the process information record.

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "foundation/vo_string.h"
#include "foundation/win/process_info_record.h"

class TempTestFolder {
 public:
  explicit TempTestFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = VoString(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    std::error_code ignored;
    std::filesystem::remove_all(path_.c_str(), ignored);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempTestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_.c_str(), ignored);
  }
  TempTestFolder(const TempTestFolder&) = delete;
  TempTestFolder& operator=(const TempTestFolder&) = delete;

  // With a trailing backslash.
  const VoString& Path() const { return path_; }

  // Creates the file (and its folders) below the folder.
  VoString AddFile(const VoString& relative, const char* content = "") const {
    const VoString full = path_ + relative.View();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(full.Std()).parent_path(), ignored);
    HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, content, static_cast<DWORD>(std::strlen(content)), &written, nullptr);
    CloseHandle(file);
    return full;
  }

 private:
  VoString path_;
};

// Points one path of the record somewhere else for one test.
class ProcessPathOverride {
 public:
  ProcessPathOverride(ProcessPath which, const VoString& path) : which_(which), previous_(vo::GetProcessPath(which)) {
    vo::SetProcessPath(which, path);
  }
  ~ProcessPathOverride() { vo::SetProcessPath(which_, previous_); }
  ProcessPathOverride(const ProcessPathOverride&) = delete;
  ProcessPathOverride& operator=(const ProcessPathOverride&) = delete;

 private:
  ProcessPath which_;
  VoString previous_;
};

// Points the record's program folder somewhere else for one test.
class ProgramFolderOverride : public ProcessPathOverride {
 public:
  explicit ProgramFolderOverride(const VoString& folder) : ProcessPathOverride(ProcessPath::kProgramFolder, folder) {}
};

#include "engine/file_copy.h"

#include <windows.h>

#include <cstdint>

#include "app/session.h"
#include "engine/copy_rules.h"
#include "engine/tools_library_copy.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/com_server_registration.h"
#include "foundation/win/file_finder.h"
#include "foundation/win/file_system.h"
#include "foundation/win/move_copy_directory.h"
#include "foundation/win/run_program.h"
#include "foundation/win/version_info.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

struct ListedFile {
  VoString path;
  VoString relative;  // below the listed folder
  uint64_t size;
};

// Every file below `folder` in the finder's order, going into each
// sub-folder where the finder meets it; `total` sums their sizes.
void ListFiles(const VoString& folder, const VoString& relative, VoArray<ListedFile>& files, uint64_t& total) {
  VoFileFinder finder;
  if (!finder.Open(folder)) return;
  while (finder.Next()) {
    if (finder.IsFolder()) {
      ListFiles(finder.Path(), relative + finder.Name() + L'\\', files, total);
      continue;
    }
    const uint64_t size = static_cast<uint64_t>(finder.Size());
    files.Add({finder.Path(), relative + finder.Name(), size});
    total += size;
  }
}

// The file's fixed version as one number; 0 without a version block.
uint64_t VersionOf(CVersionInfo& info, const VoString& path) {
  uint64_t version = 0;
  if (FAILED(info.Load(path)) || FAILED(info.GetFileVersionNumber(version))) return 0;
  return version;
}

// Whether a version-checked file should be copied over what is there.
bool IsNewerThanInstalled(const VoString& source, const VoString& destination) {
  // A file that is not there yet is always wanted, whatever its version.
  if (!FileExists(destination)) return true;
  CVersionInfo info;
  if (!info.CanRead()) return true;
  const uint64_t source_version = VersionOf(info, source);
  const uint64_t installed_version = VersionOf(info, destination);
  return source_version > installed_version;
}

// A staged name that no earlier staged file holds: a pending move may still
// refer to that one.
VoString StagedPathFor(const VoString& staging, const VoString& source) {
  return MakeUniqueName(staging + FileNameOf(source).View());
}

}  // namespace

VoString StagingFolder() {
  const VoString install = WithTrailingBackslash(Session().InstallDirectory.View());
  return install.IsEmpty() ? VoString() : install + L"Setup\\";
}

void CopyFolder(CopyMode mode, IInstallPage& page, const VoString& source_folder, const VoString& destination_folder,
                VoStringArray* registrations, const CopyEnvironment& environment) {
  const VoString source = WithTrailingBackslash(source_folder.View());
  const VoString destination = WithTrailingBackslash(destination_folder.View());
  VoArray<ListedFile> files;
  uint64_t total = 0;
  ListFiles(source, VoString(), files, total);

  page.SetProgressRange(100);
  page.SetProgressPosition(0);
  uint64_t done = 0;
  for (size_t i = 0; i < files.GetCount(); ++i) {
    CopyInstallFile(files[i].path, destination + files[i].relative.View(), registrations, mode, environment);
    done += files[i].size;
    page.SetProgressPosition(CopyProgress(done, total, i + 1, files.GetCount()));
    page.PumpMessages();
  }
}

bool CopyInstallFile(const VoString& source, const VoString& destination, VoStringArray* registrations,
                     CopyMode mode, const CopyEnvironment& environment) {
  CreateFolderTree(FolderOf(destination), false);

  if (IsServerProgram(destination.View()) && FileExists(destination)) {
    // The running server holds its program open; it stops itself on request.
    RunProgram(destination, VoStringArray{VoString(L"stop")}, false, true, true);
  }

  const VoString install_folder = WithTrailingBackslash(Session().InstallDirectory.View());
  const bool sixty_four_bit = IsSixtyFourBitFile(destination.View(), install_folder.View());
  if (sixty_four_bit && !environment.is_windows_64bit()) {
    Log(L"CopyInstallFile", VoFormat(L"Skipped on 32-bit Windows: %s", destination));
    return false;
  }

  // Copied with the retry question before anything else.
  if (MentionsToolsLibraryFile(source)) return true;

  const bool copy = mode != CopyMode::kCheckVersion || !HasVersionedExtension(source.View()) ||
                    IsNewerThanInstalled(source, destination);
  bool replaced_at_restart = false;
  if (copy) {
    SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!destination.IsEmpty()) ForceDeleteFile(destination);  // a file in use stays; the copy decides
    if (CopyFileW(source.c_str(), destination.c_str(), FALSE)) {
      SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((static_cast<int>(mode) & 2) != 0 && AddFontResourceW(destination.c_str()) == 0) {
        Log(L"CopyInstallFile", VoFormat(L"Adding the font %s failed", destination));
      }
    } else {
      Log(L"CopyInstallFile", VoFormat(L"Copying %s failed (error %d)", destination, GetLastError()));
      if (ReplaceAtRestart(source, destination)) {
        replaced_at_restart = true;
        if (IsShellExtension(source.View())) {
          // Registering the old copy now would outlive the replacement.
          Session().ShellExtensionRegistrable = false;
        } else if (!IsInFontsFolder(destination.View())) {
          Session().RestartRequired = true;
        }
      } else {
        StageForFinalize(source, destination);
      }
    }
  }

  if (NeedsSelfRegistration(source.View()) && !IsShellExtension(source.View())) {
    if (replaced_at_restart) {
      Session().PendingRegistrations.Add(VoFormat(L"%s|%s", destination, L"_REGISTERFILE"));
    } else if (sixty_four_bit) {
      RunRegSvr32(destination, false, true);
    } else if (registrations) {
      registrations->Add(destination);
    } else {
      RegisterInProcess(destination);
    }
  }
  return true;
}

bool ReplaceAtRestart(const VoString& source, const VoString& destination) {
  using MoveFileExFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
  auto move_file_ex = reinterpret_cast<MoveFileExFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "MoveFileExW")));
  if (!move_file_ex) return false;
  const VoString staging = StagingFolder();
  if (staging.IsEmpty()) return false;
  CreateFolderTree(staging, false);
  const VoString staged = StagedPathFor(staging, source);
  if (!CopyFileW(source.c_str(), staged.c_str(), FALSE)) return false;
  if (move_file_ex(staged.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
    Log(L"ReplaceAtRestart", VoFormat(L"%s replaces %s at the next restart", staged, destination));
    return true;
  }
  Log(L"ReplaceAtRestart", VoFormat(L"Scheduling %s failed (error %d)", destination, GetLastError()));
  return false;
}

bool StageForFinalize(const VoString& source, const VoString& destination) {
  const VoString staging = StagingFolder();
  if (staging.IsEmpty()) {
    Log(L"StageForFinalize", VoFormat(L"No install folder to stage %s in", source));
    return false;
  }
  CreateFolderTree(staging, false);
  const VoString staged = StagedPathFor(staging, source);
  bool recorded = false;
  if (CopyFileW(source.c_str(), staged.c_str(), FALSE)) {
    Session().PendingFileOperations.Add(VoFormat(L"%s|%s", staged, destination));
    recorded = true;
  } else {
    Log(L"StageForFinalize", VoFormat(L"Staging %s failed (error %d)", source, GetLastError()));
  }
  if (destination.IsEmpty()) {
    // A package: what lies beside it goes along; the source stays as it is.
    VoMoveCopyDirectory folder;
    if (folder.AddFolder(FolderOf(source), staging, true)) folder.Execute(false);
  }
  return recorded;
}

}  // namespace vo

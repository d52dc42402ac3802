#include "engine/copy_environment.h"

#include <windows.h>

#include "app/installer_folder.h"
#include "foundation/path_text.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/system_info.h"

namespace vo {

namespace {

VoString Wow64SystemFolder() {
  wchar_t path[MAX_PATH] = {};
  const UINT n = GetSystemWow64DirectoryW(path, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? VoString() : WithTrailingBackslash(path);
}

VoString NativeSystemFolder() {
#if !defined(_WIN64)
  // A 32-bit installer on 64-bit Windows sees the 32-bit folder under the
  // system folder's name; "Sysnative" is the way to the native one.
  if (IsWindows64Bit()) {
    wchar_t windows[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? VoString() : WithTrailingBackslash(windows) + L"Sysnative\\";
  }
#endif
  return GetSystemFolder();
}

}  // namespace

CopyEnvironment CopyEnvironment::System() {
  CopyEnvironment environment;
  environment.source_folder = [] { return InstallerFolder(); };
  // Both folders are named outright instead of switching the file-system
  // redirection on and off around the passes.
  environment.system_folder = [](int pass) { return pass == 0 ? NativeSystemFolder() : Wow64SystemFolder(); };
  environment.fonts_folder = [] { return GetFontsFolder(); };
  environment.is_windows_64bit = [] { return IsWindows64Bit(); };
  return environment;
}

}  // namespace vo

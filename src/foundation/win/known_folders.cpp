#include "foundation/win/known_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "foundation/path_text.h"
#include "foundation/win/process_info_record.h"

namespace vo {

namespace {

VoString ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return WithTrailingBackslash(path);
}

}  // namespace

VoString GetProgramFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(GetModuleHandleW(nullptr), path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return VoString(std::move(path));
    }
    path.resize(path.size() * 2);
  }
}

VoString GetExecutableFolder() {
  const VoString file = GetProgramFile();
  const size_t slash = file.FindLast(L'\\');
  return slash == VoString::npos ? VoString() : WithTrailingBackslash(file.Left(slash + 1).View());
}

VoString GetProgramFolder() { return WithTrailingBackslash(GetProcessPath(ProcessPath::kProgramFolder).View()); }

VoString GetSharedDataFolder() {
  const VoString program = GetProgramFolder();
  return program.IsEmpty() ? VoString() : program + L"Application Data\\";
}

VoString GetSystemFolder() {
  wchar_t path[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(path, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? VoString() : WithTrailingBackslash(path);
}

VoString GetFontsFolder() { return ShellFolder(CSIDL_FONTS); }

VoString GetProgramFilesFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof(path) - sizeof(wchar_t);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir",
                   RRF_RT_REG_SZ, nullptr, path, &size) == ERROR_SUCCESS &&
      path[0]) {
    return WithTrailingBackslash(path);
  }
  return VoString(L"C:\\Program Files\\");
}

VoString GetMusicFolder() { return ShellFolder(CSIDL_MYMUSIC); }

VoString GetSkinFolder() {
  const VoString program = GetProgramFolder();
  return program.IsEmpty() ? VoString() : program + L"Skins\\";
}

VoString GetSkinViewFolder(SkinView view) {
  const VoString skins = GetSkinFolder();
  if (skins.IsEmpty()) return {};
  switch (view) {
    case SkinView::kMiniView: return skins + L"Mini View\\";
    case SkinView::kStandardView: return skins + L"Standard View\\";
    case SkinView::kPanorel: return skins + L"Panorel\\";
  }
  return {};
}

}  // namespace vo

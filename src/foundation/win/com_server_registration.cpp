#include "foundation/win/com_server_registration.h"

#include <windows.h>

#include "foundation/com_server_text.h"
#include "foundation/path_text.h"
#include "foundation/win/file_finder.h"
#include "foundation/win/run_program.h"

namespace vo {

bool RunRegSvr32(const VoString& path, bool unregister, bool disable_redirection, int* exit_code) {
  wchar_t windows[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  const VoString program = WithTrailingBackslash(windows) + L"system32\\RegSvr32.exe";

  using DisableFn = BOOL(WINAPI*)(PVOID*);
  using RevertFn = BOOL(WINAPI*)(PVOID);
  DisableFn disable = nullptr;
  RevertFn revert = nullptr;
  PVOID redirection = nullptr;
  bool disabled = false;
  if (disable_redirection) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    disable = reinterpret_cast<DisableFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
    revert = reinterpret_cast<RevertFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    disabled = disable && revert && disable(&redirection);
  }
  int code = -1;
  const bool ran = RunProgram(program, VoStringArray{RegSvr32Parameters(path.View(), unregister)}, false, true,
                              true, &code);
  if (disabled) revert(redirection);
  if (exit_code) *exit_code = code;
  return ran;
}

namespace {

// Calls the server's `entry` with the server's folder as the current folder,
// where servers look for their own companions.
bool CallServerEntry(const VoString& path, const char* entry) {
  const size_t slash = path.FindLast(L'\\');
  if (slash == VoString::npos) return false;
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring previous(size, L'\0');
  previous.resize(GetCurrentDirectoryW(size, previous.data()));
  if (!SetCurrentDirectoryW(path.Left(slash + 1).c_str())) return false;
  bool done = false;
  if (HMODULE server = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
    using EntryFn = HRESULT(STDAPICALLTYPE*)();
    auto call = reinterpret_cast<EntryFn>(reinterpret_cast<void*>(GetProcAddress(server, entry)));
    done = call && SUCCEEDED(call());
    FreeLibrary(server);
  }
  SetCurrentDirectoryW(previous.c_str());
  return done;
}

bool IsServerFileName(const VoString& name) {
  const size_t dot = name.FindLast(L'.');
  if (dot == VoString::npos) return false;
  const VoString extension = name.Mid(dot);
  return extension.EqualsNoCase(L".dll") || extension.EqualsNoCase(L".ocx") || extension.EqualsNoCase(L".ax");
}

}  // namespace

bool RegisterInProcess(const VoString& path) { return CallServerEntry(path, "DllRegisterServer"); }

bool UnregisterInProcess(const VoString& path) { return CallServerEntry(path, "DllUnregisterServer"); }

bool RegisterServersAt(const VoString& path, bool unregister, VoStringArray* done, VoStringArray* failed) {
  VoStringArray servers;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (failed) failed->Add(path);
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    const VoString folder = WithTrailingBackslash(path.View());
    VoFileFinder finder;
    if (finder.Open(folder)) {
      while (finder.Next()) {
        if (!finder.IsFolder() && IsServerFileName(finder.Name())) servers.Add(finder.Path());
      }
    }
  } else {
    servers.Add(path);
  }
  bool all = true;
  for (const VoString& server : servers) {
    const bool ok = unregister ? UnregisterInProcess(server) : RegisterInProcess(server);
    if (ok && done) done->Add(server);
    if (!ok && failed) failed->Add(server);
    all = all && ok;
  }
  return all;
}

}  // namespace vo

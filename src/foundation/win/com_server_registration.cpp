#include "foundation/win/com_server_registration.h"

#include <windows.h>

#include "foundation/com_server_text.h"
#include "foundation/path_text.h"
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

bool RegisterInProcess(const VoString& path) {
  const size_t slash = path.FindLast(L'\\');
  if (slash == VoString::npos) return false;
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring previous(size, L'\0');
  previous.resize(GetCurrentDirectoryW(size, previous.data()));
  if (!SetCurrentDirectoryW(path.Left(slash + 1).c_str())) return false;

  bool registered = false;
  if (HMODULE server = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
    using RegisterFn = HRESULT(STDAPICALLTYPE*)();
    auto do_register =
        reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(server, "DllRegisterServer")));
    registered = do_register && SUCCEEDED(do_register());
    FreeLibrary(server);
  }
  SetCurrentDirectoryW(previous.c_str());
  return registered;
}

}  // namespace vo

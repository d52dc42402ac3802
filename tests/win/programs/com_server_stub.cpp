// Test COM server: registering records the current folder under the test's
// key, unregistering removes it. Built a second time to fail registration.
#include <windows.h>

namespace {

constexpr wchar_t kKey[] = L"Software\\VoTests\\ComServerStub";

}  // namespace

extern "C" HRESULT __stdcall DllRegisterServer() {
#ifdef VO_STUB_FAILS
  return E_FAIL;
#else
  wchar_t folder[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
  const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Folder", REG_SZ, folder,
                                         static_cast<DWORD>((n + 1) * sizeof(wchar_t)));
  return status == ERROR_SUCCESS ? S_OK : E_FAIL;
#endif
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  const LSTATUS status = RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : E_FAIL;
}

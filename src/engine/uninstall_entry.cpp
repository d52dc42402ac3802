#include "engine/uninstall_entry.h"

#include <windows.h>

#include "app/session.h"
#include "foundation/win/resource_lookup.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr const wchar_t* kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr int kArtLookup = 3;  // custom art first, then the default art

void SetText(HKEY key, const wchar_t* name, const VoString& value) {
  const DWORD bytes = static_cast<DWORD>((value.Length() + 1) * sizeof(wchar_t));
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

}  // namespace

void WriteUninstallEntry() {
  const InstallSession& session = Session();
  // Without a key name the values would land on the list of installed
  // programs itself.
  if (session.EarlierUninstallKey.IsEmpty()) return;
  const VoString path = VoString(kUninstallKey) + session.EarlierUninstallKey.View();
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  VoString web_address, version;
  if (IVoProduct* product = Product()) {
    product->GetWebAddress(web_address);
    product->GetVersionText(version);
  }
  const VoString& folder = session.InstallDirectory;
  // The order is the one the entry has always been written in.
  SetText(key, L"DisplayName", ProductName(1));
  SetText(key, L"HelpLink", web_address);
  SetText(key, L"URLUpdateInfo", web_address);
  SetText(key, L"URLInfoAbout", web_address);
  SetText(key, L"InstallLocation", folder);
  SetText(key, L"Publisher", VoString(L"Vortala, Inc."));
  SetText(key, L"DisplayVersion", version);
  SetText(key, L"DisplayIcon", FindResourceFile(kArtLookup, L"application.ico"));
  SetText(key, L"UninstallString", folder + L"VoMediaUninstall.exe");
  RegCloseKey(key);
}

}  // namespace vo

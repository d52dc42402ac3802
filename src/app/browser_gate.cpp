#include "app/browser_gate.h"

#include <windows.h>

#include <objbase.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "app/version_number.h"
#include "foundation/number_text.h"
#include "tools/vo_tools.h"

namespace {

// {8856F961-340A-11D0-A96B-00C04FD705A2}, the web browser control.
constexpr CLSID kWebBrowserControl = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

constexpr wchar_t kUnknownVersion[] = L"1.0.0.0";

}  // namespace

CBrowserGateFacts::CBrowserGateFacts()
    : browser_control_available_(CanCreateBrowserControl()), installed_version_text_(ReadInstalledVersionText()) {}

uint64_t CBrowserGateFacts::InstalledVersion() const { return vo::ParseVersionNumber(installed_version_text_.View()); }

bool CBrowserGateFacts::Passes() const {
  return vo::BrowserGatePasses(browser_control_available_, installed_version_text_.View(),
                           vo::ConfigString(L"/*/SpecialFeatures/MinIEVersion").View());
}

bool CBrowserGateFacts::CanCreateBrowserControl() {
  IUnknown* control = nullptr;
  const HRESULT hr =
      CoCreateInstance(kWebBrowserControl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&control));
  if (FAILED(hr) || !control) return false;
  control->Release();
  return true;
}

VoString CBrowserGateFacts::ReadInstalledVersionText() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Internet Explorer", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return VoString(kUnknownVersion);
  }
  DWORD type = 0;
  DWORD size = 0;
  VoString text(kUnknownVersion);
  if (RegQueryValueExW(key, L"Version", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    // Room for a terminator the stored text may lack.
    std::vector<BYTE> data(size + sizeof(wchar_t), 0);
    DWORD read = size;
    if (RegQueryValueExW(key, L"Version", nullptr, &type, data.data(), &read) == ERROR_SUCCESS) {
      if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring value(read / sizeof(wchar_t), L'\0');
        std::memcpy(value.data(), data.data(), value.size() * sizeof(wchar_t));
        value.resize(std::wcslen(value.c_str()));
        text = VoString(std::move(value));
      } else if (type == REG_DWORD && read == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof(number));
        text = vo::FormatInt(static_cast<int32_t>(number));
      }
    }
  }
  RegCloseKey(key);
  return text;
}

#include "os_version.h"

#include "string_format.h"

namespace vo {

namespace {

VoOsVersion Named(int code, const wchar_t* name, unsigned major, unsigned minor) {
  return {code, VoString(name), major, minor};
}

}  // namespace

VoOsVersion ClassifyOsVersion(unsigned platform, unsigned major, unsigned minor, std::wstring_view service_pack) {
  if (platform == kPlatformWindows9x && major == 4) {
    if (minor == 0) return Named(kOsWindows95, L"Microsoft Windows 95", major, minor);
    if (minor == 10) {
      const bool second_edition = service_pack.size() > 1 && service_pack[1] == L'A';
      return Named(second_edition ? kOsWindows98SecondEdition : kOsWindows98, L"Microsoft Windows 98", major, minor);
    }
    if (minor == 90) return Named(kOsWindowsMe, L"Microsoft Windows ME", major, minor);
  }
  if (platform == kPlatformWindowsNt) {
    if (major <= 4) return Named(kOsWindowsNt, L"Microsoft Windows NT", major, minor);
    if (major == 5) {
      if (minor == 0) return Named(kOsWindows2000, L"Microsoft Windows 2000", major, minor);
      if (minor == 1) return Named(kOsWindowsXp, L"Microsoft Windows XP", major, minor);
      if (minor == 2) return Named(kOsWindowsServer2003, L"Microsoft Windows Server 2003", major, minor);
    }
    if (major == 6) {
      if (minor == 0) return Named(kOsWindowsVista, L"Microsoft Windows Vista", major, minor);
      if (minor == 1) return Named(kOsWindows7, L"Microsoft Windows 7", major, minor);
      if (minor == 2) return Named(kOsWindows8, L"Microsoft Windows 8", major, minor);
      if (minor == 3) return Named(kOsWindows81, L"Microsoft Windows 8.1", major, minor);
    }
    if (major == 10 && minor == 0) return Named(kOsWindows10, L"Microsoft Windows 10", major, minor);
    if (major > 10 || (major == 10 && minor > 0)) {
      return {kOsWindowsNew, VoFormat(L"Microsoft Windows New (%d.%d)", major, minor), major, minor};
    }
  }
  return Named(kOsUnknown, L"Unknown OS", major, minor);
}

}  // namespace vo

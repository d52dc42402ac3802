#pragma once
// The Windows version as the installer names it: a numeric code and a display
// name, decided from the version numbers the system reports.

#include <string_view>

#include "vo_string.h"

struct VoOsVersion {
  int code = 0;
  VoString name;
  unsigned major = 0;
  unsigned minor = 0;
};

namespace vo {

// The platform ids the system reports.
constexpr unsigned kPlatformWindows9x = 1;
constexpr unsigned kPlatformWindowsNt = 2;

constexpr int kOsUnknown = 0;
constexpr int kOsWindows95 = 1000;
constexpr int kOsWindows98 = 1001;
constexpr int kOsWindows98SecondEdition = 1002;
constexpr int kOsWindowsMe = 1003;
constexpr int kOsWindowsNt = 1004;
constexpr int kOsWindows2000 = 1005;
constexpr int kOsWindowsXp = 1006;
constexpr int kOsWindowsServer2003 = 1007;
constexpr int kOsWindowsVista = 1008;
constexpr int kOsWindows7 = 1009;
constexpr int kOsWindows8 = 1010;
constexpr int kOsWindows81 = 1011;
constexpr int kOsWindows10 = 1012;
constexpr int kOsWindowsNew = 1013;

// `service_pack` is the system's service-pack text; on Windows 98 its second
// character "A" marks the second edition.
VoOsVersion ClassifyOsVersion(unsigned platform, unsigned major, unsigned minor, std::wstring_view service_pack);

}  // namespace vo

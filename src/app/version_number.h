#pragma once
// 64-bit version numbers: four 16-bit parts, the first in the most
// significant bits, so plain unsigned comparison orders versions.

#include <cstdint>
#include <string_view>

namespace vo {

// "a.b.c.d" (a text without "." but with "," takes "," for "."); each of
// the first four parts is read as an integer and keeps its low 16 bits;
// missing parts are 0 and further parts are ignored.
uint64_t ParseVersionNumber(std::wstring_view text);

// The lowest browser version accepted when none is configured.
inline constexpr std::wstring_view kDefaultMinimumBrowserVersion = L"5.0.0.0";

// The browser gate: the control must be available and the installed
// version at least the minimum (an empty minimum means 5.0.0.0).
bool BrowserGatePasses(bool browser_control_available, std::wstring_view installed_version_text,
                       std::wstring_view minimum_text);

}  // namespace vo

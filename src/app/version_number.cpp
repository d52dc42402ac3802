#include "app/version_number.h"

#include "foundation/number_text.h"
#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

uint64_t ParseVersionNumber(std::wstring_view text) {
  VoString normalized(text);
  if (normalized.Find(L'.') == VoString::npos) {
    for (wchar_t& c : normalized.Std()) {
      if (c == L',') c = L'.';
    }
  }
  const VoStringArray parts = VoStringArray::Split(normalized.View(), L".");
  uint64_t version = 0;
  for (size_t i = 0; i < 4; ++i) {
    const int value = i < parts.GetCount() ? vo::ParseInt(parts[i].View()) : 0;
    const uint64_t low16 = static_cast<uint32_t>(value) & 0xFFFFu;
    version |= low16 << (16 * (3 - i));
  }
  return version;
}

bool BrowserGatePasses(bool browser_control_available, std::wstring_view installed_version_text,
                       std::wstring_view minimum_text) {
  if (!browser_control_available) return false;
  const std::wstring_view minimum = minimum_text.empty() ? kDefaultMinimumBrowserVersion : minimum_text;
  return ParseVersionNumber(installed_version_text) >= ParseVersionNumber(minimum);
}

}  // namespace vo

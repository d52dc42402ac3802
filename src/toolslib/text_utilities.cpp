#include "toolslib/text_utilities.h"

#include <string_view>

#include "foundation/text_search.h"
#include "foundation/vo_string.h"

int VoTextUtilities::Find(const wchar_t* text, const wchar_t* what, int from, unsigned flags) {
  if (!text || !what) return -1;
  const std::wstring_view t(text);
  // A start before the text searches from its beginning; one past its end finds nothing.
  const size_t start = from < 0 ? 0 : static_cast<size_t>(from);
  if (start > t.size()) return -1;
  // The built-in search: this library is what the routed one calls.
  const size_t at = (flags & 1) ? vo::FindTextNoCaseBuiltIn(t, what, start) : t.find(what, start);
  return at == std::wstring_view::npos ? -1 : static_cast<int>(at);
}

int VoTextUtilities::Compare(const wchar_t* a, const wchar_t* b, unsigned options) {
  const std::wstring_view sa(a ? a : L""), sb(b ? b : L"");
  if (options & vo::kSortIgnoreCase) return vo::CompareNoCase(sa, sb);
  return VoString(sa).Compare(sb);
}

#include "toolslib/reader_options.h"

#include "foundation/vo_string_array.h"

namespace vo {

ReaderOptions ParseReaderOptions(std::wstring_view text) {
  ReaderOptions options;
  const VoStringArray parts = VoStringArray::Split(text, L"|");
  for (size_t i = 0; i < parts.GetCount(); i += 2) {
    const VoString& key = parts[i];
    const VoString value = i + 1 < parts.GetCount() ? parts[i + 1] : VoString();
    if (key.EqualsNoCase(L"HTTPREQUEST_TYPE")) {
      options.request_type = value;
    } else if (key.EqualsNoCase(L"INFO_HEADERS")) {
      options.header_lines = value;
    } else if (key.EqualsNoCase(L"RANGE_START")) {
      int64_t start = 0;
      options.range_start = ParseByteCount(value.View(), start) ? start : 0;
    } else if (key.EqualsNoCase(L"USE_CACHE")) {
      options.use_cache = value == L"1";
    } else if (key.EqualsNoCase(L"RECEIVE_TIMEOUT")) {
      int64_t ms = 0;
      if (ParseByteCount(value.View(), ms) && ms > 0 && ms <= 600000) options.receive_timeout_ms = static_cast<int>(ms);
    }
  }
  return options;
}

bool ParseByteCount(std::wstring_view text, int64_t& value) {
  while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
  if (text.empty()) return false;
  int64_t result = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    if (result > (INT64_MAX - (c - L'0')) / 10) return false;
    result = result * 10 + (c - L'0');
  }
  value = result;
  return true;
}

}  // namespace vo

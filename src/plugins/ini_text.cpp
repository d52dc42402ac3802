#include "plugins/ini_text.h"

namespace {

VoString WithoutQuotes(VoString value) {
  const size_t n = value.Length();
  if (n >= 2 && (value[0] == L'"' || value[0] == L'\'') && value[n - 1] == value[0]) return value.Mid(1, n - 2);
  return value;
}

}  // namespace

IniText::IniText(std::wstring_view text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) end = text.size();
    const VoString line = VoString(text.substr(start, end - start)).Trimmed();
    start = end + 1;
    if (line.IsEmpty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      const size_t close = line.Find(L']');
      sections_.push_back({line.Mid(1, close == VoString::npos ? VoString::npos : close - 1).Trimmed(), {}});
      continue;
    }
    // Lines before the first section belong to none and are never found.
    if (sections_.empty()) continue;
    const size_t equals = line.Find(L'=');
    if (equals == VoString::npos) {
      sections_.back().values.emplace_back(line, VoString());
    } else {
      sections_.back().values.emplace_back(line.Left(equals).Trimmed(),
                                           WithoutQuotes(line.Mid(equals + 1).Trimmed()));
    }
  }
}

VoString IniText::Get(std::wstring_view section, std::wstring_view key, size_t max_length) const {
  for (const Section& s : sections_) {
    if (!s.name.EqualsNoCase(section)) continue;
    for (const auto& [name, value] : s.values) {
      if (name.EqualsNoCase(key)) return value.Left(max_length);
    }
    return {};
  }
  return {};
}

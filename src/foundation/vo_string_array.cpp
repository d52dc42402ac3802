#include "vo_string_array.h"


size_t VoStringArray::Find(std::wstring_view text, size_t from) const {
  for (size_t i = from; i < GetCount(); ++i) {
    if ((*this)[i].View() == text) return i;
  }
  return npos;
}

size_t VoStringArray::FindNoCase(std::wstring_view text, size_t from) const {
  for (size_t i = from; i < GetCount(); ++i) {
    if ((*this)[i].EqualsNoCase(text)) return i;
  }
  return npos;
}

VoString VoStringArray::Join(std::wstring_view separator) const {
  VoString out;
  size_t length = 0;
  for (const auto& item : *this) length += item.Length() + separator.size();
  out.Reserve(length);
  bool first = true;
  for (const auto& item : *this) {
    if (!first) out += separator;
    out += item.View();
    first = false;
  }
  return out;
}

VoStringArray VoStringArray::Split(std::wstring_view text, std::wstring_view separator) {
  VoStringArray parts;
  if (text.empty()) return parts;
  if (separator.empty()) {
    parts.Add(VoString(text));
    return parts;
  }
  size_t start = 0;
  for (size_t hit; (hit = text.find(separator, start)) != std::wstring_view::npos; start = hit + separator.size()) {
    parts.Add(VoString(text.substr(start, hit - start)));
  }
  parts.Add(VoString(text.substr(start)));
  return parts;
}

void VoStringArray::Sort(unsigned options, const vo::QuickSortOptions& threads) {
  vo::QuickSort(GetData(), GetCount(),
                [options](const VoString& a, const VoString& b) { return vo::CompareForSort(a, b, options); }, threads);
}

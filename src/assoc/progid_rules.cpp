#include "assoc/progid_rules.h"

namespace vo {

namespace {

VoString WithoutSpaces(std::wstring_view text) {
  VoString out;
  for (wchar_t c : text) {
    if (c != L' ') out += c;
  }
  return out;
}

bool IsOneOfNoCase(std::wstring_view text, std::initializer_list<std::wstring_view> names) {
  for (std::wstring_view name : names) {
    if (EqualsNoCase(text, name)) return true;
  }
  return false;
}

}  // namespace

VoString ProgIdStem(std::wstring_view name_with_version) { return WithoutSpaces(name_with_version); }

VoString ProgIdForExtension(std::wstring_view stem, std::wstring_view extension, std::wstring_view own_extension) {
  VoString progid(stem);
  if (EqualsNoCase(extension, L".mpl")) return progid + L".Playlist";
  if (EqualsNoCase(extension, L".wsz")) return progid + L".Pack";
  if (IsOneOfNoCase(extension, {L".feed", L".itpc", L".opml", L".pcast", L".podcast", L".rss", L".xml"})) {
    return progid + L".Subscribe";
  }
  if (!own_extension.empty() && EqualsNoCase(extension, own_extension)) return progid + L".Mime";
  return progid + L".File";
}

VoString BackupValueName(std::wstring_view stem, std::wstring_view value_name) {
  VoString name(stem);
  name += L".";
  name += value_name.empty() ? std::wstring_view(L"Default") : value_name;
  name += L".BAK";
  return WithoutSpaces(name.View());
}

bool IsOwnProgId(std::wstring_view stem, std::wstring_view value) {
  const size_t dot = value.rfind(L'.');
  if (dot == std::wstring_view::npos || stem.empty()) return false;
  return EqualsNoCase(value.substr(0, dot), stem);
}

VoString DottedExtension(std::wstring_view extension) {
  if (extension.find(L'.') != std::wstring_view::npos) return VoString(extension);
  return VoString(L".") + extension;
}

VoString ProtocolName(std::wstring_view name) {
  const size_t scheme_end = name.find(L"://");
  return VoString(scheme_end == std::wstring_view::npos ? name : name.substr(0, scheme_end));
}

VoStringArray SplitMimeTypes(std::wstring_view types, bool wildcards) {
  VoStringArray out;
  for (const VoString& entry : VoStringArray::Split(types, L";")) {
    VoString type = entry.Trimmed();
    if (type.IsEmpty()) continue;
    if (wildcards) {
      const size_t slash = type.Find(L'/');
      if (slash == VoString::npos) continue;
      type = type.Left(slash + 1) + L"*";
    }
    if (out.FindNoCase(type.View()) == VoStringArray::npos) out.Add(type);
  }
  return out;
}

VoStringArray SelectionEntryExtensions(std::wstring_view entry) {
  std::wstring_view names = entry;
  const size_t open = entry.rfind(L'(');
  const size_t close = entry.rfind(L')');
  if (open != std::wstring_view::npos && close != std::wstring_view::npos && close > open) {
    names = entry.substr(open + 1, close - open - 1);
  }
  VoStringArray out;
  VoString current;
  auto flush = [&] {
    VoString name = current.Trimmed();
    current.Clear();
    while (name.At(0) == L'*' || name.At(0) == L'.') name.Erase(0, 1);
    if (name.IsEmpty()) return;
    name = name.ToLower();
    if (out.Find(name.View()) == VoStringArray::npos) out.Add(name);
  };
  for (wchar_t c : names) {
    if (c == L';' || c == L',' || c == L' ' || c == L'/') {
      flush();
    } else {
      current += c;
    }
  }
  flush();
  return out;
}

}  // namespace vo

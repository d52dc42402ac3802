#include "plugins/package_description.h"

#include "foundation/number_text.h"

namespace {

constexpr std::wstring_view kRootName = L"KVPF";

// Texts a distributor may have laid out over several lines are read
// without the white space around them.
VoString TextAt(XmlDocument& document, std::wstring_view path) {
  document.ResetCursor();
  if (!document.FindElement(path)) return {};
  return document.GetElementText().Trimmed();
}

bool IsSupportedVersion(const VoString& version) {
  VoString digits;
  for (wchar_t c : version.View()) {
    if (c != L'.') digits += c;
  }
  return digits == L"20" || digits == L"2";
}

void ReadXmlFileEntries(XmlDocument& document, std::vector<PackageFileEntry>& files) {
  document.ResetCursor();
  if (!document.FindElement(L"/*/Actions")) return;
  while (document.FindChildElement(L"FileEntry")) {
    document.EnterElement();
    PackageFileEntry entry;
    entry.file = document.GetChildText(L"File").Trimmed();
    entry.is_url = document.GetChildText(L"FileType").Trimmed().EqualsNoCase(L"URL");
    while (document.FindChildElement(L"Action")) {
      document.EnterElement();
      PackageFileAction action;
      action.command = document.GetChildText(L"Command").Trimmed();
      action.param = document.GetChildText(L"Param").Trimmed();
      entry.actions.push_back(std::move(action));
      document.LeaveElement();
    }
    files.push_back(std::move(entry));
    document.LeaveElement();
  }
}

}  // namespace

VoStringArray SplitPackageActions(std::wstring_view text) {
  VoStringArray actions;
  for (const VoString& part : VoStringArray::Split(text, L"|")) {
    VoString action = part.Trimmed();
    if (!action.IsEmpty()) actions.Add(std::move(action));
  }
  return actions;
}

bool ReadPackageXml(XmlDocument& document, PackageDescription& out) {
  out = {};
  document.ResetCursor();
  if (!document.FindElement() || !vo::EqualsNoCase(document.GetNodeName().View(), kRootName)) return false;
  if (!IsSupportedVersion(document.GetAttribute(L"version"))) return false;
  out.name = TextAt(document, L"/*/Package/Name");
  out.url = TextAt(document, L"/*/Package/URL");
  out.version = TextAt(document, L"/*/Package/Version");
  out.actions = SplitPackageActions(TextAt(document, L"/*/Package/Action").View());
  ReadXmlFileEntries(document, out.files);
  return true;
}

PackageDescription ReadPackageIni(const PackageIniLookup& lookup) {
  PackageDescription out;
  out.actions = SplitPackageActions(lookup(L"Package", L"Action").View());
  const VoString optional = lookup(L"Package", L"ActionOpt").Trimmed();
  if (!optional.IsEmpty()) out.actions.Add(optional);
  out.name = lookup(L"Package", L"Name");
  out.url = lookup(L"Package", L"Url");
  out.version = lookup(L"Package", L"Version");
  for (int n = 1;; ++n) {
    const VoString key = L"File" + vo::FormatInt(n);
    const VoString value = lookup(L"Action", key.View());
    if (value.IsEmpty()) break;
    PackageFileEntry entry;
    // "URL" and one separator character, then the address.
    entry.is_url = value.StartsWithNoCase(L"URL");
    entry.file = entry.is_url ? value.Mid(4) : value;
    for (int a = 1;; ++a) {
      const VoString text = lookup(L"Action", (key + L"Action" + vo::FormatInt(a).View()).View());
      if (text.IsEmpty()) break;
      const size_t blank = text.View().find_first_of(L" \t");
      if (blank == std::wstring_view::npos) entry.actions.push_back({text, {}});
      else entry.actions.push_back({text.Left(blank), text.Mid(blank + 1)});
    }
    out.files.push_back(std::move(entry));
  }
  return out;
}

bool IsLoadablePackage(const PackageDescription& package) {
  return !package.actions.IsEmpty() && !package.name.IsEmpty() && !package.url.IsEmpty();
}

#include "assoc/file_type_catalogue.h"

#include "foundation/number_text.h"
#include "foundation/string_format.h"

namespace vo {

namespace {

constexpr std::wstring_view kListElements[kFileTypeListCount] = {
    L"",
    L"DescriptionTypes/Audio",
    L"DescriptionTypes/Image",
    L"DescriptionTypes/Video",
    L"DescriptionTypes/Data",
    L"DescriptionTypes/Playlist",
    L"DescriptionTypes/Unknown",
    L"DefaultFileTypes",
    L"DefaultAssocFileTypes",
    L"KVTypes",
    L"IMGTypes",
    L"DXTypes",
    L"RPTypes",
    L"QTTypes",
    L"OTTypes",
};

// The text of the element at `path` below the root, empty when there is none.
VoString TextBelowRoot(XmlDocument& document, std::wstring_view name) {
  document.ResetCursor();
  if (!document.FindElement(VoString(L"/*/") + name)) return {};
  return document.GetElementText();
}

// Types the product handles itself whatever a plug-in claims.
bool IsReservedPluginType(const VoString& type) {
  return type.EqualsNoCase(L"MPP") || type.EqualsNoCase(L"AUDIOTEST");
}

void AddPluginTypes(const VoStringArray& plugin_types, FileTypeCatalogueContent& content) {
  VoStringArray& engine = content.Lists[kMainEngineTypes];
  for (const VoString& type : plugin_types) {
    // An empty type would only add a nameless description.
    if (type.IsEmpty() || IsReservedPluginType(type)) continue;
    if (engine.FindNoCase(type.View()) != VoStringArray::npos) continue;
    const VoString lower = type.ToLower();
    content.Lists[kAudioDescriptions].Add(VoFormat(L"%s (%s)", type, lower));
    engine.Add(lower);
  }
}

// Entries that name nothing, and "dat" and "mpp", which are never offered.
void RemoveUnwanted(VoStringArray& list) {
  for (size_t i = list.GetCount(); i-- > 0;) {
    const VoString& entry = list[i];
    if (entry.IsEmpty() || entry == L"dat" || entry == L"mpp") list.RemoveAt(i);
  }
}

void ReadMimeInfos(XmlDocument& document, VoArray<CMimeInfo>& out) {
  document.ResetCursor();
  if (!document.FindElement(L"/*/MimeAssociations")) return;
  while (document.FindChildElement()) {
    document.EnterElement();
    CMimeInfo info;
    info.Extension = document.GetAttribute(L"Name");
    if (info.Extension.At(0) == L'.') info.Extension.Erase(0, 1);
    info.MimeTypes = document.GetElementText();
    info.ElementName = document.GetNodeName();
    out.Add(std::move(info));
    document.LeaveElement();
  }
}

}  // namespace

std::wstring_view FileTypeListElement(int list) {
  if (list < 0 || list >= kFileTypeListCount) return {};
  return kListElements[list];
}

const CMimeInfo* FileTypeCatalogueContent::FindMimeInfo(std::wstring_view extension) const {
  if (!extension.empty() && extension.front() == L'.') extension.remove_prefix(1);
  for (const CMimeInfo& info : MimeInfos) {
    if (info.Extension.EqualsNoCase(extension)) return &info;
  }
  return nullptr;
}

VoString CatalogueFailureText(std::wstring_view path, std::wstring_view version_text) {
  VoString text(L"Failed to load file associations file.  ");
  text += L"This is a fatal error, so the program must close.\r\n\r\n";
  text += L"Please reinstall the latest version of the program to fix this problem.\r\n\r\n";
  text += VoFormat(L"Path: %s\r\nVersion: %s", path, version_text.empty() ? std::wstring_view(L"Unknown") : version_text);
  return text;
}

CatalogueReadResult ReadFileTypeCatalogue(XmlDocument& document, const VoStringArray& plugin_types,
                                          const CatalogueOverrides& overrides, FileTypeCatalogueContent& content) {
  content = FileTypeCatalogueContent();
  document.ResetCursor();
  if (!document.FindElement() || !EqualsNoCase(document.GetNodeName().View(), L"KVFA")) {
    return CatalogueReadResult::kWrongRoot;
  }
  content.VersionText = document.GetAttribute(L"version");
  if (content.VersionText.IsEmpty()) content.VersionText = L"Unknown";
  // Written so that a text that is no number at all fails as well.
  if (!(ParseDouble(content.VersionText.View()) >= 1.0)) return CatalogueReadResult::kOldVersion;

  for (int list = 1; list < kFileTypeListCount; ++list) {
    content.Lists[list] = VoStringArray::Split(TextBelowRoot(document, kListElements[list]).View(), L";");
    if (list == kMainEngineTypes) AddPluginTypes(plugin_types, content);
  }

  if (!overrides.DefaultFileTypes.IsEmpty()) {
    content.Lists[kDefaultFileTypes] = VoStringArray::Split(overrides.DefaultFileTypes.View(), L";");
  }
  content.Lists[kDefaultAssocFileTypes] = content.Lists[kDefaultFileTypes];
  if (!overrides.DefaultAssocFileTypes.IsEmpty()) {
    content.Lists[kDefaultAssocFileTypes] = VoStringArray::Split(overrides.DefaultAssocFileTypes.View(), L";");
  }

  for (VoStringArray& list : content.Lists) RemoveUnwanted(list);
  for (int list = kAudioDescriptions; list <= kUnknownDescriptions; ++list) {
    for (const VoString& entry : content.Lists[list]) content.Lists[kAllDescriptions].Add(entry);
  }

  ReadMimeInfos(document, content.MimeInfos);
  return CatalogueReadResult::kRead;
}

}  // namespace vo

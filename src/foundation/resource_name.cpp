#include "resource_name.h"

#include "xml_document.h"

namespace {

// Where data after the extension begins: the last ";" when the last "." of
// the text stands before it with 1 to 5 characters between them.
size_t PostExtensionSeparator(std::wstring_view text) {
  const size_t semicolon = text.rfind(L';');
  if (semicolon == std::wstring_view::npos) return semicolon;
  const size_t dot = text.rfind(L'.');
  if (dot == std::wstring_view::npos || dot > semicolon) return std::wstring_view::npos;
  const size_t between = semicolon - dot - 1;
  return between >= 1 && between <= 5 ? semicolon : std::wstring_view::npos;
}

}  // namespace

void ResourceName::SetFromText(std::wstring_view text) {
  path_.Clear();
  properties_.Clear();
  if (vo::StartsWithNoCase(text, L"<XMLFN version=")) {
    ReadXmlText(text);
    return;
  }
  if (text.find(L"://") != std::wstring_view::npos || (!text.empty() && text.back() == L'\\')) {
    path_ = VoString(text);
    return;
  }
  const size_t separator = PostExtensionSeparator(text);
  if (separator != std::wstring_view::npos) {
    properties_.SetString(kPostExtensionData, text.substr(separator + 1));
    path_ = VoString(text.substr(0, separator));
    return;
  }
  path_ = VoString(text);
}

void ResourceName::ReadXmlText(std::wstring_view text) {
  XmlDocument doc(text);
  if (!doc.IsWellFormed() || !doc.FindElement(L"XMLFN") || !(doc.GetAttribute(L"version") == L"1.0")) return;
  doc.EnterElement();
  while (doc.FindElement(L"Item")) {
    const VoString name = doc.GetAttribute(L"Name");
    if (name.EqualsNoCase(L"Filename")) path_ = doc.GetElementText();
    else properties_.SetString(name.View(), doc.GetElementText().View());
  }
}

VoString ResourceName::ToXmlText() const {
  XmlDocument doc;
  doc.AppendElement(L"Item", path_.View());
  doc.SetAttribute(doc.GetCurrentElement(), L"Name", L"Filename");
  properties_.WriteItems(doc);
  // The reader accepts exactly "1.0", whatever the locale's decimal separator.
  return VoString(L"<XMLFN version=\"1.0\">\r\n") + doc.GetDocumentText().View() + L"</XMLFN>";
}

VoString ResourceName::ToText() const {
  const size_t count = properties_.GetCount();
  if (count == 0) {
    // A plain path that would read back differently needs the serialized form.
    const ResourceName again(path_.View());
    if (again.path_ == path_ && again.properties_.GetCount() == 0) return path_;
    return ToXmlText();
  }
  if (count == 1 && properties_.HasKey(kPostExtensionData)) {
    VoString compact = path_ + L";" + properties_.GetString(kPostExtensionData).View();
    const ResourceName again(compact.View());
    if (again.path_ == path_ && again.properties_.Equals(properties_)) return compact;
  }
  return ToXmlText();
}

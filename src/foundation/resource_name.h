#pragma once
// ResourceName: a file path or URL with attached properties (request options
// of the file loader, data after a file's extension). Its text forms: the
// serialized "<XMLFN version="1.0">" document, and the compact path form in
// which data after the extension follows a ";".

#include <string_view>

#include "property_map.h"
#include "vo_string.h"

class ResourceName {
 public:
  ResourceName() = default;
  explicit ResourceName(std::wstring_view text) { SetFromText(text); }

  // Reads either text form; a serialized form that fails its checks leaves
  // an empty path and no properties.
  void SetFromText(std::wstring_view text);
  // The compact form when it can say everything (no properties, or only the
  // data after a short extension), else the serialized form.
  VoString ToText() const;
  VoString ToXmlText() const;

  const VoString& GetPath() const { return path_; }
  void SetPath(std::wstring_view path) { path_ = VoString(path); }
  VoPropertyMap& Properties() { return properties_; }
  const VoPropertyMap& Properties() const { return properties_; }

  static constexpr std::wstring_view kPostExtensionData = L"PostExtensionData";

 private:
  void ReadXmlText(std::wstring_view text);

  VoString path_;
  VoPropertyMap properties_;
};

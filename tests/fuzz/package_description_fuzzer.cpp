// Reads arbitrary UTF-8 as a package file in both layouts: as an XML
// package description and as the older initialization file. Actions come
// out trimmed and never empty; only the older layout's "ActionOpt", taken
// as one action, may hold the separator.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/xml_document.h"
#include "plugins/ini_text.h"
#include "plugins/package_description.h"

namespace {

void Check(const PackageDescription& package, bool split_only) {
  for (size_t i = 0; i < package.actions.GetCount(); ++i) {
    const VoString& action = package.actions[i];
    if (action.IsEmpty() || action != action.Trimmed()) __builtin_trap();
    const bool may_hold_separator = !split_only && i + 1 == package.actions.GetCount();
    if (!may_hold_separator && action.Find(L'|') != VoString::npos) __builtin_trap();
  }
  if (IsLoadablePackage(package) != (!package.actions.IsEmpty() && !package.name.IsEmpty() && !package.url.IsEmpty()))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const VoString text = VoString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));

  XmlDocument document;
  document.SetDocumentText(text);
  PackageDescription package;
  if (ReadPackageXml(document, package)) Check(package, true);
  else if (!package.name.IsEmpty() || !package.files.empty()) __builtin_trap();

  const IniText ini(text.View());
  const PackageDescription old = ReadPackageIni([&](std::wstring_view section, std::wstring_view key) {
    const VoString value = ini.Get(section, key, kPackageIniValueLength);
    if (value.Length() > kPackageIniValueLength) __builtin_trap();
    return value;
  });
  Check(old, false);
  return 0;
}

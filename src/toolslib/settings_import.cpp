#include "toolslib/settings_import.h"

#include <windows.h>

#include "foundation/path_text.h"
#include "foundation/property_map.h"
#include "foundation/text_file.h"

namespace {

constexpr std::wstring_view kExtension = L".xml";
constexpr std::wstring_view kRootFile = L"(Root)";
constexpr double kSettingsVersion = 1.0;

bool ImportFile(IVoRegistry& registry, const VoString& path, const VoString& store_name) {
  VoString text;
  VoPropertyMap values;
  if (!vo::ReadTextFile(path, vo::kTextDetect, text) || !values.FromXmlText(text.View(), L"XMLPH", kSettingsVersion)) {
    return false;
  }
  VoRegistryKeyPtr store(registry.OpenStore(store_name.c_str(), 1));
  if (!store) return false;
  bool written = true;
  values.ForEach([&](const auto& name, const auto& value) {
    written = store->WriteString(name.c_str(), value.c_str(), kVoValuePlain) && written;
  });
  return written;
}

// `relative` is the folder's path below the imported folder, with a
// trailing backslash or empty.
bool ImportBelow(IVoRegistry& registry, const VoString& root, const VoString& relative, int depth) {
  // Settings nest a few stores deep; the bound keeps a looping junction
  // from walking forever.
  if (depth > 16) return false;
  WIN32_FIND_DATAW data{};
  const VoString pattern = root + relative.View() + L"*";
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool imported = false;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const VoString entry = relative + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      imported = ImportBelow(registry, root, entry + L"\\", depth + 1) || imported;
      continue;
    }
    VoString store;
    if (SettingsStoreOfFile(entry, store) && ImportFile(registry, root + entry.View(), store)) imported = true;
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return imported;
}

}  // namespace

bool SettingsStoreOfFile(const VoString& relative_path, VoString& store) {
  const std::wstring_view path = relative_path.View();
  if (path.size() <= kExtension.size() ||
      vo::CompareNoCase(path.substr(path.size() - kExtension.size()), kExtension) != 0) {
    return false;
  }
  store = VoString(path.substr(0, path.size() - kExtension.size()));
  if (store.EqualsNoCase(kRootFile)) store.Clear();
  return true;
}

bool ImportSettingsFolder(IVoRegistry& registry, const VoString& folder) {
  if (folder.IsEmpty()) return false;
  return ImportBelow(registry, vo::WithTrailingBackslash(folder.View()), VoString(), 0);
}

#include "assoc/apply_registry_template.h"

#include <windows.h>

#include "app/installer_folder.h"
#include "app/session.h"
#include "assoc/registry_template.h"
#include "foundation/path_text.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/resource_lookup.h"
#include "foundation/win/system_info.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

// Art lookup: custom art first, then the default art.
constexpr int kArtLookup = 3;

// The view this program does not see by default: the 32-bit one for a
// 64-bit build, the 64-bit one for a 32-bit build on 64-bit Windows.
constexpr REGSAM kOtherRegistryView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

HKEY RootKey(TemplateRoot root) {
  switch (root) {
    case TemplateRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case TemplateRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case TemplateRoot::kClassesRoot: break;
  }
  return HKEY_CLASSES_ROOT;
}

TemplatePlaceholders CurrentPlaceholders(const VoString& progid_stem, const VoString& launcher_path,
                                         const VoString& launcher_name) {
  TemplatePlaceholders values;
  values.install_dir = WithTrailingBackslash(Session().InstallDirectory.View());
  values.system_dir = GetSystemFolder();
  values.current_dir = InstallerFolder();
  values.product_name = ProductName(0);
  values.progid_stem = progid_stem;
  VoString main_program;
  if (IVoProduct* product = Product()) product->GetMainProgramName(main_program);
  values.exe_path = values.install_dir + main_program.View();
  values.launcher_path = launcher_path;
  values.launcher_name = launcher_name;
  values.find_art = [](std::wstring_view file_name) { return FindResourceFile(kArtLookup, file_name); };
  return values;
}

bool TextValueMissingOrEmpty(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  wchar_t first = 0;
  DWORD size = sizeof(first);
  // Only the first character matters; a longer value answers ERROR_MORE_DATA.
  const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&first), &size);
  if (status == ERROR_MORE_DATA) return false;
  return status != ERROR_SUCCESS || size < sizeof(first) || first == 0;
}

bool DwordValueExists(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof(data);
  return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) == ERROR_SUCCESS &&
         type == REG_DWORD;
}

void WriteValue(HKEY key, const TemplateEntry& entry) {
  const wchar_t* name = entry.value_name.c_str();
  if (entry.type == TemplateValueType::kString) {
    const auto bytes = static_cast<DWORD>((entry.text.View().size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.text.c_str()), bytes);
  } else {
    const DWORD number = entry.number;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  }
}

void ApplyEntry(HKEY root, REGSAM access, const TemplateEntry& entry) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, entry.key_path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  const wchar_t* name = entry.value_name.c_str();
  switch (entry.action) {
    case TemplateAction::kDelete:
      RegDeleteValueW(key, name);
      break;
    case TemplateAction::kCreate: {
      const bool missing = entry.type == TemplateValueType::kString ? TextValueMissingOrEmpty(key, name)
                                                                    : !DwordValueExists(key, name);
      if (missing) WriteValue(key, entry);
      break;
    }
    case TemplateAction::kModify:
      WriteValue(key, entry);
      break;
  }
  RegCloseKey(key);
}

}  // namespace

void ApplyRegistryTemplate(const std::vector<VoString>& lines, const VoString& progid_stem,
                           const VoString& launcher_path, const VoString& launcher_name) {
  const TemplatePlaceholders values = CurrentPlaceholders(progid_stem, launcher_path, launcher_name);
  const bool windows64 = IsWindows64Bit();
  TemplateRoot root = TemplateRoot::kClassesRoot;
  for (const VoString& line : lines) {
    if (line.View().empty()) continue;
    if (auto named = ParseTemplateRootLine(line.View())) {
      root = *named;
      continue;
    }
    const bool both_views = windows64 && NeedsBothRegistryViews(line.View());
    auto entry = ParseTemplateEntry(ReplaceTemplatePlaceholders(line.View(), values).View());
    if (!entry) continue;
    ApplyEntry(RootKey(root), KEY_READ | KEY_WRITE, *entry);
    if (both_views) ApplyEntry(RootKey(root), KEY_READ | KEY_WRITE | kOtherRegistryView, *entry);
  }
}

}  // namespace vo

#include "toolslib/registry_service.h"

#include <windows.h>

#include "foundation/number_text.h"
#include "toolslib/registry_key.h"
#include "toolslib/settings_import.h"

namespace {

std::wstring_view WithoutOuterBackslashes(std::wstring_view path) {
  while (!path.empty() && path.front() == L'\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
  return path;
}

HKEY RootKey(VoRegistryRoot root) {
  switch (root) {
    case VoRegistryRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case VoRegistryRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case VoRegistryRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case VoRegistryRoot::kUsers: return HKEY_USERS;
  }
  return nullptr;
}

}  // namespace

VoString SettingsAreaOf(std::wstring_view product_name, int major_version) {
  return VoString(L"Software\\V. Ortala\\") + product_name + L" " + vo::FormatInt(major_version).View();
}

void VoRegistryService::SetSettingsArea(std::wstring_view area) {
  std::lock_guard lock(mutex_);
  area_ = VoString(WithoutOuterBackslashes(area));
}

VoString VoRegistryService::Area() const {
  std::lock_guard lock(mutex_);
  return area_;
}

IVoRegistryKey* VoRegistryService::OpenStore(const wchar_t* name, int flag) {
  VoString path = Area();
  if (path.IsEmpty()) return nullptr;
  const std::wstring_view store = WithoutOuterBackslashes(name ? name : L"");
  if (!store.empty()) path = path + L"\\" + store;
  if (flag != 0) return VoRegistryKey::Open(HKEY_CURRENT_USER, path, true);
  return VoRegistryKey::OpenOnWrite(HKEY_CURRENT_USER, path);
}

IVoRegistryKey* VoRegistryService::OpenKey(VoRegistryRoot root, const wchar_t* path, bool create) {
  HKEY root_key = RootKey(root);
  if (!root_key) return nullptr;
  return VoRegistryKey::Open(root_key, VoString(path), create);
}

void VoRegistryService::GetSettingsRoot(VoString& path) { path = Area(); }

bool VoRegistryService::ImportSettings(const wchar_t* folder) {
  return ImportSettingsFolder(*this, VoString(folder));
}

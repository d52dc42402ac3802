#pragma once
// The library's settings stores and registry keys. Stores are keys below the
// product's settings area in HKEY_CURRENT_USER; the area is named after the
// product and its major version once the product description is known, and
// tests give an area of their own.

#include <mutex>
#include <string_view>

#include "tools/vo_tools.h"

// "Software\V. Ortala\<product name> <major version>".
VoString SettingsAreaOf(std::wstring_view product_name, int major_version);

class VoRegistryService final : public IVoRegistry {
 public:
  // No area yet: stores cannot be opened until one is set.
  VoRegistryService() = default;
  // `area` is a path below HKEY_CURRENT_USER.
  explicit VoRegistryService(std::wstring_view area) { SetSettingsArea(area); }

  void SetSettingsArea(std::wstring_view area);

  // `name` may name a store below another ("Installer\Finalize"); an empty
  // name is the area itself. Null while there is no area.
  IVoRegistryKey* OpenStore(const wchar_t* name, int flag) override;
  IVoRegistryKey* OpenKey(VoRegistryRoot root, const wchar_t* path, bool create) override;
  void GetSettingsRoot(VoString& path) override;
  bool ImportSettings(const wchar_t* folder) override;

 private:
  VoString Area() const;

  mutable std::mutex mutex_;  // the area may be set while other threads open stores
  VoString area_;
};

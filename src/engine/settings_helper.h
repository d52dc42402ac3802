#pragma once
// CSettingsHelper: the product's user settings by number. Each setting has
// the key under which a distributor presets it in the product description
// ("/*/DefaultSettings/<key>"), the property the product stores it in (in
// the settings area's "Properties" store) and a built-in default.

#include "foundation/vo_string.h"
#include "tools/vo_tools.h"

class CSettingsHelper {
 public:
  static constexpr int kSettingCount = 75;
  static constexpr int kShellIntegration = 5;

  // Opens the "Properties" store for the helper's lifetime.
  CSettingsHelper();
  CSettingsHelper(const CSettingsHelper&) = delete;
  CSettingsHelper& operator=(const CSettingsHelper&) = delete;

  // The order of these operations is the object's published layout.
  virtual ~CSettingsHelper();
  // The stored property, or the default when there is none.
  virtual VoString GetText(int id);
  virtual int GetNumber(int id);
  // Writes the property (a number as REG_DWORD); false for an id without
  // property or when the store cannot be written. Switching shell
  // integration also registers or unregisters the shell extensions.
  virtual bool SetNumber(int id, int value);
  virtual bool SetText(int id, const VoString& text);
  // The distributor's preset when the setting has a key and the product
  // description names it, otherwise the built-in default.
  virtual int DefaultNumber(int id);
  virtual VoString DefaultText(int id);
  // The table's columns; empty for an id outside the table (and the key
  // for a setting without one).
  virtual VoString PropertyName(int id);
  virtual VoString ConfigurationKey(int id);
  // "/*/DefaultSettings/<key>" of the product description, or the default.
  virtual VoString ReadConfigText(const VoString& key, const VoString& default_value);
  virtual int ReadConfigNumber(const VoString& key, int default_value);

 private:
  VoRegistryKeyPtr properties_;
};

namespace vo {

// The shell extensions are registered when the product's context menu
// handler is (HKEY_CLASSES_ROOT "*\shellex\ContextMenuHandlers\<name>").
bool IsShellExtensionRegistered();
// Runs the package installer on the program folder's "Shell Extensions"
// folder with "/RegDLL" or "/UnRegDLL" and the quoted folder.
bool RegisterShellExtensions(bool register_them);

}  // namespace vo

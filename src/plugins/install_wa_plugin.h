#pragma once
// Registration of a plug-in library with the product: the kind is decided
// from the library's exports, the version checked, and the product's
// "Plugins" entries written with an uninstall record.

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

class CInstallWAPlugin {
 public:
  // Registers the library at `path`; with `silent` refusals are only
  // logged, otherwise an "Information" box tells the user. True on success;
  // `recorded` (when given) receives the uninstall entries of the
  // registration, for a package's own record.
  static bool Install(const VoString& path, bool silent, VoStringArray* recorded = nullptr);
};

namespace vo {

// The text a refused registration tells (empty on success); for tests.
struct PluginRegistration {
  bool registered = false;
  VoString name;           // the plug-in's name (the uninstall record's)
  VoString refusal;        // what the user is told
  VoStringArray recorded;  // uninstall entries
};
PluginRegistration RegisterPlugin(const VoString& path);

}  // namespace vo

#pragma once
// The product's entry in the Windows list of installed programs.

namespace vo {

// Writes the uninstall entry below HKEY_LOCAL_MACHINE under the uninstall
// key name of the session. A key that cannot be created (no administrator
// rights) leaves the installation without an entry, silently; so does an
// empty key name.
void WriteUninstallEntry();

}  // namespace vo

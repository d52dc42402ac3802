#pragma once
// The product's records of its installations in the machine's registry: the
// Windows uninstall entries of the product family and the product's own
// installation record, read at start-up and written after the copy.

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

// Finds the installed product's folder ("Portable.dat" beside the running
// program, else the installation record of `edition_name`) and publishes it
// as the program folder of the process information record; empty when there
// is none.
void LocateInstalledProduct(const VoString& edition_name);

// The uninstall key name this installation uses, and the family's other
// entries. Returns whether this edition's own entry exists; when it does not,
// the key name is the edition's name, numbered past any family entry that
// already holds it.
bool ChooseUninstallKey(VoString& key_name, VoStringArray& other_keys);

// Fills EarlierUninstallKey, EarlierInstallFound and EarlierInstallLocations
// of the session.
void FindEarlierInstallations();

// Makes InstallDirectory the installed product's program folder for the rest
// of the run; a portable installation also marks itself as one.
void SetInstalledProductFolder();

// The installation record (normal installations only) and the "Installer"
// store's values.
void WriteInstallationRecord();

}  // namespace vo

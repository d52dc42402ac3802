#pragma once
// The record of what a plug-in registration or a package installation put in
// place, kept below "Plugins\Uninstall\<name>" so the component can be
// removed later. Entries are a letter and a path: "F" a file, "D" a folder,
// "V" a version value, "K" a registry key.

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

// Writes `entries` (in the order they were recorded) as values "0", "1", ...,
// the last recorded in "0". Nothing is written without entries. True when
// the record was written.
bool WriteUninstallRecord(const VoString& name, const VoStringArray& entries);

}  // namespace vo

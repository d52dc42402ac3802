#pragma once
// Queries on the session that look at the disk or the process information
// record.

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

// The first support folder + `name` (any, or the first existing file when
// `must_exist`); empty when there is none.
VoString FindSupportFile(const VoString& name, bool must_exist);

// Empties `packages`, then appends every "*.kvp" file in the support
// folders and their sub-folders, folder by folder in order.
void ListSupportPackages(VoStringArray& packages);

// Whether the new main program is not newer than the installed one while
// downgrades are not allowed. Missing files count as version 0, so equal
// versions and a missing new copy count as a downgrade.
bool IsDowngrade();

// The product's main program below the install folder.
VoString MainProgramPath();
// The product's launcher: the copy phase puts it into the system folder
// (it comes from "System\Always Overwrite\").
VoString LauncherProgramPath();

// Publishes InstallDirectory as the install folder of the process
// information record.
bool ApplyInstallDirectory();

}  // namespace vo

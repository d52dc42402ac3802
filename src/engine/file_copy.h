#pragma once
// Copying the distribution's files into place: one file by the install
// rules (server stop, 64-bit files, version comparison, files in use,
// registration), whole folders with progress, and the two ways of putting a
// file in place later.

#include "engine/copy_environment.h"
#include "engine/install_page.h"
#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

// How a file is copied. A font is copied like an overwritten file and then
// added to the system's font table.
enum class CopyMode { kCheckVersion = 0, kAlwaysOverwrite = 1, kFont = 2 };

namespace vo {

// Copies every file below `source_folder`, recursively, to the same relative
// path below `destination_folder` by CopyInstallFile, moving the page's bar
// from 0 to 100 by bytes copied.
void CopyFolder(CopyMode mode, IInstallPage& page, const VoString& source_folder, const VoString& destination_folder,
                VoStringArray* registrations, const CopyEnvironment& environment = CopyEnvironment::System());

// Copies one file. A file that needs registering is appended to
// `registrations` when given, otherwise registered at once. False only for a
// 64-bit file on a system that is not 64-bit (the file is skipped); a copy
// that failed and was deferred still counts as done.
bool CopyInstallFile(const VoString& source, const VoString& destination, VoStringArray* registrations,
                     CopyMode mode, const CopyEnvironment& environment = CopyEnvironment::System());

// Copies `source` into the staging folder ("Setup\" in the install folder)
// and has the system move it over `destination` at the next restart. True
// when the system accepted that.
bool ReplaceAtRestart(const VoString& source, const VoString& destination);

// The last resort: copies `source` into the staging folder and records the
// staged copy and `destination` for the finalize run. With an empty
// destination (a package) the source's whole folder is staged as well. True
// when the entry was recorded.
bool StageForFinalize(const VoString& source, const VoString& destination);

// The staging folder of the current install folder; empty without one.
VoString StagingFolder();

}  // namespace vo

#pragma once
// Completes the work an installation left in its finalize list because files
// were in use: staged copies go into place, staged packages are installed,
// listed files are deleted, listed components registered. Run by the package
// installer at the next logon.

#include "foundation/vo_string_array.h"

namespace vo {

struct FinalizeListOutcome {
  VoStringArray done;    // one line per completed entry
  VoStringArray failed;  // entries that stay in the list for the next run
};

// Works through "Installer\Finalize" (installs, then deletes, then
// registrations) and clears it; entries that could not be completed are
// written back, renumbered, so nothing is lost. Each step is logged.
FinalizeListOutcome CompleteFinalizeList();

}  // namespace vo

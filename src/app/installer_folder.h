#pragma once
// The folder the installer runs from, where its distribution lies.

#include "foundation/vo_string.h"

namespace vo {

// Drive and folder of the running program as the process information record
// holds it, with a trailing backslash.
VoString InstallerFolder();

}  // namespace vo

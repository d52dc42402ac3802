#pragma once
// Registration of a Winamp input plug-in ("in_*.dll") met among the
// program files.

#include "foundation/vo_string.h"

namespace vo {

// Registers the plug-in silently; true when it was registered.
bool RegisterWinampInputPlugin(const VoString& path);

}  // namespace vo

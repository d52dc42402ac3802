#pragma once
// The third installation phase: shell integration, the plug-in packages that
// ship with the installer, the product's audio driver, and for the server
// edition the system service.

#include "engine/install_page.h"

namespace vo {

void RunPluginPhase(IInstallPage& page);

}  // namespace vo

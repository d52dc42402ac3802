#pragma once
// Registering the components collected while the files were copied.

#include "engine/install_page.h"
#include "foundation/vo_string_array.h"

namespace vo {

// Registers each file in order, in this process, and as a Winamp input
// plug-in when its name begins with "in_". In the server edition the
// server's own files ("\Server\" in the path) are left alone. The page's bar
// runs from 0 to the number of files.
void RegisterCollectedFiles(IInstallPage& page, const VoStringArray& files, bool server_edition);

}  // namespace vo

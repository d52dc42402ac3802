#include "engine/registration_pass.h"

#include "foundation/string_format.h"
#include "foundation/win/com_server_registration.h"
#include "plugins/install_wa_plugin.h"
#include "tools/vo_tools.h"

namespace vo {

void RegisterCollectedFiles(IInstallPage& page, const VoStringArray& files, bool server_edition) {
  page.SetProgressRange(static_cast<int>(files.GetCount()));
  for (size_t i = 0; i < files.GetCount(); ++i) {
    const VoString& path = files[i];
    if (!(server_edition && path.FindNoCase(L"\\Server\\") != VoString::npos)) {
      if (!RegisterInProcess(path)) Log(L"RegisterCollectedFiles", VoFormat(L"Registering %s failed", path));
      const size_t slash = path.FindLast(L'\\');
      const VoString name = slash == VoString::npos ? path : path.Mid(slash + 1);
      if (name.StartsWithNoCase(L"in_")) CInstallWAPlugin::Install(path, true);
    }
    page.SetProgressPosition(static_cast<int>(i + 1));
  }
}

}  // namespace vo

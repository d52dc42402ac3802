#include "engine/plugin_registration_hook.h"

#include "foundation/string_format.h"
#include "tools/vo_tools.h"

namespace vo {

bool RegisterWinampInputPlugin(const VoString& path) {
  // Not done yet: logged so an installation shows which plug-ins it left out.
  Log(L"RegisterWinampInputPlugin",
      VoFormat(L"Winamp input plug-in registration arrives with the plug-ins: %s", path));
  return false;
}

}  // namespace vo

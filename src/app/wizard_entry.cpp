#include "app/wizard_entry.h"

#include "tools/vo_tools.h"

namespace vo {

void RunInstallWizard() {
  // The wizard's windows are not part of this build yet: start-up ends here.
  Log(L"Startup", VoString(L"Start-up complete; the install wizard is not part of this build yet"));
}

}  // namespace vo

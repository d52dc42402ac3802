#pragma once
// Registration of COM servers: through RegSvr32 or inside this process.

#include "foundation/vo_string.h"

namespace vo {

// Runs the system's RegSvr32 silently on `path` and waits for it, keeping
// window messages flowing. `disable_redirection` lets a 32-bit process reach
// the 64-bit system folder. True when RegSvr32 ran to its end; `exit_code`
// receives its exit code (0 when the server registered).
bool RunRegSvr32(const VoString& path, bool unregister, bool disable_redirection, int* exit_code = nullptr);

// Loads the server and calls its "DllRegisterServer" with the server's folder
// as the current folder; true when that succeeded.
bool RegisterInProcess(const VoString& path);

}  // namespace vo

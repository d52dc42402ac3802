#pragma once
// Registration of COM servers: through RegSvr32 or inside this process.

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

// Runs the system's RegSvr32 silently on `path` and waits for it, keeping
// window messages flowing. `disable_redirection` lets a 32-bit process reach
// the 64-bit system folder. True when RegSvr32 ran to its end; `exit_code`
// receives its exit code (0 when the server registered).
bool RunRegSvr32(const VoString& path, bool unregister, bool disable_redirection, int* exit_code = nullptr);

// Loads the server and calls its "DllRegisterServer" with the server's folder
// as the current folder; true when that succeeded.
bool RegisterInProcess(const VoString& path);
// The same with "DllUnregisterServer".
bool UnregisterInProcess(const VoString& path);

// Registers (or unregisters) the server `path` in-process, or, when `path`
// is a folder, every server file in it (".dll", ".ocx", ".ax"). `done` and
// `failed` receive the files by outcome. True when the path exists and
// every server succeeded (an empty folder included).
bool RegisterServersAt(const VoString& path, bool unregister, VoStringArray* done = nullptr,
                       VoStringArray* failed = nullptr);

}  // namespace vo

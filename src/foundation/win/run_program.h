#pragma once
// Starting other programs: through the shell (with waiting, message pumping,
// a time-out and a cancel event) or with their output captured.

#include <windows.h>

#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"

namespace vo {

// Runs `file` with `arguments` joined by single spaces; returns success.
// - `output_lines` given: the program runs hidden with its standard output
//   read line by line into the list; success means exit code 0.
// - otherwise it is started through the shell (`verb` when not empty), shown
//   or hidden; with `wait` the call returns when it ends, is cancelled by
//   `cancel_event`, or runs longer than `timeout_ms` (0 or less: no limit),
//   and a program given up on is terminated. `pump_messages` keeps the
//   calling window thread responsive while waiting.
// `exit_code` receives the program's exit code when it ended by itself.
// With `show_errors` a failure to start is shown to the user.
bool RunProgram(const VoString& file, const VoStringArray& arguments, bool show = true, bool wait = false,
                bool pump_messages = false, int* exit_code = nullptr, DWORD priority_class = 0,
                bool show_errors = false, int timeout_ms = 0, HANDLE cancel_event = nullptr,
                const VoString& verb = {}, VoStringArray* output_lines = nullptr);

// Runs the product's "PackageInstaller.exe" from its program folder, shown,
// and waits for it.
bool RunPackageInstaller(const VoString& arguments, int* exit_code = nullptr);

}  // namespace vo

#pragma once
// Finishing the installation: the finalize list for the run after the next
// logon, the restart decision, install counters, the product's own
// registration, the completion marker, and restarting Windows.

#include <windows.h>

#include "foundation/vo_string.h"
#include "foundation/win/system_functions.h"

namespace vo {

// What the finish page does when it is left.
constexpr int kFinishNothing = 0;
constexpr int kFinishRestart = 1;
constexpr int kFinishRunProduct = 2;

// A file could only be replaced at restart, or a pending file operation
// (other than one for the shell extension) waits for the finalize run.
bool IsRestartRequired();

// Writes the finalize list and its RunOnce entry when work is pending,
// empties the pending file operations, updates the install counters and
// has the product's programs register themselves. Returns the finish
// action: restart, run the product, or nothing with NoRun.
int FinalizeInstallation();

// Adds the read-only attribute to the install folder; false when the
// folder's attributes could not be read or set.
bool MarkInstallFolderReadOnly();

// Leaves "Finish.txt" in the installer's folder, naming the installed main
// program, for whatever started the installer. Only when that program
// exists; false when nothing was written.
bool WriteCompletionMarker();

}  // namespace vo

enum class ShutdownMode { kRestart, kPowerOff };

class CSystemShutdown {
 public:
  CSystemShutdown();

  // Restarts or powers off Windows with the shutdown privilege enabled for
  // the call; the privilege's earlier state is restored afterwards. False
  // when Windows refused.
  bool Shutdown(ShutdownMode mode);

  // Whether the system can suspend (PowrProf's SetSuspendState exists).
  bool CanSuspend() const { return power_.SetSuspendState != nullptr; }

  // Tests put a recorder in the place of ExitWindowsEx, so nothing ever
  // restarts; null puts the system's function back. Returns the previous.
  using ExitWindowsFunction = BOOL (*)(UINT flags, DWORD reason);
  static ExitWindowsFunction ReplaceExitWindows(ExitWindowsFunction function);

 private:
  class Advapi32 : public vo::SystemFunctionTable {
   public:
    Advapi32();
    static const char* const kNames[3];
    vo::SystemFunction<BOOL WINAPI(HANDLE, DWORD, PHANDLE)> OpenProcessToken = nullptr;
    vo::SystemFunction<BOOL WINAPI(LPCWSTR, LPCWSTR, PLUID)> LookupPrivilegeValueW = nullptr;
    vo::SystemFunction<BOOL WINAPI(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD)>
        AdjustTokenPrivileges = nullptr;
  };
  class PowrProf : public vo::SystemFunctionTable {
   public:
    PowrProf();
    static const char* const kNames[1];
    vo::SystemFunction<BOOLEAN WINAPI(BOOLEAN, BOOLEAN, BOOLEAN)> SetSuspendState = nullptr;
  };

  Advapi32 advapi_;
  PowrProf power_;
};

#include "plugins/product_command_line.h"

#include <windows.h>

#include "app/session_queries.h"
#include "foundation/string_format.h"
#include "foundation/vo_string_array.h"
#include "foundation/win/named_mutex.h"
#include "foundation/win/run_program.h"
#include "plugins/post_string.h"
#include "tools/vo_tools.h"

namespace vo {

VoString ProductIpcName() { return ProductName(0) + L" FC_IPC"; }

}  // namespace vo

namespace {

constexpr wchar_t kTitle[] = L"CHVCommandLine::Execute";
constexpr DWORD kLockWaitMs = 10000;
constexpr DWORD kStartWaitMs = 5000;
constexpr DWORD kStartPollMs = 20;
constexpr DWORD kPostWaitMs = 10000;
constexpr DWORD kPostRetryMs = 100;
// Longer command lines, and tree paths, are posted after the start.
constexpr size_t kCommandLineLimit = 1024;

bool IsProductRunning() {
  IVoProduct* product = vo::Product();
  return product && product->IsProductRunning();
}

void WaitForProductStart() {
  const DWORD start = GetTickCount();
  while (!IsProductRunning() && GetTickCount() - start < kStartWaitMs) Sleep(kStartPollMs);
}

bool PostToProduct(const VoString& command) {
  vo::Log(kTitle, VoFormat(L"Posting: %s", command));
  const VoString ipc_name = vo::ProductIpcName();
  vo::Log(kTitle, VoFormat(L"IPC Name: %s", ipc_name));
  CPostString channel(ipc_name);
  const DWORD start = GetTickCount();
  for (;;) {
    // The window may come and go while the product starts: look again each time.
    if (HWND window = FindWindowW(L"KVFrame", nullptr); window && channel.Post(window, 0, command)) return true;
    if (GetTickCount() - start >= kPostWaitMs) {
      vo::Log(kTitle, L"Timeout");
      return false;
    }
    Sleep(kPostRetryMs);
  }
}

bool Deliver(VoString command) {
  if (IsProductRunning()) return PostToProduct(command);
  vo::Log(kTitle, L"Pellion not running");
  if (command.StartsWithNoCase(L"/Play ")) command = L"/PlayReplace " + command.Mid(6);
  const bool on_command_line =
      command.Length() < kCommandLineLimit && command.FindNoCase(L"TREEPATH=") == VoString::npos;
  VoStringArray arguments;
  if (on_command_line) arguments.Add(command);
  if (!vo::RunProgram(vo::MainProgramPath(), arguments, true, false)) return false;
  WaitForProductStart();
  return on_command_line || PostToProduct(command);
}

// The command lock, held as long as it lives; a holder that does not let go
// within the wait does not stop the delivery.
class CommandLock {
 public:
  CommandLock() {
    mutex_.Create(L"Vortala File Command Lock");
    if (!mutex_.Handle()) return;
    const DWORD result = WaitForSingleObject(mutex_.Handle(), kLockWaitMs);
    held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  }
  ~CommandLock() {
    if (held_) ReleaseMutex(mutex_.Handle());
  }
  bool Held() const { return held_; }

 private:
  NamedMutex mutex_;
  bool held_ = false;
};

}  // namespace

bool CHVCommandLine::Execute(const VoString& command) {
  vo::Log(kTitle, L"CHVCommandLine::Execute");
  vo::Log(kTitle, L"Waiting on lock");
  CommandLock lock;
  if (lock.Held()) vo::Log(kTitle, L"Have lock");
  return Deliver(command);
}

#include "foundation/win/run_program.h"

#include <shellapi.h>

#include <string>

#include "foundation/start_error_text.h"
#include "foundation/string_format.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/log_scope.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr size_t kLineBytes = 1024;

VoString FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return VoString(std::move(text));
}

// Appends one line without its line break.
void AddLine(std::string line, VoStringArray& lines) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  lines.Add(FromAnsi(line));
}

// The program's standard output comes through a pipe; lines longer than the
// line buffer arrive in pieces, as a line reader of that size hands them out.
bool RunWithOutput(const VoString& file, const VoString& parameters, bool show, int& exit_code,
                   VoStringArray& lines) {
  exit_code = -1;
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return false;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);

  // Quoted, so a program in a folder with spaces is found as a whole.
  VoString command = file.At(0) == L'"' || file.Find(L' ') == VoString::npos ? file : L"\"" + file + L"\"";
  command += L' ';
  command += parameters;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = write_end;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessW(nullptr, command.Std().data(), nullptr, nullptr, TRUE,
                                      show ? 0 : CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  CloseHandle(write_end);
  if (!started) {
    CloseHandle(read_end);
    return false;
  }
  CloseHandle(process.hThread);

  std::string line;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got; ++i) {
      line += buffer[i];
      if (buffer[i] == '\n' || line.size() == kLineBytes - 1) {
        AddLine(std::move(line), lines);
        line.clear();
      }
    }
  }
  if (!line.empty()) AddLine(std::move(line), lines);
  CloseHandle(read_end);

  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  exit_code = static_cast<int>(code);
  return exit_code == 0;
}

void ShowStartError(const VoString& file, int code) {
  const VoString text = VoFormat(Localize(StartErrorFormat(code)), file, code);
  if (IVoTools* tools = VoTools()) tools->Dialogs()->ShowInformation(Localize(L"Information").c_str(), text.c_str());
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Not ours to consume: the thread's own loop must still see it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Ends a program given up on, and makes sure it is gone before returning.
void Terminate(HANDLE process) {
  TerminateProcess(process, static_cast<UINT>(-1));
  WaitForSingleObject(process, 5000);
}

bool WaitForProcess(VoLogScope& scope, HANDLE process, bool pump_messages, int* exit_code, int timeout_ms,
                    HANDLE cancel_event) {
  scope.Log(VoString(L"Waiting for completion"));
  const HANDLE handles[2] = {process, cancel_event};
  const DWORD count = cancel_event ? 2 : 1;
  const DWORD period = pump_messages ? 10 : 500;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    const DWORD result = WaitForMultipleObjects(count, handles, FALSE, period);
    if (result == WAIT_OBJECT_0) {
      scope.Log(VoString(L"Finished"));
      DWORD code = 0;
      GetExitCodeProcess(process, &code);
      if (exit_code) *exit_code = static_cast<int>(code);
      return true;
    }
    if (count == 2 && result == WAIT_OBJECT_0 + 1) {
      scope.Log(VoString(L"Cancel"));
      Terminate(process);
      return false;
    }
    if (result == WAIT_TIMEOUT) {
      if (timeout_ms >= 1 && GetTickCount64() - start >= static_cast<ULONGLONG>(timeout_ms)) {
        scope.Log(VoString(L"Timeout"));
        Terminate(process);
        return false;
      }
      if (pump_messages) PumpMessages();
      continue;
    }
    scope.Log(VoFormat(L"Unknown wait code (%d)", static_cast<int>(result)));
    Terminate(process);
    return false;
  }
}

}  // namespace

bool RunProgram(const VoString& file, const VoStringArray& arguments, bool show, bool wait, bool pump_messages,
                int* exit_code, DWORD priority_class, bool show_errors, int timeout_ms, HANDLE cancel_event,
                const VoString& verb, VoStringArray* output_lines) {
  VoLogScope scope(L"RunProgram");
  const VoString parameters = arguments.Join(L" ");

  if (output_lines) {
    int code = -1;
    const bool ok = RunWithOutput(file, parameters, show, code, *output_lines);
    if (exit_code) *exit_code = code;
    return ok;
  }

  scope.Log(VoFormat(L"Filename: %s / Parameters: %s", file, parameters));
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOZONECHECKS | (show ? 0 : SEE_MASK_FLAG_NO_UI);
  info.lpVerb = verb.IsEmpty() ? nullptr : verb.c_str();
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = show ? SW_SHOWNORMAL : SW_HIDE;
  scope.Log(VoString(L"Performing ShellExecute..."));
  const BOOL executed = ShellExecuteExW(&info);
  int code = static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
  if (!executed && code > 32) code = static_cast<int>(GetLastError());  // a failure must not pass as a start
  if (!executed || code <= 32) {
    scope.Log(VoFormat(L"Failed to start (error %d)", code));
    if (show_errors) ShowStartError(file, code);
    if (info.hProcess) CloseHandle(info.hProcess);
    return false;
  }

  if (!info.hProcess) return true;  // the shell handed the file to a running program
  scope.Log(VoString(L"Running process..."));
  if (priority_class != 0 && priority_class != NORMAL_PRIORITY_CLASS) SetPriorityClass(info.hProcess, priority_class);
  bool result = true;
  if (wait) {
    result = WaitForProcess(scope, info.hProcess, pump_messages, exit_code, timeout_ms, cancel_event);
    scope.Log(VoString(L"Done waiting"));
  }
  CloseHandle(info.hProcess);
  return result;
}

bool RunPackageInstaller(const VoString& arguments, int* exit_code) {
  const VoString folder = GetProgramFolder();
  if (folder.IsEmpty()) return false;
  VoStringArray args;
  if (!arguments.IsEmpty()) args.Add(arguments);
  return RunProgram(folder + L"PackageInstaller.exe", args, true, true, false, exit_code, NORMAL_PRIORITY_CLASS);
}

}  // namespace vo

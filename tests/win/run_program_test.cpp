// Starting programs: captured output, the shell with waiting, time-out,
// cancelling and message pumping, start errors shown to the user, the
// package installer and COM server registration.

#include "foundation/win/run_program.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "foundation/string_format.h"
#include "foundation/win/com_server_registration.h"
#include "foundation/win/known_folders.h"
#include "program_folder_fixture.h"
#include "support/fake_tools.h"

namespace {

VoString Program(const wchar_t* name) { return vo::GetExecutableFolder() + name; }

std::string ReadFile(const VoString& path) {
  std::string text;
  if (FILE* f = _wfopen(path.c_str(), L"rb")) {
    char buffer[512];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), f)) > 0;) text.append(buffer, n);
    fclose(f);
  }
  return text;
}

// The process id sleep_forever wrote, waiting a little for it to start.
DWORD ReadPid(const VoString& pid_file) {
  DWORD pid = 0;
  for (int tries = 0; tries < 250 && pid == 0; ++tries) {
    pid = static_cast<DWORD>(std::strtoul(ReadFile(pid_file).c_str(), nullptr, 10));
    if (pid == 0) Sleep(20);
  }
  return pid;
}

// Whether the process whose id sleep_forever wrote into `pid_file` has ended.
bool ProcessEnded(const VoString& pid_file) {
  const DWORD pid = ReadPid(pid_file);
  if (pid == 0) return false;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return true;
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

TEST(RunProgram, CapturesOutputLinesAndExitCode) {
  FakeTools tools;
  const std::string long_line(1500, 'x');
  struct Case {
    VoString file;
    VoStringArray args;
    bool result;
    int exit_code;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {Program(L"exit_with.exe"), VoStringArray{L"0", L"alpha", L"beta gamma"}, true, 0, {"0", "alpha", "beta", "gamma"}},
      {Program(L"exit_with.exe"), VoStringArray{L"3"}, false, 3, {"3"}},
      // A line longer than the line buffer comes in pieces of 1023 bytes.
      {Program(L"exit_with.exe"), VoStringArray{L"7", L"#1500"}, false, 7, {"7", long_line.substr(0, 1023), long_line.substr(1023)}},
      {Program(L"no_such_program.exe"), VoStringArray{L"1"}, false, -1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.ToUtf8() + " " + c.args.Join(L" ").ToUtf8());
    VoStringArray lines;
    int exit_code = 12345;
    EXPECT_EQ(vo::RunProgram(c.file, c.args, false, true, false, &exit_code, 0, false, 0, nullptr, {}, &lines),
              c.result);
    EXPECT_EQ(exit_code, c.exit_code);
    ASSERT_EQ(lines.GetCount(), c.lines.size());
    for (size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(lines[i].ToUtf8(), c.lines[i]);
  }
}

TEST(RunProgram, WaitsForTheShellStartedProgramAndLogsEachStep) {
  struct Case {
    bool pump;
    int timeout_ms;
  };
  // A time-out of 0 or less waits without limit: the program sleeps longer
  // than one waiting period.
  for (const Case c : {Case{false, 0}, Case{true, 0}, Case{false, -1}, Case{true, 60000}}) {
    SCOPED_TRACE(testing::Message() << "pump " << c.pump << " timeout " << c.timeout_ms);
    FakeTools tools;
    int exit_code = 0;
    const VoString file = Program(L"exit_with.exe");
    EXPECT_TRUE(vo::RunProgram(file, VoStringArray{L"5", L"~700"}, false, true, c.pump, &exit_code, 0, false, c.timeout_ms));
    EXPECT_EQ(exit_code, 5);
    const auto log = tools.LogTexts(L"RunProgram");
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[0], L"Start");
    EXPECT_EQ(log[1], VoFormat(L"Filename: %s / Parameters: %s", file, L"5 ~700"));
    EXPECT_EQ(log[2], L"Performing ShellExecute...");
    EXPECT_EQ(log[3], L"Running process...");
    EXPECT_EQ(log[4], L"Waiting for completion");
    EXPECT_EQ(log[5], L"Finished");
    EXPECT_EQ(log[6], L"Done waiting");
    EXPECT_TRUE(log[7].StartsWithNoCase(L"Finish (")) << log[7].ToUtf8();
  }
}

TEST(RunProgram, GivesUpOnTimeOutAndCancelAndEndsTheProgram) {
  TempTestFolder scratch(L"run-program-give-up");
  HANDLE cancel = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  struct Case {
    const wchar_t* what;
    int timeout_ms;
    HANDLE cancel_event;
    const wchar_t* logged;
  };
  const Case cases[] = {
      {L"timeout", 300, nullptr, L"Timeout"},
      {L"cancel", 0, cancel, L"Cancel"},
  };
  for (const Case& c : cases) {
    for (bool pump : {false, true}) {
      SCOPED_TRACE(testing::Message() << VoString(c.what).ToUtf8() << " pump " << pump);
      FakeTools tools;
      const VoString pid_file = scratch.Path() + c.what + (pump ? L"-pump.txt" : L".txt");
      int exit_code = 77;
      ResetEvent(cancel);
      // The user cancels once the program has started.
      std::thread user([&] {
        if (ReadPid(pid_file) != 0) SetEvent(cancel);
      });
      EXPECT_FALSE(vo::RunProgram(Program(L"sleep_forever.exe"), VoStringArray{pid_file}, false, true, pump,
                                  &exit_code, 0, false, c.timeout_ms, c.cancel_event));
      user.join();
      EXPECT_EQ(exit_code, 77);  // no exit code of its own
      const auto log = tools.LogTexts(L"RunProgram");
      EXPECT_NE(std::find(log.begin(), log.end(), VoString(c.logged)), log.end());
      EXPECT_NE(std::find(log.begin(), log.end(), VoString(L"Done waiting")), log.end());
      EXPECT_TRUE(ProcessEnded(pid_file));
    }
  }
  CloseHandle(cancel);
}

TEST(RunProgram, AFailedWaitEndsTheProgram) {
  FakeTools tools;
  TempTestFolder scratch(L"run-program-wait-failed");
  // No handle has this value, so waiting on it fails at once.
  const HANDLE invalid = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x3FFFFFFC));
  const VoString pid_file = scratch.Path() + L"pid.txt";
  EXPECT_FALSE(vo::RunProgram(Program(L"sleep_forever.exe"), VoStringArray{pid_file}, false, true, false, nullptr, 0,
                              false, 0, invalid));
  const auto log = tools.LogTexts(L"RunProgram");
  EXPECT_NE(std::find(log.begin(), log.end(), VoString(L"Unknown wait code (-1)")), log.end());
  // Ended before or after it wrote its id: either way it must not run on.
  const DWORD pid = ReadPid(pid_file);
  if (pid != 0) {
    EXPECT_TRUE(ProcessEnded(pid_file));
  }
}

// A window that notes when a posted message reaches it.
struct Receiver {
  static inline bool received = false;
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP + 7) received = true;
    return DefWindowProcW(window, message, w, l);
  }
};

TEST(RunProgram, PumpingDeliversWindowMessagesWhileWaiting) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = Receiver::Proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"VoRunProgramTestReceiver";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                window_class.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  TempTestFolder scratch(L"run-program-pump");
  for (bool pump : {false, true}) {
    FakeTools tools;
    Receiver::received = false;
    PostMessageW(window, WM_APP + 7, 0, 0);
    EXPECT_FALSE(vo::RunProgram(Program(L"sleep_forever.exe"), VoStringArray{scratch.Path() + L"pid.txt"}, false,
                                true, pump, nullptr, 0, false, 200));
    EXPECT_EQ(Receiver::received, pump);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  DestroyWindow(window);
  UnregisterClassW(window_class.lpszClassName, window_class.hInstance);
}

TEST(RunProgram, WithoutWaitingTheProgramRunsOnWithItsPriority) {
  FakeTools tools;
  TempTestFolder scratch(L"run-program-no-wait");
  const VoString pid_file = scratch.Path() + L"pid.txt";
  ASSERT_TRUE(vo::RunProgram(Program(L"sleep_forever.exe"), VoStringArray{pid_file}, false, false, false, nullptr,
                             IDLE_PRIORITY_CLASS));
  const DWORD pid = ReadPid(pid_file);
  ASSERT_NE(pid, 0u);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(GetPriorityClass(process), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
  const auto log = tools.LogTexts(L"RunProgram");
  EXPECT_EQ(std::find(log.begin(), log.end(), VoString(L"Waiting for completion")), log.end());
}

TEST(RunProgram, StartFailuresAreLoggedAndShownWhenAsked) {
  TempTestFolder scratch(L"run-program-errors");
  const VoString invalid = scratch.AddFile(VoString(L"invalid.exe"), "not a program");
  struct Case {
    VoString file;
    int code;
    const wchar_t* message;
  };
  const Case cases[] = {
      {scratch.Path() + L"missing.exe", 2, L"File '%s' is not found."},
      {scratch.Path() + L"no such folder\\missing.exe", 2, L"File '%s' is not found."},  // Wine says 2, not 3
      {invalid, 11, L"File '%s' is invalid."},
  };
  for (const Case& c : cases) {
    for (bool show_errors : {false, true}) {
      SCOPED_TRACE(c.file.ToUtf8() + (show_errors ? " shown" : " quiet"));
      FakeTools tools;
      EXPECT_FALSE(vo::RunProgram(c.file, {}, false, true, false, nullptr, 0, show_errors));
      const auto log = tools.LogTexts(L"RunProgram");
      EXPECT_NE(std::find(log.begin(), log.end(), VoFormat(L"Failed to start (error %d)", c.code)), log.end());
      const auto boxes = tools.MessageBoxes();
      if (!show_errors) {
        EXPECT_TRUE(boxes.empty());
        continue;
      }
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].title, L"Information");
      EXPECT_EQ(boxes[0].text, VoFormat(c.message, c.file));
    }
  }
}

TEST(RunProgram, PackageInstallerRunsFromTheProgramFolder) {
  FakeTools tools;
  TempTestFolder scratch(L"run-package-installer");
  ASSERT_TRUE(CopyFileW(Program(L"exit_with.exe").c_str(), (scratch.Path() + L"PackageInstaller.exe").c_str(), FALSE));
  const VoString argument_log = scratch.Path() + L"arguments.txt";
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", argument_log.c_str());
  int exit_code = -5;
  bool ran = false;
  {
    ProgramFolderOverride folder(scratch.Path());
    ran = vo::RunPackageInstaller(VoString(L"/RegDLL C:\\Plugins\\codec.dll"), &exit_code);
  }
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);
  EXPECT_TRUE(ran);
  EXPECT_EQ(exit_code, 0);
  const std::string text = ReadFile(argument_log);
  EXPECT_NE(text.find("/RegDLL C:\\Plugins\\codec.dll\r\n"), std::string::npos) << text;

  ProgramFolderOverride no_folder(VoString{});
  EXPECT_FALSE(vo::RunPackageInstaller(VoString(L"/FinishInstall")));
}

VoString RegisteredFolder() {
  wchar_t folder[MAX_PATH] = {};
  DWORD size = sizeof(folder) - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\VoTests\\ComServerStub", L"Folder", RRF_RT_REG_SZ, nullptr, folder,
                   &size) != ERROR_SUCCESS) {
    return VoString(L"<none>");
  }
  return VoString(folder);
}

TEST(ComServerRegistration, RegSvr32RegistersAndUnregisters) {
  FakeTools tools;
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VoTests\\ComServerStub");
  int exit_code = -5;
  EXPECT_TRUE(vo::RunRegSvr32(Program(L"com_server_stub.dll"), false, true, &exit_code));
  EXPECT_EQ(exit_code, 0);
  EXPECT_NE(RegisteredFolder(), L"<none>");
  EXPECT_TRUE(vo::RunRegSvr32(Program(L"com_server_stub.dll"), true, false, &exit_code));
  EXPECT_EQ(exit_code, 0);
  EXPECT_EQ(RegisteredFolder(), L"<none>");

  EXPECT_TRUE(vo::RunRegSvr32(Program(L"com_server_failing.dll"), false, false, &exit_code));
  EXPECT_NE(exit_code, 0);
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  const auto log = tools.LogTexts(L"RunProgram");
  EXPECT_NE(std::find(log.begin(), log.end(),
                      VoFormat(L"Filename: %s\\system32\\RegSvr32.exe / Parameters: /s /u \"%s\"", windows,
                               Program(L"com_server_stub.dll"))),
            log.end());
}

TEST(ComServerRegistration, InProcessRegistrationRunsInTheServersFolder) {
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VoTests\\ComServerStub");
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryW(vo::GetSystemFolder().c_str()));
  wchar_t start[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, start);

  EXPECT_TRUE(vo::RegisterInProcess(Program(L"com_server_stub.dll")));
  VoString expected = vo::GetExecutableFolder();
  const VoString registered = RegisteredFolder();
  EXPECT_TRUE(vo::EqualsNoCase(registered.View(), expected.View()) ||
              vo::EqualsNoCase(registered.View(), expected.Left(expected.Length() - 1).View()))
      << registered.ToUtf8();
  wchar_t after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(after, start);

  EXPECT_FALSE(vo::RegisterInProcess(Program(L"com_server_failing.dll")));
  EXPECT_FALSE(vo::RegisterInProcess(Program(L"no_such_server.dll")));
  EXPECT_FALSE(vo::RegisterInProcess(Program(L"exit_with.exe")));  // no DllRegisterServer
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(after, start);

  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VoTests\\ComServerStub");
  SetCurrentDirectoryW(before);
}

}  // namespace

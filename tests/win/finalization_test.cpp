// Finishing the installation: the finalize list and its RunOnce entry, the
// restart decision, install counters, the product's own registration, the
// completion marker, the read-only install folder, and restarting Windows
// through a recorder in place of ExitWindowsEx.

#include "engine/finalization.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/session.h"
#include "foundation/win/file_system.h"
#include "foundation/win/known_folders.h"
#include "installed_package_installer.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "registry_text_values.h"
#include "support/fake_tools.h"

namespace {

constexpr const wchar_t* kRunOnce = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const wchar_t* kRunOnceValue = L"Install Wizard Completion";

std::map<VoString, VoString> TextValues(const VoString& path) { return ReadTextValues(HKEY_CURRENT_USER, path); }

bool KeyExists(const VoString& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The RunOnce value as it was before the test, put back afterwards.
class SavedRunOnceValue {
 public:
  SavedRunOnceValue() {
    DWORD size = 0;
    existed_ = RegGetValueW(HKEY_CURRENT_USER, kRunOnce, kRunOnceValue, RRF_RT_ANY, &type_, nullptr, &size) ==
               ERROR_SUCCESS;
    if (existed_) {
      data_.resize(size);
      RegGetValueW(HKEY_CURRENT_USER, kRunOnce, kRunOnceValue, RRF_RT_ANY, &type_, data_.data(), &size);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunOnce, kRunOnceValue);
  }
  ~SavedRunOnceValue() {
    if (existed_) {
      RegSetKeyValueW(HKEY_CURRENT_USER, kRunOnce, kRunOnceValue, type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunOnce, kRunOnceValue);
    }
  }

 private:
  bool existed_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> data_;
};

VoString RunOnceCommand() {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, kRunOnce, kRunOnceValue, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
    return VoString(L"<none>");
  }
  return VoString(data);
}

class FinalizationTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    tools_.registry = &registry_;
    Session() = InstallSession{};
    Session().InstallDirectory = install_.Path();
  }
  void TearDown() override {
    SetFileAttributesW(install_.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    Session() = InstallSession{};
    RegistryTestArea::TearDown();
  }

  VoRegistryKeyPtr Store(const wchar_t* name) { return VoRegistryKeyPtr(registry_.OpenStore(name, 1)); }

  FakeTools tools_;
  TempTestFolder install_{L"finalization-install"};
  SavedRunOnceValue run_once_;
};

TEST_F(FinalizationTest, PendingWorkGoesToTheFinalizeListAndRunOnce) {
  InstallSession& session = Session();
  session.PendingFileOperations = {VoString(L"C:\\Staging\\a.dll|C:\\Halvora\\a.dll"),
                                   VoString(L"C:\\Halvora\\Old.dll|_DELETEFILE"),
                                   VoString(L"C:\\Staging\\Pack.kvp|")};
  session.PendingRegistrations = {VoString(L"C:\\Halvora\\a.dll|_REGISTERFILE")};

  EXPECT_EQ(vo::FinalizeInstallation(), vo::kFinishRestart);

  const std::map<VoString, VoString> expected = {
      {L"Install File (0)", L"C:\\Staging\\a.dll|C:\\Halvora\\a.dll"},
      {L"Install File (1)", L"C:\\Staging\\Pack.kvp|"},
      {L"Delete File (0)", L"C:\\Halvora\\Old.dll|_DELETEFILE"},
      {L"Register File (0)", L"C:\\Halvora\\a.dll|_REGISTERFILE"},
  };
  EXPECT_EQ(TextValues(StorePath(L"Installer\\Finalize")), expected);
  EXPECT_EQ(RunOnceCommand(),
            VoString(L"\"") + install_.Path().View() + L"PackageInstaller.exe\" \"/FinishInstall\"");
  EXPECT_TRUE(session.PendingFileOperations.IsEmpty());
  EXPECT_EQ(session.PendingRegistrations.GetCount(), 1u);
}

TEST_F(FinalizationTest, RegistrationsAloneAlsoScheduleTheFinalizeRun) {
  Session().PendingRegistrations = {VoString(L"C:\\Halvora\\a.ocx|_REGISTERFILE"),
                                    VoString(L"C:\\Halvora\\b.ax|_REGISTERFILE")};
  Session().RestartRequired = true;
  EXPECT_EQ(vo::FinalizeInstallation(), vo::kFinishRestart);
  const std::map<VoString, VoString> expected = {
      {L"Register File (0)", L"C:\\Halvora\\a.ocx|_REGISTERFILE"},
      {L"Register File (1)", L"C:\\Halvora\\b.ax|_REGISTERFILE"},
  };
  EXPECT_EQ(TextValues(StorePath(L"Installer\\Finalize")), expected);
  EXPECT_NE(RunOnceCommand(), L"<none>");
}

TEST_F(FinalizationTest, NothingPendingWritesNoListAndNoRunOnce) {
  struct Case {
    bool no_run, restart_required;
    int action;
  };
  for (const Case& c : {Case{false, false, vo::kFinishRunProduct}, Case{true, false, vo::kFinishNothing},
                        Case{true, true, vo::kFinishRestart}, Case{false, true, vo::kFinishRestart}}) {
    SCOPED_TRACE(testing::Message() << c.no_run << c.restart_required);
    Session().NoRun = c.no_run;
    Session().RestartRequired = c.restart_required;
    EXPECT_EQ(vo::FinalizeInstallation(), c.action);
    EXPECT_FALSE(KeyExists(StorePath(L"Installer\\Finalize")));
    EXPECT_EQ(RunOnceCommand(), L"<none>");
  }
}

TEST_F(FinalizationTest, RestartDecision) {
  struct Case {
    bool restart_flag;
    std::vector<const wchar_t*> pending;
    bool required;
  };
  const Case cases[] = {
      {false, {}, false},
      {true, {}, true},
      {false, {L"C:\\Staging\\a.dll|C:\\Halvora\\a.dll"}, true},
      {false, {L"C:\\Staging\\Pack.kvp|"}, true},
      {false, {L"C:\\Halvora\\Old.dll|_DELETEFILE"}, true},
      {false, {L"C:\\Staging\\VoShellExt.DLL|C:\\Halvora\\VoShellExt.dll"}, false},
      {false, {L"C:\\Staging\\VoShellExt.dll|C:\\Halvora\\VoShellExt.dll", L"C:\\S\\b.dll|C:\\H\\b.dll"}, true},
      {true, {L"C:\\Staging\\shellext.dll|C:\\Halvora\\shellext.dll"}, true},
      {false, {L"|C:\\Halvora\\a.dll"}, false},
      {false, {L"C:\\Halvora\\a.dll"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.restart_flag << " " << (c.pending.empty() ? "" : VoString(c.pending[0]).ToUtf8()));
    Session().RestartRequired = c.restart_flag;
    Session().PendingFileOperations.Clear();
    for (const wchar_t* entry : c.pending) Session().PendingFileOperations.Add(VoString(entry));
    EXPECT_EQ(vo::IsRestartRequired(), c.required);
  }
}

TEST_F(FinalizationTest, CountersOfAFirstInstallation) {
  for (bool portable : {false, true}) {
    SCOPED_TRACE(portable);
    RegDeleteTreeW(HKEY_CURRENT_USER, area_.c_str());
    // A portable installation over an earlier one still counts as a first.
    Session().EarlierInstallFound = portable;
    Session().Portable = portable;
    vo::FinalizeInstallation();
    VoRegistryKeyPtr properties = Store(L"Properties");
    EXPECT_EQ(properties->ReadInt(L"Install - First Install", -1), 1);
    EXPECT_EQ(properties->ReadInt(L"Install - Number Runs Total", -1), 0);
    EXPECT_EQ(properties->ReadInt(L"Install - Number Runs After Last Install", -1), 0);
    EXPECT_FALSE(properties->ValueExists(L"File Associations - Set"));
    wchar_t today[16] = {};
    GetDateFormatW(LOCALE_INVARIANT, 0, nullptr, L"yyyy-MM-dd", today, 16);
    VoString date;
    properties->ReadString(L"Install - First Install Date", L"", date);
    EXPECT_EQ(date, today);
    EXPECT_EQ(Store(L"Installer")->ReadInt(L"Install - Install Count", -1), 1);
  }
}

TEST_F(FinalizationTest, CountersOfAnUpdate) {
  Session().EarlierInstallFound = true;
  {
    VoRegistryKeyPtr properties = Store(L"Properties");
    properties->WriteString(L"Install - First Install Date", L"2020-01-02", kVoValuePlain);
    properties->WriteInt(L"Install - Number Runs Total", 57);
    properties->WriteInt(L"Install - Number Runs After Last Install", 9);
    Store(L"Installer")->WriteInt(L"Install - Install Count", 4);
  }
  vo::FinalizeInstallation();
  vo::FinalizeInstallation();
  VoRegistryKeyPtr properties = Store(L"Properties");
  EXPECT_EQ(properties->ReadInt(L"Install - First Install", -1), 0);
  EXPECT_EQ(properties->ReadInt(L"File Associations - Set", -1), 1);
  EXPECT_EQ(properties->ReadInt(L"Install - Number Runs Total", -1), 57);
  EXPECT_EQ(properties->ReadInt(L"Install - Number Runs After Last Install", -1), 0);
  VoString date;
  properties->ReadString(L"Install - First Install Date", L"", date);
  EXPECT_EQ(date, L"2020-01-02");
  EXPECT_EQ(Store(L"Installer")->ReadInt(L"Install - Install Count", -1), 6);
}

TEST_F(FinalizationTest, PendingReleaseIsClearedUnlessTheUpdaterRuns) {
  for (bool upgrade : {false, true}) {
    SCOPED_TRACE(upgrade);
    {
      VoRegistryKeyPtr installer = Store(L"Installer");
      installer->WriteString(L"Release Channel - Pending Install", L"C:\\Updates\\Setup.exe", kVoValuePlain);
      installer->WriteString(L"Release Channel - Pending Install Version", L"23.2", kVoValuePlain);
      installer->WriteInt(L"Release Channel - Pending Install Run Count", 3);
      installer->WriteInt(L"Release Channel - Pending Install Install Count", 2);
    }
    Session().Upgrade = upgrade;
    vo::FinalizeInstallation();
    VoRegistryKeyPtr installer = Store(L"Installer");
    VoString pending, version;
    installer->ReadString(L"Release Channel - Pending Install", L"<none>", pending);
    installer->ReadString(L"Release Channel - Pending Install Version", L"<none>", version);
    EXPECT_EQ(pending, upgrade ? L"C:\\Updates\\Setup.exe" : L"");
    EXPECT_EQ(version, upgrade ? L"23.2" : L"");
    EXPECT_EQ(installer->ValueExists(L"Release Channel - Pending Install Run Count"), upgrade);
    EXPECT_EQ(installer->ValueExists(L"Release Channel - Pending Install Install Count"), upgrade);
  }
}

// The product's programs, stand-ins that log their arguments, register
// themselves, except in the server edition.
TEST_F(FinalizationTest, ProductProgramsRegisterThemselves) {
  const VoString log = install_.Path() + L"arguments.log";
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", log.c_str());
  struct Case {
    const wchar_t* main_program;
    std::vector<const wchar_t*> installed;
    int runs;
  };
  const Case cases[] = {
      {L"Halvora.exe", {L"Halvora.exe", L"DuZizizuv.exe"}, 2},
      {L"Halvora.exe", {L"DuZizizuv.exe"}, 1},
      {L"Halvora.exe", {}, 0},
      {L"OdrixControl.exe", {L"OdrixControl.exe", L"DuZizizuv.exe"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.main_program).ToUtf8() + " " + std::to_string(c.installed.size()));
    DeleteFileW(log.c_str());
    for (const wchar_t* name : {L"Halvora.exe", L"DuZizizuv.exe", L"OdrixControl.exe"}) {
      // A program of the previous case may still be ending.
      const VoString path = install_.Path() + name;
      for (int attempt = 0; attempt < 100 && !DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND;
           ++attempt) {
        Sleep(20);
      }
    }
    for (const wchar_t* name : c.installed) {
      ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"exit_with.exe").c_str(), (install_.Path() + name).c_str(),
                            FALSE));
    }
    tools_.product.main_program = VoString(c.main_program);
    vo::FinalizeInstallation();
    // The programs are started, not waited for: give them time to log.
    std::vector<std::string> lines;
    for (int wait = 0; wait < 100; ++wait) {
      Sleep(c.runs == 0 && wait >= 10 ? 0 : 50);
      lines.clear();
      std::ifstream in(log.ToUtf8());
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      if (static_cast<int>(lines.size()) >= c.runs && (c.runs > 0 || wait >= 10)) break;
    }
    ASSERT_EQ(static_cast<int>(lines.size()), c.runs);
    for (std::string line : lines) {
      if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
      EXPECT_EQ(line, "/Register");
    }
  }
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);
}

TEST_F(FinalizationTest, CompletionMarkerNamesTheInstalledMainProgram) {
  TempTestFolder installer(L"finalization-installer");
  ProcessPathOverride executable(ProcessPath::kExecutable, installer.Path() + L"HalvoraSetup.exe");
  const VoString marker = installer.Path() + L"Finish.txt";

  EXPECT_FALSE(vo::WriteCompletionMarker());
  EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);

  install_.AddFile(VoString(L"Halvora.exe"), "program");
  EXPECT_TRUE(vo::WriteCompletionMarker());
  std::ifstream in(marker.ToUtf8(), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::string expected = "\xFF\xFE";
  for (wchar_t c : VoString(L"VoFI0001\r\n").Std() + install_.Path().Std() + L"Halvora.exe") {
    expected += static_cast<char>(c & 0xFF);
    expected += static_cast<char>(c >> 8);
  }
  EXPECT_EQ(bytes.str(), expected);
}

TEST_F(FinalizationTest, InstallFolderBecomesReadOnly) {
  const DWORD before = GetFileAttributesW(install_.Path().c_str());
  ASSERT_NE(before, INVALID_FILE_ATTRIBUTES);
  ASSERT_FALSE(before & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(vo::MarkInstallFolderReadOnly());
  // Wine accepts the attribute on a folder but does not keep it.
  TempTestFolder probe(L"finalization-read-only-probe");
  SetFileAttributesW(probe.Path().c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  const bool folders_keep_it = GetFileAttributesW(probe.Path().c_str()) & FILE_ATTRIBUTE_READONLY;
  SetFileAttributesW(probe.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!folders_keep_it) GTEST_SKIP() << "this system keeps no read-only attribute on folders";
  EXPECT_EQ(GetFileAttributesW(install_.Path().c_str()), before | FILE_ATTRIBUTE_READONLY);
}

TEST_F(FinalizationTest, NoInstallFolderNoAttribute) {
  Session().InstallDirectory = install_.Path() + L"missing\\";
  EXPECT_FALSE(vo::MarkInstallFolderReadOnly());
}

// ---- CSystemShutdown, with a recorder in place of ExitWindowsEx ----

// Whether the shutdown privilege is enabled in the process's token; -1
// when the token does not hold it.
int ShutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
  LUID luid = {};
  LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid);
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  int state = -1;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID& l = privileges->Privileges[i].Luid;
      if (l.LowPart == luid.LowPart && l.HighPart == luid.HighPart) {
        state = (privileges->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) ? 1 : 0;
      }
    }
  }
  CloseHandle(token);
  return state;
}

// Enables or disables the shutdown privilege of the process's token.
void SetShutdownPrivilege(bool enabled) {
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
  LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
  CloseHandle(token);
}

struct ExitCall {
  UINT flags;
  DWORD reason;
  int privilege;
};
std::vector<ExitCall> g_exit_calls;
BOOL g_exit_answer = TRUE;

BOOL RecordExitWindows(UINT flags, DWORD reason) {
  g_exit_calls.push_back({flags, reason, ShutdownPrivilegeEnabled()});
  return g_exit_answer;
}

class SystemShutdownTest : public testing::Test {
 protected:
  void SetUp() override {
    g_exit_calls.clear();
    g_exit_answer = TRUE;
    previous_ = CSystemShutdown::ReplaceExitWindows(RecordExitWindows);
  }
  void TearDown() override { CSystemShutdown::ReplaceExitWindows(previous_); }

  FakeTools tools_;
  CSystemShutdown::ExitWindowsFunction previous_ = nullptr;
};

TEST_F(SystemShutdownTest, RestartAndPowerOffWithThePrivilegeForTheCall) {
  ASSERT_NE(ShutdownPrivilegeEnabled(), -1) << "the token holds no shutdown privilege";
  SetShutdownPrivilege(false);
  const int before = ShutdownPrivilegeEnabled();
  ASSERT_EQ(before, 0);
  CSystemShutdown shutdown;
  EXPECT_TRUE(shutdown.Shutdown(ShutdownMode::kRestart));
  EXPECT_EQ(ShutdownPrivilegeEnabled(), before);
  g_exit_answer = FALSE;
  EXPECT_FALSE(shutdown.Shutdown(ShutdownMode::kPowerOff));
  EXPECT_EQ(ShutdownPrivilegeEnabled(), before);

  ASSERT_EQ(g_exit_calls.size(), 2u);
  EXPECT_EQ(g_exit_calls[0].flags, 18u);
  EXPECT_EQ(g_exit_calls[1].flags, 25u);
  for (const ExitCall& call : g_exit_calls) {
    EXPECT_EQ(call.privilege, 1);
    EXPECT_TRUE(call.reason & SHTDN_REASON_FLAG_PLANNED);
  }
  EXPECT_EQ(tools_.LogTexts(L"CSystemShutdown::Shutdown"),
            (std::vector<VoString>{L"mode: restart", L"mode: power off"}));
}

}  // namespace

// The installed product's package installer, started by RunOnce at the next
// logon, completes the list: staged copies in place, listed files deleted,
// listed servers registered; an entry it cannot complete stays listed.
class FinishRunTest : public FinalizationTest {
 protected:
  static constexpr const wchar_t* kProductArea = L"Software\\V. Ortala\\Halvora 23";
  static constexpr const wchar_t* kStubKey = L"Software\\VoTests\\ComServerStub";

  void SetUp() override {
    FinalizationTest::SetUp();
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductArea);
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
    // The real tools library in the package installer uses the product's area.
    registry_.SetSettingsArea(kProductArea);
    ASSERT_TRUE(InstallPackageInstallerInto(install_.Path()));
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductArea);
    RegDeleteKeyW(HKEY_CURRENT_USER, kProductArea);
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kStubKey);
    FinalizationTest::TearDown();
  }

  std::string Read(const wchar_t* relative) const {
    std::ifstream in(std::filesystem::path((install_.Path() + relative).Std()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Runs the RunOnce command as the logon would.
  DWORD RunAtLogon() const {
    std::wstring command = RunOnceCommand().Std();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      return 99;
    }
    DWORD code = 98;
    WaitForSingleObject(info.hProcess, 60000);
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return code;
  }
};

TEST_F(FinishRunTest, ThePackageInstallerCompletesTheListAtTheNextLogon) {
  const VoString& folder = install_.Path();
  install_.AddFile(VoString(L"Component.dll"), "old");
  install_.AddFile(VoString(L"Setup\\Component.dll"), "new");
  install_.AddFile(VoString(L"Obsolete.txt"), "gone");
  ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"com_server_stub.dll").c_str(), (folder + L"Server.dll").c_str(), FALSE));
  InstallSession& session = Session();
  session.PendingFileOperations = {folder + L"Setup\\Missing.dll|" + folder.View() + L"Missing.dll",
                                   folder + L"Setup\\Component.dll|" + folder.View() + L"Component.dll",
                                   folder + L"Obsolete.txt|_DELETEFILE"};
  session.PendingRegistrations = {folder + L"Server.dll|_REGISTERFILE"};
  ASSERT_EQ(vo::FinalizeInstallation(), vo::kFinishRestart);

  EXPECT_EQ(RunAtLogon(), 1u);  // one entry could not be completed

  EXPECT_EQ(Read(L"Component.dll"), "new");
  EXPECT_FALSE(vo::FileExists(folder + L"Setup\\Component.dll"));
  EXPECT_FALSE(vo::FileExists(folder + L"Obsolete.txt"));
  EXPECT_EQ(ReadTextValues(HKEY_CURRENT_USER, VoString(kStubKey))[VoString(L"Folder")] + L"\\", folder);
  const std::map<VoString, VoString> left = {
      {L"Install File (0)", folder + L"Setup\\Missing.dll|" + folder.View() + L"Missing.dll"}};
  EXPECT_EQ(TextValues(VoString(kProductArea) + L"\\Installer\\Finalize"), left);
}

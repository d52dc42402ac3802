#include "engine/finalization.h"

#include <windows.h>

#include <iterator>

#include "app/installer_folder.h"
#include "app/session.h"
#include "engine/copy_phase.h"
#include "foundation/string_format.h"
#include "foundation/text_file.h"
#include "foundation/win/file_system.h"
#include "foundation/win/run_program.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr const wchar_t* kRunOnceKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const wchar_t* kRunOnceValue = L"Install Wizard Completion";
constexpr const wchar_t* kDeleteMark = L"_DELETEFILE";
constexpr int kUnicodeText = 3;  // UTF-16 with its byte-order mark

VoString MainProgramName() {
  VoString name;
  if (IVoProduct* product = Product()) product->GetMainProgramName(name);
  return name;
}

VoString Numbered(const wchar_t* family, int number) { return VoFormat(VoString(family) + L" (%d)", number); }

void WriteRunOnceEntry(const VoString& install_folder) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunOnceKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  const VoString command = VoString(L"\"") + install_folder.View() + L"PackageInstaller.exe\" \"/FinishInstall\"";
  RegSetValueExW(key, kRunOnceValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.Length() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// Work that needs files no longer in use is left to the package installer,
// which RunOnce starts at the next logon.
void WriteFinalizeList(const InstallSession& session) {
  VoRegistryKeyPtr list = OpenStore(L"Installer\\Finalize", 1);
  if (list) {
    int installs = 0, deletes = 0;
    for (size_t i = 0; i < session.PendingFileOperations.GetCount(); ++i) {
      const VoString& entry = session.PendingFileOperations[i];
      const VoString name = entry.Find(kDeleteMark) != VoString::npos ? Numbered(L"Delete File", deletes++)
                                                                       : Numbered(L"Install File", installs++);
      list->WriteString(name.c_str(), entry.c_str(), kVoValuePlain);
    }
  }
  WriteRunOnceEntry(session.InstallDirectory);
  if (!list) return;
  for (size_t i = 0; i < session.PendingRegistrations.GetCount(); ++i) {
    list->WriteString(Numbered(L"Register File", static_cast<int>(i)).c_str(), session.PendingRegistrations[i].c_str(),
                      kVoValuePlain);
  }
}

VoString TodayText() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  return VoFormat(L"%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
}

void WriteInstallKindCounters(const InstallSession& session) {
  const bool update = session.EarlierInstallFound && !session.Portable;
  VoRegistryKeyPtr properties = OpenStore(L"Properties", 0);
  if (!properties) return;
  if (update) {
    properties->WriteInt(L"Install - First Install", 0);
    properties->WriteInt(L"File Associations - Set", 1);
  } else {
    properties->WriteInt(L"Install - First Install", 1);
    properties->WriteString(L"Install - First Install Date", TodayText().c_str(), kVoValuePlain);
    properties->WriteInt(L"Install - Number Runs Total", 0);
  }
  properties->WriteInt(L"Install - Number Runs After Last Install", 0);
}

void RegisterProductPrograms(const InstallSession& session) {
  if (IsServerEdition()) return;
  const VoStringArray arguments{VoString(L"/Register")};
  const VoString main_program = session.InstallDirectory + MainProgramName().View();
  if (FileExists(main_program)) RunProgram(main_program, arguments);
  const VoString helper = session.InstallDirectory + L"DuZizizuv.exe";
  if (FileExists(helper)) RunProgram(helper, arguments);
}

void WriteInstallerCounters(const InstallSession& session) {
  VoRegistryKeyPtr installer = OpenStore(L"Installer", 0);
  if (!installer) return;
  installer->WriteInt(L"Install - Install Count", installer->ReadInt(L"Install - Install Count", 0) + 1);
  // The updater's own run keeps its pending release; any other install
  // supersedes it.
  if (session.Upgrade) return;
  installer->WriteString(L"Release Channel - Pending Install", L"", kVoValuePlain);
  installer->WriteString(L"Release Channel - Pending Install Version", L"", kVoValuePlain);
  installer->DeleteValue(L"Release Channel - Pending Install Run Count");
  installer->DeleteValue(L"Release Channel - Pending Install Install Count");
}

}  // namespace

bool IsRestartRequired() {
  const InstallSession& session = Session();
  if (session.RestartRequired) return true;
  for (size_t i = 0; i < session.PendingFileOperations.GetCount(); ++i) {
    const VoString& entry = session.PendingFileOperations[i];
    const size_t bar = entry.Find(L'|');
    if (bar != VoString::npos && bar > 0 && entry.ToLower().Find(L"shellext.dll") == VoString::npos) return true;
  }
  return false;
}

int FinalizeInstallation() {
  InstallSession& session = Session();
  if (!session.PendingFileOperations.IsEmpty() || !session.PendingRegistrations.IsEmpty()) {
    WriteFinalizeList(session);
  }
  int action = kFinishRunProduct;
  if (IsRestartRequired()) {
    action = kFinishRestart;
  } else if (session.NoRun) {
    action = kFinishNothing;
  }
  session.PendingFileOperations.Clear();
  WriteInstallKindCounters(session);
  RegisterProductPrograms(session);
  WriteInstallerCounters(session);
  return action;
}

bool MarkInstallFolderReadOnly() {
  const VoString& folder = Session().InstallDirectory;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return SetFileAttributesW(folder.c_str(), attributes | FILE_ATTRIBUTE_READONLY) != FALSE;
}

bool WriteCompletionMarker() {
  const VoString main_program = Session().InstallDirectory + MainProgramName().View();
  if (!FileExists(main_program)) return false;
  const VoString text = VoString(L"VoFI0001\r\n") + main_program.View();
  return WriteTextFile(InstallerFolder() + L"Finish.txt", text.View(), kUnicodeText);
}

}  // namespace vo

namespace {

CSystemShutdown::ExitWindowsFunction g_exit_windows = nullptr;

BOOL SystemExitWindows(UINT flags, DWORD reason) { return ExitWindowsEx(flags, reason); }

}  // namespace

const char* const CSystemShutdown::Advapi32::kNames[3] = {"OpenProcessToken", "LookupPrivilegeValueW",
                                                          "AdjustTokenPrivileges"};

CSystemShutdown::Advapi32::Advapi32() {
  void* found[std::size(kNames)];
  Load(L"Advapi32.dll", kNames, found, std::size(kNames));
  OpenProcessToken = reinterpret_cast<decltype(OpenProcessToken)>(found[0]);
  LookupPrivilegeValueW = reinterpret_cast<decltype(LookupPrivilegeValueW)>(found[1]);
  AdjustTokenPrivileges = reinterpret_cast<decltype(AdjustTokenPrivileges)>(found[2]);
}

const char* const CSystemShutdown::PowrProf::kNames[1] = {"SetSuspendState"};

CSystemShutdown::PowrProf::PowrProf() {
  void* found[std::size(kNames)];
  Load(L"PowrProf.dll", kNames, found, std::size(kNames));
  SetSuspendState = reinterpret_cast<decltype(SetSuspendState)>(found[0]);
}

CSystemShutdown::CSystemShutdown() = default;

CSystemShutdown::ExitWindowsFunction CSystemShutdown::ReplaceExitWindows(ExitWindowsFunction function) {
  const ExitWindowsFunction previous = g_exit_windows;
  g_exit_windows = function;
  return previous;
}

bool CSystemShutdown::Shutdown(ShutdownMode mode) {
  const bool restart = mode == ShutdownMode::kRestart;
  vo::Log(L"CSystemShutdown::Shutdown", VoString(L"mode: ") + (restart ? L"restart" : L"power off"));

  HANDLE token = nullptr;
  TOKEN_PRIVILEGES previous = {};
  bool adjusted = false;
  if (advapi_.OpenProcessToken && advapi_.LookupPrivilegeValueW && advapi_.AdjustTokenPrivileges &&
      advapi_.OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES enable = {};
    enable.PrivilegeCount = 1;
    enable.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    DWORD previous_size = sizeof previous;
    adjusted = advapi_.LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &enable.Privileges[0].Luid) &&
               advapi_.AdjustTokenPrivileges(token, FALSE, &enable, sizeof previous, &previous, &previous_size);
  }

  const UINT flags = restart ? (EWX_REBOOT | EWX_FORCEIFHUNG) : (EWX_SHUTDOWN | EWX_POWEROFF | EWX_FORCEIFHUNG);
  const DWORD reason = SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED;
  const ExitWindowsFunction exit_windows = g_exit_windows ? g_exit_windows : SystemExitWindows;
  const bool done = exit_windows(flags, reason) != FALSE;

  if (adjusted) advapi_.AdjustTokenPrivileges(token, FALSE, &previous, 0, nullptr, nullptr);
  if (token) CloseHandle(token);
  return done;
}

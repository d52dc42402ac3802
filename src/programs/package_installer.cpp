// The product's package installer: registers the stored selection of file
// associations, registers and unregisters COM servers, installs packages,
// takes the audio driver step, and completes the finalize list an
// installation left behind. It runs from the product's install folder, where
// the tools library's modules are.
//
// Exit codes: 0 done, 1 some of the work failed (logged), 2 bad arguments or
// the tools library could not be loaded.

#include <windows.h>

#include <clocale>

#include "app/session.h"
#include "assoc/stored_selection.h"
#include "engine/finalize_list_run.h"
#include "foundation/char_class.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/com_scope.h"
#include "foundation/win/com_server_registration.h"
#include "foundation/win/file_system.h"
#include "foundation/win/process_info_record.h"
#include "plugins/install_package.h"
#include "programs/package_installer_arguments.h"
#include "tools/tools_loader.h"
#include "tools/vo_tools.h"

namespace {

constexpr wchar_t kTitle[] = L"Package Installer";
constexpr int kDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kCannotRun = 2;

bool g_quiet = false;

VoString OwnFolder() {
  wchar_t path[MAX_PATH * 4] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  if (n == 0 || n >= std::size(path)) return {};
  VoString folder(path, n);
  return folder.Left(folder.FindLast(L'\\') + 1);
}

void Tell(const VoString& text) {
  vo::Log(kTitle, text);
  if (g_quiet) return;
  IVoTools* tools = VoTools();
  if (tools && tools->Dialogs()) {
    tools->Dialogs()->ShowInformation(kTitle, text.c_str());
  } else {
    MessageBoxW(nullptr, text.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
  }
}

void ReportCriticalError(const wchar_t* caption, const wchar_t* text) {
  if (g_quiet) return;
  MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

void EndAfterCriticalError() { ExitProcess(kCannotRun); }

int RegisterServers(const VoString& path, bool unregister) {
  VoStringArray done, failed;
  const bool ok = vo::RegisterServersAt(path, unregister, &done, &failed);
  const wchar_t* verb = unregister ? L"unregistered" : L"registered";
  for (const VoString& server : done) vo::Log(kTitle, VoString(verb) + L" " + server.View());
  for (const VoString& server : failed) vo::Log(kTitle, VoString(L"not ") + verb + L": " + server.View());
  // Failures are only logged: the installer runs this program while it
  // copies, and a box here would stop the installation.
  return ok ? kDone : kSomeFailed;
}

int InstallPackage(const VoString& path) {
  CInstallPackage package;
  package.SetQuiet(g_quiet);
  if (!package.Load(path)) {
    Tell(VoFormat(L"The file '%s' is not a package that can be installed.", path));
    return kSomeFailed;
  }
  if (!package.Install()) {
    Tell(VoFormat(L"The package '%s' could not be installed.\r\n\r\n%s", package.GetName(), package.GetFailure()));
    return kSomeFailed;
  }
  package.Cleanup();
  vo::Log(kTitle, VoFormat(L"Installed the package '%s' from %s", package.GetName(), path));
  return kDone;
}

// This build ships no audio driver, so there is nothing to hand to the
// system's driver installation: the description is checked and the step
// logged. Only logged, never shown: the installer runs this while it works.
int InstallDriver(const VoString& inf) {
  if (!vo::FileExists(inf)) {
    vo::Log(kTitle, VoFormat(L"No driver description at %s", inf));
    return kSomeFailed;
  }
  vo::Log(kTitle, VoFormat(L"Audio driver described by %s: no driver ships with this build, nothing installed", inf));
  return kDone;
}

int RemoveDriver() {
  vo::Log(kTitle, VoString(L"Audio driver: no driver ships with this build, nothing removed"));
  return kDone;
}

int Run(int argc, wchar_t** argv) {
  VoStringArray arguments;
  for (int i = 1; i < argc; ++i) arguments.Add(VoString(argv[i]));
  const vo::PackageInstallerArguments parsed = vo::ParsePackageInstallerArguments(arguments);
  g_quiet = parsed.quiet;

  const VoString folder = OwnFolder();
  vo::SetInstallerProcess(false);
  vo::SetProcessPath(ProcessPath::kToolsFolder, folder);
  vo::SetProcessPath(ProcessPath::kProgramFolder, folder);
  vo::SetProcessPath(ProcessPath::kInstallFolder, folder);
  Session().InstallDirectory = folder;
  vo::SetCriticalErrorReporter(ReportCriticalError);
  vo::SetProcessEnder(EndAfterCriticalError);
  if (!vo::LoadToolsLibrary(GetModuleHandleW(nullptr))) return kCannotRun;

  vo::Log(kTitle, VoString(L"Command line: ") + GetCommandLineW());
  if (!parsed.error.IsEmpty()) {
    Tell(parsed.error + L"\r\n\r\n" + vo::PackageInstallerUsage().View());
    return kCannotRun;
  }
  switch (parsed.command) {
    case vo::PackageInstallerCommand::kRegFileAssociations:
      vo::RegisterStoredSelection();
      return kDone;
    case vo::PackageInstallerCommand::kRegisterServers:
      return RegisterServers(parsed.path, false);
    case vo::PackageInstallerCommand::kUnregisterServers:
      return RegisterServers(parsed.path, true);
    case vo::PackageInstallerCommand::kFinishInstall:
      return vo::CompleteFinalizeList().failed.IsEmpty() ? kDone : kSomeFailed;
    case vo::PackageInstallerCommand::kInstallPackage:
      return InstallPackage(parsed.path);
    case vo::PackageInstallerCommand::kInstallDriver:
      return InstallDriver(parsed.path);
    case vo::PackageInstallerCommand::kRemoveDriver:
      return RemoveDriver();
    case vo::PackageInstallerCommand::kNone:
      break;
  }
  return kCannotRun;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::setlocale(LC_ALL, "");
  vo::RebuildCharacterTables();
  VoComScope ole(VoComScope::kOle);
  const int code = Run(argc, argv);
  vo::ReleaseToolsLibrary();
  return code;
}

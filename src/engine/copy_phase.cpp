#include "engine/copy_phase.h"

#include <windows.h>
#include <objbase.h>

#include "app/installation_records.h"
#include "app/session.h"
#include "app/session_queries.h"
#include "engine/built_in_associations.h"
#include "engine/file_copy.h"
#include "engine/migration.h"
#include "engine/registration_pass.h"
#include "engine/tools_library_copy.h"
#include "engine/uninstall_entry.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/file_system.h"
#include "foundation/win/folder_tree_delete.h"
#include "foundation/win/run_program.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

void ShowError(const wchar_t* text) {
  IVoTools* tools = VoTools();
  if (IVoDialogService* dialogs = tools ? tools->Dialogs() : nullptr) {
    dialogs->ShowInformation(Localize(L"Error").c_str(), Localize(text).c_str());
  } else {
    Log(L"RunCopyPhase", VoString(text));
  }
}

// System files by version and always, and fonts, once per system folder:
// the native one, and on 64-bit Windows also the one of 32-bit programs.
void InstallSystemFiles(IInstallPage& page, CopyPhaseLists& lists, const CopyEnvironment& environment) {
  page.SetStatusText(Localize(L"Installing system files..."));
  const VoString source = WithTrailingBackslash(environment.source_folder().View());
  const int passes = environment.is_windows_64bit() ? 2 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    if (Session().Portable) continue;
    const VoString system = environment.system_folder(pass);
    if (system.IsEmpty()) {
      ShowError(L"The install wizard can not obtain the Windows system path. System files will not be installed.");
      continue;
    }
    CopyFolder(CopyMode::kCheckVersion, page, source + L"System\\Check Version\\", system, &lists.registrations,
               environment);
    CopyFolder(CopyMode::kAlwaysOverwrite, page, source + L"System\\Always Overwrite\\", system,
               &lists.registrations, environment);
    const VoString fonts = environment.fonts_folder();
    if (fonts.IsEmpty()) {
      ShowError(L"The install wizard can not obtain the system font path. Custom fonts will not be installed.");
    } else {
      CopyFolder(CopyMode::kFont, page, source + L"Fonts\\", fonts, &lists.registrations, environment);
    }
  }
}

// The server edition's running server is stopped and its old files go, so
// that the new ones come in clean.
void StopServerEdition(const VoString& install_folder) {
  VoString main_program;
  if (IVoProduct* product = Product()) product->GetMainProgramName(main_program);
  const VoString program = install_folder + main_program.View();
  if (FileExists(program)) {
    RunProgram(program, VoStringArray{VoString(L"/Stop")}, false, true, true, nullptr, 0, false, 5000);
  }
  DeleteFolderTree(install_folder + L"Server\\");
}

}  // namespace

bool IsServerEdition() {
  VoString main_program;
  if (IVoProduct* product = Product()) product->GetMainProgramName(main_program);
  return main_program.FindNoCase(L"Odrix") != VoString::npos;
}

void RunCopyPhase(IInstallPage& page, CopyPhaseLists& lists) { RunCopyPhase(page, lists, CopyEnvironment::System()); }

void RunCopyPhase(IInstallPage& page, CopyPhaseLists& lists, const CopyEnvironment& environment) {
  page.SetBusy(false);
  lists.registrations.Clear();
  page.SetHeader(Localize(L"Copying Files"), Localize(L"Please wait while Install Wizard copies and registers files."));

  // The preparation steps show their own status lines and bars.
  CleanInstallFolder(page);
  SetInstalledProductFolder();
  LoadDefaultLibrary(page);
  UpgradeFromPreviousVersions(page, lists.earlier_versions, lists.earlier_folders);

  if (!CopyToolsLibrary(environment)) {
    page.CancelWizard();
    return;
  }
  WriteInstallationRecord();

  CoFreeUnusedLibraries();
  InstallSystemFiles(page, lists, environment);

  const VoString install_folder = WithTrailingBackslash(Session().InstallDirectory.View());
  const bool server_edition = IsServerEdition();
  if (server_edition && !install_folder.IsEmpty()) StopServerEdition(install_folder);

  const VoString source = WithTrailingBackslash(environment.source_folder().View());
  page.SetStatusText(VoFormat(Localize(L"Installing %s program files...").View(), ProductName(1)));
  if (install_folder.IsEmpty()) {
    // Relative destinations would land in whatever the current folder is.
    Log(L"RunCopyPhase", VoString(L"No install folder: program files not copied"));
  } else {
    CopyFolder(CopyMode::kAlwaysOverwrite, page, source + L"Kelvane\\", install_folder, &lists.registrations,
               environment);
    // The licence beside the program is a courtesy; the wizard already showed it.
    CopyFileW((source + L"License.txt").c_str(), (install_folder + L"License.txt").c_str(), FALSE);
  }

  page.SetStatusText(Localize(L"Registering program files..."));
  RegisterCollectedFiles(page, lists.registrations, server_edition);

  ApplyInstallDirectory();

  page.SetStatusText(Localize(L"Creating registry settings..."));
  WriteBuiltInAssociations();
  WriteUninstallEntry();

  page.AdvancePhase();
}

}  // namespace vo

#include "engine/tools_library_copy.h"

#include <windows.h>

#include "app/session.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/file_system.h"
#include "tools/tools_loader.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr VoModule kLibraryModules[] = {VoModule::kTools,  VoModule::kImage,     VoModule::kReader,
                                        VoModule::kDisc,   VoModule::kPlayer,    VoModule::kWMFactory,
                                        VoModule::kTelevision};

// One run over both builds; the destination of the first file that could
// not be copied, or empty.
VoString CopyOnce(const CopyEnvironment& environment) {
  const VoString source_root = WithTrailingBackslash(environment.source_folder().View()) + L"Kelvane\\";
  const VoString install_root = WithTrailingBackslash(Session().InstallDirectory.View());
  if (install_root.IsEmpty()) {
    // Relative destinations would land in whatever the current folder is.
    Log(L"CopyToolsLibrary", VoString(L"No install folder: nothing copied"));
    return {};
  }
  const int passes = environment.is_windows_64bit() ? 2 : 1;
  const VoStringArray names = ToolsLibraryFileNames();
  for (int pass = 0; pass < passes; ++pass) {
    const VoString source_folder = pass == 0 ? source_root : source_root + L"x64\\";
    const VoString destination_folder = pass == 0 ? install_root : install_root + L"x64\\";
    CreateFolderTree(destination_folder, false);
    for (const VoString& name : names) {
      const VoString source = source_folder + name.View();
      if (!FileExists(source)) continue;
      const VoString destination = destination_folder + name.View();
      SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!CopyFileW(source.c_str(), destination.c_str(), FALSE)) {
        Log(L"CopyToolsLibrary", VoFormat(L"Copying %s failed (error %d)", destination, GetLastError()));
        return destination;
      }
      SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }
  return {};
}

void ShowCriticalError(IVoDialogService& dialogs) {
  const VoString text = Localize(L"Install Wizard encountered a critical error and must close.\r\n\r\n") +
                        Localize(L"It is recommended that you reboot your computer and install again.\r\n\r\n").View() +
                        Localize(L"If this error persists, please uninstall and then install again.").View();
  dialogs.ShowInformation(Localize(L"Install Error").c_str(), text.c_str());
}

}  // namespace

VoStringArray ToolsLibraryFileNames() {
  VoStringArray names;
  for (VoModule module : kLibraryModules) names.Add(VoModuleFileName(module));
  return names;
}

bool MentionsToolsLibraryFile(const VoString& path) {
  for (const VoString& name : ToolsLibraryFileNames()) {
    if (path.FindNoCase(name.View()) != VoString::npos) return true;
  }
  return false;
}

bool CopyToolsLibrary(const CopyEnvironment& environment) {
  for (;;) {
    const VoString failed = CopyOnce(environment);
    if (failed.IsEmpty()) return true;

    IVoTools* tools = VoTools();
    IVoDialogService* dialogs = tools ? tools->Dialogs() : nullptr;
    // Nobody to ask: retrying by ourselves could go on for ever.
    if (!dialogs) return false;
    const VoString retry = Localize(L"Retry");
    const VoString text = Localize(L"Install Wizard could not copy necessary files to the destination folder.\r\n\r\n") +
                          VoFormat(Localize(L"Please ensure that the file '%s' is not in use.").View(), failed).View();
    VoString pressed;
    dialogs->AskWithButtons(Localize(L"Failure Copying System File").c_str(), text.c_str(), retry.c_str(),
                            Localize(L"Cancel").c_str(), pressed);
    if (pressed == retry) continue;
    ShowCriticalError(*dialogs);
    return false;
  }
}

}  // namespace vo

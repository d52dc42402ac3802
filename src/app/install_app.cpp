#include "app/install_app.h"

#include "app/command_line.h"
#include "app/installation_records.h"
#include "app/installer_folder.h"
#include "app/read_install_file.h"
#include "app/session.h"
#include "app/skin_selection.h"
#include "app/wizard_entry.h"
#include "foundation/char_class.h"
#include "foundation/path_text.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/process_info_record.h"
#include "tools/tools_loader.h"
#include "tools/vo_tools.h"

#include <clocale>

namespace {

constexpr const wchar_t* kVirtualStoreKeys[2] = {
    L"Software\\Classes\\VirtualStore\\Machine\\Software",
    L"Software\\Classes\\VirtualStore\\Machine\\Software\\Wow6432Node",
};

// The switches as parsed, for the log.
VoString DescribeSwitches(const InstallSession& s) {
  VoString text(L"Switches:");
  const struct {
    const wchar_t* name;
    bool set;
  } flags[] = {{L"Silent", s.Silent},       {L"Upgrade", s.Upgrade},     {L"NoAssociations", s.NoAssociations},
               {L"NoDependencies", s.NoDependencies}, {L"NoUpgrade", s.NoUpgrade}, {L"NoDriver", s.NoDriver},
               {L"NoRun", s.NoRun}};
  for (const auto& flag : flags) {
    if (flag.set) text += VoString(L" ") + flag.name;
  }
  if (!s.DistributorID.IsEmpty()) text += L" DistributorID=" + s.DistributorID;
  return text;
}

void ShowInformation(const VoString& title, const VoString& text) {
  if (IVoTools* tools = VoTools()) tools->Dialogs()->ShowInformation(title.c_str(), text.c_str());
}

}  // namespace

bool CInstallApp::InitInstance() {
  RunStartup();
  CloseVirtualStoreKeys();
  return false;  // no message loop: the wizard has run and closed
}

void CInstallApp::ExitInstance() {
  vo::ReleaseToolsLibrary();
  UninitOle();
  VoApp::ExitInstance();
}

bool CInstallApp::RunStartup() {
  InitOle();
  std::setlocale(LC_ALL, "");
  vo::RebuildCharacterTables();
  instance_mutex_.Create(kInstallerMutexName);
  RemoveVirtualStoreCopies();

  // The tools library loads from "Kelvane\" beside the installer.
  vo::SetInstallerProcess(true);
  const VoString tools_folder = vo::InstallerFolder() + L"Kelvane\\";
  vo::SetProcessPath(ProcessPath::kToolsFolder, tools_folder);
  vo::SetProcessPath(ProcessPath::kInstallFolder, tools_folder);
  if (!LoadToolsLibrary()) return false;

  vo::LocateInstalledProduct(vo::ProductName(3));
  vo::Log(L"Startup", L"Installed product: " + vo::GetProgramFolder());
  vo::ReadInstallFile();
  vo::Log(L"Startup", L"Support folders: " + Session().SupportFolders.Join(L"; "));
  vo::Log(L"Startup", L"Shipped media: " + Session().ShippedMediaFolder);
  vo::Log(L"Startup", VoString(L"Allow downgrade: ") + (Session().AllowDowngrade ? L"1" : L"0"));
  const VoString command_line = vo::JoinArguments(arguments_);
  vo::ParseCommandLine(command_line);
  vo::Log(L"Startup", L"Command line: " + command_line);
  vo::Log(L"Startup", DescribeSwitches(Session()));

  SelectSkin();
  ShowLanguageSelection();
  if (IsAnotherInstallerRunning()) return false;

  if (vo::IsCheckSkippingChordHeld()) {
    vo::Log(L"Startup", VoString(L"Environment checks skipped by the key chord"));
  } else if (!vo::RunEnvironmentChecks(probes_)) {
    vo::Log(L"Startup", VoString(L"An environment check failed; setup ends"));
    return false;
  }

  PrepareLauncherFile();
  vo::RunInstallWizard();
  return false;
}

void CInstallApp::RemoveVirtualStoreCopies() {
  for (int i = 0; i < 2; ++i) {
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kVirtualStoreKeys[i], 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                      &virtual_store_keys_[i]) != ERROR_SUCCESS) {
      virtual_store_keys_[i] = nullptr;
      continue;
    }
    // Removes the maker's copy only when it has no subkeys of its own.
    RegDeleteKeyW(virtual_store_keys_[i], L"V. Ortala");
  }
}

void CInstallApp::CloseVirtualStoreKeys() {
  for (HKEY& key : virtual_store_keys_) {
    if (key) RegCloseKey(key);
    key = nullptr;
  }
}

void CInstallApp::SelectSkin() {
  IVoTools* tools = VoTools();
  if (!tools || !tools->Skins()) return;
  tools->Skins()->SelectTitlebarIcon(L"Titlebar Icon");

  const VoString base = vo::WithTrailingBackslash(vo::InstallerFolder() + L"Kelvane\\Skins\\Standard View");
  const VoString styles = vo::ConfigString(L"/*/General/MegaSkinStyles");
  const VoString configured = vo::ConfigString(L"/*/General/MegaSkin");
  VoString current;
  if (VoRegistryKeyPtr store = vo::OpenStore(L"Properties", 0)) {
    const VoString name = vo::ConfigString(L"/*/General/MegaSkinKey", L"Standard View Skin");
    store->ReadString(name.c_str(), L"", current);
    if (!current.IsEmpty()) current = vo::WithTrailingBackslash(current.View());
    if (!vo::IsValidSkinFolder(current, styles.View())) current.Clear();
  }
  tools->Skins()->SetSkinFolder(vo::ChooseSkinFolder(base, configured, current, styles.View()).c_str());
}

void CInstallApp::ShowLanguageSelection() {
  if (vo::ConfigInt(L"/*/Installer/ShowLanguageSelection", 0) == 0) return;
  IVoTools* tools = VoTools();
  if (IVoLanguageService* language = tools ? tools->Language() : nullptr) language->ShowLanguageSelection();
}

bool CInstallApp::IsAnotherInstallerRunning() {
  const DWORD error = instance_mutex_.CreationError();
  if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) return false;
  ShowInformation(vo::Localize(L"Vortala Installer"),
                  vo::Localize(L"Another instance of the Vortala installer is already running on this system.\r\n\r\n") +
                      vo::Localize(L"Please finish any other Vortala installations and try again."));
  return true;
}

void CInstallApp::PrepareLauncherFile() {
  const VoString folder = vo::InstallerFolder() + L"System\\Always Overwrite\\";
  VoString launcher;
  if (IVoProduct* product = vo::Product()) product->GetLauncherName(launcher);
  if (launcher.IsEmpty()) return;
  MoveFileW((folder + L"Pellion Launcher.exe").c_str(), (folder + launcher.View()).c_str());
}

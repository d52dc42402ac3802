#include "engine/plugin_phase.h"

#include <windows.h>

#include <cstdint>

#include "app/session.h"
#include "app/session_queries.h"
#include "engine/copy_phase.h"
#include "engine/file_copy.h"
#include "engine/settings_helper.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/run_program.h"
#include "foundation/win/system_info.h"
#include "foundation/win/vo_shared_memory.h"
#include "plugins/install_package.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr int kFeatureDriver = 191;
constexpr int kWindowsVista = 1008;
constexpr wchar_t kDriverValue[] = L"WDM Driver Installed Version";
constexpr wchar_t kLogTitle[] = L"RunPluginPhase";

bool DriverWanted(const InstallSession& session) {
  return !session.Portable && !session.NoDriver && HasProductFeature(kFeatureDriver) &&
         GetOsVersion().code >= kWindowsVista;
}

void RegisterShellIntegration(IInstallPage& page) {
  page.SetStatusText(VoFormat(Localize(L"Installing %s Shell Integration").View(), ProductName(1)));
  CSettingsHelper settings;
  if (settings.GetNumber(CSettingsHelper::kShellIntegration) != 0 && Session().ShellExtensionRegistrable) {
    RegisterShellExtensions(true);
  }
}

void InstallPackages(IInstallPage& page, const VoStringArray& packages, int& position) {
  for (const VoString& file : packages) {
    CInstallPackage package;
    package.SetQuiet(true);
    if (!package.Load(file)) {
      Log(kLogTitle, VoFormat(L"Not a package: %s", file));
      continue;
    }
    page.SetStatusText(VoFormat(Localize(L"Installing plug-in '%s'").View(), package.GetName()));
    // The package sets the block to 1 when it fails; it lives while the
    // package installs.
    VoSharedMemory error_flag;
    if (error_flag.Open(VoString(L"InstallPackageError"), sizeof(int32_t))) {
      *static_cast<volatile int32_t*>(error_flag.GetAddress()) = 0;
    }
    if (package.Install()) {
      package.Cleanup();
    } else {
      Log(kLogTitle, VoFormat(L"%s failed (%s); it is installed at the next logon", file, package.GetFailure()));
      StageForFinalize(file, VoString());
    }
    if (VoRegistryKeyPtr system = OpenStore(L"Plugins\\System", 0)) {
      system->WriteString(package.GetName().c_str(), L"installed", kVoValuePlain);
    }
    page.SetProgressPosition(++position);
  }
}

void InstallOrRemoveDriver(IInstallPage& page, bool wanted, int& position) {
  VoRegistryKeyPtr properties = OpenStore(L"Properties", 0);
  const InstallSession& session = Session();
  if (wanted) {
    if (properties && properties->ReadInt(kDriverValue, 0) != 1) {
      page.SetStatusText(Localize(L"Installing WDM driver"));
      const VoString inf = WithTrailingBackslash(session.InstallDirectory.View()) + L"Drivers\\VortalaWDMDriver.inf";
      RunPackageInstaller(VoString(L"/InstallWDMDriver \"") + inf.View() + L"\"");
      properties->WriteInt(kDriverValue, 1);
    }
    page.SetProgressPosition(++position);
  } else if (!session.Portable && properties && properties->ValueExists(kDriverValue)) {
    RunPackageInstaller(VoString(L"/RemoveWDMDriver"));
    properties->DeleteValue(kDriverValue);
  }
}

void InstallServerService(IInstallPage& page) {
  page.SetStatusText(Localize(L"Installing Odrix Server as system service"));
  const VoString control = WithTrailingBackslash(Session().InstallDirectory.View()) + L"OdrixControl.exe";
  RunProgram(control, VoStringArray{VoString(L"/Install")}, false, true, true);
}

}  // namespace

void RunPluginPhase(IInstallPage& page) {
  page.SetHeader(Localize(L"Installing Plugins"),
                 Localize(L"Please wait while Install Wizard installs and registers plug-ins."));
  page.SetBusy(true);
  page.SetProgressRange(5);
  page.SetProgressPosition(0);
  page.SetStatusText(Localize(L"Initializing..."));

  VoStringArray packages;
  ListSupportPackages(packages);
  const bool driver = DriverWanted(Session());
  const bool server = IsServerEdition();
  const int tasks = server ? 1 : 2 + (driver ? 1 : 0);
  page.SetProgressRange(static_cast<int>(packages.GetCount()) + tasks);
  page.SetProgressPosition(0);

  int position = 0;
  if (server) {
    InstallServerService(page);
  } else {
    RegisterShellIntegration(page);
    page.SetProgressPosition(++position);
    InstallPackages(page, packages, position);
    InstallOrRemoveDriver(page, driver, position);
  }
  page.SetProgressPosition(static_cast<int>(packages.GetCount()) + tasks);
  page.SetBusy(false);
  page.AdvancePhase();
}

}  // namespace vo

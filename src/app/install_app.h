#pragma once
// The installer's application object: its initialisation step is the whole
// installation, and it always reports that no message loop is to run, so
// the process exits (with code 0) as soon as the wizard has closed.

#include <windows.h>

#include "app/environment_checks.h"
#include "app/vo_app.h"
#include "foundation/win/named_mutex.h"

class CInstallApp : public VoGraphicalApp {
 public:
  bool InitInstance() override;
  void ExitInstance() override;

  // The machine checks start-up runs; tests replace them.
  vo::EnvironmentProbes& Probes() { return probes_; }

 private:
  bool RunStartup();
  void RemoveVirtualStoreCopies();
  void CloseVirtualStoreKeys();
  void SelectSkin();
  void ShowLanguageSelection();
  bool IsAnotherInstallerRunning();
  void PrepareLauncherFile();

  NamedMutex instance_mutex_;
  HKEY virtual_store_keys_[2] = {};
  vo::EnvironmentProbes probes_ = vo::EnvironmentProbes::System();
};

// The one-instance mutex of every installer of the maker.
constexpr const wchar_t* kInstallerMutexName = L"Global\\Vortala Installer";

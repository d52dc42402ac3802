#pragma once
// The first installation phase: what the product needs besides its own
// files (the DirectX runtime, fetched from the installer's folders or
// downloaded and run) and the media that ship with the installer.

#include "engine/install_page.h"
#include "foundation/vo_string.h"

class IInstallDependency {
 public:
  virtual ~IInstallDependency() = default;
  virtual bool Install() = 0;
  // Asked after a failed Install: whether the installation may go on.
  virtual bool CanContinue() { return false; }
};

// Runs the installer that ships for the graphics runtime when the system
// folder lacks "d3dx9_43.dll".
class CInstallDirectX : public IInstallDependency {
 public:
  explicit CInstallDirectX(IInstallPage& page) : page_(page) {}
  bool Install() override;

 private:
  IInstallPage& page_;
};

// Copies the installer's media folder into the install folder's "Media".
class CInstallBundledMedia : public IInstallDependency {
 public:
  explicit CInstallBundledMedia(IInstallPage& page) : page_(page) {}
  bool Install() override;

 private:
  IInstallPage& page_;
};

namespace vo {

// The phase; false when a dependency failed and the wizard was told to close.
bool RunDependencyPhase(IInstallPage& page);
// Runs one dependency; a failure it cannot continue from closes the wizard.
bool RunDependency(IInstallPage& page, IInstallDependency& dependency);

// The first support folder holding `name` (or, without `must_exist`, the
// first support folder + `name`); empty when there is none.
VoString FindDependencyFile(const VoString& name, bool must_exist);
// A local copy, or one downloaded from the product's download address into
// the first support folder; empty when neither is there.
VoString FetchDependency(IInstallPage& page, const VoString& name, const VoString& display_name);
// Fetches and runs the program, waiting for it; true when it ran.
bool InstallDependencyProgram(IInstallPage& page, const VoString& name, const VoStringArray& arguments,
                              const VoString& display_name);
// Downloads `address` to `destination` with the page's bar; no partial file
// is left on failure. `last_error` receives what went wrong.
bool DownloadFile(IInstallPage& page, const VoString& address, const VoString& destination, VoString& last_error);

}  // namespace vo

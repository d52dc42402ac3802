#include "engine/dependency_phase.h"

#include <windows.h>

#include "app/session.h"
#include "app/session_queries.h"
#include "engine/file_copy.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/file_system.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/run_program.h"
#include "foundation/win/system_info.h"
#include "net/file_loader.h"
#include "net/reader_factory.h"
#include "tools/vo_tools.h"

namespace {

constexpr int kFeatureDirectX = 182;
constexpr int kDownloadLink = 15;
constexpr int kWindows2000 = 1005;
constexpr wchar_t kLogTitle[] = L"Dependencies";

// The page's bar follows the download; the page's cancel stops it.
class PageProgress final : public IFileLoaderProgress {
 public:
  explicit PageProgress(IInstallPage& page) : page_(page) {}
  void SetProgress(const VoString&, int percent) override {
    if (percent >= 0) page_.SetProgressPosition(percent);
    page_.PumpMessages();
  }
  bool ShouldCancel() override { return page_.CancelRequested(); }

 private:
  IInstallPage& page_;
};

}  // namespace

namespace vo {

VoString FindDependencyFile(const VoString& name, bool must_exist) { return FindSupportFile(name, must_exist); }

bool DownloadFile(IInstallPage& page, const VoString& address, const VoString& destination, VoString& last_error) {
  page.SetProgressRange(100);
  page.SetProgressPosition(0);
  if (!CreateGenericReader()) {
    last_error = VoFormat(L"Failed to download from \n%s\nInternet reader not found.", address);
    return false;
  }
  const size_t slash = destination.FindLast(L'\\');
  if (slash != VoString::npos) CreateFolderTree(destination.Left(slash + 1), false);
  CFileLoader loader;
  PageProgress progress(page);
  VoString target = destination;
  if (loader.DownloadToFile(ResourceName(address), target, 0, &progress)) return true;
  // The loader removed whatever part had arrived.
  if (page.CancelRequested() || loader.IsCancelled()) {
    last_error = VoString(L"Downloading of setup file was canceled.");
  } else if (!loader.GetStatusCode().IsEmpty() && loader.GetStatusCode() != L"200") {
    last_error = VoFormat(L"%s \n%s\n%s\n%s.", VoString(L"Failed to download from"), address,
                          VoString(L"Server returned"), loader.GetStatusCode() + L" " + loader.GetStatusText().View());
  } else {
    last_error = VoFormat(L"Failed to download from \n%s\nInternet error.", address);
  }
  return false;
}

VoString FetchDependency(IInstallPage& page, const VoString& name, const VoString& display_name) {
  VoString path = FindDependencyFile(name, true);
  if (!path.IsEmpty()) return path;
  VoString address;
  if (IVoProduct* product = Product()) product->GetLink(kDownloadLink, address);
  if (address.IsEmpty()) return {};
  // The link names a folder of downloads or the file itself.
  if (address.EndsWith(L'/')) address += name.View();
  path = FindDependencyFile(name, false);
  if (path.IsEmpty()) return {};
  page.SetBusy(true);
  page.SetStatusText(VoFormat(Localize(L"Downloading %s from server...").View(), display_name));
  VoString last_error;
  const bool downloaded = DownloadFile(page, address, path, last_error);
  page.SetBusy(false);
  if (downloaded) return path;
  Log(kLogTitle, last_error);
  return {};
}

bool InstallDependencyProgram(IInstallPage& page, const VoString& name, const VoStringArray& arguments,
                              const VoString& display_name) {
  const VoString path = FetchDependency(page, name, display_name);
  if (path.IsEmpty()) return false;
  page.SetStatusText(VoFormat(Localize(L"Installing %s...").View(), display_name));
  return RunProgram(path, arguments, true, true, true, nullptr, NORMAL_PRIORITY_CLASS);
}

bool RunDependency(IInstallPage& page, IInstallDependency& dependency) {
  if (dependency.Install() || dependency.CanContinue()) return true;
  page.CancelWizard();
  return false;
}

bool RunDependencyPhase(IInstallPage& page) {
  page.SetBusy(false);
  page.SetHeader(Localize(L"Installing Dependencies"), Localize(L"Please wait while Install Wizard installs dependencies."));
  const InstallSession& session = Session();
  bool ok = true;
  if (!session.NoDependencies && !session.Portable) {
    if (HasProductFeature(kFeatureDirectX)) {
      CInstallDirectX directx(page);
      ok = RunDependency(page, directx);
    }
    if (ok) {
      CInstallBundledMedia media(page);
      ok = RunDependency(page, media);
    }
  }
  if (ok) page.AdvancePhase();
  return ok;
}

}  // namespace vo

bool CInstallDirectX::Install() {
  const int os = vo::GetOsVersion().code;
  if (os >= 1000 && os <= kWindows2000) return true;
  if (vo::FileExists(vo::GetSystemFolder() + L"d3dx9_43.dll")) return true;
  return vo::InstallDependencyProgram(page_, VoString(L"d3dx943.exe"), VoStringArray(),
                                      vo::Localize(L"DirectX components"));
}

bool CInstallBundledMedia::Install() {
  const InstallSession& session = Session();
  if (session.ShippedMediaFolder.IsEmpty()) return true;
  page_.SetProgressRange(100);
  page_.SetStatusText(vo::Localize(L"Installing media..."));
  const VoString media = vo::WithTrailingBackslash(session.InstallDirectory.View()) + L"Media\\";
  vo::CopyFolder(CopyMode::kCheckVersion, page_, vo::WithTrailingBackslash(session.ShippedMediaFolder.View()), media,
                 nullptr);
  const VoString playlist = media + L"Playlist.mpl";
  if (vo::FileExists(playlist)) {
    if (VoRegistryKeyPtr properties = vo::OpenStore(L"Properties", 0)) {
      properties->WriteString(L"Install - Startup Media", playlist.c_str(), kVoValuePlain);
    }
  }
  return true;
}

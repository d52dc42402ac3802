#include "net/internet_helper.h"

#include <windows.h>
#include <sensapi.h>

#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/win/file_system.h"

namespace {

VoString TempFolder() {
  wchar_t path[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  return length && length <= MAX_PATH ? VoString(std::wstring_view(path, length)) : VoString();
}

}  // namespace

namespace vo {

bool IsNetworkAlive() {
  DWORD flags = 0;
  return ::IsNetworkAlive(&flags) != FALSE;
}

}  // namespace vo

CInternetHelper::CInternetHelper() = default;

int CInternetHelper::Download(const VoString& url, VoString& target, int mode) {
  if (target.IsEmpty()) target = VoFormat(L"%sVo Download (%d).dat", TempFolder(), GetCurrentThreadId());
  const VoString folder = vo::FolderOf(target);
  if (!folder.IsEmpty()) vo::CreateFolderTree(folder, false);
  loader_.SetMessage(L"Working...");
  loader_.SetDisplayName(display_name_, false);
  loader_.SetProgressWindow(progress_window_, nullptr, display_name_, delayed_window_ ? 4000 : 0);
  ResourceName source;
  source.SetPath(url.View());
  const bool ok = loader_.DownloadToFile(source, target, mode);
  const bool cancelled = loader_.IsCancelled();
  if (ok) return cancelled ? kFailed : kSuccess;
  if (cancelled) return kCancelled;
  return vo::IsNetworkAlive() ? kFailed : kNoNetwork;
}

int CInternetHelper::DownloadXml(const VoString& url, XmlDocument& document) {
  VoString file;
  const int result = Download(url, file, 1);
  if (result != kSuccess) {
    vo::ForceDeleteFile(file);
    return result;
  }
  const bool well_formed = document.LoadFile(file) && document.IsWellFormed();
  vo::ForceDeleteFile(file);
  return well_formed ? kSuccess : kNotWellFormed;
}

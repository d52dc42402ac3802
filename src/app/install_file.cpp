#include "app/install_file.h"

#include "foundation/number_text.h"
#include "foundation/path_rules.h"
#include "foundation/path_text.h"

namespace vo {

VoString ResolveInstallFolder(std::wstring_view base_folder, std::wstring_view value) {
  return vo::WithTrailingBackslash(vo::MakeAbsolutePath(base_folder, value).View());
}

namespace {

// The resolved folder when the value names one that exists, else empty.
VoString ExistingFolder(const VoString& value, std::wstring_view base_folder, const FolderExistsFunction& folder_exists) {
  if (value.IsEmpty()) return {};
  const VoString folder = ResolveInstallFolder(base_folder, value.View());
  return folder_exists(folder) ? folder : VoString();
}

}  // namespace

bool ApplyInstallDocument(XmlDocument& document, std::wstring_view file_folder,
                          const FolderExistsFunction& folder_exists, InstallSession& session) {
  document.ResetCursor();
  if (!document.FindElement(L"VoIC")) return false;
  if (!(vo::ParseDouble(document.GetAttribute(L"version").View()) >= 1.0)) return false;
  if (!document.FindChildElement(L"Settings", true)) return false;
  document.EnterElement();

  const VoString support = ExistingFolder(document.GetChildText(L"SupportFiles"), file_folder, folder_exists);
  if (!support.IsEmpty()) session.SupportFolders.Add(support);

  const VoString allow_downgrade = document.GetChildText(L"AllowDowngrade");
  if (!allow_downgrade.IsEmpty()) session.AllowDowngrade = vo::ParseInt(allow_downgrade.View()) != 0;

  const VoString media = ExistingFolder(document.GetChildText(L"BundledMedia"), file_folder, folder_exists);
  if (!media.IsEmpty()) session.ShippedMediaFolder = media;

  document.LeaveElement();
  return true;
}

}  // namespace vo

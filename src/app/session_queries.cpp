#include "app/session_queries.h"

#include "app/file_version_number.h"
#include "app/installer_folder.h"
#include "app/session.h"
#include "foundation/win/file_finder.h"
#include "foundation/win/file_system.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/process_info_record.h"
#include "tools/vo_tools.h"

namespace vo {

VoString MainProgramPath() {
  VoString name;
  if (IVoProduct* product = Product()) product->GetMainProgramName(name);
  return name.IsEmpty() ? VoString() : Session().InstallDirectory + name.View();
}

VoString LauncherProgramPath() {
  VoString name;
  if (IVoProduct* product = Product()) product->GetLauncherName(name);
  return name.IsEmpty() ? VoString() : GetSystemFolder() + name.View();
}

VoString FindSupportFile(const VoString& name, bool must_exist) {
  for (const VoString& folder : Session().SupportFolders) {
    const VoString path = folder + name.View();
    if (!must_exist || vo::FileExists(path)) return path;
  }
  return {};
}

namespace {

constexpr std::wstring_view kPackageExtension = L".kvp";

void AddPackagesBelow(const VoString& folder, VoStringArray& packages) {
  VoFileFinder finder;
  if (!finder.Open(folder)) return;
  while (finder.Next()) {
    const VoString& path = finder.Path();
    if (finder.IsFolder()) {
      AddPackagesBelow(path, packages);
    } else if (path.Length() > kPackageExtension.size() &&
               vo::EqualsNoCase(path.View().substr(path.Length() - kPackageExtension.size()), kPackageExtension)) {
      packages.Add(path);
    }
  }
}

}  // namespace

void ListSupportPackages(VoStringArray& packages) {
  packages.Clear();
  for (const VoString& folder : Session().SupportFolders) AddPackagesBelow(folder, packages);
}

bool IsDowngrade() {
  const InstallSession& session = Session();
  if (session.AllowDowngrade || !session.EarlierInstallFound) return false;
  VoString main_program;
  if (IVoProduct* product = vo::Product()) product->GetMainProgramName(main_program);
  const uint64_t installed = ReadFileVersionNumber(vo::GetProgramFolder() + main_program.View());
  const uint64_t offered = ReadFileVersionNumber(InstallerFolder() + L"Kelvane\\" + main_program.View());
  return installed >= offered;
}

bool ApplyInstallDirectory() { return vo::SetProcessPath(ProcessPath::kInstallFolder, Session().InstallDirectory); }

}  // namespace vo

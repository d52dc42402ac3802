#include "plugins/install_package.h"

#include <windows.h>

#include <cstdint>

#include "foundation/contained_path.h"
#include "foundation/path_rules.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/string_replace.h"
#include "foundation/win/com_server_registration.h"
#include "foundation/win/file_system.h"
#include "foundation/win/folder_tree_delete.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/move_copy_directory.h"
#include "foundation/win/run_program.h"
#include "foundation/win/temp_folders.h"
#include "foundation/win/vo_shared_memory.h"
#include "net/internet_helper.h"
#include "plugins/install_wa_plugin.h"
#include "plugins/product_command_line.h"
#include "plugins/uninstall_record.h"
#include "tools/vo_tools.h"

namespace {

constexpr wchar_t kLogTitle[] = L"CInstallPackage";
constexpr wchar_t kDownloadFolderName[] = L"InstallPackage\\";

VoString DownloadFolder() {
  const VoString temp = vo::GetTempFolder();
  return temp.IsEmpty() ? VoString() : temp + kDownloadFolderName;
}

bool IsDownload(const VoString& url) {
  return url.StartsWithNoCase(L"http://") || url.StartsWithNoCase(L"https://") || url.StartsWithNoCase(L"ftp://");
}

// "X:\..." or "\\server\...": a path that names its own place.
bool IsRooted(const VoString& path) {
  return (path.At(1) == L':' && path.At(2) == L'\\') || path.StartsWithNoCase(L"\\\\");
}

// `relative` below `folder` with backslashes; empty when it would lead
// outside the folder.
VoString Inside(const VoString& folder, std::wstring_view relative) {
  VoStringArray names;
  if (folder.IsEmpty() || !vo::SplitContainedPath(relative, names)) return {};
  return folder + names.Join(L"\\").View();
}

// The package's name as one folder name, or empty when it cannot be one
// (it names a folder path or a step up).
VoString NameAsFolder(const VoString& name) {
  VoStringArray names;
  const VoString cleaned = vo::MakeValidFileName(name.View());
  if (!vo::SplitContainedPath(cleaned.View(), names) || names.GetCount() != 1) return {};
  return names[0];
}

void SignalFailure() {
  VoSharedMemory block;
  if (block.Open(VoString(L"InstallPackageError"), sizeof(int32_t))) *static_cast<int32_t*>(block.GetAddress()) = 1;
}

// Where each copy action puts its file; the install folder unless stated.
struct CopyTarget {
  const wchar_t* command;
  const wchar_t* subfolder;
};
constexpr CopyTarget kCopyTargets[] = {
    {L"COPY_PLUGINDIR", L"Plugins\\"},
    {L"COPY_HELPDIR", L"Help\\"},
    {L"COPY_VISUALIZATIONS", L"Visualizations\\"},
    {L"COPY_TRACKINFOS", L"Visualizations\\Track Info\\"},
    {L"COPY_VISSTUDIO", L"Visualizations\\Vis Studio\\"},
};

constexpr const wchar_t* kPluginRegistrations[] = {L"REG_WA_IN", L"REG_WA_DSP", L"REG_WA_VIS", L"REG_WA_PLUGIN",
                                                   L"REG_PLUGIN"};

struct RegistryRoot {
  const wchar_t* name;
  HKEY key;
};
const RegistryRoot kRegistryRoots[] = {
    {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},   {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

VoString WindowsFolder() {
  wchar_t path[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryW(path, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? VoString() : vo::WithTrailingBackslash(path);
}

// The settings area's path of a store, for the "V" entry.
VoString StorePath(const wchar_t* store) {
  VoString root;
  if (IVoTools* tools = VoTools(); tools && tools->Registry()) tools->Registry()->GetSettingsRoot(root);
  return root + L"\\" + store;
}

// Whether a copy failed because the destination is held by a program.
bool IsInUse(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_USER_MAPPED_FILE;
}

}  // namespace

bool CInstallPackage::Load(const VoString& path) {
  package_ = {};
  wchar_t full[MAX_PATH * 4] = {};
  const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
  package_path_ = n == 0 || n >= std::size(full) ? path : VoString(full, n);
  package_folder_ = vo::FolderOf(package_path_);
  if (!vo::FileExists(package_path_)) {
    vo::Log(kLogTitle, VoString(L"No package file: ") + package_path_.View());
    return false;
  }
  XmlDocument document;
  if (document.LoadFile(package_path_)) {
    if (!ReadPackageXml(document, package_)) {
      vo::Log(kLogTitle, VoString(L"Not a package of a known version: ") + package_path_.View());
      return false;
    }
  } else {
    const VoString file = package_path_;
    package_ = ReadPackageIni([&file](std::wstring_view section, std::wstring_view key) {
      wchar_t value[kPackageIniValueLength + 1] = {};
      GetPrivateProfileStringW(VoString(section).c_str(), VoString(key).c_str(), L"", value,
                               static_cast<DWORD>(std::size(value)), file.c_str());
      return VoString(value);
    });
  }
  const bool loadable = IsLoadablePackage(package_);
  if (!loadable) vo::Log(kLogTitle, VoString(L"Incomplete package (name, URL or action missing): ") + package_path_.View());
  return loadable;
}

bool CInstallPackage::HasAction(const wchar_t* action) const {
  for (const VoString& present : package_.actions) {
    if (present.EqualsNoCase(action)) return true;
  }
  return false;
}

bool CInstallPackage::Fail(const VoString& text) {
  failure_ = text;
  vo::Log(kLogTitle, VoString(L"Failed: ") + text.View());
  return false;
}

// Every path the package names is checked before anything is changed, so a
// package that tries to reach outside its folders leaves no trace.
bool CInstallPackage::CheckPaths() {
  auto refuse = [this](const VoString& what) {
    return Fail(VoFormat(L"The package names a path outside its folder: '%s'.", what));
  };
  if (NameAsFolder(package_.name).IsEmpty()) {
    return Fail(VoFormat(L"The package name '%s' cannot name a folder.", package_.name));
  }
  if (!IsDownload(package_.url) && !IsRooted(package_.url) && !vo::StaysInsideFolder(package_.url.View())) {
    return refuse(package_.url);
  }
  for (const PackageFileEntry& entry : package_.files) {
    if (!entry.is_url && !vo::StaysInsideFolder(entry.file.View())) return refuse(entry.file);
    for (const PackageFileAction& action : entry.actions) {
      const bool names_path = action.command.EqualsNoCase(L"COPY_DIRECTORY") ||
                              action.command.EqualsNoCase(L"DELETE_DIRECTORY") ||
                              action.command.EqualsNoCase(L"DELETE");
      if (names_path && !vo::StaysInsideFolder(action.param.View())) return refuse(action.param);
    }
  }
  return true;
}

bool CInstallPackage::FetchContent() {
  working_folder_ = package_folder_;
  working_folder_is_temporary_ = false;
  if (!IsDownload(package_.url)) {
    content_file_ = IsRooted(package_.url) ? package_.url : Inside(package_folder_, package_.url.View());
    return true;
  }
  const VoString folder = DownloadFolder();
  const VoString wanted = folder + NameAsFolder(package_.name).View() +
                          (package_.url.FindNoCase(L".mpl") != VoString::npos ? L".mpl" : L".tmp");
  VoString target = wanted;
  CInternetHelper helper;
  if (folder.IsEmpty() || helper.Download(package_.url, target, 1) != CInternetHelper::kSuccess) {
    vo::ForceDeleteFile(target.IsEmpty() ? wanted : target);
    return Fail(VoFormat(L"Failed to download file '%s'.", package_.url));
  }
  content_file_ = target;
  content_downloaded_ = true;
  working_folder_ = vo::FolderOf(target);
  working_folder_is_temporary_ = true;
  return true;
}

bool CInstallPackage::Unpack(const VoString& folder) {
  if (vo::FolderExists(folder)) vo::DeleteFolderTree(folder);
  IVoTools* tools = VoTools();
  IVoArchive* archives = tools ? tools->Archives() : nullptr;
  VoString why = archives ? VoString() : VoString(L"No archive service.");
  if (archives && archives->Unpack(content_file_.c_str(), folder.c_str(), HasAction(L"SAVE_DIR_STRUCT"), why)) {
    return true;
  }
  failure_ = VoFormat(L"Failed to unzip file '%s'.\r\n%s", content_file_, why);
  return false;
}

bool CInstallPackage::InstallSkin() {
  const VoString name = NameAsFolder(package_.name);
  const VoString mini = vo::GetSkinViewFolder(SkinView::kMiniView);
  if (mini.IsEmpty()) return Fail(VoString(L"INSTALLSKIN action failed."));
  const VoString unpacked = mini + name.View() + L"\\";
  if (!Unpack(unpacked)) return Fail(VoString(L"INSTALLSKIN action failed.\r\n") + failure_.View());
  working_folder_ = unpacked;
  working_folder_is_temporary_ = false;

  XmlDocument main;
  VoString root;
  if (main.LoadFile(unpacked + L"main.xml") && main.FindElement()) root = main.GetNodeName();
  SkinView view;
  if (root.EqualsNoCase(L"KVMS")) {
    view = SkinView::kStandardView;
  } else if (root.EqualsNoCase(L"KVFS")) {
    view = SkinView::kPanorel;
  } else {
    // A mini-view skin ("KVS") and anything unknown stay where they are.
    return true;
  }
  const VoString destination = vo::GetSkinViewFolder(view) + name.View() + L"\\";
  // A reinstalled skin replaces its earlier copy rather than mixing with it.
  if (vo::FolderExists(destination)) vo::DeleteFolderTree(destination);
  VoMoveCopyDirectory move;
  if (!move.AddFolder(unpacked, destination, true) || !move.Execute(true)) {
    return Fail(VoFormat(L"Failed to move folder. Error: %d", static_cast<int>(GetLastError())));
  }
  vo::DeleteFolderTree(unpacked);
  working_folder_ = destination;
  return true;
}

bool CInstallPackage::RunPackageAction(bool& content_used) {
  content_used = false;
  if (HasAction(L"UNZIPDIR")) {
    content_used = true;
    const VoString folder = vo::WithTrailingBackslash(
        vo::MakeValidPath((vo::GetProductTempFolder() + NameAsFolder(package_.name).View()).View()).View());
    if (!Unpack(folder)) return Fail(failure_);
    working_folder_ = folder;
    working_folder_is_temporary_ = true;
    return true;
  }
  if (HasAction(L"INSTALLSKIN") || HasAction(L"INSTALLMINISKIN")) {
    content_used = true;
    return InstallSkin();
  }
  if (HasAction(L"INSTALLMEDIA") || HasAction(L"PREVIEWMEDIA")) return true;
  if (HasAction(L"NONE")) {
    working_folder_ = package_folder_;
    working_folder_is_temporary_ = false;
    return true;
  }
  return Fail(VoString(
      L"The package has none of the actions UNZIPDIR, INSTALLSKIN, INSTALLMINISKIN, INSTALLMEDIA, PREVIEWMEDIA "
      L"and NONE."));
}

bool CInstallPackage::RunFileEntries() {
  for (const PackageFileEntry& entry : package_.files) {
    if (!RunFileEntry(entry)) return false;
  }
  return true;
}

bool CInstallPackage::RunFileEntry(const PackageFileEntry& entry) {
  VoString source;
  if (entry.is_url) {
    // The file is fetched first; its name is the address's last step.
    VoString name = entry.file;
    if (const size_t query = name.Find(L'?'); query != VoString::npos) name = name.Left(query);
    name = name.Mid(name.FindLast(L'/') + 1);
    VoStringArray names;
    if (!vo::SplitContainedPath(vo::MakeValidFileName(name.View()).View(), names) || names.GetCount() != 1) {
      return Fail(VoFormat(L"Failed to download file '%s'.", entry.file));
    }
    source = DownloadFolder() + names[0].View();
    CInternetHelper helper;
    if (DownloadFolder().IsEmpty() || helper.Download(entry.file, source, 0) != CInternetHelper::kSuccess) {
      return Fail(VoFormat(L"Failed to download file '%s'.", entry.file));
    }
  } else {
    source = Inside(working_folder_, entry.file.View());
  }
  VoString file = source;
  for (const PackageFileAction& action : entry.actions) {
    if (!RunFileAction(action, entry, file)) return false;
  }
  return true;
}

bool CInstallPackage::CopyInto(const VoString& folder, VoString& file) {
  if (folder.IsEmpty()) return Fail(VoString(L"No installation folder is known."));
  vo::CreateFolderTree(folder, false);
  const VoString destination = folder + vo::FileNameOf(file).View();
  if (!CopyFileW(file.c_str(), destination.c_str(), FALSE)) {
    const DWORD error = GetLastError();
    if (IsInUse(error) && vo::FileExists(destination)) {
      return Fail(VoFormat(L"Destination file is in use.\r\n%s", destination));
    }
    return Fail(VoFormat(L"Failed to copy file.\r\n%s\r\nError: %d", file, static_cast<int>(error)));
  }
  recorded_.Add(VoString(L"F") + destination.View());
  file = destination;
  return true;
}

bool CInstallPackage::CopyDirectory(const VoString& relative) {
  const VoString install = vo::GetProgramFolder();
  if (install.IsEmpty()) return Fail(VoString(L"No installation folder is known."));
  VoStringArray names;
  vo::SplitContainedPath(relative.View(), names);
  const VoString source = vo::WithTrailingBackslash((working_folder_ + names.Join(L"\\").View()).View());
  // Full-screen-view skins live in their own folder of the installation.
  if (names.GetCount() >= 2 && names[0].EqualsNoCase(L"Skins") && names[1].EqualsNoCase(L"Panorel")) {
    VoStringArray rest;
    rest.Add(VoString(L"FullSkins"));
    for (size_t i = 2; i < names.GetCount(); ++i) rest.Add(names[i]);
    names = rest;
  }
  const VoString destination = vo::WithTrailingBackslash((install + names.Join(L"\\").View()).View());
  VoMoveCopyDirectory copy;
  if (!copy.AddFolder(source, destination, true)) {
    return Fail(VoFormat(L"Failed to move folder. Error: %d", static_cast<int>(GetLastError())));
  }
  std::vector<bool> existed;
  for (const VoMoveCopyDirectory::CItem& item : copy.Items()) {
    existed.push_back(item.kind == VoMoveCopyDirectory::kFolder && vo::FolderExists(item.destination));
  }
  const bool ok = copy.Execute(false);
  const DWORD error = GetLastError();
  for (size_t i = 0; i < copy.Items().GetCount(); ++i) {
    const VoMoveCopyDirectory::CItem& item = copy.Items()[i];
    if (!item.done) continue;
    if (item.kind == VoMoveCopyDirectory::kFile) {
      recorded_.Add(VoString(L"F") + item.destination.View());
    } else if (!existed[i]) {
      recorded_.Add(VoString(L"D") + item.destination.View());
    }
  }
  return ok || Fail(VoFormat(L"Failed to move folder. Error: %d", static_cast<int>(error)));
}

bool CInstallPackage::WriteRegistryValue(const VoString& parameter) {
  VoString text = parameter;
  vo::ReplaceAll(text, VoString(L"[NameWithVersion]"), vo::ProductName(1));
  const VoStringArray fields = VoStringArray::Split(text.View(), L"|");
  if (fields.GetCount() != 4) {
    return Fail(VoFormat(L"A REGISTRY action needs four fields separated by \"|\": %s", text));
  }
  HKEY root = nullptr;
  for (const RegistryRoot& known : kRegistryRoots) {
    if (fields[0].Trimmed().EqualsNoCase(known.name)) root = known.key;
  }
  if (!root) return Fail(VoFormat(L"Unknown registry root in a REGISTRY action: %s", fields[0]));
  VoString install = vo::GetProgramFolder();
  while (install.EndsWith(L'\\')) install.Truncate(install.Length() - 1);
  VoString data = fields[3];
  const VoString placeholders[] = {VoString(L"[PROGRAMPATH]"), VoString(L"<PROGRAMPATH>")};
  const VoString replacements[] = {install, install};
  vo::ReplaceAll(data, placeholders, replacements);

  HKEY key = nullptr;
  LSTATUS status =
      RegCreateKeyExW(root, fields[1].c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(key, fields[2].c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.Length() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  if (status != ERROR_SUCCESS) {
    return Fail(VoFormat(L"Failed to write registry value.\r\n%s\r\nError: %d", text, static_cast<int>(status)));
  }
  return true;
}

bool CInstallPackage::RunFileAction(const PackageFileAction& action, const PackageFileEntry& entry, VoString& file) {
  const VoString& command = action.command;
  const VoString& param = action.param;
  const VoString install = vo::GetProgramFolder();

  for (const CopyTarget& target : kCopyTargets) {
    if (command.EqualsNoCase(target.command)) return CopyInto(install.IsEmpty() ? install : install + target.subfolder, file);
  }
  if (command.EqualsNoCase(L"COPY_VISSCRIPTS")) {
    return CopyInto(install.IsEmpty() ? install
                                      : install + L"Visualizations\\Vis Studio\\" +
                                            NameAsFolder(package_.name).View() + L"\\",
                    file);
  }
  if (command.EqualsNoCase(L"COPY_SYSDIR")) return CopyInto(vo::GetSystemFolder(), file);
  if (command.EqualsNoCase(L"COPY_WINDIR")) return CopyInto(WindowsFolder(), file);
  if (command.EqualsNoCase(L"COPY_DIRECTORY")) return CopyDirectory(param);

  if (command.EqualsNoCase(L"DELETE")) {
    const VoString target = Inside(install, param.View());
    if (!target.IsEmpty() && !vo::ForceDeleteFile(target) && vo::FileExists(target)) {
      vo::Log(kLogTitle, VoFormat(L"Could not delete %s (error %d)", target, static_cast<int>(GetLastError())));
    }
    return true;
  }
  if (command.EqualsNoCase(L"DELETE_ORIGINAL")) {
    if (!entry.is_url) {
      const VoString source = Inside(working_folder_, entry.file.View());
      if (!source.EqualsNoCase(file.View())) vo::ForceDeleteFile(source);
    }
    return true;
  }
  if (command.EqualsNoCase(L"DELETE_DIRECTORY")) {
    // The parameter was checked to name a folder below the install folder,
    // never the install folder itself.
    const VoString target = Inside(install, param.View());
    if (!target.IsEmpty() && !vo::DeleteFolderTree(target)) {
      vo::Log(kLogTitle, VoString(L"Could not delete all of ") + target.View());
    }
    return true;
  }
  if (command.EqualsNoCase(L"REGISTER")) {
    return vo::RegisterInProcess(file) || Fail(VoFormat(L"Failed to register object.\r\n%s", file));
  }
  if (command.EqualsNoCase(L"RUN") || command.EqualsNoCase(L"EXECUTE")) {
    bool wait = true;
    for (const PackageFileAction& other : entry.actions) {
      if (other.command.EqualsNoCase(L"DONTWAIT")) wait = false;
    }
    VoStringArray arguments;
    if (!param.IsEmpty()) arguments.Add(param);
    // A missing program is told here: the shell would show its own box.
    int error = ERROR_FILE_NOT_FOUND;
    if (vo::FileExists(file)) {
      SetLastError(0);
      if (vo::RunProgram(file, arguments, true, wait, true)) return true;
      error = static_cast<int>(GetLastError());
    }
    return Fail(param.IsEmpty() ? VoFormat(L"Failed to start process.\r\n%s\r\nError: %d", file, error)
                                : VoFormat(L"Failed to start process.\r\n%s %s\r\nError: %d", file, param, error));
  }
  if (command.EqualsNoCase(L"INSTALL")) {
    const VoString parameters = VoFormat(L"/Q /Install \"%s\"", file);
    // A package that installs itself would start package installers
    // without end.
    if (file.EqualsNoCase(package_path_.View())) {
      return Fail(VoFormat(L"Failed to install using Package Installer.\r\nParameters: %s\r\nError: %d", parameters, 0));
    }
    // A missing program is told here: the shell would show its own box.
    if (!vo::FileExists(install + L"PackageInstaller.exe")) {
      return Fail(VoFormat(L"Failed to install using Package Installer.\r\nParameters: %s\r\nError: %d", parameters,
                           static_cast<int>(ERROR_FILE_NOT_FOUND)));
    }
    int exit_code = 0;
    SetLastError(0);
    const bool started = vo::RunPackageInstaller(parameters, &exit_code);
    if (started && exit_code == 0) return true;
    // The nested package's own failure counts as this action's.
    const int error = started ? exit_code : static_cast<int>(GetLastError());
    return Fail(VoFormat(L"Failed to install using Package Installer.\r\nParameters: %s\r\nError: %d", parameters,
                         error));
  }
  for (const wchar_t* registration : kPluginRegistrations) {
    if (!command.EqualsNoCase(registration)) continue;
    VoStringArray keys;
    if (!CInstallWAPlugin::Install(file, quiet_, &keys)) {
      return Fail(VoFormat(L"Failed to register object.\r\n%s", file));
    }
    for (const VoString& key : keys) recorded_.Add(key);
    return true;
  }
  if (command.EqualsNoCase(L"REGISTRY")) return WriteRegistryValue(param);
  if (command.EqualsNoCase(L"CLOSE_HV") || command.EqualsNoCase(L"START_HV") || command.EqualsNoCase(L"RESTART_HV")) {
    vo::Log(kLogTitle, command + L": the running product is left alone");
    return true;
  }
  if (command.EqualsNoCase(L"UPDATE_SERVICELIST")) {
    // Only a running product has a service list to update.
    if (FindWindowW(L"KVFrame", nullptr) && !CHVCommandLine::Execute(VoString(L"/ServiceUpdate"))) {
      vo::Log(kLogTitle, VoString(L"UPDATE_SERVICELIST: \"/ServiceUpdate\" was not delivered"));
    }
    return true;
  }
  if (!command.EqualsNoCase(L"DONTWAIT")) {
    vo::Log(kLogTitle, VoFormat(L"Unknown action '%s' for %s ignored", command, file));
  }
  return true;
}

void CInstallPackage::WriteRecords() {
  if (!package_.version.IsEmpty()) {
    VoRegistryKeyPtr plugins = vo::OpenStore(L"Plugins", 1);
    if (plugins && plugins->WriteString(package_.name.c_str(), package_.version.c_str(), kVoValuePlain)) {
      recorded_.Add(VoString(L"V") + StorePath(L"Plugins").View() + L"\\" + package_.name.View());
    } else {
      vo::Log(kLogTitle, VoString(L"Could not write the version of ") + package_.name.View());
    }
  }
  if (!recorded_.IsEmpty() && !vo::WriteUninstallRecord(package_.name, recorded_)) {
    vo::Log(kLogTitle, VoString(L"Could not write the uninstall record of ") + package_.name.View());
  }
}

void CInstallPackage::DeleteDownloadedContent() {
  if (!content_downloaded_ || content_file_.IsEmpty()) return;
  vo::ForceDeleteFile(content_file_);
}

bool CInstallPackage::Install() {
  failure_.Clear();
  recorded_.Clear();
  content_file_.Clear();
  content_downloaded_ = false;
  working_folder_.Clear();
  working_folder_is_temporary_ = false;
  vo::Log(kLogTitle, VoFormat(L"Installing package '%s' from %s", package_.name, package_path_));

  bool ok = false;
  bool content_used = false;
  bool placed = false;
  if (package_.name.IsEmpty() || package_.actions.IsEmpty()) {
    Fail(VoString(L"No package was loaded."));
  } else if (CheckPaths() && FetchContent()) {
    placed = RunPackageAction(content_used);
    ok = placed && RunFileEntries();
    if (ok) WriteRecords();
  }
  // A downloaded archive is spent once unpacked; media content stays.
  if (content_downloaded_ && (content_used || !placed) && !HasAction(L"DONT_CLEANUP")) DeleteDownloadedContent();
  if (!ok) SignalFailure();
  vo::Log(kLogTitle, VoFormat(L"Package '%s' %s", package_.name, ok ? L"installed" : L"not installed"));
  return ok;
}

bool CInstallPackage::Cleanup() {
  if (working_folder_.IsEmpty() || !working_folder_is_temporary_) return true;
  if (HasAction(L"DONT_CLEANUP") || HasAction(L"NONE")) return true;
  vo::DeleteFolderTree(working_folder_);
  return true;
}

#include "engine/migration.h"

#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "app/session.h"
#include "foundation/path_text.h"
#include "foundation/property_map.h"
#include "foundation/string_format.h"
#include "foundation/string_replace.h"
#include "foundation/text_file.h"
#include "foundation/win/com_server_registration.h"
#include "foundation/win/file_system.h"
#include "foundation/win/folder_tree_delete.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/move_copy_directory.h"

namespace vo {

namespace {

constexpr const wchar_t* kCurrentVersionName = L"Halvora 23";
constexpr int kFirstMigratedVersion = 20;
constexpr int kLastMigratedVersion = 22;
constexpr double kPropertyXmlVersion = 1.0;
constexpr const wchar_t* kAppDataPlaceholder = L"[App Data Path]";

// Folders of plug-ins that earlier versions shipped and this one replaces,
// and a control library no longer used; the loose obsolete files come from
// the product description ("/*/Product/ObsoleteFiles").
constexpr const wchar_t* kObsoleteFolders[] = {L"Plugins\\ffdshow\\", L"Plugins\\LAVFilters\\"};
constexpr const wchar_t* kObsoleteControlLibrary = L"VoTreeCtrl.ocx";

// Full-screen-view plug-ins of earlier versions below "Plugins".
constexpr const wchar_t* kObsoletePanorelPlugins[] = {L"Panorel Weather", L"Panorel News"};
constexpr const wchar_t* kObsoleteInterfacePlugins[] = {L"UPnP Server", L"Library Server", L"last.fm"};
constexpr const wchar_t* kObsoleteProperties[] = {
    L"Install - Start Version",
    L"Install - Create Start Menu",
    L"Television - External EPG Program",
    L"Television - External EPG Arguments",
    L"Rename From Info - Base Path",
    L"Rename From Info - Use Filename Rule",
    L"Rename From Info - Use Directory Rule",
    L"Rename From Info - Use Find & Replace",
    L"Rename From Info - Smart Multi-Artist Handling",
    L"Rename From Info - Find",
    L"Rename From Info - Replace",
};
constexpr const wchar_t* kObsoleteSystemPlugins[] = {L"V. Ortala Main DSPs", L"V. Ortala Main Encoders",
                                                     L"V. Ortala Main Outputs", L"V. Ortala Main Remote Controls"};

// What a shipped library must not bring to another machine.
constexpr const wchar_t* kMachineSpecificStores[] = {L"CD Writer", L"Installer", L"Library Specific",
                                                     L"Portable Devices"};
constexpr const wchar_t* kMachineSpecificProperties[] = {
    L"Library",
    L"Library Directory",
    L"Library Name",
    L"Import - Last Import Single Folder",
    L"Install - Number Runs Total",
    L"Install - Number Runs After Last Install",
    L"Install - First Install Date",
    L"Install - First Install",
};

VoString InstallFolder() { return WithTrailingBackslash(Session().InstallDirectory.View()); }

bool SameFolder(const VoString& a, const VoString& b) {
  return WithTrailingBackslash(a.View()).EqualsNoCase(WithTrailingBackslash(b.View()).View());
}

bool IsRegistrable(const VoString& path) {
  for (const wchar_t* extension : {L".dll", L".ocx", L".ax"}) {
    if (path.FindNoCase(extension) != VoString::npos) return true;
  }
  return false;
}

// "a\b\c" gives "a\b" and "c"; a name without backslash has the area root
// (empty) as its parent.
void SplitStorePath(const VoString& path, VoString& parent, VoString& leaf) {
  const size_t slash = path.FindLast(L'\\');
  parent = slash == VoString::npos ? VoString() : path.Left(slash);
  leaf = slash == VoString::npos ? path : path.Mid(slash + 1);
}

VoString JoinStorePath(const VoString& parent, const VoString& name) {
  return parent.IsEmpty() ? name : parent + L"\\" + name.View();
}

bool StoreExists(const VoString& path) {
  VoString parent, leaf;
  SplitStorePath(path, parent, leaf);
  VoRegistryKeyPtr key = OpenStore(parent.c_str(), 0);
  if (!key) return false;
  VoStringArray names;
  key->GetSubkeyNames(names);
  return names.FindNoCase(leaf.View()) != VoStringArray::npos;
}

template <size_t N>
void DeleteStoreValues(const wchar_t* store, const wchar_t* const (&names)[N]) {
  VoRegistryKeyPtr key = OpenStore(store, 0);
  if (!key) return;
  for (const wchar_t* name : names) key->DeleteValue(name);
}

template <size_t N>
void DeleteStoreSubkeys(const wchar_t* store, const wchar_t* const (&names)[N]) {
  VoRegistryKeyPtr key = OpenStore(store, 0);
  if (!key) return;
  for (const wchar_t* name : names) key->DeleteSubkey(name);
}

void DeleteSubkeysStartingWith(const wchar_t* store, std::wstring_view prefix) {
  VoRegistryKeyPtr key = OpenStore(store, 0);
  if (!key) return;
  VoStringArray names;
  key->GetSubkeyNames(names);
  for (const VoString& name : names) {
    if (name.StartsWithNoCase(prefix)) key->DeleteSubkey(name.c_str());
  }
}

// Library entries marked as stack-updated, at any depth of the store.
void DeleteStackUpdatedMarks(const VoString& store) {
  VoRegistryKeyPtr key = OpenStore(store.c_str(), 0);
  if (!key) return;
  VoStringArray values;
  key->GetValueNames(values);
  for (const VoString& name : values) {
    if (name.FindNoCase(L"Stack Updated") != VoString::npos) key->DeleteValue(name.c_str());
  }
  VoStringArray subkeys;
  key->GetSubkeyNames(subkeys);
  for (const VoString& name : subkeys) DeleteStackUpdatedMarks(JoinStorePath(store, name));
}

void EmptyStore(const wchar_t* store) {
  VoRegistryKeyPtr key = OpenStore(store, 0);
  if (!key) return;
  VoStringArray names;
  key->GetValueNames(names);
  for (const VoString& name : names) key->DeleteValue(name.c_str());
  names.Clear();
  key->GetSubkeyNames(names);
  for (const VoString& name : names) key->DeleteSubkey(name.c_str());
}

void CleanSettingsArea() {
  MoveSettingsStore(L"PluginsRemoteControl", L"Plugins\\RemoteControl");
  MoveSettingsStore(L"Handheld", L"Portable Devices\\Conversion");
  DeleteStoreSubkeys(L"Plugins", kObsoletePanorelPlugins);
  DeleteStoreSubkeys(L"Plugins\\Interface", kObsoleteInterfacePlugins);
  DeleteSubkeysStartingWith(L"DLNA\\Servers", L"UPnP Server");
  DeleteStackUpdatedMarks(L"Library Specific");
  DeleteStoreValues(L"Properties", kObsoleteProperties);
  DeleteStoreValues(L"Plugins", {L"V. Ortala Main Encoders"});
  DeleteStoreValues(L"Plugins\\System", kObsoleteSystemPlugins);
}

void CleanFolders(const VoString& install) {
  if (HasProductFeature(84)) {
    for (const wchar_t* folder : {L"Data\\", L"Skins\\", L"Stores\\"}) DeleteFolderTree(install + folder);
  }
  DeleteFolderTree(install + L"Data\\Saved Views\\");
  DeleteFolderTree(install + L"Skins\\Panorel\\Themes\\Default\\");
}

void DeleteConfiguredObsoleteFiles(const VoString& install) {
  const VoString list = ConfigString(L"/*/Product/ObsoleteFiles", L"");
  for (const VoString& entry : VoStringArray::Split(list.View(), L";")) {
    const VoString relative = entry.Trimmed();
    // An absolute entry or one that climbs out would reach beyond the
    // install folder, which is all this list may touch.
    if (relative.IsEmpty()) continue;
    if (relative.Find(L':') != VoString::npos || relative[0] == L'\\' || relative.Find(L"..") != VoString::npos) {
      Log(L"CleanInstallFolder", VoFormat(L"Ignored obsolete file entry '%s'", relative));
      continue;
    }
    DeleteObsoleteFile(install + relative.View(), true);
  }
}

// Runs one step between its status line and a full progress bar.
template <typename Step>
auto RunStep(IInstallPage& page, const wchar_t* status, Step&& step) {
  page.SetStatusText(Localize(status));
  page.SetProgressRange(1);
  page.SetProgressPosition(0);
  auto result = step();
  page.SetProgressPosition(1);
  return result;
}

bool CopyFolderContent(const VoString& source, const VoString& destination) {
  CreateFolderTree(destination, false);
  VoMoveCopyDirectory copy;
  return copy.AddFolder(source, destination, true) && copy.Execute(false);
}

// Text value bytes as stored (UTF-16 with a terminating NUL, several for a
// list) with the replacements applied.
void ReplaceInTextBytes(std::vector<unsigned char>& data, const std::vector<RegistryTextReplacement>& replacements) {
  if (replacements.empty() || data.size() < sizeof(wchar_t)) return;
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  VoString value(std::move(text));
  size_t hits = 0;
  for (const RegistryTextReplacement& r : replacements) {
    if (!r.find.IsEmpty()) hits += ReplaceAll(value, r.find, r.replace, kReplaceIgnoreCase);
  }
  if (hits == 0) return;
  data.resize(value.Length() * sizeof(wchar_t));
  std::memcpy(data.data(), value.c_str(), data.size());
}

// How the library folders of one earlier version map into this one.
class LibraryPathMap {
 public:
  LibraryPathMap(const VoString& old_name, const VoString& old_app_data, const VoString& app_data)
      : old_name_(old_name), old_app_data_(old_app_data), app_data_(app_data) {}

  // The folder a stored library path names on the old version's side.
  VoString OldFolder(const VoString& path) const {
    VoString folder = path;
    ReplaceAll(folder, VoString(kAppDataPlaceholder), old_app_data_, kReplaceIgnoreCase);
    return folder;
  }
  // The stored path as the current version names it.
  VoString NewText(const VoString& path) const {
    VoString text = path;
    const VoString patterns[] = {old_name_, VoString(kAppDataPlaceholder)};
    const VoString replacements[] = {VoString(kCurrentVersionName), app_data_};
    ReplaceAll(text, patterns, replacements, kReplaceIgnoreCase);
    return text;
  }
  void SetCopied(const VoString& old_library_path, const VoString& destination) {
    copied_from_ = NewText(old_library_path);
    copied_to_ = destination;
  }
  // A path of the copied library goes to where the copy is; others keep
  // their place with the new version's names.
  VoString Map(const VoString& path) const {
    const VoString text = NewText(path);
    if (!copied_to_.IsEmpty() && SameFolder(text, copied_from_)) return copied_to_;
    return text;
  }

 private:
  VoString old_name_, old_app_data_, app_data_;
  VoString copied_from_, copied_to_;
};

// A stored library record (property XML with "LibraryPath") brought to the
// new paths; false when it is not one or nothing changed.
bool MapLibraryRecord(VoString& record, const LibraryPathMap& map) {
  VoPropertyMap library;
  if (!library.FromXmlText(record.View(), L"XMLPH", kPropertyXmlVersion) || !library.HasKey(L"LibraryPath")) {
    return false;
  }
  const VoString path = library.GetString(L"LibraryPath");
  const VoString mapped = map.Map(path);
  if (mapped == path) return false;
  library.SetString(L"LibraryPath", mapped.View());
  record = library.ToXmlText(L"XMLPH", false, kPropertyXmlVersion);
  return true;
}

// "Library" holds the current library's record; "Libraries" a property XML
// map from each library's name to its record.
void MapLibraryProperties(const VoString& properties_path, const LibraryPathMap& map) {
  VoRegistryKeyPtr properties = OpenRegistryKey(VoRegistryRoot::kCurrentUser, properties_path.c_str(), false);
  if (!properties) return;
  VoString record;
  properties->ReadString(L"Library", L"", record);
  if (MapLibraryRecord(record, map)) properties->WriteString(L"Library", record.c_str(), kVoValuePlain);

  VoString list_text;
  properties->ReadString(L"Libraries", L"", list_text);
  VoPropertyMap list;
  if (!list.FromXmlText(list_text.View(), L"XMLPH", kPropertyXmlVersion)) return;
  VoPropertyMap mapped_list;
  bool changed = false;
  list.ForEach([&](const auto& name, const auto& value) {
    VoString entry = value;
    changed = MapLibraryRecord(entry, map) || changed;
    mapped_list.SetString(name.View(), entry.View());
  });
  if (changed) {
    properties->WriteString(L"Libraries", mapped_list.ToXmlText(L"XMLPH", false, kPropertyXmlVersion).c_str(),
                            kVoValuePlain);
  }
}

VoString ReadKeyText(const VoString& path, const wchar_t* name) {
  VoString value;
  if (VoRegistryKeyPtr key = OpenRegistryKey(VoRegistryRoot::kCurrentUser, path.c_str(), false)) {
    key->ReadString(name, L"", value);
  }
  return value;
}

bool MigrateVersion(int version, const VoString& family_key, VoStringArray& version_names,
                    VoStringArray& earlier_folders) {
  const VoString old_name = VoFormat(L"Halvora %d", version);
  const VoString old_area = family_key + old_name.View();
  const VoString current_area = family_key + kCurrentVersionName;
  if (!OpenRegistryKey(VoRegistryRoot::kCurrentUser, old_area.c_str(), false)) return false;
  Log(L"UpgradeFromPreviousVersions", VoFormat(L"Migrating %s", old_name));

  const VoString app_data = GetSharedDataFolder();
  const VoString old_install = WithTrailingBackslash(ReadKeyText(old_area + L"\\Installer", L"Install Directory").View());
  // Earlier versions kept their data beside their programs, as this one does.
  const VoString old_app_data = old_install.IsEmpty() ? VoString() : old_install + L"Application Data\\";
  LibraryPathMap paths(old_name, old_app_data, app_data);

  // The library.
  VoPropertyMap library;
  library.FromXmlText(ReadKeyText(old_area + L"\\Properties", L"Library").View(), L"XMLPH", kPropertyXmlVersion);
  const VoString library_path = library.GetString(L"LibraryPath");
  if (!library_path.IsEmpty() && !app_data.IsEmpty()) {
    const VoString destination = app_data + L"Library\\";
    // Without the old install folder a path inside its data folder cannot
    // be found.
    const bool resolvable = !old_app_data.IsEmpty() || library_path.FindNoCase(kAppDataPlaceholder) == VoString::npos;
    const VoString old_folder = WithTrailingBackslash(paths.OldFolder(library_path).View());
    if (resolvable && FolderExists(old_folder)) {
      if (SameFolder(old_folder, destination) || CopyFolderContent(old_folder, destination)) {
        paths.SetCopied(library_path, destination);
      } else {
        Log(L"UpgradeFromPreviousVersions", VoFormat(L"Copying the library '%s' failed", old_folder));
      }
    }
  }

  version_names.Add(old_name);
  if (!old_install.IsEmpty() && !SameFolder(old_install, InstallFolder()) &&
      earlier_folders.FindNoCase(old_install.View()) == VoStringArray::npos) {
    earlier_folders.Add(old_install);
  }

  VoStringArray excluded;
  excluded.Add(VoString(L"Installer"));
  excluded.Add(VoString(L"Dependencies"));
  CopyRegistryTree(VoRegistryRoot::kCurrentUser, old_area, VoRegistryRoot::kCurrentUser, current_area,
                   {{old_name, VoString(kCurrentVersionName)}}, excluded);
  MapLibraryProperties(current_area + L"\\Properties", paths);

  if (!old_app_data.IsEmpty() && !app_data.IsEmpty()) {
    const VoString source = old_app_data + L"Settings\\TV Shared Settings.ini";
    if (FileExists(source) && !SameFolder(old_app_data, app_data)) {
      CreateFolderTree(app_data + L"Settings\\", false);
      CopyFileW(source.c_str(), (app_data + L"Settings\\TV Shared Settings.ini").c_str(), FALSE);
    }
  }
  return true;
}

}  // namespace

bool DeleteObsoleteFile(const VoString& path, bool unregister_first) {
  if (path.IsEmpty() || !FileExists(path)) return true;
  if (unregister_first && IsRegistrable(path)) RunRegSvr32(path, true, false);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (DeleteFileW(path.c_str())) return true;

  const VoString entry = VoFormat(L"%s|%s", path, L"_DELETEFILE");
  VoStringArray& pending = Session().PendingFileOperations;
  if (pending.FindNoCase(entry.View()) == VoStringArray::npos) pending.Add(entry);
  Log(L"DeleteObsoleteFile", VoFormat(L"'%s' is in use (error %d); deleted at the next start", path,
                                      static_cast<int>(GetLastError())));
  return false;
}

bool MoveSettingsStore(const VoString& from, const VoString& to) {
  if (from.IsEmpty() || to.IsEmpty() || !StoreExists(from)) return false;
  {
    VoRegistryKeyPtr source = OpenStore(from.c_str(), 0);
    VoRegistryKeyPtr destination = OpenStore(to.c_str(), 1);
    if (!source || !destination) return false;
    VoStringArray names;
    source->GetSubkeyNames(names);
    for (const VoString& name : names) MoveSettingsStore(JoinStorePath(from, name), JoinStorePath(to, name));
    names.Clear();
    source->GetValueNames(names);
    for (const VoString& name : names) {
      unsigned type = 0;
      std::vector<unsigned char> data;
      if (source->ReadRaw(name.c_str(), type, data)) destination->WriteRaw(name.c_str(), type, data);
    }
  }
  VoString parent, leaf;
  SplitStorePath(from, parent, leaf);
  VoRegistryKeyPtr parent_key = OpenStore(parent.c_str(), 0);
  return parent_key && parent_key->DeleteSubkey(leaf.c_str());
}

bool CopyRegistryTree(VoRegistryRoot source_root, const VoString& source_path, VoRegistryRoot destination_root,
                      const VoString& destination_path, const std::vector<RegistryTextReplacement>& replacements,
                      const VoStringArray& excluded_subkeys) {
  // Copying a key into itself or below itself would never end.
  if (source_root == destination_root &&
      (SameFolder(source_path, destination_path) ||
       WithTrailingBackslash(destination_path.View()).StartsWithNoCase(WithTrailingBackslash(source_path.View()).View()))) {
    return false;
  }
  VoRegistryKeyPtr source = OpenRegistryKey(source_root, source_path.c_str(), false);
  if (!source) return false;
  VoRegistryKeyPtr destination = OpenRegistryKey(destination_root, destination_path.c_str(), true);
  if (!destination) return false;

  VoStringArray names;
  source->GetValueNames(names);
  for (const VoString& name : names) {
    if (destination->ValueExists(name.c_str())) continue;
    unsigned type = 0;
    std::vector<unsigned char> data;
    if (!source->ReadRaw(name.c_str(), type, data)) continue;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) ReplaceInTextBytes(data, replacements);
    destination->WriteRaw(name.c_str(), type, data);
  }

  names.Clear();
  source->GetSubkeyNames(names);
  // The exclusions name subkeys of the top key only.
  const VoStringArray none;
  for (const VoString& name : names) {
    if (excluded_subkeys.FindNoCase(name.View()) != VoStringArray::npos) continue;
    CopyRegistryTree(source_root, source_path + L"\\" + name.View(), destination_root,
                     destination_path + L"\\" + name.View(), replacements, none);
  }
  return true;
}

void CleanInstallFolder() {
  const VoString install = InstallFolder();
  // Without an install folder every relative path below would land in the
  // current folder.
  if (!install.IsEmpty()) {
    for (const wchar_t* folder : kObsoleteFolders) DeleteFolderTree(install + folder);
    DeleteObsoleteFile(install + kObsoleteControlLibrary, true);
  }
  CleanSettingsArea();
  if (!install.IsEmpty()) {
    CleanFolders(install);
    DeleteFolderTree(install + L"Setup\\");
  }
  EmptyStore(L"Installer\\Finalize");
  if (!install.IsEmpty()) DeleteConfiguredObsoleteFiles(install);
}

void CleanInstallFolder(IInstallPage& page) {
  RunStep(page, L"Cleaning installation directory...", [] {
    CleanInstallFolder();
    return true;
  });
}

bool LoadDefaultLibrary() {
  const InstallSession& session = Session();
  if (session.EarlierInstallFound && !session.Portable) return false;
  const VoString source = WithTrailingBackslash(session.LibraryFolder.View());
  if (source.IsEmpty()) return true;

  const VoString app_data = GetSharedDataFolder();
  if (!app_data.IsEmpty() && !IsFolderEmpty(source, true, false, true)) {
    const VoString library = app_data + L"Library\\";
    if (!CopyFolderContent(source, library)) {
      Log(L"LoadDefaultLibrary", VoFormat(L"Copying the library '%s' failed", source));
    }
    // The shipped settings go to the registry, not into the library.
    DeleteFolderTree(library + L"Settings\\");
    WriteTextFile(library + L"Clone.flg", L"", 1);
  }

  const VoString settings = source + L"Settings\\";
  if (!IsFolderEmpty(settings, true, false, true)) {
    IVoTools* tools = VoTools();
    IVoRegistry* registry = tools ? tools->Registry() : nullptr;
    if (!registry || !registry->ImportSettings(settings.c_str())) {
      Log(L"LoadDefaultLibrary", VoFormat(L"No settings imported from '%s'", settings));
    }
    if (VoRegistryKeyPtr area = OpenStore(L"", 0)) {
      for (const wchar_t* store : kMachineSpecificStores) area->DeleteSubkey(store);
    }
    DeleteStoreSubkeys(L"DLNA", {L"Servers"});
    DeleteStoreValues(L"Library Server", {L"UUID"});
    DeleteStoreValues(L"Properties", kMachineSpecificProperties);
  }
  return true;
}

bool LoadDefaultLibrary(IInstallPage& page) {
  return RunStep(page, L"Loading default library and settings...", [] { return LoadDefaultLibrary(); });
}

bool UpgradeFromPreviousVersions(VoStringArray& version_names, VoStringArray& earlier_folders,
                                 const VoString& family_key) {
  const InstallSession& session = Session();
  if (session.Portable || session.EarlierInstallFound || session.NoUpgrade) return false;
  if (ProductName(1) != kCurrentVersionName) return false;

  bool migrated = false;
  for (int version = kFirstMigratedVersion; version <= kLastMigratedVersion; ++version) {
    migrated = MigrateVersion(version, WithTrailingBackslash(family_key.View()), version_names, earlier_folders) ||
               migrated;
  }
  return migrated;
}

bool UpgradeFromPreviousVersions(VoStringArray& version_names, VoStringArray& earlier_folders) {
  return UpgradeFromPreviousVersions(version_names, earlier_folders, VoString(kProductFamilySettingsKey));
}

bool UpgradeFromPreviousVersions(IInstallPage& page, VoStringArray& version_names, VoStringArray& earlier_folders) {
  return RunStep(page, L"Upgrading from previous version...",
                 [&] { return UpgradeFromPreviousVersions(version_names, earlier_folders); });
}

}  // namespace vo

#include "app/installation_records.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "app/installer_folder.h"
#include "app/session.h"
#include "foundation/number_text.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "foundation/text_file.h"
#include "foundation/win/file_system.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/process_info_record.h"
#include "foundation/win/system_info.h"
#include "foundation/win/version_info.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr wchar_t kInstallationsKey[] = L"Software\\V. Ortala\\Pellion\\Installations";
constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kPortableMarker[] = L"Portable.dat";

// The record's paths hold 261 characters with their terminator; the folder
// keeps room for one more.
constexpr size_t kLongestProgramFolder = 259;

// The text of a registry value's bytes: up to the first NUL, a stray odd
// byte dropped.
VoString TextOfValue(const std::vector<BYTE>& data) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  const size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return VoString(std::move(text));
}

// "Path" of one installation: a text as stored, a number as its decimal
// text, anything else (or nothing) empty.
VoString ReadPathValue(HKEY key) {
  std::vector<BYTE> data;
  DWORD type = 0;
  // The value may grow between asking for its size and reading it.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result = RegQueryValueExW(key, L"Path", nullptr, &type, data.empty() ? nullptr : data.data(), &size);
    if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && data.empty() && size > 0)) {
      data.resize(size + sizeof(wchar_t));
      continue;
    }
    if (result != ERROR_SUCCESS) return {};
    data.resize(size);
    if (type == REG_SZ || type == REG_EXPAND_SZ) return TextOfValue(data);
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
      DWORD number = 0;
      std::memcpy(&number, data.data(), sizeof number);
      return FormatInt(number);
    }
    if (type == REG_QWORD && data.size() == sizeof(int64_t)) {
      int64_t number = 0;
      std::memcpy(&number, data.data(), sizeof number);
      return FormatInt(number);
    }
    return {};
  }
  return {};
}

// The "Path" of the installation record named exactly `edition_name`; empty
// when there is none or its path is empty. Read directly: this runs before
// anything of the tools library's registry service is needed.
VoString ReadRecordedPath(const VoString& edition_name) {
  HKEY installations = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallationsKey, 0, KEY_READ, &installations) != ERROR_SUCCESS) return {};
  VoString found;
  wchar_t name[256];  // key names are at most 255 characters
  for (DWORD index = 0; RegEnumKeyW(installations, index, name, 256) == ERROR_SUCCESS; ++index) {
    // Case matters: another edition may differ from this one only in case.
    if (edition_name != name) continue;
    HKEY installation = nullptr;
    const VoString path = VoString(kInstallationsKey) + L"\\" + name;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &installation) != ERROR_SUCCESS) continue;
    const VoString recorded = ReadPathValue(installation);
    RegCloseKey(installation);
    if (recorded.IsEmpty()) continue;
    found = recorded;
    break;
  }
  RegCloseKey(installations);
  return found;
}

// Publishes `folder` as the installed product's program folder. A folder
// too long for the record is not cut short, since the shortened text would
// name some other folder; the record then holds no folder at all.
VoString PublishProgramFolder(const VoString& folder) {
  VoString published = folder;
  if (published.Length() > kLongestProgramFolder) {
    vo::Log(L"Installation Records", VoFormat(L"Program folder too long for the process record: %s", folder));
    published.Clear();
  }
  vo::SetProcessPath(ProcessPath::kProgramFolder, published);
  return published;
}

VoString ReadUninstallValue(const VoString& key_name, const wchar_t* value_name) {
  VoString value;
  const VoString path = VoString(kUninstallKey) + L"\\" + key_name.View();
  if (VoRegistryKeyPtr key = vo::OpenRegistryKey(VoRegistryRoot::kLocalMachine, path.c_str(), false)) {
    key->ReadString(value_name, L"", value);
  }
  return value;
}

bool IsMakersPublisher(const VoString& publisher) {
  return publisher.EqualsNoCase(L"Vortala, Inc.") || publisher.EqualsNoCase(L"V. Ortala, Inc.");
}

// The file version text of the main program the installer brings; empty when
// the file is missing or has no version.
VoString NewMainProgramVersion(const VoString& main_program) {
  VoString version;
  CVersionInfo info;
  if (FAILED(info.Load(InstallerFolder() + L"Kelvane\\" + main_program.View())) ||
      FAILED(info.GetFileVersion(version, true))) {
    version.Clear();
  }
  return version;
}

void WriteInstallationsKey(const InstallSession& session) {
  const VoString edition = vo::ProductName(3);
  if (VoRegistryKeyPtr installations = vo::OpenRegistryKey(VoRegistryRoot::kLocalMachine, kInstallationsKey, true)) {
    installations->WriteString(L"", edition.c_str(), kVoValuePlain);
  }
  // Without an edition name the values would land on the list of
  // installations itself.
  if (edition.IsEmpty()) return;

  VoString main_program, launcher;
  if (IVoProduct* product = vo::Product()) {
    product->GetMainProgramName(main_program);
    product->GetLauncherName(launcher);
  }
  const VoString version = NewMainProgramVersion(main_program);
  const VoString path = VoString(kInstallationsKey) + L"\\" + edition.View();
  VoRegistryKeyPtr key = vo::OpenRegistryKey(VoRegistryRoot::kLocalMachine, path.c_str(), true);
  if (!key) return;
  key->WriteString(L"Path", session.InstallDirectory.c_str(), kVoValueFolder);
  key->WriteString(L"Version", version.c_str(), kVoValuePlain);
  key->WriteString(L"OS Version", vo::GetOsVersion().name.c_str(), kVoValuePlain);
  key->WriteString(L"Launcher Name", launcher.c_str(), kVoValuePlain);
  key->WriteString(L"Uninstall Key", session.EarlierUninstallKey.c_str(), kVoValuePlain);
}

}  // namespace

void LocateInstalledProduct(const VoString& edition_name) {
  VoString folder;
  const VoString own_folder = InstallerFolder();
  if (vo::FileExists(own_folder + kPortableMarker)) {
    // A portable copy is its own installation, whatever the registry holds.
    folder = own_folder;
    vo::SetPortableInstallation(true);
  } else {
    folder = ReadRecordedPath(edition_name);
  }
  const VoString published = PublishProgramFolder(folder);
  if (IVoTools* tools = VoTools()) tools->ProductFolderChanged(0);
  OutputDebugStringW(VoFormat(L"Vortala install path (process: %d): %s\r\n", GetCurrentProcessId(), published).c_str());
}

bool ChooseUninstallKey(VoString& key_name, VoStringArray& other_keys) {
  key_name.Clear();
  other_keys.Clear();
  const VoString family = vo::ProductName(2);
  const VoString edition = vo::ProductName(3);

  VoStringArray names;
  if (VoRegistryKeyPtr uninstall = vo::OpenRegistryKey(VoRegistryRoot::kLocalMachine, kUninstallKey, false)) {
    uninstall->GetSubkeyNames(names);
  }
  bool found = false;
  for (const VoString& name : names) {
    if (!name.StartsWithNoCase(family.View())) continue;
    if (!IsMakersPublisher(ReadUninstallValue(name, L"Publisher"))) continue;
    if (name == edition) {
      key_name = name;
      found = true;
    } else {
      other_keys.Add(name);
    }
  }
  if (found) return true;

  // A new entry must not take the name of another edition's entry, which
  // Windows would treat as the same key whatever its case.
  key_name = edition;
  while (other_keys.FindNoCase(key_name.View()) != VoStringArray::npos) {
    key_name = vo::NextNumberedName(key_name.View());
  }
  return false;
}

void FindEarlierInstallations() {
  InstallSession& session = Session();
  VoString key_name;
  VoStringArray other_keys;
  if (!session.Portable && ChooseUninstallKey(key_name, other_keys)) session.EarlierInstallFound = true;
  session.EarlierUninstallKey = key_name;
  session.EarlierInstallLocations.Clear();
  for (const VoString& other : other_keys) {
    const VoString location = ReadUninstallValue(other, L"InstallLocation");
    session.EarlierInstallLocations.Add(vo::WithTrailingBackslash(location.View()));
  }
}

void SetInstalledProductFolder() {
  const InstallSession& session = Session();
  PublishProgramFolder(session.InstallDirectory);
  if (!session.Portable) return;

  vo::SetPortableInstallation(true);
  vo::SetProcessPath(ProcessPath::kSharedDataFolder, vo::GetSharedDataFolder());
  if (IVoProduct* product = vo::Product(); product && product->Reload(L"")) {
    if (IVoTools* tools = VoTools()) tools->ProductFolderChanged(0);
  }
  // Without a folder the marker would land in whatever the current folder is.
  if (session.InstallDirectory.IsEmpty()) return;
  vo::WriteTextFile(vo::WithTrailingBackslash(session.InstallDirectory.View()) + kPortableMarker, L"", 1);
}

void WriteInstallationRecord() {
  const InstallSession& session = Session();
  if (!session.Portable) WriteInstallationsKey(session);
  if (VoRegistryKeyPtr store = vo::OpenStore(L"Installer", 0)) {
    if (!session.DistributorID.IsEmpty()) {
      store->WriteString(L"Distributor ID", session.DistributorID.c_str(), kVoValuePlain);
    }
    store->WriteString(L"Install Directory", session.InstallDirectory.c_str(), kVoValueFolder);
  }
}

}  // namespace vo

// The installation records in the machine's registry: choosing the uninstall
// key among the family's entries, locating the installed product at start-up,
// taking over the install folder and writing the record and store values.
// The uninstall entries and the installation records live at fixed places of
// the machine, so every test works with names of its own and removes all it
// created.

#include "app/installation_records.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "app/session.h"
#include "foundation/string_format.h"
#include "foundation/win/file_system.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/process_info_record.h"
#include "foundation/win/run_program.h"
#include "foundation/win/system_info.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "support/fake_tools.h"

namespace {

constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kInstallations[] = L"Software\\V. Ortala\\Pellion\\Installations";
constexpr wchar_t kMaker[] = L"Vortala, Inc.";
// The keys down to the installation records, from the top.
constexpr const wchar_t* kRecordKeys[] = {L"Software\\V. Ortala", L"Software\\V. Ortala\\Pellion", kInstallations};

bool KeyExists(HKEY root, const VoString& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// A text value as stored, or "<missing>".
VoString ReadText(HKEY root, const VoString& path, const wchar_t* name) {
  wchar_t buffer[1024];
  DWORD size = sizeof(buffer);
  if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return VoString(L"<missing>");
  }
  return VoString(buffer);
}

void WriteText(HKEY root, const VoString& path, const wchar_t* name, const VoString& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS)
      << path.ToUtf8();
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.Length() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void WriteNumber(HKEY root, const VoString& path, const wchar_t* name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

std::vector<VoString> Sorted(const VoStringArray& array) {
  std::vector<VoString> items(array.begin(), array.end());
  std::sort(items.begin(), items.end());
  return items;
}

// Holds the process information record's fields the code under test changes
// and puts them back.
class SavedProcessRecord {
 public:
  SavedProcessRecord() {
    for (ProcessPath which : kPaths) paths_.push_back(vo::GetProcessPath(which));
    portable_ = vo::IsPortableInstallation();
  }
  ~SavedProcessRecord() {
    for (size_t i = 0; i < paths_.size(); ++i) vo::SetProcessPath(kPaths[i], paths_[i]);
    vo::SetPortableInstallation(portable_);
  }

 private:
  static constexpr ProcessPath kPaths[] = {ProcessPath::kExecutable, ProcessPath::kProgramFolder,
                                           ProcessPath::kSharedDataFolder};
  std::vector<VoString> paths_;
  bool portable_ = false;
};

class InstallationRecordsTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    Session() = InstallSession{};
    tools_.registry = &registry_;
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    // Unique per test and run, so leftovers of an aborted run cannot match.
    family_ = VoFormat(L"Halvora Test %d-%s", GetCurrentProcessId(), VoString::FromUtf8(info->name()));
    edition_ = family_ + L" Studio";
    tools_.product.names[2] = family_;
    tools_.product.names[3] = edition_;
    tools_.product.main_program = VoString(L"HalvoraTest.exe");
    tools_.product.launcher = VoString(L"HalvoraTest Launcher.exe");

    for (const wchar_t* key : kRecordKeys) existed_.push_back(KeyExists(HKEY_LOCAL_MACHINE, VoString(key)));
    installations_default_ = ReadText(HKEY_LOCAL_MACHINE, VoString(kInstallations), L"");
  }

  void TearDown() override {
    for (const VoString& name : uninstall_entries_) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, (VoString(kUninstall) + L"\\" + name.View()).c_str());
    }
    for (const VoString& name : {edition_, edition_.ToLower(), family_ + L" Lite"}) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, (VoString(kInstallations) + L"\\" + name.View()).c_str());
    }
    if (installations_default_ == L"<missing>") {
      RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kInstallations, nullptr);
    } else {
      WriteText(HKEY_LOCAL_MACHINE, VoString(kInstallations), L"", installations_default_);
    }
    // Only keys this test made, and only when nothing else has come below them.
    for (size_t i = std::size(kRecordKeys); i-- > 0;) {
      if (!existed_[i]) RegDeleteKeyW(HKEY_LOCAL_MACHINE, kRecordKeys[i]);
    }
    Session() = InstallSession{};
    RegistryTestArea::TearDown();
  }

  // An uninstall entry named `name`, removed at the end of the test.
  void AddUninstallEntry(const VoString& name, const wchar_t* publisher, const wchar_t* location = nullptr) {
    const VoString path = VoString(kUninstall) + L"\\" + name.View();
    uninstall_entries_.push_back(name);
    WriteText(HKEY_LOCAL_MACHINE, path, L"Publisher", VoString(publisher));
    if (location) WriteText(HKEY_LOCAL_MACHINE, path, L"InstallLocation", VoString(location));
  }

  VoString InstallationPath(const VoString& name) const { return VoString(kInstallations) + L"\\" + name.View(); }

  // A distribution folder whose "Kelvane\" holds a main program with the
  // version 1.2.3.4, made the running program's folder for the test.
  void UseDistributionWithMainProgram(const TempTestFolder& folder) {
    vo::SetProcessPath(ProcessPath::kExecutable, folder.Path() + L"Setup.exe");
    ASSERT_TRUE(CreateDirectoryW((folder.Path() + L"Kelvane").c_str(), nullptr));
    const VoString program = folder.Path() + L"Kelvane\\" + tools_.product.main_program.View();
    ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"exit_with.exe").c_str(), program.c_str(), FALSE));
  }

  SavedProcessRecord saved_record_;
  FakeTools tools_;
  VoString family_, edition_;
  std::vector<VoString> uninstall_entries_;
  std::vector<bool> existed_;
  VoString installations_default_;
};

// ---- ChooseUninstallKey and FindEarlierInstallations ----

TEST_F(InstallationRecordsTest, ChoosesTheKeyAmongTheFamilysEntries) {
  struct Entry {
    const wchar_t* suffix;  // after the family name
    const wchar_t* publisher;
  };
  struct Case {
    const char* what;
    std::vector<Entry> entries;
    bool found;
    const wchar_t* key_suffix;  // after the edition name
    std::vector<const wchar_t*> other_suffixes;
  };
  const Case cases[] = {
      {"no entry of the family", {}, false, L"", {}},
      {"this edition's own entry", {{L" Studio", kMaker}}, true, L"", {}},
      {"publisher compared without case", {{L" Studio", L"v. ortala, INC."}}, true, L"", {}},
      {"own entry beside another edition", {{L" Studio", kMaker}, {L" Lite", L"V. Ortala, Inc."}}, true, L"",
       {L" Lite"}},
      {"another edition only", {{L" Lite", kMaker}}, false, L"", {L" Lite"}},
      {"foreign publisher ignored entirely", {{L" Studio", L"Someone Else, Inc."}, {L" Lite", L"Vortala"}}, false,
       L"", {}},
      {"empty publisher ignored", {{L" Studio", L""}}, false, L"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const Entry& e : c.entries) AddUninstallEntry(family_ + e.suffix, e.publisher);

    VoString key = VoString(L"stale");
    VoStringArray others;
    others.Add(VoString(L"stale"));
    EXPECT_EQ(vo::ChooseUninstallKey(key, others), c.found);
    EXPECT_EQ(key, edition_ + c.key_suffix);
    VoStringArray expected;
    for (const wchar_t* suffix : c.other_suffixes) expected.Add(family_ + suffix);
    EXPECT_EQ(Sorted(others), Sorted(expected));

    for (const VoString& name : uninstall_entries_) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, (VoString(kUninstall) + L"\\" + name.View()).c_str());
    }
    uninstall_entries_.clear();
  }
}

TEST_F(InstallationRecordsTest, FamilyPrefixComparedWithoutCase) {
  AddUninstallEntry(family_.ToLower() + L" Lite", kMaker);
  AddUninstallEntry(VoString(L"Halvora Testing ") + family_.View(), kMaker);  // not beginning with the family
  VoString key;
  VoStringArray others;
  EXPECT_FALSE(vo::ChooseUninstallKey(key, others));
  EXPECT_EQ(key, edition_);
  ASSERT_EQ(others.GetCount(), 1u);
  EXPECT_EQ(others[0], family_.ToLower() + L" Lite");
}

TEST_F(InstallationRecordsTest, EntryDifferingOnlyInCaseIsAnotherEditionAndTheNewKeyIsNumbered) {
  AddUninstallEntry(edition_.ToLower(), kMaker);
  VoString key;
  VoStringArray others;
  EXPECT_FALSE(vo::ChooseUninstallKey(key, others));
  EXPECT_EQ(key, edition_ + L" (1)");
  ASSERT_EQ(others.GetCount(), 1u);
  EXPECT_EQ(others[0], edition_.ToLower());

  // Numbered names already taken push the number on.
  AddUninstallEntry(edition_ + L" (1)", kMaker);
  AddUninstallEntry(edition_.ToLower() + L" (2)", kMaker);
  EXPECT_FALSE(vo::ChooseUninstallKey(key, others));
  EXPECT_EQ(key, edition_ + L" (3)");
  EXPECT_EQ(others.GetCount(), 3u);
}

TEST_F(InstallationRecordsTest, EarlierInstallationsFoundWithTheirFolders) {
  AddUninstallEntry(edition_, kMaker, L"C:\\Halvora Studio\\");
  AddUninstallEntry(family_ + L" Lite", kMaker, L"C:\\Halvora Lite");
  AddUninstallEntry(family_ + L" Player", kMaker, L"D:\\Player\\\\");
  AddUninstallEntry(family_ + L" Trial", kMaker);  // no location recorded
  AddUninstallEntry(family_ + L" Copy", L"Copycat Ltd.", L"E:\\Copy\\");

  vo::FindEarlierInstallations();
  const InstallSession& session = Session();
  EXPECT_TRUE(session.EarlierInstallFound);
  EXPECT_EQ(session.EarlierUninstallKey, edition_);
  // The own entry's folder is not an "other" location.
  EXPECT_EQ(Sorted(session.EarlierInstallLocations),
            Sorted({VoString(L""), VoString(L"C:\\Halvora Lite\\"), VoString(L"D:\\Player\\")}));
}

TEST_F(InstallationRecordsTest, NoEarlierInstallationKeepsTheEditionsName) {
  AddUninstallEntry(family_ + L" Lite", kMaker, L"C:\\Lite\\");
  vo::FindEarlierInstallations();
  EXPECT_FALSE(Session().EarlierInstallFound);
  EXPECT_EQ(Session().EarlierUninstallKey, edition_);
  EXPECT_EQ(Sorted(Session().EarlierInstallLocations), Sorted({VoString(L"C:\\Lite\\")}));
}

TEST_F(InstallationRecordsTest, PortableInstallationLooksForNoEarlierInstallation) {
  AddUninstallEntry(edition_, kMaker, L"C:\\Studio\\");
  AddUninstallEntry(family_ + L" Lite", kMaker, L"C:\\Lite\\");
  Session().Portable = true;
  vo::FindEarlierInstallations();
  EXPECT_FALSE(Session().EarlierInstallFound);
  EXPECT_TRUE(Session().EarlierUninstallKey.IsEmpty());
  EXPECT_EQ(Session().EarlierInstallLocations.GetCount(), 0u);
}

// ---- LocateInstalledProduct ----

TEST_F(InstallationRecordsTest, LocatesTheInstalledProductByItsRecord) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    const wchar_t* expected;
  };
  const VoString lite = family_ + L" Lite";
  const Case cases[] = {
      {"no record", [] {}, L""},
      {"the edition's record",
       [&] {
         WriteText(HKEY_LOCAL_MACHINE, InstallationPath(lite), L"Path", VoString(L"C:\\Lite\\"));
         WriteText(HKEY_LOCAL_MACHINE, InstallationPath(edition_), L"Path", VoString(L"C:\\Halvora Studio\\"));
       },
       L"C:\\Halvora Studio\\"},
      {"a record differing only in case",
       [&] { WriteText(HKEY_LOCAL_MACHINE, InstallationPath(edition_.ToLower()), L"Path", VoString(L"C:\\Other\\")); },
       L""},
      {"an empty path",
       [&] { WriteText(HKEY_LOCAL_MACHINE, InstallationPath(edition_), L"Path", VoString(L"")); }, L""},
      {"no path value",
       [&] { WriteText(HKEY_LOCAL_MACHINE, InstallationPath(edition_), L"Version", VoString(L"1.0")); }, L""},
      {"a number as the path", [&] { WriteNumber(HKEY_LOCAL_MACHINE, InstallationPath(edition_), L"Path", 4096); },
       L"4096"},
      {"a path too long for the record",
       [&] {
         WriteText(HKEY_LOCAL_MACHINE, InstallationPath(edition_), L"Path",
                   VoString(L"C:\\") + VoString(300, L'x').View());
       },
       L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    vo::SetProcessPath(ProcessPath::kProgramFolder, VoString(L"C:\\Before\\"));
    tools_.folder_changes.clear();

    vo::LocateInstalledProduct(edition_);
    EXPECT_EQ(vo::GetProcessPath(ProcessPath::kProgramFolder), VoString(c.expected));
    EXPECT_FALSE(vo::IsPortableInstallation());
    EXPECT_EQ(tools_.folder_changes, std::vector<int>{0});

    for (const VoString& name : {edition_, lite}) RegDeleteTreeW(HKEY_LOCAL_MACHINE, InstallationPath(name).c_str());
  }
}

TEST_F(InstallationRecordsTest, PortableMarkerBesideTheInstallerWinsOverTheRecord) {
  TempTestFolder distribution(L"records-portable-marker");
  distribution.AddFile(VoString(L"Portable.dat"));
  vo::SetProcessPath(ProcessPath::kExecutable, distribution.Path() + L"Setup.exe");
  WriteText(HKEY_LOCAL_MACHINE, InstallationPath(edition_), L"Path", VoString(L"C:\\Halvora Studio\\"));

  vo::LocateInstalledProduct(edition_);
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kProgramFolder), distribution.Path());
  EXPECT_TRUE(vo::IsPortableInstallation());
  EXPECT_EQ(tools_.folder_changes, std::vector<int>{0});
}

// ---- SetInstalledProductFolder ----

TEST_F(InstallationRecordsTest, NormalInstallationTakesOverTheInstallFolder) {
  TempTestFolder install(L"records-normal-install");
  vo::SetProcessPath(ProcessPath::kProgramFolder, VoString());
  vo::SetProcessPath(ProcessPath::kSharedDataFolder, VoString(L"C:\\Shared\\"));
  Session().InstallDirectory = install.Path();

  vo::SetInstalledProductFolder();
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kProgramFolder), install.Path());
  EXPECT_FALSE(vo::IsPortableInstallation());
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kSharedDataFolder), L"C:\\Shared\\");
  EXPECT_FALSE(vo::FileExists(install.Path() + L"Portable.dat"));
  EXPECT_EQ(tools_.product.reloads, 0);
  EXPECT_TRUE(tools_.folder_changes.empty());

  // A first installation runs the package installer from the new folder.
  ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"exit_with.exe").c_str(),
                        (install.Path() + L"PackageInstaller.exe").c_str(), FALSE));
  const VoString argument_log = install.Path() + L"arguments.txt";
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", argument_log.c_str());
  int exit_code = -1;
  const bool ran = vo::RunPackageInstaller(VoString(L"5 /FromNewFolder"), &exit_code);
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);
  EXPECT_TRUE(ran);
  EXPECT_EQ(exit_code, 5);
  EXPECT_TRUE(vo::FileExists(argument_log));
}

TEST_F(InstallationRecordsTest, PortableInstallationMarksItself) {
  struct Case {
    const char* what;
    const wchar_t* load_error;
    std::vector<int> folder_changes;
  };
  const Case cases[] = {
      {"product description reloaded", L"", {0}},
      {"product description failed to reload", L"unreadable", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempTestFolder install(L"records-portable-install");
    tools_.product.load_error = VoString(c.load_error);
    tools_.product.reloads = 0;
    tools_.folder_changes.clear();
    vo::SetPortableInstallation(false);
    Session().Portable = true;
    Session().InstallDirectory = install.Path();

    vo::SetInstalledProductFolder();
    EXPECT_EQ(vo::GetProcessPath(ProcessPath::kProgramFolder), install.Path());
    EXPECT_TRUE(vo::IsPortableInstallation());
    EXPECT_EQ(vo::GetProcessPath(ProcessPath::kSharedDataFolder), install.Path() + L"Application Data\\");
    EXPECT_EQ(tools_.product.reloads, 1);
    EXPECT_EQ(tools_.folder_changes, c.folder_changes);
    EXPECT_EQ(vo::FileSize(install.Path() + L"Portable.dat"), 0);

    // The copy now finds itself as a portable installation.
    vo::SetPortableInstallation(false);
    vo::SetProcessPath(ProcessPath::kExecutable, install.Path() + L"Halvora.exe");
    vo::LocateInstalledProduct(edition_);
    EXPECT_TRUE(vo::IsPortableInstallation());
    EXPECT_EQ(vo::GetProcessPath(ProcessPath::kProgramFolder), install.Path());
  }
}

// ---- WriteInstallationRecord ----

TEST_F(InstallationRecordsTest, NormalInstallationWritesTheRecordAndTheStore) {
  TempTestFolder distribution(L"records-write-normal");
  UseDistributionWithMainProgram(distribution);
  InstallSession& session = Session();
  session.InstallDirectory = VoString(L"C:\\Program Files\\Halvora Test");
  session.EarlierUninstallKey = edition_ + L" (1)";
  session.DistributorID = VoString(L"ACME");

  vo::WriteInstallationRecord();
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, VoString(kInstallations), L""), edition_);
  const VoString record = InstallationPath(edition_);
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, record, L"Path"), L"C:\\Program Files\\Halvora Test\\");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, record, L"Version"), L"1.2.3.4");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, record, L"OS Version"), vo::GetOsVersion().name);
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, record, L"Launcher Name"), L"HalvoraTest Launcher.exe");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, record, L"Uninstall Key"), edition_ + L" (1)");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, StorePath(L"Installer"), L"Distributor ID"), L"ACME");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, StorePath(L"Installer"), L"Install Directory"),
            L"C:\\Program Files\\Halvora Test\\");

  // What the next start-up finds.
  vo::LocateInstalledProduct(edition_);
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kProgramFolder), L"C:\\Program Files\\Halvora Test\\");
}

TEST_F(InstallationRecordsTest, MissingMainProgramGivesAnEmptyVersionAndNoDistributorIsWritten) {
  TempTestFolder distribution(L"records-write-no-program");
  vo::SetProcessPath(ProcessPath::kExecutable, distribution.Path() + L"Setup.exe");
  Session().InstallDirectory = VoString(L"C:\\Halvora\\");

  vo::WriteInstallationRecord();
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, InstallationPath(edition_), L"Version"), L"");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, InstallationPath(edition_), L"Uninstall Key"), L"");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, StorePath(L"Installer"), L"Distributor ID"), L"<missing>");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, StorePath(L"Installer"), L"Install Directory"), L"C:\\Halvora\\");
}

TEST_F(InstallationRecordsTest, PortableInstallationWritesOnlyTheStore) {
  TempTestFolder distribution(L"records-write-portable");
  UseDistributionWithMainProgram(distribution);
  Session().Portable = true;
  Session().InstallDirectory = VoString(L"E:\\Portable Halvora\\");
  Session().DistributorID = VoString(L"Stick Co");

  vo::WriteInstallationRecord();
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, InstallationPath(edition_)));
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, VoString(kInstallations), L""), installations_default_);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, StorePath(L"Installer"), L"Install Directory"), L"E:\\Portable Halvora\\");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, StorePath(L"Installer"), L"Distributor ID"), L"Stick Co");
}

}  // namespace

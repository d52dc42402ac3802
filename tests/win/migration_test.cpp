// The first steps of the copy phase: clean-up of what earlier versions left,
// the shipped library and settings, migration of earlier major versions and
// the registry tree copy it uses. Everything runs on real files and on real
// registry keys below each test's own area.

#include "engine/migration.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/session.h"
#include "foundation/property_map.h"
#include "foundation/win/file_system.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "support/fake_tools.h"
#include "support/recording_page.h"

namespace {

// Registry values below HKEY_CURRENT_USER, by full key path.
void PutText(const VoString& key, const wchar_t* name, const VoString& value, DWORD type = REG_SZ) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, type, value.c_str(),
                            static_cast<DWORD>((value.Length() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}
void PutNumber(const VoString& key, const wchar_t* name, DWORD value) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value)), ERROR_SUCCESS);
}
// The value as text ("<missing>" when absent); numbers in decimal.
std::wstring Get(const VoString& key, const wchar_t* name) {
  DWORD type = 0, size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return L"<missing>";
  }
  std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
  RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer.data(), &size);
  if (type == REG_DWORD) return std::to_wstring(*reinterpret_cast<const DWORD*>(buffer.data()));
  if (type == REG_MULTI_SZ) {
    buffer.resize(size / sizeof(wchar_t));
    for (wchar_t& c : buffer) {
      if (c == L'\0') c = L'|';
    }
    return buffer;
  }
  return buffer.c_str();
}
DWORD TypeOf(const VoString& key, const wchar_t* name) {
  DWORD type = REG_NONE;
  RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
  return type;
}
bool KeyExists(const VoString& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

VoString LibraryRecord(const wchar_t* path) {
  VoPropertyMap library;
  library.SetString(L"LibraryPath", path);
  library.SetString(L"Name", L"Main Library");
  return library.ToXmlText(L"XMLPH", false, 1);
}
VoString LibraryPathOf(const std::wstring& record) {
  VoPropertyMap library;
  if (!library.FromXmlText(record, L"XMLPH", 1)) return VoString(L"<not a record>");
  return library.GetString(L"LibraryPath");
}

// The settings area of "Halvora 23" is "<test area>\Halvora 23", and the
// earlier versions' areas lie beside it.
class MigrationTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    current_ = area_ + L"\\Halvora 23";
    registry_.SetSettingsArea(current_.View());
    tools_.registry = &registry_;
    Session() = InstallSession{};
    Session().InstallDirectory = install_.Path();
  }
  void TearDown() override {
    Session() = InstallSession{};
    RegistryTestArea::TearDown();
  }

  VoString Area(const wchar_t* store) const { return current_ + L"\\" + store; }
  VoString Install(const wchar_t* relative) const { return install_.Path() + relative; }
  VoString Family() const { return area_ + L"\\"; }

  FakeTools tools_;
  TempTestFolder install_{L"migration-install"};
  ProgramFolderOverride program_{install_.Path()};
  VoString current_;
};

TEST_F(MigrationTest, ObsoleteFilesAreDeletedOrQueuedWhenInUse) {
  const VoString plain = install_.AddFile(L"Plugins\\Old Visualizer.txt", "x");
  const VoString read_only = install_.AddFile(L"Default Art\\cover.jpg", "x");
  SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
  const VoString held = install_.AddFile(L"Plugins\\Input\\in_old.dll", "not a library");

  EXPECT_TRUE(vo::DeleteObsoleteFile(Install(L"Plugins\\missing.dll"), true));
  EXPECT_TRUE(vo::DeleteObsoleteFile(plain, false));
  EXPECT_TRUE(vo::DeleteObsoleteFile(read_only, true));
  EXPECT_FALSE(vo::FileExists(plain));
  EXPECT_FALSE(vo::FileExists(read_only));
  EXPECT_EQ(Session().PendingFileOperations.GetCount(), 0u);
  {
    HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(vo::DeleteObsoleteFile(held, true));
    // Asked again (the configured list may name it too): still one entry.
    EXPECT_FALSE(vo::DeleteObsoleteFile(held, true));
    CloseHandle(open);
  }
  ASSERT_EQ(Session().PendingFileOperations.GetCount(), 1u);
  EXPECT_EQ(Session().PendingFileOperations[0], held + L"|_DELETEFILE");
  EXPECT_TRUE(vo::FileExists(held));
}

TEST_F(MigrationTest, CleanUpRemovesWhatEarlierVersionsLeft) {
  const char* kept_files[] = {"Data\\Library.dat", "Skins\\Panorel\\Themes\\Blue\\a.png", "Plugins\\Keep.dll",
                              "Plugins\\Input\\New.dll"};
  const char* removed_files[] = {"Plugins\\ffdshow\\ffdshow.ax",     "Plugins\\LAVFilters\\x64\\LAVSplitter.ax",
                                 "VoTreeCtrl.ocx",                    "Data\\Saved Views\\Music.xml",
                                 "Skins\\Panorel\\Themes\\Default\\a.png", "Setup\\Halvora.exe",
                                 "Halvora Help.chm",                   "Plugins\\Input\\OldTagReader.dll"};
  for (const char* file : kept_files) install_.AddFile(VoString::FromUtf8(file));
  for (const char* file : removed_files) install_.AddFile(VoString::FromUtf8(file));
  // Read-only files inside deleted folders go too.
  SetFileAttributesW(Install(L"Setup\\Halvora.exe").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(Install(L"Plugins\\LAVFilters\\x64\\").c_str(), FILE_ATTRIBUTE_READONLY);
  const VoString outside = install_.AddFile(L"..\\migration-outside.txt", "x");
  tools_.product.config[L"/*/Product/ObsoleteFiles"] =
      VoString(L"Halvora Help.chm; Plugins\\Input\\OldTagReader.dll;;..\\migration-outside.txt");

  PutText(Area(L"PluginsRemoteControl"), L"Device", VoString(L"IR"));
  PutNumber(Area(L"PluginsRemoteControl\\Keys"), L"Play", 7);
  PutText(Area(L"Handheld"), L"Format", VoString(L"MP3"));
  PutText(Area(L"Portable Devices\\Conversion"), L"Format", VoString(L"old"));
  PutText(Area(L"Plugins\\Panorel Weather"), L"City", VoString(L"Oslo"));
  PutText(Area(L"Plugins\\Panorel News"), L"Feed", VoString(L"x"));
  PutText(Area(L"Plugins\\Panorel Clock"), L"Style", VoString(L"kept"));
  for (const wchar_t* name : {L"UPnP Server", L"Library Server", L"last.fm", L"Remote"}) {
    PutText(Area((VoString(L"Plugins\\Interface\\") + name).c_str()), L"On", VoString(L"1"));
  }
  for (const wchar_t* name : {L"UPnP Server", L"UPnP Server 2", L"Media Box"}) {
    PutText(Area((VoString(L"DLNA\\Servers\\") + name).c_str()), L"On", VoString(L"1"));
  }
  PutNumber(Area(L"Library Specific"), L"Main Stack Updated", 1);
  PutNumber(Area(L"Library Specific\\Main Library"), L"Stack Updated", 1);
  PutNumber(Area(L"Library Specific\\Main Library"), L"Files", 12);
  for (const wchar_t* name : {L"Install - Start Version", L"Install - Create Start Menu",
                              L"Rename From Info - Use Find & Replace", L"Rename From Info - Replace",
                              L"General - Minimize To System Tray"}) {
    PutText(Area(L"Properties"), name, VoString(L"1"));
  }
  PutText(Area(L"Plugins"), L"V. Ortala Main Encoders", VoString(L"x"));
  PutText(Area(L"Plugins"), L"V. Ortala Main DSPs", VoString(L"kept below Plugins"));
  for (const wchar_t* name : {L"V. Ortala Main DSPs", L"V. Ortala Main Outputs", L"Other Outputs"}) {
    PutText(Area(L"Plugins\\System"), name, VoString(L"x"));
  }
  PutText(Area(L"Installer\\Finalize"), L"0", VoString(L"a|b"));
  PutText(Area(L"Installer\\Finalize\\Nested"), L"0", VoString(L"c|d"));
  PutText(Area(L"Installer"), L"Install Directory", install_.Path());

  RecordingPage page;
  vo::CleanInstallFolder(page);
  EXPECT_EQ(page.statuses, std::vector<VoString>{VoString(L"Cleaning installation directory...")});
  EXPECT_EQ(page.ranges, std::vector<int>{1});
  EXPECT_EQ(page.positions, (std::vector<int>{0, 1}));

  for (const char* file : kept_files) EXPECT_TRUE(vo::FileExists(Install(VoString::FromUtf8(file).c_str()))) << file;
  for (const char* file : removed_files) EXPECT_FALSE(vo::FileExists(Install(VoString::FromUtf8(file).c_str()))) << file;
  for (const wchar_t* folder : {L"Plugins\\ffdshow\\", L"Plugins\\LAVFilters\\", L"Data\\Saved Views\\", L"Setup\\"}) {
    EXPECT_FALSE(vo::FolderExists(Install(folder))) << VoString(folder).ToUtf8();
  }
  EXPECT_TRUE(vo::FileExists(outside));
  DeleteFileW(outside.c_str());
  EXPECT_EQ(Session().PendingFileOperations.GetCount(), 0u);

  EXPECT_FALSE(KeyExists(Area(L"PluginsRemoteControl")));
  EXPECT_EQ(Get(Area(L"Plugins\\RemoteControl"), L"Device"), L"IR");
  EXPECT_EQ(Get(Area(L"Plugins\\RemoteControl\\Keys"), L"Play"), L"7");
  EXPECT_EQ(TypeOf(Area(L"Plugins\\RemoteControl\\Keys"), L"Play"), static_cast<DWORD>(REG_DWORD));
  EXPECT_FALSE(KeyExists(Area(L"Handheld")));
  EXPECT_EQ(Get(Area(L"Portable Devices\\Conversion"), L"Format"), L"MP3");
  EXPECT_FALSE(KeyExists(Area(L"Plugins\\Panorel Weather")));
  EXPECT_FALSE(KeyExists(Area(L"Plugins\\Panorel News")));
  EXPECT_TRUE(KeyExists(Area(L"Plugins\\Panorel Clock")));
  for (const wchar_t* name : {L"UPnP Server", L"Library Server", L"last.fm"}) {
    EXPECT_FALSE(KeyExists(Area((VoString(L"Plugins\\Interface\\") + name).c_str()))) << VoString(name).ToUtf8();
  }
  EXPECT_TRUE(KeyExists(Area(L"Plugins\\Interface\\Remote")));
  EXPECT_FALSE(KeyExists(Area(L"DLNA\\Servers\\UPnP Server")));
  EXPECT_FALSE(KeyExists(Area(L"DLNA\\Servers\\UPnP Server 2")));
  EXPECT_TRUE(KeyExists(Area(L"DLNA\\Servers\\Media Box")));
  EXPECT_EQ(Get(Area(L"Library Specific"), L"Main Stack Updated"), L"<missing>");
  EXPECT_EQ(Get(Area(L"Library Specific\\Main Library"), L"Stack Updated"), L"<missing>");
  EXPECT_EQ(Get(Area(L"Library Specific\\Main Library"), L"Files"), L"12");
  for (const wchar_t* name : {L"Install - Start Version", L"Install - Create Start Menu",
                              L"Rename From Info - Use Find & Replace", L"Rename From Info - Replace"}) {
    EXPECT_EQ(Get(Area(L"Properties"), name), L"<missing>") << VoString(name).ToUtf8();
  }
  EXPECT_EQ(Get(Area(L"Properties"), L"General - Minimize To System Tray"), L"1");
  EXPECT_EQ(Get(Area(L"Plugins"), L"V. Ortala Main Encoders"), L"<missing>");
  EXPECT_EQ(Get(Area(L"Plugins"), L"V. Ortala Main DSPs"), L"kept below Plugins");
  EXPECT_EQ(Get(Area(L"Plugins\\System"), L"V. Ortala Main DSPs"), L"<missing>");
  EXPECT_EQ(Get(Area(L"Plugins\\System"), L"V. Ortala Main Outputs"), L"<missing>");
  EXPECT_EQ(Get(Area(L"Plugins\\System"), L"Other Outputs"), L"x");
  EXPECT_EQ(Get(Area(L"Installer\\Finalize"), L"0"), L"<missing>");
  EXPECT_FALSE(KeyExists(Area(L"Installer\\Finalize\\Nested")));
  EXPECT_EQ(Get(Area(L"Installer"), L"Install Directory"), std::wstring(install_.Path().c_str()));
}

TEST_F(MigrationTest, ProductsWithTheFullDataFeatureLoseTheirDataSkinsAndStores) {
  for (bool feature : {false, true}) {
    SCOPED_TRACE(feature);
    for (const wchar_t* file : {L"Data\\Library.dat", L"Skins\\Blue.skin", L"Stores\\Store.xml", L"Halvora.exe"}) {
      install_.AddFile(file);
    }
    if (feature) tools_.product.features.insert(84);
    vo::CleanInstallFolder();
    EXPECT_EQ(vo::FolderExists(Install(L"Data\\")), !feature);
    EXPECT_EQ(vo::FolderExists(Install(L"Skins\\")), !feature);
    EXPECT_EQ(vo::FolderExists(Install(L"Stores\\")), !feature);
    EXPECT_TRUE(vo::FileExists(Install(L"Halvora.exe")));
  }
}

TEST_F(MigrationTest, ShippedLibraryAndSettingsAreLoadedForNewInstallations) {
  TempTestFolder shipped(L"migration-shipped");
  shipped.AddFile(L"Main Library.jmd", "library");
  shipped.AddFile(L"Files\\Cover.jpg", "jpg");
  shipped.AddFile(L"Settings\\Properties.xml",
                  "<XMLPH version=\"1.0\">\r\n"
                  "<Item Name=\"General - Minimize To System Tray\">1</Item>\r\n"
                  "<Item Name=\"Library\">C:\\Shipped</Item>\r\n"
                  "<Item Name=\"Install - First Install\">1</Item>\r\n"
                  "</XMLPH>");
  shipped.AddFile(L"Settings\\Plugins\\System.xml",
                  "<XMLPH version=\"1.0\"><Item Name=\"Output\">Direct &amp; Sound</Item></XMLPH>");
  shipped.AddFile(L"Settings\\Readme.txt", "not settings");
  Session().LibraryFolder = shipped.Path();
  // Machine-specific settings present before, whatever their origin.
  PutText(Area(L"CD Writer"), L"Drive", VoString(L"E:"));
  PutText(Area(L"Library Server"), L"UUID", VoString(L"1234"));
  PutText(Area(L"Library Server"), L"Port", VoString(L"52199"));
  PutText(Area(L"DLNA\\Servers\\Box"), L"On", VoString(L"1"));
  PutText(Area(L"Properties"), L"Install - Number Runs Total", VoString(L"9"));

  RecordingPage page;
  EXPECT_TRUE(vo::LoadDefaultLibrary(page));
  EXPECT_EQ(page.statuses, std::vector<VoString>{VoString(L"Loading default library and settings...")});
  EXPECT_EQ(page.positions, (std::vector<int>{0, 1}));

  const VoString library = install_.Path() + L"Application Data\\Library\\";
  EXPECT_TRUE(vo::FileExists(library + L"Main Library.jmd"));
  EXPECT_TRUE(vo::FileExists(library + L"Files\\Cover.jpg"));
  EXPECT_FALSE(vo::FolderExists(library + L"Settings\\"));
  EXPECT_TRUE(vo::FileExists(library + L"Clone.flg"));
  EXPECT_EQ(vo::FileSize(library + L"Clone.flg"), 0);
  EXPECT_TRUE(vo::FileExists(shipped.Path() + L"Settings\\Properties.xml"));

  EXPECT_EQ(Get(Area(L"Properties"), L"General - Minimize To System Tray"), L"1");
  EXPECT_EQ(Get(Area(L"Plugins\\System"), L"Output"), L"Direct & Sound");
  for (const wchar_t* name : {L"Library", L"Install - First Install", L"Install - Number Runs Total"}) {
    EXPECT_EQ(Get(Area(L"Properties"), name), L"<missing>") << VoString(name).ToUtf8();
  }
  EXPECT_FALSE(KeyExists(Area(L"CD Writer")));
  EXPECT_FALSE(KeyExists(Area(L"DLNA\\Servers")));
  EXPECT_EQ(Get(Area(L"Library Server"), L"UUID"), L"<missing>");
  EXPECT_EQ(Get(Area(L"Library Server"), L"Port"), L"52199");
}

TEST_F(MigrationTest, DefaultLibraryIsLeftAloneForUpdatesAndEmptySources) {
  TempTestFolder shipped(L"migration-shipped-empty");
  const VoString library = install_.Path() + L"Application Data\\Library\\";
  struct Case {
    bool earlier, portable, content;
    bool result, copied;
  };
  const Case cases[] = {
      {true, false, true, false, false},  // an update of a normal installation
      {true, true, true, true, true},     // a portable copy gets it anyway
      {false, false, false, true, false}, // nothing shipped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.earlier << c.portable << c.content);
    Session().EarlierInstallFound = c.earlier;
    Session().Portable = c.portable;
    Session().LibraryFolder = shipped.Path();
    if (c.content) shipped.AddFile(L"Main Library.jmd", "x");
    PutText(Area(L"CD Writer"), L"Drive", VoString(L"E:"));
    EXPECT_EQ(vo::LoadDefaultLibrary(), c.result);
    EXPECT_EQ(vo::FileExists(library + L"Clone.flg"), c.copied);
    EXPECT_EQ(vo::FileExists(library + L"Main Library.jmd"), c.copied);
    // No shipped settings: nothing of the area is touched.
    EXPECT_TRUE(KeyExists(Area(L"CD Writer")));
    DeleteFileW((library + L"Clone.flg").c_str());
    DeleteFileW((library + L"Main Library.jmd").c_str());
    DeleteFileW((shipped.Path() + L"Main Library.jmd").c_str());
  }
}

class UpgradeTest : public MigrationTest {
 protected:
  void SetUp() override {
    MigrationTest::SetUp();
    old_install_ = std::make_unique<TempTestFolder>(L"migration-halvora-20");
    const VoString v20 = Family() + L"Halvora 20";
    PutText(v20 + L"\\Installer", L"Install Directory", old_install_->Path());
    PutText(v20 + L"\\Dependencies", L"DirectX", VoString(L"1"));
    PutText(v20 + L"\\Properties", L"Library", LibraryRecord(L"[App Data Path]Library\\"));
    PutText(v20 + L"\\Properties", L"Cache Folder", VoString(L"C:\\Cache\\halvora 20\\"));
    PutText(v20 + L"\\Properties", L"Shared", VoString(L"from 20"));
    PutNumber(v20 + L"\\Properties", L"Startup - Mode", 2);
    PutText(v20 + L"\\Plugins\\Visualizer", L"Path", VoString(L"%APPDATA%\\Halvora 20\\vis"), REG_EXPAND_SZ);
    PutText(v20 + L"\\Plugins\\Installer", L"Note", VoString(L"a deeper Installer key is plain data"));
    old_install_->AddFile(L"Application Data\\Library\\Main Library.jmd", "old library");
    old_install_->AddFile(L"Application Data\\Library\\Files\\Cover.jpg", "cover");
    old_install_->AddFile(L"Application Data\\Settings\\TV Shared Settings.ini", "[TV]");

    // Version 22 lived in the folder being installed to now.
    const VoString v22 = Family() + L"Halvora 22";
    VoString same_folder = install_.Path().ToLower();
    PutText(v22 + L"\\Installer", L"Install Directory", same_folder);
    PutText(v22 + L"\\Properties", L"Shared", VoString(L"from 22"));
    VoPropertyMap libraries;
    libraries.SetString(L"Main", LibraryRecord(L"[App Data Path]Library\\").View());
    libraries.SetString(L"Archive", LibraryRecord(L"D:\\Music\\Halvora 22 Archive\\").View());
    PutText(v22 + L"\\Properties", L"Libraries", libraries.ToXmlText(L"XMLPH", false, 1));

    PutText(Area(L"Properties"), L"Shared", VoString(L"current"));
  }

  std::unique_ptr<TempTestFolder> old_install_;
};

TEST_F(UpgradeTest, EarlierVersionsSettingsAndLibraryAreCarriedOver) {
  VoStringArray versions, folders;
  ASSERT_TRUE(vo::UpgradeFromPreviousVersions(versions, folders, Family()));
  EXPECT_EQ(versions.Join(L","), L"Halvora 20,Halvora 22");
  ASSERT_EQ(folders.GetCount(), 1u);
  EXPECT_EQ(folders[0], old_install_->Path());

  const VoString properties = Area(L"Properties");
  EXPECT_EQ(Get(properties, L"Shared"), L"current");
  EXPECT_EQ(Get(properties, L"Cache Folder"), L"C:\\Cache\\Halvora 23\\");
  EXPECT_EQ(Get(properties, L"Startup - Mode"), L"2");
  EXPECT_EQ(TypeOf(properties, L"Startup - Mode"), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Get(Area(L"Plugins\\Visualizer"), L"Path"), L"%APPDATA%\\Halvora 23\\vis");
  EXPECT_EQ(TypeOf(Area(L"Plugins\\Visualizer"), L"Path"), static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(Get(Area(L"Plugins\\Installer"), L"Note"), L"a deeper Installer key is plain data");
  EXPECT_FALSE(KeyExists(Area(L"Installer")));
  EXPECT_FALSE(KeyExists(Area(L"Dependencies")));

  const VoString app_data = install_.Path() + L"Application Data\\";
  EXPECT_EQ(LibraryPathOf(Get(properties, L"Library")), app_data + L"Library\\");
  EXPECT_TRUE(vo::FileExists(app_data + L"Library\\Main Library.jmd"));
  EXPECT_TRUE(vo::FileExists(app_data + L"Library\\Files\\Cover.jpg"));
  EXPECT_TRUE(vo::FileExists(old_install_->Path() + L"Application Data\\Library\\Main Library.jmd"));
  EXPECT_TRUE(vo::FileExists(app_data + L"Settings\\TV Shared Settings.ini"));

  VoPropertyMap libraries;
  ASSERT_TRUE(libraries.FromXmlText(Get(properties, L"Libraries"), L"XMLPH", 1));
  EXPECT_EQ(LibraryPathOf(libraries.GetString(L"Main").Std()), app_data + L"Library\\");
  EXPECT_EQ(LibraryPathOf(libraries.GetString(L"Archive").Std()), L"D:\\Music\\Halvora 23 Archive\\");

  // The earlier areas stay as they were.
  EXPECT_EQ(Get(Family() + L"Halvora 20\\Properties", L"Cache Folder"), L"C:\\Cache\\halvora 20\\");
}

TEST_F(UpgradeTest, PageShowsTheStepAndNothingMigratesWhenNotWanted) {
  struct Case {
    const char* why;
    bool portable, earlier, no_upgrade;
    const wchar_t* product;
  };
  const Case cases[] = {
      {"portable", true, false, false, L"Halvora 23"},
      {"earlier installation", false, true, false, L"Halvora 23"},
      {"NoUpgrade", false, false, true, L"Halvora 23"},
      {"another product", false, false, false, L"Halvora 23 Server"},
      {"name differs in case", false, false, false, L"halvora 23"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Session().Portable = c.portable;
    Session().EarlierInstallFound = c.earlier;
    Session().NoUpgrade = c.no_upgrade;
    tools_.product.names[1] = VoString(c.product);
    VoStringArray versions, folders;
    RecordingPage page;
    EXPECT_FALSE(vo::UpgradeFromPreviousVersions(page, versions, folders));
    EXPECT_EQ(page.statuses, std::vector<VoString>{VoString(L"Upgrading from previous version...")});
    EXPECT_EQ(page.positions, (std::vector<int>{0, 1}));
    EXPECT_FALSE(vo::UpgradeFromPreviousVersions(versions, folders, Family()));
    EXPECT_EQ(versions.GetCount(), 0u);
    EXPECT_EQ(folders.GetCount(), 0u);
    EXPECT_EQ(Get(Area(L"Properties"), L"Cache Folder"), L"<missing>");
  }
}

TEST_F(MigrationTest, NothingToMigrateWithoutEarlierAreas) {
  VoStringArray versions, folders;
  EXPECT_FALSE(vo::UpgradeFromPreviousVersions(versions, folders, Family()));
  EXPECT_EQ(versions.GetCount(), 0u);
  EXPECT_FALSE(KeyExists(current_));
}

TEST_F(MigrationTest, TreeCopyReplacesInTextsKeepsWhatIsThereAndLeavesOutExcludedKeys) {
  const VoString source = area_ + L"\\Source";
  const VoString target = area_ + L"\\Target";
  PutText(source, L"Text", VoString(L"C:\\OLD NAME\\old name.txt"));
  PutText(source, L"", VoString(L"default old name"));
  const wchar_t list[] = L"a Old Name\0b\0";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, source.c_str(), L"List", REG_MULTI_SZ, list, sizeof(list)),
            ERROR_SUCCESS);
  const unsigned char bytes[] = {'o', 0, 'l', 0, 'd', 0};
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, source.c_str(), L"Binary", REG_BINARY, bytes, sizeof(bytes)),
            ERROR_SUCCESS);
  PutText(source, L"Kept", VoString(L"old name"));
  PutText(target, L"Kept", VoString(L"target's own"));
  PutNumber(source + L"\\Sub\\Deeper", L"Count", 3);
  PutText(source + L"\\Skip", L"X", VoString(L"x"));
  PutText(source + L"\\Sub\\Skip", L"Y", VoString(L"nested keys of that name are copied"));

  VoStringArray excluded;
  excluded.Add(VoString(L"skip"));
  ASSERT_TRUE(vo::CopyRegistryTree(VoRegistryRoot::kCurrentUser, source, VoRegistryRoot::kCurrentUser, target,
                                   {{VoString(L"old name"), VoString(L"New Name")}}, excluded));
  EXPECT_EQ(Get(target, L"Text"), L"C:\\New Name\\New Name.txt");
  EXPECT_EQ(Get(target, L""), L"default New Name");
  EXPECT_EQ(Get(target, L"List"), L"a New Name|b||");
  EXPECT_EQ(Get(target, L"Kept"), L"target's own");
  EXPECT_EQ(Get(target + L"\\Sub\\Deeper", L"Count"), L"3");
  EXPECT_FALSE(KeyExists(target + L"\\Skip"));
  EXPECT_EQ(Get(target + L"\\Sub\\Skip", L"Y"), L"nested keys of that name are copied");
  std::vector<unsigned char> copied(16);
  DWORD size = static_cast<DWORD>(copied.size());
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, target.c_str(), L"Binary", RRF_RT_REG_BINARY, nullptr, copied.data(), &size),
            ERROR_SUCCESS);
  copied.resize(size);
  EXPECT_EQ(copied, std::vector<unsigned char>(std::begin(bytes), std::end(bytes)));

  const VoStringArray none;
  EXPECT_FALSE(vo::CopyRegistryTree(VoRegistryRoot::kCurrentUser, area_ + L"\\Missing", VoRegistryRoot::kCurrentUser,
                                    target, {}, none));
  EXPECT_FALSE(KeyExists(area_ + L"\\Missing"));
  // Into itself or below itself would never end.
  EXPECT_FALSE(vo::CopyRegistryTree(VoRegistryRoot::kCurrentUser, source, VoRegistryRoot::kCurrentUser,
                                    source + L"\\Sub", {}, none));
}

}  // namespace

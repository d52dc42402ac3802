// The product's shortcuts, written into scratch folders in place of the
// Start Menu, Quick Launch and desktop folders and read back through the
// shell's link object.

#include "engine/shortcuts.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <shobjidl.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/session.h"
#include "foundation/win/com_scope.h"
#include "foundation/win/file_system.h"
#include "foundation/win/known_folders.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "support/fake_tools.h"

namespace {

constexpr const wchar_t* kLauncher = L"Shortcuts Test Launcher.exe";

struct LinkInfo {
  VoString target, arguments, icon;
  int icon_index = -1;
  bool operator==(const LinkInfo&) const = default;
};

void PrintTo(const LinkInfo& link, std::ostream* os) {
  *os << "{" << link.target.ToUtf8() << " | " << link.arguments.ToUtf8() << " | " << link.icon.ToUtf8() << ","
      << link.icon_index << "}";
}

// The link file as the shell reads it; an empty target when it cannot.
LinkInfo ReadLink(const VoString& path) {
  LinkInfo info;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return info;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      wchar_t text[MAX_PATH * 2] = {};
      if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) info.target = VoString(text);
      text[0] = 0;
      if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2))) info.arguments = VoString(text);
      text[0] = 0;
      int index = -1;
      if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH * 2, &index))) {
        info.icon = VoString(text);
        info.icon_index = index;
      }
    }
    file->Release();
  }
  link->Release();
  return info;
}

// Names of the ".lnk" files in a folder, sorted.
std::vector<VoString> LinkNames(const VoString& folder) {
  std::vector<VoString> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Std(), error)) {
    names.emplace_back(entry.path().filename().wstring());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ShortcutsTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    tools_.registry = &registry_;
    tools_.product.launcher = kLauncher;
    Session() = InstallSession{};
    Session().InstallDirectory = install_.Path();
    folders_.common_programs = shell_.Path() + L"Programs\\";
    folders_.quick_launch = shell_.Path() + L"AppData\\Microsoft\\Internet Explorer\\Quick Launch\\";
    folders_.common_desktop = shell_.Path() + L"Desktop\\";
    CreateDirectoryW(folders_.common_programs.c_str(), nullptr);
    CreateDirectoryW(folders_.common_desktop.c_str(), nullptr);
    vo::OverrideShortcutFolders(&folders_);
    ASSERT_TRUE(com_.SetKind(VoComScope::kCom));
  }
  void TearDown() override {
    DeleteFileW(SystemLauncher().c_str());
    vo::OverrideShortcutFolders(nullptr);
    Session() = InstallSession{};
    RegistryTestArea::TearDown();
  }

  // The launcher is a system file: the copy phase puts it into the system
  // folder. Its name here is the test's own.
  static VoString SystemLauncher() { return vo::GetSystemFolder() + kLauncher; }
  void Install(const wchar_t* name) const {
    if (VoString(name) == kLauncher) {
      HANDLE file = CreateFileW(SystemLauncher().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      CloseHandle(file);
    } else {
      install_.AddFile(VoString(name), "program");
    }
  }
  void InstallAllPrograms() const {
    for (const wchar_t* name : {L"Halvora.exe", kLauncher, L"VoMediaUninstall.exe", L"Parvel.exe", L"Ostrin.exe"}) {
      Install(name);
    }
  }
  VoString Group() const { return folders_.common_programs + L"Halvora 23\\"; }
  VoString Installed(const wchar_t* name) const { return install_.Path() + name; }
  DWORD StoredStartMenuVersion() const {
    DWORD value = 0, size = sizeof value, type = 0;
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, StorePath(L"Installer").c_str(), L"Start Menu Version",
                                        RRF_RT_ANY, &type, &value, &size);
    EXPECT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    return value;
  }

  FakeTools tools_;
  TempTestFolder install_{L"shortcuts-install"};
  TempTestFolder shell_{L"shortcuts-shell"};
  TempTestFolder product_data_{L"shortcuts-product"};
  ProgramFolderOverride program_{product_data_.Path()};
  vo::ShortcutFolders folders_;
  VoComScope com_;
};

TEST_F(ShortcutsTest, StartMenuGroupWithEveryShortcut) {
  InstallAllPrograms();
  const VoString app_icon = product_data_.AddFile(VoString(L"Application Data\\Custom Art\\Application.ico"));
  const VoString server_icon = product_data_.AddFile(VoString(L"Application Data\\Default Art\\Server.ico"));
  tools_.product.features = {104, 24, 22};
  tools_.product.start_menu_version = VoString(L"  23xyz");

  vo::CreateStartMenuShortcuts();

  EXPECT_EQ(StoredStartMenuVersion(), 23u);
  EXPECT_EQ(LinkNames(Group()), (std::vector<VoString>{L"Halvora 23.lnk", L"Media Server.lnk", L"Ostrin.lnk",
                                                       L"Parvel.lnk", L"Uninstall Halvora 23.lnk"}));
  EXPECT_EQ(ReadLink(Group() + L"Halvora 23.lnk"), (LinkInfo{Installed(L"Halvora.exe"), L"", app_icon, 0}));
  EXPECT_EQ(ReadLink(Group() + L"Media Server.lnk"),
            (LinkInfo{SystemLauncher(), L"/MediaServer", server_icon, 0}));
  EXPECT_EQ(ReadLink(Group() + L"Uninstall Halvora 23.lnk"),
            (LinkInfo{Installed(L"VoMediaUninstall.exe"), L"", L"", 0}));
  EXPECT_EQ(ReadLink(Group() + L"Parvel.lnk"), (LinkInfo{Installed(L"Parvel.exe"), L"", L"", 0}));
  EXPECT_EQ(ReadLink(Group() + L"Ostrin.lnk"), (LinkInfo{Installed(L"Ostrin.exe"), L"", L"", 0}));
}

TEST_F(ShortcutsTest, ConditionalShortcutsFollowFeaturesAndInstalledTargets) {
  struct Case {
    std::set<int> features;
    std::vector<const wchar_t*> installed;
    std::vector<VoString> links;
  };
  const Case cases[] = {
      {{}, {L"Halvora.exe", kLauncher, L"VoMediaUninstall.exe", L"Parvel.exe", L"Ostrin.exe"},
       {L"Halvora 23.lnk", L"Uninstall Halvora 23.lnk"}},
      {{104}, {L"Halvora.exe", kLauncher, L"VoMediaUninstall.exe"},
       {L"Halvora 23.lnk", L"Media Server.lnk", L"Uninstall Halvora 23.lnk"}},
      {{24}, {L"Halvora.exe", L"VoMediaUninstall.exe", L"Parvel.exe"},
       {L"Halvora 23.lnk", L"Parvel.lnk", L"Uninstall Halvora 23.lnk"}},
      // A companion tool or server that was not installed gets no shortcut.
      {{104, 24, 22}, {L"Halvora.exe", L"Ostrin.exe"}, {L"Halvora 23.lnk", L"Ostrin.lnk"}},
      {{104, 24, 22}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.links.size() << " links");
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(install_.Path().Std(), ignored)) {
      std::filesystem::remove(entry.path(), ignored);
    }
    DeleteFileW(SystemLauncher().c_str());
    for (const wchar_t* name : c.installed) Install(name);
    tools_.product.features = c.features;
    vo::CreateStartMenuShortcuts();
    EXPECT_EQ(LinkNames(Group()), c.links);
  }
}

TEST_F(ShortcutsTest, RunningTwiceLeavesOneSetInTheGroup) {
  InstallAllPrograms();
  ASSERT_TRUE(CreateDirectoryW(Group().c_str(), nullptr));
  install_.AddFile(VoString(L"unused.txt"));
  ASSERT_TRUE(CopyFileW((install_.Path() + L"unused.txt").c_str(), (Group() + L"Halvora 22.lnk").c_str(), FALSE));
  // A read-only leftover goes too.
  ASSERT_TRUE(SetFileAttributesW((Group() + L"Halvora 22.lnk").c_str(), FILE_ATTRIBUTE_READONLY));
  vo::CreateStartMenuShortcuts();
  vo::CreateStartMenuShortcuts();
  EXPECT_EQ(LinkNames(Group()), (std::vector<VoString>{L"Halvora 23.lnk", L"Uninstall Halvora 23.lnk"}));
}

TEST_F(ShortcutsTest, AGroupWithoutANameLeavesTheProgramsFolderAlone) {
  InstallAllPrograms();
  install_.AddFile(VoString(L"other.txt"));
  const VoString other = folders_.common_programs + L"Other Product.lnk";
  ASSERT_TRUE(CopyFileW((install_.Path() + L"other.txt").c_str(), other.c_str(), FALSE));
  for (const wchar_t* name : {L"", L"  ", L"..", L"..\\Elsewhere"}) {
    tools_.product.start_menu_group = VoString(name);
    vo::CreateStartMenuShortcuts();
    EXPECT_TRUE(vo::FileExists(other)) << VoString(name).ToUtf8();
    EXPECT_EQ(LinkNames(folders_.common_programs), std::vector<VoString>{L"Other Product.lnk"});
  }
}

TEST_F(ShortcutsTest, QuickLaunchFolderIsMadeAndDesktopShortcutWritten) {
  InstallAllPrograms();
  const VoString icon = product_data_.AddFile(VoString(L"Application Data\\Default Art\\application.ico"));
  ASSERT_FALSE(vo::FolderExists(folders_.quick_launch));

  EXPECT_TRUE(vo::CreateShortcuts({false, true, true}));

  const LinkInfo expected{Installed(L"Halvora.exe"), L"", icon, 0};
  EXPECT_EQ(ReadLink(folders_.quick_launch + L"Halvora 23.lnk"), expected);
  EXPECT_EQ(ReadLink(folders_.common_desktop + L"Halvora 23.lnk"), expected);
  EXPECT_FALSE(vo::FolderExists(Group()));
  EXPECT_FALSE(VoRegistryKeyPtr(registry_.OpenStore(L"Installer", 0))->ValueExists(L"Start Menu Version"));
}

TEST_F(ShortcutsTest, ChoicesSelectTheGroups) {
  struct Case {
    ShortcutChoices choices;
    bool group, quick_launch, desktop;
  };
  const Case cases[] = {
      {{true, false, false}, true, false, false},
      {{false, true, false}, false, true, false},
      {{false, false, true}, false, false, true},
      {{false, false, false}, false, false, false},
  };
  InstallAllPrograms();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.group << c.quick_launch << c.desktop);
    std::error_code ignored;
    std::filesystem::remove_all(Group().Std(), ignored);
    std::filesystem::remove_all(folders_.quick_launch.Std(), ignored);
    std::filesystem::remove(folders_.common_desktop.Std() + L"Halvora 23.lnk", ignored);
    EXPECT_TRUE(vo::CreateShortcuts(c.choices));
    EXPECT_EQ(vo::FileExists(Group() + L"Halvora 23.lnk"), c.group);
    EXPECT_EQ(vo::FileExists(folders_.quick_launch + L"Halvora 23.lnk"), c.quick_launch);
    EXPECT_EQ(vo::FileExists(folders_.common_desktop + L"Halvora 23.lnk"), c.desktop);
  }
}

TEST_F(ShortcutsTest, PortableInstallationCreatesNothing) {
  InstallAllPrograms();
  Session().Portable = true;
  EXPECT_TRUE(vo::CreateShortcuts({true, true, true}));
  EXPECT_TRUE(LinkNames(folders_.common_programs).empty());
  EXPECT_TRUE(LinkNames(folders_.common_desktop).empty());
  EXPECT_FALSE(vo::FolderExists(folders_.quick_launch));
  EXPECT_FALSE(VoRegistryKeyPtr(registry_.OpenStore(L"Installer", 0))->ValueExists(L"Start Menu Version"));
}

TEST_F(ShortcutsTest, ShellLinkThroughEitherInterface) {
  const VoString target = install_.AddFile(VoString(L"Tool With Spaces.exe"), "program");
  const VoString icon = install_.AddFile(VoString(L"tool.ico"));
  const VoString no_icon;
  struct Case {
    const char* what;
    HRESULT (*create)(const VoString&, const VoString&, const VoString&, const VoString*);
    const VoString* icon;
    LinkInfo expected;
  };
  const Case cases[] = {
      {"wide", vo::CreateShellLink, &icon, {target, L"/a \"b c\"", icon, 0}},
      {"ansi", vo::CreateShellLinkAnsi, &icon, {target, L"/a \"b c\"", icon, 0}},
      {"wide, empty icon", vo::CreateShellLink, &no_icon, {target, L"/a \"b c\"", L"", 0}},
      {"ansi, empty icon", vo::CreateShellLinkAnsi, &no_icon, {target, L"/a \"b c\"", L"", 0}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const VoString link = shell_.Path() + L"link " + std::to_wstring(n++) + L".lnk";
    EXPECT_EQ(c.create(target, link, VoString(L"/a \"b c\""), c.icon), S_OK);
    EXPECT_EQ(ReadLink(link), c.expected);
  }
}

TEST_F(ShortcutsTest, ShellLinkReportsAFailedSave) {
  const VoString target = install_.AddFile(VoString(L"tool.exe"), "program");
  const HRESULT result = vo::CreateShellLink(target, shell_.Path() + L"missing folder\\x.lnk", VoString(), nullptr);
  EXPECT_TRUE(FAILED(result));
}

}  // namespace

// Start-up of the real installer from a copy of the sample distribution,
// with the real tools modules, in the test prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "installer_run.h"

namespace {

bool Contains(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

std::string Utf8(const std::wstring& text) {
  std::string out(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  out.pop_back();
  return out;
}

constexpr const char* kComplete = "Start-up complete";

// Runs the installer to its end without any box; returns its log.
std::string RunQuietly(const std::wstring& folder, const std::wstring& arguments = L"") {
  InstallerRun run;
  EXPECT_TRUE(run.Start(folder, arguments));
  const ShownBox box = run.WaitForBox(20000);
  EXPECT_EQ(box.window, nullptr) << "unexpected box: " << Utf8(box.title) << ": " << Utf8(box.text);
  if (box.window) InstallerRun::Press(box, IDOK);
  DWORD code = 1;
  EXPECT_TRUE(run.WaitForExit(code));
  EXPECT_EQ(code, 0u);
  return run.LogText();
}

TEST(Startup, PassesTheChecksOnAPlainMachineAndPreparesTheLauncher) {
  DistributionCopy copy(L"plain");
  const std::string log = RunQuietly(copy.Folder());
  EXPECT_TRUE(Contains(log, kComplete)) << log;
  EXPECT_TRUE(std::filesystem::exists(copy.Folder() + L"System\\Always Overwrite\\Halvora Launcher.exe"));
  EXPECT_FALSE(std::filesystem::exists(copy.Folder() + L"System\\Always Overwrite\\Pellion Launcher.exe"));
}

TEST(Startup, ASecondInstallerIsTurnedAway) {
  DistributionCopy copy(L"second");
  HANDLE first = CreateMutexW(nullptr, FALSE, L"Global\\Vortala Installer");
  ASSERT_NE(first, nullptr);
  InstallerRun run;
  ASSERT_TRUE(run.Start(copy.Folder(), L"/Silent"));
  const ShownBox box = run.WaitForBox();
  EXPECT_EQ(box.title, L"Vortala Installer");
  EXPECT_EQ(box.text,
            L"Another instance of the Vortala installer is already running on this system.\r\n\r\n"
            L"Please finish any other Vortala installations and try again.");
  InstallerRun::Press(box, IDOK);
  DWORD code = 1;
  EXPECT_TRUE(run.WaitForExit(code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(Contains(run.LogText(), kComplete));
  CloseHandle(first);
}

TEST(Startup, RunningProductIsClosedOnlyWhenTheUserAgrees) {
  DistributionCopy copy(L"running");
  RunningProduct product(copy.Folder() + L"Kelvane\\Halvora.exe");
  ASSERT_TRUE(product.WaitForWindow());

  {
    InstallerRun run;
    ASSERT_TRUE(run.Start(copy.Folder()));
    const ShownBox question = run.WaitForBox();
    EXPECT_EQ(question.title, L"Halvora 23 Open");
    EXPECT_EQ(question.text,
              L"Install Wizard has detected a running copy of Halvora 23.\r\n\r\n"
              L"Do you want Install Wizard to close Halvora 23 and continue setup?");
    InstallerRun::Press(question, IDNO);
    DWORD code = 1;
    EXPECT_TRUE(run.WaitForExit(code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(Contains(run.LogText(), kComplete));
    EXPECT_TRUE(product.IsRunning());
  }
  {
    InstallerRun run;
    ASSERT_TRUE(run.Start(copy.Folder()));
    const ShownBox question = run.WaitForBox();
    EXPECT_EQ(question.title, L"Halvora 23 Open");
    InstallerRun::Press(question, IDYES);
    DWORD code = 1;
    EXPECT_TRUE(run.WaitForExit(code));
    EXPECT_TRUE(Contains(run.LogText(), kComplete)) << run.LogText();
    EXPECT_FALSE(product.IsRunning());
  }
}

TEST(Startup, ProductClosedByHandWhileThePleaseCloseBoxIsShown) {
  DistributionCopy copy(L"by-hand");
  RunningProduct product(copy.Folder() + L"Kelvane\\Halvora.exe", L"/IgnoreClose");
  ASSERT_TRUE(product.WaitForWindow());
  InstallerRun run;
  // Silent: no question, the product is asked to close at once.
  ASSERT_TRUE(run.Start(copy.Folder(), L"/Silent"));
  const ShownBox please_close = run.WaitForBox(60000);
  EXPECT_EQ(please_close.title, L"Please Close Halvora");
  product.Kill();
  InstallerRun::Press(please_close, IDOK);
  const ShownBox next = run.WaitForBox(5000);
  EXPECT_EQ(next.window, nullptr) << Utf8(next.title);
  DWORD code = 1;
  EXPECT_TRUE(run.WaitForExit(code));
  EXPECT_TRUE(Contains(run.LogText(), kComplete));
}

TEST(Startup, SwitchesReachTheSession) {
  DistributionCopy copy(L"switches");
  const std::string log = RunQuietly(copy.Folder(), L"/silentmode /distributorid  x y  /NoRunX Silent");
  EXPECT_TRUE(Contains(log, "Switches: Silent NoRun DistributorID=x y")) << log;
}

TEST(Startup, InstallFileBesideTheInstallerOrInItsParent) {
  DistributionCopy copy(L"install-file");
  // The sample's own Install.xml names its "Support" and "Media" folders.
  std::string log = RunQuietly(copy.Folder());
  EXPECT_TRUE(Contains(log, "Support folders: " + Utf8(copy.Folder()) + "Support\\; " + Utf8(copy.Folder()) + "Support\\")) << log;
  EXPECT_TRUE(Contains(log, "Shipped media: " + Utf8(copy.Folder()) + "Media\\")) << log;

  std::filesystem::remove(copy.Folder() + L"Install.xml");
  std::filesystem::create_directories(copy.Parent() + L"Extra");
  std::ofstream(std::filesystem::path(copy.Parent() + L"Install.xml"))
      << "<vOiC version=\"1\"><Settings><SupportFiles>Extra</SupportFiles><AllowDowngrade>0</AllowDowngrade>"
         "</Settings></vOiC>";
  log = RunQuietly(copy.Folder());
  EXPECT_TRUE(Contains(log, "Support folders: " + Utf8(copy.Folder()) + "Support\\; " + Utf8(copy.Parent()) + "Extra\\")) << log;
  EXPECT_TRUE(Contains(log, "Allow downgrade: 0")) << log;
}

TEST(Startup, PortableMarkerMakesTheInstallersFolderTheInstalledProduct) {
  DistributionCopy copy(L"portable");
  copy.WriteFile(L"Portable.dat", "");
  const std::string log = RunQuietly(copy.Folder());
  EXPECT_TRUE(Contains(log, "Installed product: " + Utf8(copy.Folder()))) << log;
}

TEST(Startup, TheProductsOwnStandardViewSkinWins) {
  DistributionCopy copy(L"skin");
  const std::wstring skins = copy.Folder() + L"Kelvane\\Skins\\Standard View\\";
  const std::string skin = "<Skin version=\"3.0\" style=\"compact\"><MAINFRAME/></Skin>";
  copy.WriteFile(L"Kelvane\\Skins\\Standard View\\Night\\main.xml", skin);
  copy.WriteFile(L"Kelvane\\Skins\\Standard View\\Old\\main.xml", "<Skin version=\"2.0\" style=\"Standard\"><MAINFRAME/></Skin>");
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\V. Ortala\\Halvora 23\\Properties", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const auto set_skin = [key](const std::wstring& folder) {
    RegSetValueExW(key, L"Standard View Skin", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  };
  set_skin(skins + L"Night");
  std::string log = RunQuietly(copy.Folder());
  EXPECT_TRUE(Contains(log, "Skin folder: " + Utf8(skins) + "Night\\")) << log;

  set_skin(skins + L"Old\\");  // not a version 3 skin: the configured (standard) one stays
  log = RunQuietly(copy.Folder());
  EXPECT_TRUE(Contains(log, "Skin folder: " + Utf8(skins) + "\r\n") || Contains(log, "Skin folder: " + Utf8(skins) + "\n"))
      << log;
  RegDeleteValueW(key, L"Standard View Skin");
  RegCloseKey(key);
}

}  // namespace

namespace {

// The maker's virtualised machine key is removed unless it has subkeys.
TEST(Startup, VirtualStoreCopiesAreRemovedWhenEmpty) {
  const wchar_t* store = L"Software\\Classes\\VirtualStore\\Machine\\Software\\V. Ortala";
  const auto exists = [store] {
    HKEY key = nullptr;
    const bool found = RegOpenKeyExW(HKEY_CURRENT_USER, store, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (found) RegCloseKey(key);
    return found;
  };
  DistributionCopy copy(L"virtual-store");
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, store, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
  RunQuietly(copy.Folder());
  EXPECT_FALSE(exists());

  const std::wstring child = std::wstring(store) + L"\\Halvora 23";
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, child.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  RunQuietly(copy.Folder());
  EXPECT_TRUE(exists());
  RegDeleteTreeW(HKEY_CURRENT_USER, store);
  RegDeleteKeyW(HKEY_CURRENT_USER, store);
}

}  // namespace

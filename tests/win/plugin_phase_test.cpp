// The plug-ins phase: shell integration through the product's package
// installer, the packages of the support folders (installed, or staged for
// the finalize run when they fail), the audio driver's marker, and the
// server edition's service.

#include "engine/plugin_phase.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/session.h"
#include "foundation/win/file_system.h"
#include "foundation/win/known_folders.h"
#include "installed_package_installer.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "registry_text_values.h"
#include "support/fake_tools.h"
#include "support/recording_page.h"

namespace {

constexpr const wchar_t* kStubKey = L"Software\\VoTests\\ComServerStub";

// A package that copies one file of its own folder into the plug-ins folder.
constexpr char kGoodPackage[] = R"(<KVPF version="2.0">
  <Package><Name>Good Package</Name><URL>readme.txt</URL><Version>1.0</Version><Action>NONE</Action></Package>
  <Actions><FileEntry><File>good.dll</File><FileType>FILE</FileType>
    <Action><Command>COPY_PLUGINDIR</Command><Param></Param></Action></FileEntry></Actions>
</KVPF>)";
// A package whose actions name no way of installing it.
constexpr char kFailingPackage[] = R"(<KVPF version="2.0">
  <Package><Name>Failing Package</Name><URL>readme.txt</URL><Action>SOMETHING_ELSE</Action></Package>
</KVPF>)";

bool HasStatus(const RecordingPage& page, const VoString& status) {
  return std::find(page.statuses.begin(), page.statuses.end(), status) != page.statuses.end();
}

class PluginPhaseTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
    tools_.registry = &registry_;
    Session() = InstallSession{};
    Session().InstallDirectory = Install();
    Session().SupportFolders = {folder_.Path() + L"Support\\"};
    CreateDirectoryW(Install().c_str(), nullptr);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kStubKey);
    Session() = InstallSession{};
    RegistryTestArea::TearDown();
  }

  VoString Install() const { return folder_.Path() + L"Install\\"; }
  std::map<VoString, VoString> Store(const wchar_t* name) const {
    return ReadTextValues(HKEY_CURRENT_USER, StorePath(name));
  }
  DWORD DriverMarker() const {
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, StorePath(L"Properties").c_str(), L"WDM Driver Installed Version",
                     RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
      return 999;
    }
    return value;
  }
  FakeTools tools_;
  TempTestFolder folder_{L"plugin-phase"};
  ProgramFolderOverride program_{folder_.Path() + L"Install\\"};
  RecordingPage page_;
};

TEST_F(PluginPhaseTest, PackagesInstallOrWaitForTheFinalizeRun) {
  folder_.AddFile(VoString(L"Support\\Good\\good.kvp"), kGoodPackage);
  folder_.AddFile(VoString(L"Support\\Good\\good.dll"), "plug-in");
  folder_.AddFile(VoString(L"Support\\Good\\readme.txt"), "readme");
  folder_.AddFile(VoString(L"Support\\Failing.kvp"), kFailingPackage);
  folder_.AddFile(VoString(L"Support\\readme.txt"), "readme");
  folder_.AddFile(VoString(L"Support\\NotAPackage.kvp"), "<KVPF version=\"1.0\"/>");

  vo::RunPluginPhase(page_);

  EXPECT_EQ(page_.heading, L"Installing Plugins");
  EXPECT_EQ(page_.advances, 1);
  EXPECT_TRUE(HasStatus(page_, L"Installing plug-in 'Good Package'"));
  EXPECT_TRUE(HasStatus(page_, L"Installing plug-in 'Failing Package'"));
  std::ifstream copied(std::filesystem::path((Install() + L"Plugins\\good.dll").Std()), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copied), {}), "plug-in");
  // Both loaded packages are marked; the file that is no package is not.
  const std::map<VoString, VoString> marked = {{L"Failing Package", L"installed"}, {L"Good Package", L"installed"}};
  EXPECT_EQ(Store(L"Plugins\\System"), marked);
  // The failed one waits in the staging folder for the finalize run.
  ASSERT_EQ(Session().PendingFileOperations.GetCount(), 1u);
  EXPECT_EQ(Session().PendingFileOperations[0], Install() + L"Setup\\Failing.kvp|");
  EXPECT_TRUE(vo::FileExists(Install() + L"Setup\\Failing.kvp"));
  // Range: three packages loaded or not, shell integration and the driver step.
  EXPECT_EQ(page_.ranges.back(), 5);
  EXPECT_EQ(page_.positions.back(), 5);
}

TEST_F(PluginPhaseTest, ShellIntegrationIsRegisteredOnlyWhenSwitchedOn) {
  ASSERT_TRUE(InstallPackageInstallerInto(Install()));
  vo::CreateFolderTree(Install() + L"Shell Extensions\\", false);
  ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"com_server_stub.dll").c_str(),
                        (Install() + L"Shell Extensions\\Stub.dll").c_str(), FALSE));

  vo::RunPluginPhase(page_);
  EXPECT_TRUE(ReadTextValues(HKEY_CURRENT_USER, VoString(kStubKey)).empty());
  EXPECT_TRUE(HasStatus(page_, L"Installing Halvora 23 Shell Integration"));

  VoRegistryKeyPtr(registry_.OpenStore(L"Properties", 1))->WriteInt(L"General - Enable Shell Integration", 1);
  vo::RunPluginPhase(page_);
  EXPECT_EQ(ReadTextValues(HKEY_CURRENT_USER, VoString(kStubKey))[VoString(L"Folder")] + L"\\",
            Install() + L"Shell Extensions\\");
}

TEST_F(PluginPhaseTest, TheDriverMarkerFollowsTheProductsFeature) {
  ASSERT_TRUE(InstallPackageInstallerInto(Install()));
  folder_.AddFile(VoString(L"Install\\Drivers\\VortalaWDMDriver.inf"), "[Version]");
  tools_.product.features = {191};
  vo::RunPluginPhase(page_);
  EXPECT_EQ(DriverMarker(), 1u);
  EXPECT_TRUE(HasStatus(page_, L"Installing WDM driver"));

  // Installed before: not again.
  page_.statuses.clear();
  vo::RunPluginPhase(page_);
  EXPECT_FALSE(HasStatus(page_, L"Installing WDM driver"));

  // A product without the driver removes it and its marker.
  tools_.product.features = {};
  vo::RunPluginPhase(page_);
  EXPECT_EQ(DriverMarker(), 999u);

  // Portable installations leave a driver alone.
  VoRegistryKeyPtr(registry_.OpenStore(L"Properties", 1))->WriteInt(L"WDM Driver Installed Version", 1);
  Session().Portable = true;
  vo::RunPluginPhase(page_);
  EXPECT_EQ(DriverMarker(), 1u);
}

TEST_F(PluginPhaseTest, TheServerEditionInstallsItsServiceAndNoPackages) {
  tools_.product.main_program = VoString(L"Odrix Media Server.exe");
  folder_.AddFile(VoString(L"Support\\Good\\good.kvp"), kGoodPackage);
  ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"exit_with.exe").c_str(), (Install() + L"OdrixControl.exe").c_str(),
                        FALSE));
  const VoString log = folder_.Path() + L"arguments.log";
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", log.c_str());
  vo::RunPluginPhase(page_);
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);

  EXPECT_TRUE(HasStatus(page_, L"Installing Odrix Server as system service"));
  std::ifstream in(std::filesystem::path(log.Std()), std::ios::binary);
  EXPECT_NE(std::string(std::istreambuf_iterator<char>(in), {}).find("/Install"), std::string::npos);
  EXPECT_TRUE(Store(L"Plugins\\System").empty());
  EXPECT_EQ(page_.ranges.back(), 2);  // the package and the service
}

}  // namespace

// The dependency phase: dependency programs found in the support folders or
// downloaded from the test HTTP server and run, the media that ship with the
// installer, and the sessions that run no dependency.

#include "engine/dependency_phase.h"

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
#include "foundation/win/process_info_record.h"
#include "net/file_loader.h"
#include "tools/tools_loader.h"
#include "http_test_server.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "registry_text_values.h"
#include "support/fake_tools.h"
#include "support/recording_page.h"

namespace {

std::string ReadAll(const VoString& path) {
  std::ifstream in(std::filesystem::path(path.Std()), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class DependencyPhaseTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    tools_.registry = &registry_;
    Session() = InstallSession{};
    Session().SupportFolders = {folder_.Path() + L"Support\\"};
    Session().InstallDirectory = folder_.Path() + L"Install\\";
    CreateDirectoryW((folder_.Path() + L"Support").c_str(), nullptr);
    log_ = folder_.Path() + L"arguments.log";
    SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", log_.c_str());
  }
  void TearDown() override {
    vo::ReleaseToolsLibrary();
    SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);
    Session() = InstallSession{};
    RegistryTestArea::TearDown();
  }

  // A dependency program that records how it was started.
  void PlaceProgram(const VoString& path) const {
    vo::CreateFolderTree(path.Left(path.FindLast(L'\\') + 1), false);
    ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"exit_with.exe").c_str(), path.c_str(), FALSE));
  }
  // The programs' argument lines, without the log's byte-order mark and
  // carriage returns.
  std::string Runs() const {
    std::string text;
    for (char c : ReadAll(log_)) {
      if (c != '\r') text += c;
    }
    return text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
  }

  FakeTools tools_;
  // The reader module as built.
  ProcessPathOverride tools_folder_{ProcessPath::kToolsFolder, VoString::FromUtf8(VO_TOOLS_MODULE_DIR "/")};
  TempTestFolder folder_{L"dependency-phase"};
  VoString log_;
  RecordingPage page_;
};

TEST_F(DependencyPhaseTest, AProgramInASupportFolderRunsWithoutDownload) {
  PlaceProgram(folder_.Path() + L"Support\\d3dx943.exe");
  tools_.product.links[15] = VoString(L"http://127.0.0.1:9/d3dx943.exe");  // nothing listens there

  EXPECT_TRUE(vo::InstallDependencyProgram(page_, VoString(L"d3dx943.exe"), VoStringArray{VoString(L"0"), VoString(L"local")},
                                           VoString(L"DirectX components")));
  EXPECT_EQ(Runs(), "0 local\n");
  EXPECT_EQ(page_.statuses, (std::vector<VoString>{L"Installing DirectX components..."}));
}

TEST_F(DependencyPhaseTest, AMissingProgramIsDownloadedIntoTheFirstSupportFolder) {
  HttpTestServer server;
  PlaceProgram(folder_.Path() + L"Served\\d3dx943.exe");
  ASSERT_TRUE(server.Start(folder_.Path() + L"Served\\"));
  tools_.product.links[15] = server.Url(L"d3dx943.exe");

  EXPECT_TRUE(vo::InstallDependencyProgram(page_, VoString(L"d3dx943.exe"), VoStringArray{VoString(L"0")},
                                           VoString(L"DirectX components")));
  EXPECT_TRUE(ReadAll(folder_.Path() + L"Support\\d3dx943.exe") == ReadAll(folder_.Path() + L"Served\\d3dx943.exe"));
  EXPECT_EQ(Runs(), "0\n");
  EXPECT_EQ(page_.statuses, (std::vector<VoString>{L"Downloading DirectX components from server...",
                                                   L"Installing DirectX components..."}));
  EXPECT_FALSE(page_.busy);
  EXPECT_EQ(page_.positions.back(), 100);

  // A file the server does not have: nothing is run and nothing is left.
  VoString last_error;
  EXPECT_FALSE(vo::DownloadFile(page_, server.Url(L"missing.exe"), folder_.Path() + L"Support\\missing.exe", last_error));
  EXPECT_FALSE(vo::FileExists(folder_.Path() + L"Support\\missing.exe"));
  EXPECT_NE(last_error.Find(L"Server returned"), VoString::npos) << last_error.ToUtf8();
  EXPECT_NE(last_error.Find(L"404"), VoString::npos) << last_error.ToUtf8();
  tools_.product.links[15] = server.Url(L"missing.exe");
  EXPECT_TRUE(vo::FetchDependency(page_, VoString(L"missing.exe"), VoString(L"Missing")).IsEmpty());
  std::string ignored;
  CFileLoader().LoadToMemory(ResourceName(server.Url(L"quit").View()), ignored);
}

TEST_F(DependencyPhaseTest, TheRuntimeIsNotFetchedWhereTheSystemHasIt) {
  const VoString runtime = vo::GetSystemFolder() + L"d3dx9_43.dll";
  const bool placed = !vo::FileExists(runtime);
  if (placed) {
    std::ofstream(std::filesystem::path(runtime.Std())) << "runtime";
  }
  PlaceProgram(folder_.Path() + L"Support\\d3dx943.exe");
  tools_.product.features = {182};
  EXPECT_TRUE(vo::RunDependencyPhase(page_));
  if (placed) DeleteFileW(runtime.c_str());
  EXPECT_EQ(Runs(), "");
  EXPECT_EQ(page_.advances, 1);
  EXPECT_EQ(page_.heading, L"Installing Dependencies");
}

TEST_F(DependencyPhaseTest, ShippedMediaGoIntoTheInstallFolder) {
  folder_.AddFile(VoString(L"Media\\Playlist.mpl"), "list");
  folder_.AddFile(VoString(L"Media\\Songs\\one.ogg"), "song");
  Session().ShippedMediaFolder = folder_.Path() + L"Media\\";
  EXPECT_TRUE(vo::RunDependencyPhase(page_));
  EXPECT_EQ(ReadAll(folder_.Path() + L"Install\\Media\\Songs\\one.ogg"), "song");
  EXPECT_EQ(ReadTextValues(HKEY_CURRENT_USER, StorePath(L"Properties"))[VoString(L"Install - Startup Media")],
            folder_.Path() + L"Install\\Media\\Playlist.mpl");
  EXPECT_NE(std::find(page_.statuses.begin(), page_.statuses.end(), VoString(L"Installing media...")),
            page_.statuses.end());
}

TEST_F(DependencyPhaseTest, PortableAndNoDependenciesRunNothing) {
  PlaceProgram(folder_.Path() + L"Support\\d3dx943.exe");
  folder_.AddFile(VoString(L"Media\\Playlist.mpl"), "list");
  Session().ShippedMediaFolder = folder_.Path() + L"Media\\";
  tools_.product.features = {182};
  for (int which = 0; which < 2; ++which) {
    Session().Portable = which == 0;
    Session().NoDependencies = which == 1;
    EXPECT_TRUE(vo::RunDependencyPhase(page_));
  }
  EXPECT_EQ(page_.advances, 2);
  EXPECT_TRUE(page_.statuses.empty());
  EXPECT_FALSE(vo::FileExists(folder_.Path() + L"Install\\Media\\Playlist.mpl"));
  EXPECT_TRUE(ReadTextValues(HKEY_CURRENT_USER, StorePath(L"Properties")).empty());
}

}  // namespace

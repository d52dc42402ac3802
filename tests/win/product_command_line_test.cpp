// Commands to the product, delivered to the real main program stand-in: posted
// to its window when it runs, on its command line when it has to be started.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/session.h"
#include "foundation/win/vo_shared_memory.h"
#include "foundation/win/known_folders.h"
#include "plugins/install_package.h"
#include "plugins/install_wa_plugin.h"
#include "plugins/post_string.h"
#include "plugins/product_command_line.h"
#include "program_folder_fixture.h"
#include "support/fake_tools.h"
#include "toolslib/registry_service.h"

namespace {

bool HasPmdFiles() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(vo::PostMessageFolder().Std(), ignored)) {
    if (entry.path().extension() == L".pmd") return true;
  }
  return false;
}

void DeletePmdFiles() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(vo::PostMessageFolder().Std(), ignored)) {
    if (entry.path().extension() == L".pmd") std::filesystem::remove(entry.path(), ignored);
  }
}

// Ends every product window's process, stand-ins started by the test or by
// the code under test alike.
void EndProducts() {
  for (int round = 0; round < 20; ++round) {
    HWND window = FindWindowW(L"KVFrame", nullptr);
    if (!window) return;
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process_id)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
}

class ProductCommandLineTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(L"KVFrame", nullptr), nullptr) << "a product window is left over";
    ASSERT_TRUE(CopyFileW(VO_STAND_IN_MAIN, (install_.Path() + L"Halvora.exe").c_str(), FALSE));
    SetEnvironmentVariableW(L"VO_STAND_IN_LOG", log_.c_str());
    Session() = InstallSession{};
    Session().InstallDirectory = install_.Path();
    DeletePmdFiles();
  }
  void TearDown() override {
    EndProducts();
    SetEnvironmentVariableW(L"VO_STAND_IN_LOG", nullptr);
    Session() = InstallSession{};
  }

  void StartProduct() {
    const std::wstring program = (install_.Path() + L"Halvora.exe").Std();
    std::wstring command_line = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    ASSERT_TRUE(WaitFor([] { return FindWindowW(L"KVFrame", nullptr) != nullptr; }));
  }

  // The stand-ins' log, line by line, without the byte order mark.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::ifstream in(log_.ToUtf8());
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  bool HasLogLine(const std::string& wanted) const {
    for (const std::string& line : LogLines()) {
      if (line == wanted) return true;
    }
    return false;
  }
  static bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 250; ++i) {
      if (condition()) return true;
      Sleep(20);
    }
    return condition();
  }

  FakeTools tools_;
  TempTestFolder install_{L"product-command"};
  VoString log_ = install_.Path() + L"stand-ins.log";
};

TEST_F(ProductCommandLineTest, RunningProductReceivesPostedCommands) {
  const struct {
    std::wstring command;
    bool through_file;
  } cases[] = {
      {L"/ServiceUpdate", false},
      {std::wstring(128, L'b'), false},
      {L"/Open " + std::wstring(123, L'c'), true},  // 129 characters
      {L"/Open C:\\M\u00fcsik\\\u4e2d.mp3", false},
  };
  StartProduct();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command.size());
    FakeTools tools;
    tools.product.running = true;
    ASSERT_TRUE(CHVCommandLine::Execute(VoString(c.command)));
    const std::string expected = "Halvora.exe posted: " + VoString(c.command).ToUtf8();
    EXPECT_TRUE(WaitFor([&] { return HasLogLine(expected); }));
    const std::vector<VoString> post_lines = tools.LogTexts(L"CPostString::Post");
    EXPECT_EQ(std::count(post_lines.begin(), post_lines.end(), VoString(L"Using file to send string")),
              c.through_file ? 1 : 0);
    EXPECT_FALSE(HasPmdFiles());
    const std::vector<VoString> expected_lines = {
        L"CHVCommandLine::Execute", L"Waiting on lock", L"Have lock", L"Posting: " + VoString(c.command),
        L"IPC Name: Halvora FC_IPC"};
    EXPECT_EQ(tools.LogTexts(L"CHVCommandLine::Execute"), expected_lines);
  }
}

TEST_F(ProductCommandLineTest, ProductNotRunningIsStartedWithTheCommand) {
  const std::wstring long_command = L"/Open " + std::wstring(1018, L'd');  // 1024 characters
  const struct {
    std::wstring command;
    std::wstring start_arguments;
    bool posted;
  } cases[] = {
      {L"/Play C:\\x.mp3", L"/PlayReplace C:\\x.mp3", false},
      {L"/ServiceUpdate", L"/ServiceUpdate", false},
      {long_command.substr(0, 1023), long_command.substr(0, 1023), false},
      {long_command, L"", true},
      {L"/Library TREEPATH=Music\\Rock", L"", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.command).Left(40).ToUtf8());
    DeleteFileW(log_.c_str());
    FakeTools tools;
    // Running as soon as its window is there, as the tools library sees it.
    tools.product.on_poll = [](FakeProduct& p) { p.running = FindWindowW(L"KVFrame", nullptr) != nullptr; };
    ASSERT_TRUE(CHVCommandLine::Execute(VoString(c.command)));
    const std::string started = "Halvora.exe " + VoString(c.start_arguments).ToUtf8();
    EXPECT_TRUE(WaitFor([&] { return !LogLines().empty(); }));
    if (c.posted) {
      EXPECT_TRUE(WaitFor([&] { return LogLines().size() >= 2; }));
    }
    std::vector<std::string> expected = {started};
    if (c.posted) expected.push_back("Halvora.exe posted: " + VoString(c.command).ToUtf8());
    EXPECT_EQ(LogLines(), expected);
    const std::vector<VoString> lines = tools.LogTexts(L"CHVCommandLine::Execute");
    EXPECT_NE(std::find(lines.begin(), lines.end(), VoString(L"Pellion not running")), lines.end());
    EndProducts();
  }
}

TEST_F(ProductCommandLineTest, ASecondDeliveryWaitsForTheLock) {
  StartProduct();
  tools_.product.running = true;
  std::atomic<bool> holding = false, delivered_while_held = true, had_lock_while_held = true;
  std::thread holder([&] {
    HANDLE lock = CreateMutexW(nullptr, FALSE, L"Vortala File Command Lock");
    WaitForSingleObject(lock, INFINITE);
    holding = true;
    WaitFor([&] {
      const auto lines = tools_.LogTexts(L"CHVCommandLine::Execute");
      return std::find(lines.begin(), lines.end(), VoString(L"Waiting on lock")) != lines.end();
    });
    Sleep(300);  // room for a delivery that did not wait
    delivered_while_held = HasLogLine("Halvora.exe posted: /ServiceUpdate");
    const auto lines = tools_.LogTexts(L"CHVCommandLine::Execute");
    had_lock_while_held = std::find(lines.begin(), lines.end(), VoString(L"Have lock")) != lines.end();
    ReleaseMutex(lock);
    CloseHandle(lock);
  });
  while (!holding) Sleep(5);
  const bool delivered = CHVCommandLine::Execute(VoString(L"/ServiceUpdate"));
  holder.join();
  EXPECT_TRUE(delivered);
  EXPECT_FALSE(delivered_while_held);
  EXPECT_FALSE(had_lock_while_held);
  EXPECT_TRUE(WaitFor([&] { return HasLogLine("Halvora.exe posted: /ServiceUpdate"); }));
}

// The channel on its own, to a window of the test that reads nothing: the
// ring fills up, texts move to files, and a post that cannot be placed or
// delivered leaves nothing behind.
class PostStringTest : public testing::Test {
 protected:
  void SetUp() override {
    DeletePmdFiles();
    window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window_);
    ASSERT_TRUE(channel_.IsOpen());
    ASSERT_TRUE(block_.Open(kName, vo::kPostBlockBytes));
    // A new block is all zero until the first post makes it a ring.
    vo::PostRing(static_cast<unsigned char*>(block_.GetAddress())).Prepare();
  }
  void TearDown() override {
    DestroyWindow(window_);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    DeletePmdFiles();
  }
  size_t FreeBytes() { return vo::PostRing(static_cast<unsigned char*>(block_.GetAddress())).FreeBytes(); }
  int PmdFiles() {
    int count = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(vo::PostMessageFolder().Std(), ignored)) {
      count += entry.path().extension() == L".pmd";
    }
    return count;
  }

  static constexpr wchar_t kName[] = L"Post Test FC_IPC";
  FakeTools tools_;
  CPostString channel_{VoString(kName)};
  VoSharedMemory block_;
  HWND window_ = nullptr;
};

TEST_F(PostStringTest, AFullRingSendsFilesUntilEvenThePathDoesNotFit) {
  const VoString text(100, L'e');
  int direct = 0, through_file = 0;
  for (;;) {
    const size_t free_before = FreeBytes();
    const bool file = vo::PostNeedsFile(text.Length(), free_before);
    const bool posted = channel_.Post(window_, 0, text);
    if (!posted) {
      // Nothing of the failed post is left.
      EXPECT_TRUE(file);
      EXPECT_EQ(FreeBytes(), free_before);
      break;
    }
    (file ? through_file : direct) += 1;
    ASSERT_LT(direct + through_file, 1000);
  }
  EXPECT_EQ(direct, static_cast<int>(vo::kPostRingBytes / vo::PostRecordBytes(100)));
  EXPECT_GE(through_file, 1);
  EXPECT_EQ(PmdFiles(), through_file);
  const std::vector<VoString> lines = tools_.LogTexts(L"CPostString::Post");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), VoString(L"Using file to send string")), through_file + 1);
}

TEST_F(PostStringTest, APostThatFailsTakesBackItsRecordAndFile) {
  HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  for (const VoString& text : {VoString(L"/ServiceUpdate"), VoString(200, L'f')}) {
    EXPECT_FALSE(channel_.Post(gone, 0, text));
    EXPECT_EQ(FreeBytes(), vo::kPostRingBytes);
    EXPECT_EQ(PmdFiles(), 0);
  }
  EXPECT_TRUE(channel_.Post(window_, 0, VoString(L"/ServiceUpdate")));
  EXPECT_EQ(FreeBytes(), vo::kPostRingBytes - vo::PostRecordBytes(14));
}

}  // namespace

namespace {

// The running product hears of what the installer changed: a new plug-in's
// registration asks it to reload its plug-ins, and a package's
// UPDATE_SERVICELIST action hands it "/ServiceUpdate".
class ProductNoticeTest : public ProductCommandLineTest {
 protected:
  void SetUp() override {
    ProductCommandLineTest::SetUp();
    RegDeleteTreeW(HKEY_CURRENT_USER, kArea);
    registry_.SetSettingsArea(kArea);
    tools_.registry = &registry_;
    tools_.product.running = true;
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kArea);
    RegDeleteKeyW(HKEY_CURRENT_USER, kArea);
    ProductCommandLineTest::TearDown();
  }
  static constexpr const wchar_t* kArea = L"Software\\V. Ortala Tests\\ProductNoticeTest";
  VoRegistryService registry_;
};

TEST_F(ProductNoticeTest, ARegisteredPluginMakesTheProductReload) {
  StartProduct();
  ASSERT_TRUE(CInstallWAPlugin::Install(vo::GetExecutableFolder() + L"test_plugin_dsp.dll", true));
  EXPECT_TRUE(WaitFor([this] { return HasLogLine("Halvora.exe command 33011"); }));
}

TEST_F(ProductNoticeTest, APackageUpdatesTheProductsServiceList) {
  install_.AddFile(VoString(L"Package\\readme.txt"), "readme");
  const VoString package = install_.AddFile(VoString(L"Package\\services.kvp"), R"(<KVPF version="2">
    <Package><Name>Service List</Name><URL>readme.txt</URL><Action>NONE</Action></Package>
    <Actions><FileEntry><File>readme.txt</File><FileType>FILE</FileType>
      <Action><Command>UPDATE_SERVICELIST</Command><Param></Param></Action></FileEntry></Actions>
  </KVPF>)");
  ProgramFolderOverride program{install_.Path()};
  StartProduct();
  CInstallPackage installer;
  installer.SetQuiet(true);
  ASSERT_TRUE(installer.Load(package));
  ASSERT_TRUE(installer.Install()) << installer.GetFailure().ToUtf8();
  EXPECT_TRUE(WaitFor([this] { return HasLogLine("Halvora.exe posted: /ServiceUpdate"); }));
}

}  // namespace

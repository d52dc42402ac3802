// Whole installations of the sample distribution by the headless driver:
// files, records, uninstall entry, shortcuts, associations and the finish
// results, in the test prefix; then the installed package installer working
// on what the installation left. Everything machine-wide the runs write is
// removed afterwards.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "installer_run.h"
#include "win/http_test_server.h"

namespace {

std::wstring ReadText(HKEY root, const wchar_t* key, const wchar_t* value) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t);
  if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return L"<none>";
  return data;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::wstring KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
  return std::wstring(path) + L"\\";
}

// A folder as one quoted argument; its trailing backslash would escape the quote.
std::wstring Quoted(std::wstring folder) {
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return L"\"" + folder + L"\"";
}

constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Halvora 23";
constexpr const wchar_t* kRecordKey = L"Software\\V. Ortala\\Pellion\\Installations\\Halvora 23";
constexpr const wchar_t* kRunOnce = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const wchar_t* kFinalizeList = L"Software\\V. Ortala\\Halvora 23\\Installer\\Finalize";
constexpr const wchar_t* kProperties = L"Software\\V. Ortala\\Halvora 23\\Properties";
constexpr const wchar_t* kStubKey = L"Software\\VoTests\\ComServerStub";

void SetText(HKEY root, const wchar_t* key, const wchar_t* value, const std::wstring& text) {
  RegSetKeyValueW(root, key, value, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

class HeadlessInstallTest : public testing::Test {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\V. Ortala\\Pellion");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\V. Ortala\\Pellion");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\V. Ortala\\Halvora 23");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\V. Ortala\\Halvora 23");
    HKEY run_once = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunOnce, 0, KEY_SET_VALUE, &run_once) == ERROR_SUCCESS) {
      RegDeleteValueW(run_once, L"Install Wizard Completion");
      RegCloseKey(run_once);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kStubKey);
    std::error_code ignored;
    std::filesystem::remove_all(KnownFolder(CSIDL_COMMON_PROGRAMS) + L"Halvora 23", ignored);
    std::filesystem::remove(KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"Halvora 23.lnk", ignored);
  }

  // Runs the driver; returns its exit code and keeps its output.
  DWORD Run(const std::wstring& arguments) { return RunProgram(VO_HEADLESS_INSTALL, arguments); }

  DWORD RunProgram(const std::wstring& program, const std::wstring& arguments) {
    std::wstring command_line = L"\"" + program + L"\" " + arguments;
    const std::filesystem::path output_file = copy_.Parent() + L"headless-output.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileW(output_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION info = {};
    DWORD code = 99;
    if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &info)) {
      WaitForSingleObject(info.hProcess, 120000);
      GetExitCodeProcess(info.hProcess, &code);
      CloseHandle(info.hProcess);
      CloseHandle(info.hThread);
    }
    CloseHandle(output);
    output_ = ReadFileBytes(output_file);
    return code;
  }

  // Runs the package installer, which is to show a "Package Installer" box
  // holding `text`; presses OK and returns the exit code (99 when the box or
  // the end did not come).
  static DWORD RunAnsweringItsBox(const std::wstring& installer, const std::wstring& arguments,
                                  const std::wstring& text) {
    InstallerRun run;
    if (!run.StartProgram(installer, arguments)) return 99;
    const ShownBox box = run.WaitForBox();
    EXPECT_EQ(box.title, L"Package Installer");
    EXPECT_NE(box.text.find(text), std::wstring::npos) << std::filesystem::path(box.text).string();
    if (box.window) InstallerRun::Press(box, IDOK);
    DWORD code = 99;
    return run.WaitForExit(code) ? code : 99;
  }

  // A copy of its own per test, named after it.
  static std::wstring TestName() {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    return L"headless-" + std::wstring(name.begin(), name.end());
  }
  DistributionCopy copy_{TestName().c_str()};
  std::string output_;
};

TEST_F(HeadlessInstallTest, InstallsTheSampleDistribution) {
  const std::wstring destination = copy_.Parent() + L"Installed\\Halvora 23\\";
  ASSERT_EQ(Run(Quoted(copy_.Folder()) + L" " + Quoted(destination) + L" /StartMenu /Desktop"), 0u) << output_;
  EXPECT_NE(output_.find("== finished: product can run"), std::string::npos) << output_;

  for (const wchar_t* file : {L"Halvora.exe", L"VoTools64.dll", L"VoReader.dll", L"Product.xml", L"License.txt",
                              L"DuZizizuv.exe", L"VoMediaUninstall.exe"}) {
    EXPECT_TRUE(std::filesystem::exists(destination + file)) << std::filesystem::path(file).string();
  }
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Halvora 23");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"), destination);
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"23.0.10.0");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kRecordKey, L"Path"), destination);
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kRecordKey, L"Version"), L"23.0.10.0");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, L"Software\\V. Ortala\\Halvora 23\\Installer", L"Install Directory"),
            destination);

  // The product's own associations: its extension, a template row, a
  // protocol and Default Programs.
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".kva", L""), L"Halvora23.Mime");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".kvp", L""), L"Halvora23.Pack");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L"halvora\\shell\\open\\command", L""),
            L"\"" + KnownFolder(CSIDL_SYSTEM) + L"Halvora Launcher.exe\" /Protocol \"%L\"");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L"Mime\\Database\\Content Type\\application/x-kelvane-kva", L"Extension"),
            L".kva");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, L"Software\\RegisteredApplications", L"Halvora"),
            L"Software\\Clients\\Media\\Halvora\\Capabilities");

  EXPECT_TRUE(std::filesystem::exists(KnownFolder(CSIDL_COMMON_PROGRAMS) + L"Halvora 23\\Halvora 23.lnk"));
  EXPECT_TRUE(std::filesystem::exists(KnownFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"Halvora 23.lnk"));

  // Nothing waited for a restart: no finalize list, no RunOnce entry, and
  // the completion marker names the installed program.
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kRunOnce, L"Install Wizard Completion"), L"<none>");
  const std::string marker = ReadFileBytes(copy_.Folder() + L"Finish.txt");
  const std::wstring expected = L"\xFEFFVoFI0001\r\n" + destination + L"Halvora.exe";
  EXPECT_EQ(marker, std::string(reinterpret_cast<const char*>(expected.data()), expected.size() * sizeof(wchar_t)));
}

TEST_F(HeadlessInstallTest, AFileInUseWaitsForTheRestart) {
  const std::wstring destination = copy_.Parent() + L"Installed\\Halvora 23\\";
  std::filesystem::create_directories(destination);
  { std::ofstream(std::filesystem::path(destination + L"OdrixControl.exe")) << "an older copy"; }
  HANDLE held = CreateFileW((destination + L"OdrixControl.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const DWORD code = Run(Quoted(copy_.Folder()) + L" " + Quoted(destination) + L" /Silent");
  CloseHandle(held);
  ASSERT_EQ(code, 0u) << output_;
  EXPECT_NE(output_.find("== finished: restart required"), std::string::npos) << output_;
  EXPECT_TRUE(std::filesystem::exists(destination + L"Setup\\OdrixControl.exe"));
  EXPECT_FALSE(std::filesystem::exists(copy_.Folder() + L"Finish.txt"));

  // The restart-time move was handed to Windows; take it back.
  HKEY session = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_SET_VALUE,
                    &session) == ERROR_SUCCESS) {
    RegDeleteValueW(session, L"PendingFileRenameOperations");
    RegCloseKey(session);
  }
}

// A distribution that does not ship the graphics runtime's installer has
// it downloaded from the product's download address (served here on
// loopback) when the system lacks the runtime, and runs it.
TEST_F(HeadlessInstallTest, TheRuntimeInstallerIsDownloadedWhenNotShipped) {
  const std::wstring destination = copy_.Parent() + L"Installed\\Halvora 23\\";
  const std::wstring served = copy_.Parent() + L"Served\\";
  std::filesystem::create_directories(served);
  std::filesystem::rename(copy_.Folder() + L"Support\\d3dx943.exe", served + L"d3dx943.exe");
  HttpTestServer server;
  ASSERT_TRUE(server.Start(VoString(served)));
  std::string description = ReadFileBytes(copy_.Folder() + L"Kelvane\\Product.xml");
  const std::string shipped_link = "http://127.0.0.1:48943/d3dx943.exe";
  ASSERT_NE(description.find(shipped_link), std::string::npos);
  description.replace(description.find(shipped_link), shipped_link.size(), server.Url(L"d3dx943.exe").ToUtf8());
  copy_.WriteFile(L"Kelvane\\Product.xml", description);
  // The prefix may have the runtime; it is put back afterwards.
  const std::wstring runtime = KnownFolder(CSIDL_SYSTEM) + L"d3dx9_43.dll";
  const bool had_runtime = MoveFileW(runtime.c_str(), (runtime + L".test-aside").c_str()) != 0;
  const std::wstring stand_in_log = copy_.Parent() + L"stand-ins.log";
  SetEnvironmentVariableW(L"VO_STAND_IN_LOG", stand_in_log.c_str());

  const DWORD code = Run(Quoted(copy_.Folder()) + L" " + Quoted(destination) + L" /Silent");

  SetEnvironmentVariableW(L"VO_STAND_IN_LOG", nullptr);
  if (had_runtime) MoveFileW((runtime + L".test-aside").c_str(), runtime.c_str());
  ASSERT_EQ(code, 0u) << output_;
  EXPECT_NE(output_.find("Downloading DirectX components from server..."), std::string::npos) << output_;
  EXPECT_NE(output_.find("Installing DirectX components..."), std::string::npos) << output_;
  EXPECT_TRUE(ReadFileBytes(copy_.Folder() + L"Support\\d3dx943.exe") == ReadFileBytes(served + L"d3dx943.exe"));
  EXPECT_NE(ReadFileBytes(stand_in_log).find("d3dx943.exe"), std::string::npos);
}

// The association page stores the chosen types and has the installed
// package installer associate them; types chosen before and not any more
// get back what they had.
TEST_F(HeadlessInstallTest, ThePackageInstallerAssociatesTheStoredSelection) {
  const std::wstring destination = copy_.Parent() + L"Installed\\Halvora 23\\";
  ASSERT_EQ(Run(Quoted(copy_.Folder()) + L" " + Quoted(destination) + L" /Silent"), 0u) << output_;
  const std::wstring installer = destination + L"PackageInstaller.exe";
  SetText(HKEY_CLASSES_ROOT, L".wav", L"", L"SoundRecorder.wav");
  SetText(HKEY_CLASSES_ROOT, L".wav", L"Content Type", L"audio/wav");

  SetText(HKEY_CURRENT_USER, kProperties, L"File Associations - Selected Media Types",
          L"MPEG Layer-3 Audio (mp3);Waveform Audio (wav);dat");
  ASSERT_EQ(RunProgram(installer, L"/RegFileAssociations"), 0u);
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".mp3", L""), L"Halvora23.File");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".wav", L""), L"Halvora23.File");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".wav", L"Halvora23.Default.BAK"), L"SoundRecorder.wav");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".wav", L"Halvora23.ContentType.BAK"), L"audio/wav");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L"Mime\\Database\\Content Type\\audio/x-mp3", L"Extension"), L".mp3");
  EXPECT_NE(ReadText(HKEY_CLASSES_ROOT, L".dat", L""), L"Halvora23.File");
  const std::wstring capabilities = L"Software\\Clients\\Media\\Halvora\\Capabilities\\FileAssociations";
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, capabilities.c_str(), L".mp3"), L"Halvora23.File");

  SetText(HKEY_CURRENT_USER, kProperties, L"File Associations - Selected Media Types", L"MPEG Layer-3 Audio (mp3)");
  ASSERT_EQ(RunProgram(installer, L"/RegFileAssociations"), 0u);
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".mp3", L""), L"Halvora23.File");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".wav", L""), L"SoundRecorder.wav");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".wav", L"Content Type"), L"audio/wav");
  EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L".wav", L"Halvora23.Default.BAK"), L"<none>");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, capabilities.c_str(), L".wav"), L"<none>");
}

TEST_F(HeadlessInstallTest, ThePackageInstallerRegistersTheServersOfAFolder) {
  const std::wstring destination = copy_.Parent() + L"Installed\\Halvora 23\\";
  ASSERT_EQ(Run(Quoted(copy_.Folder()) + L" " + Quoted(destination) + L" /Silent"), 0u) << output_;
  const std::wstring extensions = destination + L"Shell Extensions\\";
  std::filesystem::create_directories(extensions);
  std::filesystem::copy_file(VO_COM_SERVER_STUB, extensions + L"Stub Server.dll");
  { std::ofstream(std::filesystem::path(extensions + L"readme.txt")) << "not a server"; }
  const std::wstring installer = destination + L"PackageInstaller.exe";

  EXPECT_EQ(RunProgram(installer, L"/RegDLL " + Quoted(extensions)), 0u);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kStubKey, L"Folder") + L"\\", extensions);
  EXPECT_EQ(RunProgram(installer, L"/UnRegDLL " + Quoted(extensions)), 0u);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kStubKey, L"Folder"), L"<none>");
  // A path that is not there is a failure of the work, not of the arguments.
  EXPECT_EQ(RunProgram(installer, L"/RegDLL " + Quoted(destination + L"Missing")), 1u);
}

TEST_F(HeadlessInstallTest, ThePackageInstallerRefusesBadArgumentsAndChangesNothing) {
  const std::wstring destination = copy_.Parent() + L"Installed\\Halvora 23\\";
  ASSERT_EQ(Run(Quoted(copy_.Folder()) + L" " + Quoted(destination) + L" /Silent"), 0u) << output_;
  const std::wstring installer = destination + L"PackageInstaller.exe";
  SetText(HKEY_CURRENT_USER, kFinalizeList, L"Delete File (0)", destination + L"Halvora.exe|_DELETEFILE");

  for (const wchar_t* arguments : {L"/Q /Bogus", L"/Q", L"/Q /RegDLL", L"/Q /FinishInstall /RegFileAssociations",
                                   L"/FinishInstall=now /Q"}) {
    EXPECT_EQ(RunProgram(installer, arguments), 2u) << std::filesystem::path(arguments).string();
  }
  EXPECT_TRUE(std::filesystem::exists(destination + L"Halvora.exe"));
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kFinalizeList, L"Delete File (0)"), destination + L"Halvora.exe|_DELETEFILE");

  // Without /Q the user is told what was wrong.
  EXPECT_EQ(RunAnsweringItsBox(installer, L"/Bogus", L"Unknown argument: /Bogus"), 2u);
  EXPECT_TRUE(std::filesystem::exists(destination + L"Halvora.exe"));
}

// The installed package installer installs the distribution's sample
// package; one it cannot install ends with exit code 1, told in a box
// unless "/Q". The driver step only checks its description.
TEST_F(HeadlessInstallTest, ThePackageInstallerInstallsPackages) {
  const std::wstring destination = copy_.Parent() + L"Installed\\Halvora 23\\";
  ASSERT_EQ(Run(Quoted(copy_.Folder()) + L" " + Quoted(destination) + L" /Silent"), 0u) << output_;
  const std::wstring installer = destination + L"PackageInstaller.exe";
  const std::wstring sample = copy_.Folder() + L"Support\\Halvora Sample Visualizations.kvp";
  const std::wstring plugins = L"Software\\V. Ortala\\Halvora 23\\Plugins";
  // The plug-ins phase installed it already; take that back first.
  std::error_code ignored;
  std::filesystem::remove_all(destination + L"Visualizations", ignored);
  RegDeleteTreeW(HKEY_CURRENT_USER, plugins.c_str());

  ASSERT_EQ(RunProgram(installer, L"/Q /Install \"" + sample + L"\""), 0u);
  for (const char* preset : {"Sample Bars", "Sample Waves"}) {
    const std::string file = std::string("Visualizations\\") + preset + ".xml";
    EXPECT_NE(ReadFileBytes(destination + std::wstring(file.begin(), file.end())).find(preset), std::string::npos)
        << preset;
  }
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, plugins.c_str(), L"Halvora Sample Visualizations"), L"1.0");
  const std::wstring record = plugins + L"\\Uninstall\\Halvora Sample Visualizations";
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, record.c_str(), L"0"), L"V" + plugins + L"\\Halvora Sample Visualizations");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, record.c_str(), L"2"),
            L"F" + destination + L"Visualizations\\Sample Bars.xml");
  // The distribution's files stay as they were.
  EXPECT_TRUE(std::filesystem::exists(copy_.Folder() + L"Support\\Halvora Sample Visualizations.zip"));

  copy_.WriteFile(L"Support\\Broken.kvp",
                  "<KVPF version=\"2.0\"><Package><Name>Broken</Name><URL>missing.zip</URL>"
                  "<Action>UNZIPDIR</Action></Package></KVPF>");
  const std::wstring broken = L"\"" + copy_.Folder() + L"Support\\Broken.kvp\"";
  EXPECT_EQ(RunProgram(installer, L"/Q /Install " + broken), 1u);
  EXPECT_EQ(RunAnsweringItsBox(installer, L"/Install " + broken, L"Failed to unzip file"), 1u);

  EXPECT_EQ(RunProgram(installer, L"/InstallWDMDriver " + Quoted(destination + L"Drivers\\Missing.inf")), 1u);
  copy_.WriteFile(L"VortalaWDMDriver.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n");
  EXPECT_EQ(RunProgram(installer, L"/InstallWDMDriver " + Quoted(copy_.Folder() + L"VortalaWDMDriver.inf")), 0u);
  EXPECT_EQ(RunProgram(installer, L"/RemoveWDMDriver"), 0u);
}

TEST_F(HeadlessInstallTest, RefusesAFolderThatIsNoDistribution) {
  EXPECT_EQ(Run(Quoted(copy_.Parent()) + L" " + Quoted(copy_.Parent() + L"Installed")), 2u);
  EXPECT_NE(output_.find("is not a distribution folder"), std::string::npos) << output_;
  EXPECT_EQ(Run(L""), 2u);
  EXPECT_NE(output_.find("usage:"), std::string::npos) << output_;
}

}  // namespace

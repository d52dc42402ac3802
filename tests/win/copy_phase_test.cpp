// The copy phase as a whole against a small distribution in the test's
// folder: the order of its steps, the tools library with its Retry/Cancel
// question, the system-file passes, portable mode, the server edition, the
// registration pass and the records it leaves.

#include "engine/copy_phase.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/session.h"
#include "copy_test_fixture.h"
#include "foundation/path_text.h"
#include "foundation/win/process_info_record.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "registry_text_values.h"
#include "support/fake_tools.h"
#include "support/recording_page.h"

namespace {

using copy_test::Built;

constexpr const wchar_t* kStubKey = L"Software\\VoTests\\ComServerStub";
constexpr const wchar_t* kEdition = L"Halvora Copy Phase Test";
constexpr const wchar_t* kInstallationsKey = L"Software\\V. Ortala\\Pellion\\Installations";

VoString StubFolder() {
  wchar_t folder[MAX_PATH] = {};
  DWORD bytes = sizeof(folder);
  if (RegGetValueW(HKEY_CURRENT_USER, kStubKey, L"Folder", RRF_RT_REG_SZ, nullptr, folder, &bytes) != ERROR_SUCCESS) {
    return {};
  }
  return vo::WithTrailingBackslash(folder);
}

std::string ReadAll(const VoString& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool Exists(const VoString& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The machine's list of installations, put back as it was.
class InstallationsGuard {
 public:
  InstallationsGuard() {
    wchar_t value[512] = {};
    DWORD bytes = sizeof(value);
    had_ = RegGetValueW(HKEY_LOCAL_MACHINE, kInstallationsKey, L"", RRF_RT_REG_SZ, nullptr, value, &bytes) ==
           ERROR_SUCCESS;
    saved_ = value;
  }
  ~InstallationsGuard() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kInstallationsKey) + L"\\" + kEdition).c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallationsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (had_) {
      RegSetValueExW(key, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_.c_str()),
                     static_cast<DWORD>((saved_.size() + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key, L"");
    }
    RegCloseKey(key);
  }

 private:
  bool had_ = false;
  std::wstring saved_;
};

class CopyPhaseTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    Session() = InstallSession{};
    Session().InstallDirectory = At(L"Install\\");
    tools_.registry = &registry_;
    tools_.product.names[1] = kEdition;
    tools_.product.names[3] = kEdition;
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
    vo::SetPortableInstallation(false);
    Session() = InstallSession{};
    RegistryTestArea::TearDown();
  }

  VoString At(const wchar_t* relative) const { return folder_.Path() + relative; }

  vo::CopyEnvironment Environment(bool windows_64bit = true) const {
    return copy_test::Environment(At(L"Distribution\\"), At(L"System\\"), At(L"SysWOW64\\"),
                                  At(L"Windows\\Fonts\\"), windows_64bit);
  }

  void Text(const wchar_t* relative, const char* text) const { folder_.AddFile(relative, text); }
  void Copy(const wchar_t* built, const wchar_t* relative) const {
    folder_.AddFile(relative);
    ASSERT_TRUE(CopyFileW(Built(built).c_str(), At(relative).c_str(), FALSE)) << Built(built).ToUtf8();
  }

  // A distribution with every kind of file the phase handles.
  void MakeDistribution() const {
    Text(L"Distribution\\Kelvane\\VoTools64.dll", "tools");
    Text(L"Distribution\\Kelvane\\VoImage.dll", "image");
    Text(L"Distribution\\Kelvane\\x64\\VoTools64.dll", "tools 64");
    Text(L"Distribution\\Kelvane\\Halvora.exe", "main program");
    Copy(copy_test::kV2, L"Distribution\\Kelvane\\Plugins\\Component.dll");
    Text(L"Distribution\\Kelvane\\in_Test.dll", "not a library");
    Copy(copy_test::kV1, L"Distribution\\System\\Check Version\\SysComp.dll");
    Text(L"Distribution\\System\\Always Overwrite\\Always.txt", "always");
    Text(L"Distribution\\Fonts\\Face.ttf", "not really a font");
    Text(L"Distribution\\License.txt", "licence");
    Text(L"Distribution\\Kelvane\\Application Data\\Default Resources\\FileAssociations.xml",
         "<KVFA version=\"1.0\"><KVTypes>mp3</KVTypes></KVFA>");
  }

  TempTestFolder folder_{L"CopyPhaseTest"};
  FakeTools tools_;
  ProgramFolderOverride program_folder_{VoString()};
  ProcessPathOverride install_folder_{ProcessPath::kInstallFolder, VoString()};
  ProcessPathOverride shared_data_{ProcessPath::kSharedDataFolder, VoString()};
  InstallationsGuard installations_;
  CopyPhaseLists lists_;
  RecordingPage page_;
};

TEST_F(CopyPhaseTest, RunsEveryStepInOrderAndMovesOn) {
  MakeDistribution();

  vo::RunCopyPhase(page_, lists_, Environment());

  EXPECT_EQ(page_.heading, VoString(L"Copying Files"));
  EXPECT_EQ(page_.description, VoString(L"Please wait while Install Wizard copies and registers files."));
  EXPECT_EQ(page_.statuses,
            (std::vector<VoString>{L"Cleaning installation directory...", L"Loading default library and settings...",
                                   L"Upgrading from previous version...", L"Installing system files...",
                                   L"Installing Halvora Copy Phase Test program files...",
                                   L"Registering program files...", L"Creating registry settings..."}));
  // Three one-step bars, three folders per system pass, the program files,
  // then one step per collected file.
  EXPECT_EQ(page_.ranges, (std::vector<int>{1, 1, 1, 100, 100, 100, 100, 100, 100, 100, 4}));
  EXPECT_EQ(page_.advances, 1);
  EXPECT_FALSE(page_.cancelled);

  // The tools library, both builds.
  EXPECT_EQ(ReadAll(At(L"Install\\VoTools64.dll")), "tools");
  EXPECT_EQ(ReadAll(At(L"Install\\VoImage.dll")), "image");
  EXPECT_EQ(ReadAll(At(L"Install\\x64\\VoTools64.dll")), "tools 64");
  // System files and fonts once per system folder.
  for (const wchar_t* system : {L"System\\", L"SysWOW64\\"}) {
    EXPECT_EQ(ReadAll(At(system) + L"SysComp.dll"), ReadAll(Built(copy_test::kV1)));
    EXPECT_EQ(ReadAll(At(system) + L"Always.txt"), "always");
  }
  EXPECT_EQ(ReadAll(At(L"Windows\\Fonts\\Face.ttf")), "not really a font");
  // Program files and the licence.
  EXPECT_EQ(ReadAll(At(L"Install\\Halvora.exe")), "main program");
  EXPECT_EQ(ReadAll(At(L"Install\\Plugins\\Component.dll")), ReadAll(Built(copy_test::kV2)));
  EXPECT_EQ(ReadAll(At(L"Install\\License.txt")), "licence");

  // Collected in copy order, each system folder's own copy included.
  ASSERT_EQ(lists_.registrations.GetCount(), 4u);
  EXPECT_EQ(lists_.registrations[0], At(L"System\\SysComp.dll"));
  EXPECT_EQ(lists_.registrations[1], At(L"SysWOW64\\SysComp.dll"));
  EXPECT_NE(lists_.registrations.Find(At(L"Install\\Plugins\\Component.dll")), VoStringArray::npos);
  EXPECT_NE(lists_.registrations.Find(At(L"Install\\in_Test.dll")), VoStringArray::npos);
  EXPECT_EQ(page_.positions.back(), 4);
  // The last server registered in its own folder; the "in_" file went to
  // the plug-in registration too, which refused it quietly.
  EXPECT_TRUE(vo::EqualsNoCase(StubFolder().View(), At(L"Install\\Plugins\\").View())) << StubFolder().ToUtf8();
  const auto plugin_lines = tools_.LogTexts(L"CInstallWAPlugin");
  ASSERT_EQ(plugin_lines.size(), 1u);
  EXPECT_NE(plugin_lines[0].Find(L"Cannot load plug-in."), VoString::npos) << plugin_lines[0].ToUtf8();
  // The product's own extension is associated with the installed product.
  EXPECT_EQ(ReadTextValues(HKEY_CLASSES_ROOT, VoString(L".hvl"))[VoString()], L"HalvoraCopyPhaseTest.Mime");

  // The records: the Installer store and the published install folder.
  VoString stored;
  if (VoRegistryKeyPtr store = vo::OpenStore(L"Installer", 0)) store->ReadString(L"Install Directory", L"", stored);
  EXPECT_EQ(stored, At(L"Install\\"));
  EXPECT_TRUE(vo::EqualsNoCase(vo::GetProcessPath(ProcessPath::kInstallFolder).View(), At(L"Install\\").View()));
  EXPECT_TRUE(tools_.MessageBoxes().empty());
}

TEST_F(CopyPhaseTest, OnThirtyTwoBitWindowsThereIsOnePassAndNoSixtyFourBitFile) {
  MakeDistribution();
  Text(L"Distribution\\Kelvane\\x64\\Helper64.dll", "helper");

  vo::RunCopyPhase(page_, lists_, Environment(/*windows_64bit=*/false));

  EXPECT_TRUE(Exists(At(L"System\\SysComp.dll")));
  EXPECT_FALSE(Exists(At(L"SysWOW64")));
  EXPECT_FALSE(Exists(At(L"Install\\x64\\VoTools64.dll")));
  EXPECT_FALSE(Exists(At(L"Install\\x64\\Helper64.dll")));
  EXPECT_EQ(ReadAll(At(L"Install\\VoTools64.dll")), "tools");
  EXPECT_EQ(page_.advances, 1);
}

TEST_F(CopyPhaseTest, APortableInstallationCopiesNoSystemFilesOrFonts) {
  MakeDistribution();
  Session().Portable = true;

  vo::RunCopyPhase(page_, lists_, Environment());

  EXPECT_FALSE(Exists(At(L"System")));
  EXPECT_FALSE(Exists(At(L"SysWOW64")));
  EXPECT_FALSE(Exists(At(L"Windows\\Fonts")));
  EXPECT_EQ(ReadAll(At(L"Install\\Halvora.exe")), "main program");
  EXPECT_EQ(lists_.registrations.GetCount(), 2u);
  EXPECT_EQ(page_.advances, 1);
}

TEST_F(CopyPhaseTest, MissingSystemAndFontFoldersAreReportedAndSkipped) {
  MakeDistribution();
  vo::CopyEnvironment environment = Environment();
  environment.system_folder = [this](int pass) { return pass == 0 ? VoString() : At(L"SysWOW64\\"); };
  environment.fonts_folder = [] { return VoString(); };

  vo::RunCopyPhase(page_, lists_, environment);

  const auto boxes = tools_.MessageBoxes();
  // The first pass ends at its missing system folder; the second reaches
  // the missing font folder.
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, VoString(L"Error"));
  EXPECT_EQ(boxes[0].text,
            VoString(L"The install wizard can not obtain the Windows system path. System files will not be installed."));
  EXPECT_EQ(boxes[1].title, VoString(L"Error"));
  EXPECT_EQ(boxes[1].text,
            VoString(L"The install wizard can not obtain the system font path. Custom fonts will not be installed."));
  EXPECT_TRUE(Exists(At(L"SysWOW64\\SysComp.dll")));
  EXPECT_EQ(page_.advances, 1);
}

TEST_F(CopyPhaseTest, AToolsLibraryFileInUseAsksRetryThenCancelEndsTheWizard) {
  MakeDistribution();
  folder_.AddFile(L"Install\\VoTools64.dll", "old tools");
  const HANDLE held = CreateFileW(At(L"Install\\VoTools64.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  tools_.ScriptAnswers({true});  // Retry once, then Cancel

  vo::RunCopyPhase(page_, lists_, Environment());
  CloseHandle(held);

  const auto boxes = tools_.MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  const VoString question = VoString(L"Install Wizard could not copy necessary files to the destination folder.\r\n\r\n"
                                     L"Please ensure that the file '") +
                            At(L"Install\\VoTools64.dll").View() + L"' is not in use.";
  for (int i : {0, 1}) {
    EXPECT_EQ(boxes[i].title, VoString(L"Failure Copying System File"));
    EXPECT_EQ(boxes[i].text, question);
    EXPECT_EQ(boxes[i].buttons, (std::vector<VoString>{L"Retry", L"Cancel"}));
  }
  EXPECT_EQ(boxes[2].title, VoString(L"Install Error"));
  EXPECT_EQ(boxes[2].text, VoString(L"Install Wizard encountered a critical error and must close.\r\n\r\n"
                                    L"It is recommended that you reboot your computer and install again.\r\n\r\n"
                                    L"If this error persists, please uninstall and then install again."));
  EXPECT_TRUE(page_.cancelled);
  EXPECT_EQ(page_.advances, 0);
  EXPECT_EQ(page_.statuses.back(), VoString(L"Upgrading from previous version..."));
  EXPECT_FALSE(Exists(At(L"Install\\Halvora.exe")));
  VoString stored;
  if (VoRegistryKeyPtr store = vo::OpenStore(L"Installer", 0)) store->ReadString(L"Install Directory", L"", stored);
  EXPECT_TRUE(stored.IsEmpty()) << "no installation record after a cancel";
}

TEST_F(CopyPhaseTest, TheServerEditionStopsItsServerAndLeavesItsFilesUnregistered) {
  MakeDistribution();
  DeleteFileW(At(L"Distribution\\Kelvane\\Plugins\\Component.dll").c_str());
  Copy(copy_test::kV2, L"Distribution\\Kelvane\\Server\\Service.dll");
  tools_.product.main_program = L"Odrix Media Server.exe";
  Copy(L"exit_with.exe", L"Install\\Odrix Media Server.exe");
  Text(L"Install\\Server\\Left Over.txt", "old");
  const VoString log = At(L"arguments.log");
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", log.c_str());

  vo::RunCopyPhase(page_, lists_, Environment());
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);

  EXPECT_EQ(ReadAll(log), "\xEF\xBB\xBF/Stop\r\n");
  EXPECT_FALSE(Exists(At(L"Install\\Server\\Left Over.txt")));
  EXPECT_EQ(ReadAll(At(L"Install\\Server\\Service.dll")), ReadAll(Built(copy_test::kV2)));
  EXPECT_NE(lists_.registrations.Find(At(L"Install\\Server\\Service.dll")), VoStringArray::npos);
  // The system folders' copies registered; the server's own did not.
  EXPECT_TRUE(vo::EqualsNoCase(StubFolder().View(), At(L"SysWOW64\\").View())) << StubFolder().ToUtf8();
}

}  // namespace

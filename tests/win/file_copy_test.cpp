// Copying single files and folders by the install rules, against real files
// of the prefix: version comparison, registration decisions, 64-bit files,
// files in use, staging for the finalize run, the server stop, fonts and
// the folder copy's progress.

#include "engine/file_copy.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "app/installer_folder.h"
#include "app/session.h"
#include "copy_test_fixture.h"
#include "engine/copy_rules.h"
#include "engine/tools_library_copy.h"
#include "foundation/path_text.h"
#include "foundation/string_format.h"
#include "support/fake_tools.h"
#include "support/recording_page.h"

namespace {

using copy_test::Built;
using copy_test::kV1;
using copy_test::kV2;
using copy_test::kV201;

constexpr const wchar_t* kStubKey = L"Software\\VoTests\\ComServerStub";

// The folder the test server recorded when it was registered; empty when it
// was not.
VoString StubFolder() {
  wchar_t folder[MAX_PATH] = {};
  DWORD bytes = sizeof(folder);
  if (RegGetValueW(HKEY_CURRENT_USER, kStubKey, L"Folder", RRF_RT_REG_SZ, nullptr, folder, &bytes) != ERROR_SUCCESS) {
    return {};
  }
  return VoString(folder);
}

// What a fixture file holds: nothing, a text without version, or a built
// component of a version.
enum class Content { kMissing, kSourceText, kInstalledText, kV1, kV2, kV201 };

class FileCopyTest : public ScratchFolder {
 protected:
  void SetUp() override {
    // Not ScratchFolder's name: the names of parameterised tests hold "/".
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    dir_ = VoString(temp) + L"FileCopyTest\\";
    std::error_code ignored;
    std::filesystem::remove_all(dir_.c_str(), ignored);
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
    Session() = InstallSession{};
    Session().InstallDirectory = At(L"Install\\");
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kStubKey);
    Session() = InstallSession{};
    ScratchFolder::TearDown();
  }

  vo::CopyEnvironment Environment(bool windows_64bit = true) const {
    return copy_test::Environment(At(L"Distribution\\"), At(L"System\\"), At(L"SysWOW64\\"),
                                  At(L"Windows\\Fonts\\"), windows_64bit);
  }

  static void MakeParent(const VoString& path) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path.Std()).parent_path(), ignored);
  }
  // Writes `text` at `path` (a full path), creating its folders.
  static void PutText(const VoString& path, const std::string& text) {
    MakeParent(path);
    Write(path, text);
  }
  // Puts `content` at `path`, creating its folders.
  static void Put(const VoString& path, Content content) {
    MakeParent(path);
    switch (content) {
      case Content::kMissing: DeleteFileW(path.c_str()); return;
      case Content::kSourceText: Write(path, "source text"); return;
      case Content::kInstalledText: Write(path, "installed text"); return;
      case Content::kV1: ASSERT_TRUE(CopyFileW(Built(kV1).c_str(), path.c_str(), FALSE)); return;
      case Content::kV2: ASSERT_TRUE(CopyFileW(Built(kV2).c_str(), path.c_str(), FALSE)); return;
      case Content::kV201: ASSERT_TRUE(CopyFileW(Built(kV201).c_str(), path.c_str(), FALSE)); return;
    }
  }

  FakeTools tools_;
};

// ---- version rule and registration decision ----

struct RuleCase {
  const wchar_t* name;
  Content source, installed;
  CopyMode mode;
  bool copied, listed;
};

class VersionRuleTest : public FileCopyTest, public testing::WithParamInterface<RuleCase> {};

TEST_P(VersionRuleTest, CopiesAndCollectsByTheRules) {
  const RuleCase& c = GetParam();
  const VoString source = At(L"Distribution\\System\\Check Version\\") + c.name;
  const VoString destination = At(L"System\\") + c.name;
  Put(source, c.source);
  Put(destination, c.installed);
  const std::string before = Read(destination);

  VoStringArray registrations;
  EXPECT_TRUE(vo::CopyInstallFile(source, destination, &registrations, c.mode, Environment()));

  EXPECT_EQ(Read(destination), c.copied ? Read(source) : before);
  EXPECT_EQ(registrations.GetCount(), c.listed ? 1u : 0u);
  if (c.listed && registrations.GetCount() == 1) {
    EXPECT_EQ(registrations[0], destination);
  }
  // Nothing was in use, so nothing waits for a restart.
  EXPECT_FALSE(Session().RestartRequired);
  EXPECT_TRUE(Session().PendingRegistrations.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionRuleTest,
    testing::Values(
        RuleCase{L"Comp.dll", Content::kV2, Content::kV1, CopyMode::kCheckVersion, true, true},
        RuleCase{L"Comp.dll", Content::kV1, Content::kV2, CopyMode::kCheckVersion, false, true},
        // Equal versions stay, and are still registered.
        RuleCase{L"Comp.dll", Content::kV2, Content::kV2, CopyMode::kCheckVersion, false, true},
        // The low 32 bits count after the high ones.
        RuleCase{L"Comp.dll", Content::kV201, Content::kV2, CopyMode::kCheckVersion, true, true},
        RuleCase{L"Comp.dll", Content::kV2, Content::kV201, CopyMode::kCheckVersion, false, true},
        // An installed file without a version counts as 0.0.
        RuleCase{L"Comp.dll", Content::kV2, Content::kInstalledText, CopyMode::kCheckVersion, true, true},
        // A file that is not there yet is always wanted, with or without a version.
        RuleCase{L"Fresh.dll", Content::kSourceText, Content::kMissing, CopyMode::kCheckVersion, true, true},
        RuleCase{L"Comp.dll", Content::kV1, Content::kV2, CopyMode::kAlwaysOverwrite, true, true},
        RuleCase{L"Readme.txt", Content::kSourceText, Content::kInstalledText, CopyMode::kCheckVersion, true, false},
        RuleCase{L"Tool.exe", Content::kV1, Content::kV2, CopyMode::kCheckVersion, false, false},
        RuleCase{L"Tool.exe", Content::kV2, Content::kV1, CopyMode::kCheckVersion, true, false},
        RuleCase{L"Filter.ax", Content::kV1, Content::kV2, CopyMode::kCheckVersion, false, true},
        RuleCase{L"Filter.ax", Content::kV2, Content::kV1, CopyMode::kCheckVersion, true, true},
        RuleCase{L"Control.ocx", Content::kV1, Content::kV2, CopyMode::kCheckVersion, false, true},
        RuleCase{L"Control.ocx", Content::kV2, Content::kV1, CopyMode::kCheckVersion, true, true},
        // The extensions are matched as written: an upper-case one is neither
        // compared nor registered.
        RuleCase{L"Upper.DLL", Content::kV1, Content::kV2, CopyMode::kCheckVersion, true, false},
        // The shell extension is registered by the integration step, not here.
        RuleCase{L"VoShellExt.dll", Content::kV2, Content::kV1, CopyMode::kCheckVersion, true, false}));

TEST_F(FileCopyTest, WithoutAListAComponentIsRegisteredAtOnceInItsFolder) {
  const VoString source = At(L"Distribution\\Kelvane\\Comp.dll");
  const VoString destination = At(L"Install\\Plugins\\Comp.dll");
  Put(source, Content::kV2);

  EXPECT_TRUE(vo::CopyInstallFile(source, destination, nullptr, CopyMode::kAlwaysOverwrite, Environment()));

  EXPECT_EQ(Read(destination), Read(source));
  EXPECT_TRUE(vo::EqualsNoCase(vo::WithTrailingBackslash(StubFolder().View()).View(), At(L"Install\\Plugins\\").View()))
      << StubFolder().ToUtf8();
}

TEST_F(FileCopyTest, ToolsLibraryFilesAreLeftToTheirOwnCopy) {
  const VoStringArray names = vo::ToolsLibraryFileNames();
  ASSERT_EQ(names.GetCount(), 7u);
  EXPECT_EQ(names[0], VoString(L"VoTools64.dll"));
  for (const VoString& name : {names[0], names[1], VoString(L"vodisc.DLL")}) {
    const VoString source = At(L"Distribution\\Kelvane\\") + name.View();
    const VoString destination = At(L"Install\\") + name.View();
    Put(source, Content::kV2);
    VoStringArray registrations;
    EXPECT_TRUE(vo::CopyInstallFile(source, destination, &registrations, CopyMode::kAlwaysOverwrite, Environment()));
    EXPECT_EQ(Read(destination), "<missing>") << name.ToUtf8();
    EXPECT_TRUE(registrations.IsEmpty());
  }
}

// ---- 64-bit files ----

TEST_F(FileCopyTest, SixtyFourBitFilesAreSkippedOnThirtyTwoBitWindows) {
  const VoString source = At(L"Distribution\\Kelvane\\x64\\Comp.dll");
  Put(source, Content::kV2);
  for (const VoString& destination :
       {At(L"Install\\x64\\Comp.dll"), At(L"Install\\X64\\Sub\\Comp.dll"), At(L"Drivers\\VortalaASIODriver64.dll")}) {
    VoStringArray registrations;
    EXPECT_FALSE(vo::CopyInstallFile(source, destination, &registrations, CopyMode::kAlwaysOverwrite,
                                     Environment(/*windows_64bit=*/false)))
        << destination.ToUtf8();
    EXPECT_EQ(Read(destination), "<missing>");
    EXPECT_TRUE(registrations.IsEmpty());
  }
  // Only the install folder's own "x64\" marks a file as 64-bit.
  VoStringArray registrations;
  EXPECT_TRUE(vo::CopyInstallFile(source, At(L"Elsewhere\\x64\\Comp.dll"), &registrations,
                                  CopyMode::kAlwaysOverwrite, Environment(false)));
  EXPECT_EQ(registrations.GetCount(), 1u);
}

TEST_F(FileCopyTest, SixtyFourBitComponentsAreRegisteredByTheSystemProgramNotCollected) {
  const VoString source = At(L"Distribution\\Kelvane\\x64\\Comp.dll");
  const VoString destination = At(L"Install\\x64\\Comp.dll");
  Put(source, Content::kV2);
  VoStringArray registrations;

  EXPECT_TRUE(vo::CopyInstallFile(source, destination, &registrations, CopyMode::kAlwaysOverwrite, Environment()));

  EXPECT_EQ(Read(destination), Read(source));
  EXPECT_TRUE(registrations.IsEmpty());
  EXPECT_FALSE(StubFolder().IsEmpty()) << "RegSvr32 did not register the copied server";
}

// ---- files in use ----

struct InUseCase {
  const wchar_t* destination;  // in the test's folder
  CopyMode mode;
  bool restart_required, shell_extension_registrable, registration_pending;
};

class InUseTest : public FileCopyTest, public testing::WithParamInterface<InUseCase> {};

TEST_P(InUseTest, ADestinationInUseIsReplacedAtTheNextRestart) {
  const InUseCase& c = GetParam();
  copy_test::PendingRenamesGuard pending;
  const VoString destination = At(c.destination);
  const VoString name = destination.Mid(destination.FindLast(L'\\') + 1);
  const VoString source = At(L"Distribution\\Files\\") + name.View();
  Put(source, Content::kV2);
  Put(destination, Content::kV1);
  InUse held(destination);
  ASSERT_TRUE(held.IsOpen());
  VoStringArray registrations;

  EXPECT_TRUE(vo::CopyInstallFile(source, destination, &registrations, c.mode, Environment()));

  const VoString staged = At(L"Install\\Setup\\") + name.View();
  EXPECT_EQ(Read(staged), Read(source));
  bool scheduled = false;
  for (const auto& [from, to] : copy_test::PendingRenamesGuard::Moves()) {
    scheduled |= vo::EqualsNoCase(from.View(), staged.View()) && vo::EqualsNoCase(to.View(), destination.View());
  }
  EXPECT_TRUE(scheduled);
  EXPECT_EQ(Session().RestartRequired, c.restart_required);
  EXPECT_EQ(Session().ShellExtensionRegistrable, c.shell_extension_registrable);
  if (c.registration_pending) {
    EXPECT_EQ(Session().PendingRegistrations.Join(L";"), destination + L"|_REGISTERFILE");
  } else {
    EXPECT_TRUE(Session().PendingRegistrations.IsEmpty());
  }
  // A file registered after the restart is not registered now as well.
  EXPECT_TRUE(registrations.IsEmpty());
  EXPECT_TRUE(Session().PendingFileOperations.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, InUseTest,
                         testing::Values(InUseCase{L"Install\\Comp.dll", CopyMode::kAlwaysOverwrite, true, true, true},
                                         InUseCase{L"Install\\VoShellExt.dll", CopyMode::kAlwaysOverwrite, false,
                                                   false, false},
                                         InUseCase{L"Windows\\Fonts\\Face.ttf", CopyMode::kFont, false, true, false}));

TEST_F(FileCopyTest, SameNamedFilesInUseAreStagedApart) {
  copy_test::PendingRenamesGuard pending;
  struct File {
    VoString source, destination;
  } files[] = {{At(L"Distribution\\Kelvane\\Same.dll"), At(L"Install\\Same.dll")},
               {At(L"Distribution\\Kelvane\\x64\\Same.dll"), At(L"Install\\x64\\Same.dll")}};
  Put(files[0].source, Content::kV1);
  Put(files[1].source, Content::kV2);
  for (const File& f : files) Put(f.destination, Content::kInstalledText);
  InUse held0(files[0].destination), held1(files[1].destination);
  ASSERT_TRUE(held0.IsOpen() && held1.IsOpen());

  for (const File& f : files) {
    EXPECT_TRUE(vo::CopyInstallFile(f.source, f.destination, nullptr, CopyMode::kAlwaysOverwrite, Environment()));
  }

  // Each destination gets a staged copy of its own source at the restart.
  for (const File& f : files) {
    int found = 0;
    for (const auto& [from, to] : copy_test::PendingRenamesGuard::Moves()) {
      if (!vo::EqualsNoCase(to.View(), f.destination.View())) continue;
      ++found;
      EXPECT_EQ(Read(from), Read(f.source)) << from.ToUtf8();
    }
    EXPECT_EQ(found, 1) << f.destination.ToUtf8();
  }
}

// ---- staging for the finalize run ----

TEST_F(FileCopyTest, StagingRecordsTheStagedCopyAndItsDestination) {
  const VoString source = At(L"Distribution\\Kelvane\\Data.bin");
  Put(source, Content::kSourceText);
  const VoString destination = At(L"Install\\Data.bin");

  EXPECT_TRUE(vo::StageForFinalize(source, destination));

  const VoString staged = At(L"Install\\Setup\\Data.bin");
  EXPECT_EQ(Read(staged), "source text");
  EXPECT_EQ(Session().PendingFileOperations.Join(L";"), staged + L"|" + destination.View());

  // A second file of that name does not overwrite the staged one, which a
  // recorded entry still names.
  const VoString other = At(L"Distribution\\Other\\Data.bin");
  Put(other, Content::kV1);
  EXPECT_TRUE(vo::StageForFinalize(other, At(L"Install\\Other\\Data.bin")));
  EXPECT_EQ(Read(staged), "source text");
  ASSERT_EQ(Session().PendingFileOperations.GetCount(), 2u);
  const VoString second = Session().PendingFileOperations[1];
  const VoString second_staged = second.Left(second.Find(L'|'));
  EXPECT_NE(second_staged, staged);
  EXPECT_EQ(Read(second_staged), Read(other));
}

TEST_F(FileCopyTest, StagingAPackageTakesItsWholeFolderAndLeavesTheSource) {
  const VoString package = At(L"Support\\Pack\\Pack.kvp");
  Put(package, Content::kSourceText);
  PutText(At(L"Support\\Pack\\Data.bin"), "data");
  Put(At(L"Support\\Pack\\Sub\\More.bin"), Content::kInstalledText);

  EXPECT_TRUE(vo::StageForFinalize(package, VoString()));

  EXPECT_EQ(Session().PendingFileOperations.Join(L";"), At(L"Install\\Setup\\Pack.kvp") + L"|");
  EXPECT_EQ(Read(At(L"Install\\Setup\\Pack.kvp")), "source text");
  EXPECT_EQ(Read(At(L"Install\\Setup\\Data.bin")), "data");
  EXPECT_EQ(Read(At(L"Install\\Setup\\Sub\\More.bin")), "installed text");
  EXPECT_EQ(Read(package), "source text");
  EXPECT_EQ(Read(At(L"Support\\Pack\\Sub\\More.bin")), "installed text");
}

TEST_F(FileCopyTest, NothingIsStagedWithoutAnInstallFolder) {
  Session().InstallDirectory.Clear();
  const VoString source = At(L"Distribution\\Kelvane\\Data.bin");
  Put(source, Content::kSourceText);
  EXPECT_FALSE(vo::StageForFinalize(source, At(L"Install\\Data.bin")));
  EXPECT_FALSE(vo::ReplaceAtRestart(source, At(L"Install\\Data.bin")));
  EXPECT_TRUE(Session().PendingFileOperations.IsEmpty());
}

// ---- the server program and fonts ----

TEST_F(FileCopyTest, TheRunningServerIsAskedToStopBeforeItIsOverwritten) {
  const VoString destination = At(L"Install\\Server\\OdrixServer.exe");
  MakeParent(destination);
  ASSERT_TRUE(CopyFileW(Built(L"exit_with.exe").c_str(), destination.c_str(), FALSE));
  const VoString source = At(L"Distribution\\Kelvane\\Server\\OdrixServer.exe");
  Put(source, Content::kSourceText);
  const VoString log = At(L"arguments.log");
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", log.c_str());

  EXPECT_TRUE(vo::CopyInstallFile(source, destination, nullptr, CopyMode::kAlwaysOverwrite, Environment()));
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);

  // The stand-in writes its arguments as a UTF-8 line with a byte order mark.
  EXPECT_EQ(Read(log), "\xEF\xBB\xBFstop\r\n");
  EXPECT_EQ(Read(destination), "source text");
}

TEST_F(FileCopyTest, AFontIsCopiedAndAddedToTheFontTable) {
#ifndef VO_TEST_FONT_FILE
  GTEST_SKIP() << "the build machine has no TrueType font to install";
#else
  VoString font = VoString::FromUtf8(VO_TEST_FONT_FILE);
  for (wchar_t& c : font.Std()) c = c == L'/' ? L'\\' : c;
  const VoString source = At(L"Distribution\\Fonts\\Test Face.ttf");
  const VoString broken_source = At(L"Distribution\\Fonts\\Broken.ttf");
  MakeParent(source);
  ASSERT_TRUE(CopyFileW(font.c_str(), source.c_str(), FALSE));
  PutText(broken_source, "not a font");
  const VoString destination = At(L"Windows\\Fonts\\Test Face.ttf");
  const VoString broken = At(L"Windows\\Fonts\\Broken.ttf");

  EXPECT_TRUE(vo::CopyInstallFile(source, destination, nullptr, CopyMode::kFont, Environment()));
  EXPECT_TRUE(vo::CopyInstallFile(broken_source, broken, nullptr, CopyMode::kFont, Environment()));

  EXPECT_EQ(Read(destination), Read(source));
  EXPECT_EQ(Read(broken), "not a font");
  // The font table took the real font and refused the other; this Wine
  // cannot tell an added font by removing it again, so the log tells.
  EXPECT_EQ(tools_.LogTexts(L"CopyInstallFile"),
            std::vector<VoString>{VoString(L"Adding the font ") + broken.View() + L" failed"});
  RemoveFontResourceW(destination.c_str());
#endif
}

// ---- folders ----

TEST_F(FileCopyTest, AFolderIsCopiedBelowTheDestinationWithProgressByBytes) {
  PutText(At(L"Distribution\\Tree\\a.txt"), std::string(100, 'a'));
  PutText(At(L"Distribution\\Tree\\Sub\\b.txt"), std::string(300, 'b'));
  PutText(At(L"Distribution\\Tree\\Sub\\Deeper\\c.txt"), "");
  RecordingPage page;

  vo::CopyFolder(CopyMode::kAlwaysOverwrite, page, At(L"Distribution\\Tree"), At(L"Target"), nullptr,
                 Environment());

  EXPECT_EQ(Read(At(L"Target\\a.txt")), std::string(100, 'a'));
  EXPECT_EQ(Read(At(L"Target\\Sub\\b.txt")), std::string(300, 'b'));
  EXPECT_EQ(Read(At(L"Target\\Sub\\Deeper\\c.txt")), "");
  EXPECT_EQ(page.ranges, std::vector<int>{100});
  ASSERT_EQ(page.positions.size(), 4u);
  EXPECT_EQ(page.positions.front(), 0);
  EXPECT_EQ(page.positions.back(), 100);
  // Running byte totals of 0, 100, 300 and 400 in any order.
  for (size_t i = 1; i < page.positions.size(); ++i) {
    EXPECT_GE(page.positions[i], page.positions[i - 1]);
    EXPECT_TRUE(page.positions[i] == 0 || page.positions[i] == 25 || page.positions[i] == 75 ||
                page.positions[i] == 100)
        << page.positions[i];
  }
  EXPECT_GE(page.pumps, 3);
}

TEST_F(FileCopyTest, EmptyFilesStillEndTheBarAndAnEmptyFolderLeavesItAtZero) {
  for (const wchar_t* name : {L"Distribution\\Empty\\1.txt", L"Distribution\\Empty\\2.txt",
                              L"Distribution\\Empty\\3.txt"}) {
    PutText(At(name), "");
  }
  RecordingPage files_page;
  vo::CopyFolder(CopyMode::kAlwaysOverwrite, files_page, At(L"Distribution\\Empty\\"), At(L"Target\\"), nullptr,
                 Environment());
  EXPECT_EQ(files_page.positions, (std::vector<int>{0, 33, 66, 100}));

  MakeFolder(At(L"Distribution\\Nothing"));
  for (const VoString& folder : {At(L"Distribution\\Nothing\\"), At(L"Distribution\\Missing\\")}) {
    RecordingPage page;
    vo::CopyFolder(CopyMode::kCheckVersion, page, folder, At(L"Target2\\"), nullptr, Environment());
    EXPECT_EQ(page.ranges, std::vector<int>{100});
    EXPECT_EQ(page.positions, std::vector<int>{0});
  }
}

TEST(CopyProgressTest, BytesCountAndNothingDividesByZero) {
  struct Case {
    uint64_t done, total;
    size_t files_done, file_count;
    int expected;
  } cases[] = {
      {0, 400, 0, 3, 0},
      {100, 400, 1, 3, 25},
      {400, 400, 3, 3, 100},
      {1, 3, 1, 2, 33},
      // Sizes past 4 GB and up to where a product with 100 would overflow.
      {uint64_t{3} << 32, uint64_t{4} << 32, 1, 2, 75},
      {uint64_t{1} << 62, uint64_t{1} << 63, 1, 2, 50},
      // No bytes at all: the files count.
      {0, 0, 0, 3, 0},
      {0, 0, 2, 3, 66},
      {0, 0, 3, 3, 100},
      {0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vo::CopyProgress(c.done, c.total, c.files_done, c.file_count), c.expected)
        << c.done << "/" << c.total;
  }
}

TEST(CopyEnvironmentTest, TheMachineGivesBothSystemFoldersAndTheFontFolder) {
  const vo::CopyEnvironment machine = vo::CopyEnvironment::System();
  EXPECT_TRUE(machine.is_windows_64bit());
  EXPECT_EQ(machine.system_folder(0), vo::GetSystemFolder());
  const VoString thirty_two = machine.system_folder(1);
  ASSERT_FALSE(thirty_two.IsEmpty());
  EXPECT_FALSE(vo::EqualsNoCase(thirty_two.View(), machine.system_folder(0).View()));
  EXPECT_TRUE(thirty_two.EndsWith(L'\\'));
  EXPECT_EQ(machine.fonts_folder(), vo::GetFontsFolder());
  EXPECT_EQ(machine.source_folder(), vo::InstallerFolder());
}

}  // namespace

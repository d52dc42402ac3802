// Session queries against real folders and files: support files, package
// lists, the downgrade test with built programs' version blocks, and the
// install folder published in the process information record.

#include "app/session_queries.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/session.h"
#include "foundation/win/known_folders.h"
#include "foundation/win/process_info_record.h"
#include "program_folder_fixture.h"
#include "support/fake_tools.h"

namespace {

class SessionQueriesTest : public testing::Test {
 protected:
  SessionQueriesTest() : root_(L"SessionQueries") { Session() = InstallSession{}; }
  ~SessionQueriesTest() override { Session() = InstallSession{}; }

  VoString Folder(const wchar_t* relative) {
    const VoString folder = root_.Path() + relative;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
  }

  TempTestFolder root_;
};

TEST_F(SessionQueriesTest, FindsSupportFilesInFolderOrder) {
  EXPECT_TRUE(vo::FindSupportFile(VoString(L"x.dat"), false).IsEmpty());  // no folders

  const VoString first = Folder(L"First\\"), second = Folder(L"Second\\");
  Session().SupportFolders = VoStringArray({first, second});
  root_.AddFile(L"Second\\only.dat");
  root_.AddFile(L"First\\both.dat");
  root_.AddFile(L"Second\\both.dat");

  EXPECT_EQ(vo::FindSupportFile(VoString(L"only.dat"), true), second + L"only.dat");
  EXPECT_EQ(vo::FindSupportFile(VoString(L"only.dat"), false), first + L"only.dat");
  EXPECT_EQ(vo::FindSupportFile(VoString(L"both.dat"), true), first + L"both.dat");
  EXPECT_TRUE(vo::FindSupportFile(VoString(L"none.dat"), true).IsEmpty());
  Folder(L"Second\\folder.dat");
  EXPECT_TRUE(vo::FindSupportFile(VoString(L"folder.dat"), true).IsEmpty());  // a folder is no file
}

TEST_F(SessionQueriesTest, ListsPackagesOfEverySupportFolderAndItsSubFolders) {
  const VoString first = Folder(L"First\\"), second = Folder(L"Second\\");
  Folder(L"First\\Sub\\");
  Folder(L"First\\Sub\\Deeper\\");
  Folder(L"First\\Dir.kvp\\");
  root_.AddFile(L"First\\a.kvp");
  root_.AddFile(L"First\\Sub\\b.KVP");
  root_.AddFile(L"First\\Sub\\Deeper\\c.kvp");
  root_.AddFile(L"First\\d.kvpx");
  root_.AddFile(L"First\\e.txt");
  root_.AddFile(L"Second\\f.kvp");
  Session().SupportFolders = VoStringArray({first, root_.Path() + L"Missing\\", second});

  VoStringArray packages({VoString(L"stale")});
  vo::ListSupportPackages(packages);
  ASSERT_EQ(packages.GetCount(), 4u);
  // Within a folder the search decides the order; folders come in turn.
  std::vector<VoString> from_first(packages.begin(), packages.begin() + 3);
  std::sort(from_first.begin(), from_first.end());
  EXPECT_EQ(from_first, (std::vector<VoString>{first + L"Sub\\Deeper\\c.kvp", first + L"Sub\\b.KVP", first + L"a.kvp"}));
  EXPECT_EQ(packages[3], second + L"f.kvp");
}

TEST_F(SessionQueriesTest, DowngradeComparesTheMainProgramsFileVersions) {
  FakeTools tools;
  tools.product.main_program = VoString(L"Main.exe");
  const VoString kit = Folder(L"Kit\\"), installed = Folder(L"Installed\\");
  Folder(L"Kit\\Kelvane\\");
  ProcessPathOverride installer(ProcessPath::kExecutable, kit + L"setup.exe");
  ProgramFolderOverride program(installed);
  const VoString versioned = vo::GetExecutableFolder() + L"exit_with.exe";   // 1.2.3.4
  const VoString unversioned = vo::GetExecutableFolder() + L"sleep_forever.exe";  // no version block

  struct Case {
    bool allow_downgrade, earlier_found;
    const VoString* installed;  // null: no installed copy
    const VoString* offered;
    bool downgrade;
  };
  const Case cases[] = {
      {true, true, &versioned, &versioned, false},
      {false, false, &versioned, &versioned, false},
      {false, true, &versioned, &versioned, true},  // the same version counts
      {false, true, &unversioned, &versioned, false},
      {false, true, &versioned, &unversioned, true},
      {false, true, nullptr, &versioned, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    DeleteFileW((installed + L"Main.exe").c_str());
    if (c.installed) {
      ASSERT_TRUE(CopyFileW(c.installed->c_str(), (installed + L"Main.exe").c_str(), FALSE));
    }
    ASSERT_TRUE(CopyFileW(c.offered->c_str(), (kit + L"Kelvane\\Main.exe").c_str(), FALSE));
    Session().AllowDowngrade = c.allow_downgrade;
    Session().EarlierInstallFound = c.earlier_found;
    EXPECT_EQ(vo::IsDowngrade(), c.downgrade);
  }
}

TEST_F(SessionQueriesTest, PublishesTheInstallDirectoryInTheRecord) {
  ProcessPathOverride keep(ProcessPath::kInstallFolder, VoString(L"C:\\Kit\\Kelvane\\"));
  Session().InstallDirectory = VoString(L"C:\\Program Files\\Halvora 23\\");
  EXPECT_TRUE(vo::ApplyInstallDirectory());
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kInstallFolder), L"C:\\Program Files\\Halvora 23\\");

  Session().InstallDirectory = VoString(300, L'x');  // does not fit the record
  EXPECT_FALSE(vo::ApplyInstallDirectory());
  EXPECT_EQ(vo::GetProcessPath(ProcessPath::kInstallFolder), L"C:\\Program Files\\Halvora 23\\");
}

}  // namespace

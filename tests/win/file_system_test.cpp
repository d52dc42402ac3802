#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/text_file.h"
#include "foundation/win/file_system.h"
#include "foundation/win/process_info_record.h"
#include "support/fake_tools.h"
#include "win/scratch_folder.h"

namespace {

using FileSystem = ScratchFolder;

TEST_F(FileSystem, ExistenceAndSize) {
  Write(At(L"five.txt"), "12345");
  Write(At(L"empty.txt"), "");
  MakeFolder(At(L"folder"));
  struct Case {
    VoString path;
    bool file, folder;
    int64_t size;
  } cases[] = {
      {At(L"five.txt"), true, false, 5},
      {At(L"EMPTY.TXT"), true, false, 0},
      {At(L"folder"), false, true, 0},
      {At(L"folder\\"), false, true, 0},
      {At(L"missing.txt"), false, false, -1},
      {At(L"*.txt"), false, false, -1},
      {L"", false, false, -1},
      {L"http://localhost/five.txt", false, false, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vo::FileExists(c.path), c.file) << c.path.ToUtf8();
    EXPECT_EQ(vo::FolderExists(c.path), c.folder) << c.path.ToUtf8();
    EXPECT_EQ(vo::FileSize(c.path), c.size) << c.path.ToUtf8();
  }
}

TEST_F(FileSystem, ForceDeleteFileClearsReadOnly) {
  const VoString path = At(L"locked.txt");
  Write(path, "x");
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(vo::ForceDeleteFile(path));
  EXPECT_FALSE(vo::FileExists(path));
  EXPECT_FALSE(vo::ForceDeleteFile(path));
  EXPECT_FALSE(vo::ForceDeleteFile(L""));
}

TEST_F(FileSystem, CreateFolderTree) {
  Write(At(L"file.txt"), "x");
  MakeFolder(At(L"exists"));
  struct Case {
    VoString path;
    bool verify, created;
  } cases[] = {
      {At(L"a\\b\\c"), false, true},
      {At(L"d\\e\\f\\"), true, true},
      {At(L"exists\\"), true, true},
      {L"\\\\?\\" + At(L"long\\prefixed"), false, true},
      {At(L"file.txt\\sub"), false, false},
      {L"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vo::CreateFolderTree(c.path, c.verify), c.created) << c.path.ToUtf8();
    if (c.created) {
      EXPECT_TRUE(vo::FolderExists(c.path)) << c.path.ToUtf8();
    }
  }
}

TEST_F(FileSystem, IsFolderWritable) {
  EXPECT_TRUE(vo::IsFolderWritable(dir_));
  EXPECT_TRUE(vo::IsFolderWritable(At(L"")));
  EXPECT_FALSE(vo::IsFolderWritable(At(L"missing\\")));
  // The write test leaves nothing behind.
  EXPECT_TRUE(vo::IsFolderEmpty(dir_, false, true, true));
}

TEST_F(FileSystem, IsFolderEmpty) {
  MakeFolder(At(L"empty"));
  MakeFolder(At(L"thumbs"));
  Write(At(L"thumbs\\Thumbs.db"), "x");
  Write(At(L"thumbs\\THUMBS.DB"), "x");  // no-op on a case-blind file system
  MakeFolder(At(L"file"));
  Write(At(L"file\\a.txt"), "x");
  MakeFolder(At(L"nested"));
  MakeFolder(At(L"nested\\inner"));
  Write(At(L"nested\\inner\\Thumbs.db"), "x");
  MakeFolder(At(L"deep"));
  MakeFolder(At(L"deep\\inner"));
  Write(At(L"deep\\inner\\a.txt"), "x");

  struct Case {
    const wchar_t* folder;
    bool unreadable_answer, recurse, stop_at_subfolder, empty;
  } cases[] = {
      {L"empty", false, false, false, true},
      {L"thumbs", false, false, false, true},
      {L"file", true, true, false, false},
      {L"nested", false, true, false, true},
      {L"nested", false, false, false, true},
      {L"nested", false, false, true, false},
      {L"deep", false, true, false, false},
      {L"deep", false, false, false, true},
      {L"missing", true, true, false, true},
      {L"missing", false, true, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vo::IsFolderEmpty(At(c.folder), c.unreadable_answer, c.recurse, c.stop_at_subfolder), c.empty)
        << c.folder << " recurse " << c.recurse << " stop " << c.stop_at_subfolder;
  }
}

TEST(FileSystemRecord, ExpandInstallDriveUsesTheProgramFolder) {
  const VoString saved = vo::GetProcessPath(ProcessPath::kProgramFolder);
  ASSERT_TRUE(vo::SetProcessPath(ProcessPath::kProgramFolder, L"Q:\\Programs\\Halvora\\"));
  EXPECT_EQ(vo::ExpandInstallDrive(VoString(L"(Install Drive):\\Media\\")), L"Q:\\Media\\");
  EXPECT_EQ(vo::ExpandInstallDrive(VoString(L"C:\\Media\\")), L"C:\\Media\\");
  EXPECT_TRUE(vo::SetProcessPath(ProcessPath::kProgramFolder, saved));
}

TEST_F(FileSystem, MakeUniqueName) {
  EXPECT_EQ(vo::MakeUniqueName(At(L"free.txt")), At(L"free.txt"));
  Write(At(L"taken.txt"), "x");
  EXPECT_EQ(vo::MakeUniqueName(At(L"taken.txt")), At(L"taken (1).txt"));
  Write(At(L"taken (1).txt"), "x");
  MakeFolder(At(L"taken (2).txt"));  // a folder blocks the name too
  EXPECT_EQ(vo::MakeUniqueName(At(L"taken.txt")), At(L"taken (3).txt"));
}

// Everything left in the test's folder, for checking that no backup stays.
std::vector<std::wstring> Entries(const VoString& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (data.cFileName[0] != L'.') names.push_back(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

TEST_F(FileSystem, SafeReplaceFile) {
  FakeTools tools;
  const VoString target = At(L"target.txt"), fresh = At(L"fresh.tmp");

  // No target yet: the new file just moves into place.
  Write(fresh, "new 1");
  EXPECT_TRUE(VoFileSystem::SafeReplaceFile(target, fresh));
  EXPECT_EQ(Read(target), "new 1");

  // A target and an unrelated file of the first backup name: the backup
  // takes the next free name and goes away, the unrelated file stays.
  Write(At(L"target (1).txt"), "unrelated");
  Write(fresh, "new 2");
  EXPECT_TRUE(VoFileSystem::SafeReplaceFile(target, fresh));
  EXPECT_EQ(Read(target), "new 2");
  EXPECT_EQ(Read(At(L"target (1).txt")), "unrelated");
  EXPECT_EQ(Entries(dir_), (std::vector<std::wstring>{L"target (1).txt", L"target.txt"}));

  // No new file: nothing changes.
  EXPECT_FALSE(VoFileSystem::SafeReplaceFile(target, fresh));
  EXPECT_EQ(Read(target), "new 2");
  EXPECT_TRUE(tools.LogTexts(L"VoFileSystem::SafeReplaceFile").empty());
}

TEST_F(FileSystem, SafeReplaceFileOfATargetInUse) {
  FakeTools tools;
  const VoString target = At(L"target.txt"), fresh = At(L"fresh.tmp");
  Write(target, "old");
  Write(fresh, "new");
  {
    InUse held(target);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_FALSE(VoFileSystem::SafeReplaceFile(target, fresh));
  }
  EXPECT_EQ(Read(target), "old");
  EXPECT_FALSE(vo::FileExists(fresh));
  EXPECT_EQ(Entries(dir_), std::vector<std::wstring>{L"target.txt"});
  EXPECT_EQ(tools.LogTexts(L"VoFileSystem::SafeReplaceFile"), std::vector<VoString>{L"Error renaming original file"});
}

TEST_F(FileSystem, SafeReplaceFileBringsTheOriginalBack) {
  FakeTools tools;
  const VoString target = At(L"target.txt"), fresh = At(L"fresh.tmp");
  Write(target, "old");
  Write(fresh, "new");
  {
    // The new file cannot move while it is held open: the original must
    // return to its name.
    InUse held(fresh);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_FALSE(VoFileSystem::SafeReplaceFile(target, fresh));
  }
  EXPECT_EQ(Read(target), "old");
  EXPECT_FALSE(vo::FileExists(At(L"target (1).txt")));
  EXPECT_EQ(tools.LogTexts(L"VoFileSystem::SafeReplaceFile"),
            std::vector<VoString>{L"Error moving new file into place of original name"});
}

TEST_F(FileSystem, AnsiTextFiles) {
  // The code page's own characters survive; others become "?".
  if (GetACP() != 1252) GTEST_SKIP() << "prefix code page " << GetACP();
  const VoString path = At(L"ansi.txt");
  ASSERT_TRUE(vo::WriteTextFile(path, L"caf\u00E9 \u4E2D", vo::kTextAnsi));
  EXPECT_EQ(Read(path), "caf\xE9 ?");
  for (int mode : {vo::kTextAnsi, vo::kTextDetect}) {
    VoString text;
    ASSERT_TRUE(vo::ReadTextFile(path, mode, text));
    EXPECT_EQ(text, L"caf\u00E9 ?") << mode;
  }
}

}  // namespace

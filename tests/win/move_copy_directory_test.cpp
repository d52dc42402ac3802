#include <gtest/gtest.h>

#include <string>

#include "foundation/win/file_system.h"
#include "foundation/win/move_copy_directory.h"
#include "win/scratch_folder.h"

namespace {

class MoveCopyDirectory : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    MakeFolder(At(L"src"));
    Write(At(L"src\\a.txt"), "a");
    MakeFolder(At(L"src\\sub"));
    Write(At(L"src\\sub\\b.txt"), "b");
    MakeFolder(At(L"src\\sub\\deep"));
    Write(At(L"src\\sub\\deep\\c.txt"), "c");
    MakeFolder(At(L"src\\empty"));
  }

  static constexpr const wchar_t* kTree[] = {L"a.txt", L"sub\\b.txt", L"sub\\deep\\c.txt"};
};

TEST_F(MoveCopyDirectory, CopiesAndMovesTheTree) {
  for (bool move : {false, true}) {
    const VoString target = At(move ? L"moved" : L"copied");
    VoMoveCopyDirectory job;
    ASSERT_TRUE(job.AddFolder(At(L"src"), target, true));
    // The folder comes before its files, its files before its sub-folders.
    ASSERT_GE(job.Items().GetCount(), 2u);
    EXPECT_EQ(job.Items()[0].kind, VoMoveCopyDirectory::kFolder);
    EXPECT_EQ(job.Items()[0].destination, target + L"\\");
    EXPECT_EQ(job.Items()[1].kind, VoMoveCopyDirectory::kFile);
    EXPECT_EQ(job.Items()[1].source, At(L"src\\a.txt"));
    EXPECT_EQ(job.Items()[1].destination, target + L"\\a.txt");

    EXPECT_TRUE(job.Execute(move)) << move;
    for (const wchar_t* name : kTree) {
      EXPECT_EQ(Read(target + L"\\" + name), std::string(1, name[wcslen(name) - 5])) << name;
      EXPECT_EQ(vo::FileExists(At(L"src\\") + name), !move) << name;
    }
    EXPECT_TRUE(vo::FolderExists(target + L"\\empty"));
    EXPECT_EQ(vo::FolderExists(At(L"src")), !move);
    for (const auto& item : job.Items()) EXPECT_TRUE(item.done) << item.source.ToUtf8();
    // It runs once.
    EXPECT_FALSE(job.Execute(move));
  }
}

TEST_F(MoveCopyDirectory, WithoutRecursionOnlyTheTopFiles) {
  VoMoveCopyDirectory job;
  ASSERT_TRUE(job.AddFolder(At(L"src\\"), At(L"dest\\"), false));
  EXPECT_TRUE(job.Execute(true));
  EXPECT_EQ(Read(At(L"dest\\a.txt")), "a");
  EXPECT_FALSE(vo::FolderExists(At(L"dest\\sub")));
  // The source folder still holds its sub-folders, so it stays.
  EXPECT_FALSE(vo::FileExists(At(L"src\\a.txt")));
  EXPECT_TRUE(vo::FileExists(At(L"src\\sub\\b.txt")));
}

TEST_F(MoveCopyDirectory, OverwritesExistingFiles) {
  MakeFolder(At(L"dest"));
  Write(At(L"dest\\a.txt"), "old");
  Write(At(L"dest\\other.txt"), "kept");
  VoMoveCopyDirectory job;
  ASSERT_TRUE(job.AddFolder(At(L"src"), At(L"dest"), true));
  EXPECT_TRUE(job.Execute(false));
  EXPECT_EQ(Read(At(L"dest\\a.txt")), "a");
  EXPECT_EQ(Read(At(L"dest\\other.txt")), "kept");
}

TEST_F(MoveCopyDirectory, AMoveKeepsWhatCouldNotBeCopied) {
  VoMoveCopyDirectory job;
  ASSERT_TRUE(job.AddFolder(At(L"src"), At(L"dest"), true));
  {
    InUse held(At(L"src\\sub\\b.txt"));
    ASSERT_TRUE(held.IsOpen());
    EXPECT_FALSE(job.Execute(true));
  }
  EXPECT_EQ(Read(At(L"src\\sub\\b.txt")), "b");
  EXPECT_FALSE(vo::FileExists(At(L"dest\\sub\\b.txt")));
  EXPECT_FALSE(vo::FileExists(At(L"src\\a.txt")));
  EXPECT_FALSE(vo::FileExists(At(L"src\\sub\\deep\\c.txt")));
  EXPECT_EQ(Read(At(L"dest\\sub\\deep\\c.txt")), "c");
}

TEST_F(MoveCopyDirectory, AMoveKeepsSourcesThatReceivedCopies) {
  // Two folders moved in a chain: "stage" receives the copies from "deep"
  // and is itself moved on. Its files now hold copied data and must stay.
  MakeFolder(At(L"stage"));
  Write(At(L"stage\\c.txt"), "old");
  VoMoveCopyDirectory job;
  ASSERT_TRUE(job.AddFolder(At(L"src\\sub\\deep"), At(L"stage"), true));
  ASSERT_TRUE(job.AddFolder(At(L"stage"), At(L"final"), true));
  EXPECT_TRUE(job.Execute(true));
  EXPECT_EQ(Read(At(L"stage\\c.txt")), "c");
  EXPECT_EQ(Read(At(L"final\\c.txt")), "c");
  EXPECT_FALSE(vo::FolderExists(At(L"src\\sub\\deep")));
}

TEST_F(MoveCopyDirectory, AnUnreadableSourceRecordsNothing) {
  VoMoveCopyDirectory job;
  EXPECT_FALSE(job.AddFolder(At(L"missing"), At(L"dest"), true));
  EXPECT_TRUE(job.Items().IsEmpty());
}

}  // namespace

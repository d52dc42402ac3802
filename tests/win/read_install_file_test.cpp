// Install.xml read from real files: beside the installer or one folder
// above it, with relative folders that exist or not.

#include "app/read_install_file.h"

#include <gtest/gtest.h>

#include "app/session.h"
#include "program_folder_fixture.h"

namespace {

constexpr char kSupportAndNoDowngrade[] =
    "<VoIC version=\"1.0\"><Settings><SupportFiles>Extra</SupportFiles><AllowDowngrade>0</AllowDowngrade>"
    "<BundledMedia>Missing</BundledMedia></Settings></VoIC>";
constexpr char kMediaOnly[] = "<VoIC version=\"1\"><Settings><BundledMedia>Media</BundledMedia></Settings></VoIC>";

// A distribution folder "Kit\" holding the installer, inside the test folder.
class ReadInstallFileTest : public testing::Test {
 protected:
  ReadInstallFileTest() : root_(L"ReadInstallFile"), kit_(root_.Path() + L"Kit\\"), installer_(ProcessPath::kExecutable, kit_ + L"setup.exe") {
    CreateDirectoryW(kit_.c_str(), nullptr);
    Session() = InstallSession{};
  }
  ~ReadInstallFileTest() override { Session() = InstallSession{}; }

  void AddFolder(const wchar_t* relative) { CreateDirectoryW((root_.Path() + relative).c_str(), nullptr); }

  TempTestFolder root_;
  VoString kit_;
  ProcessPathOverride installer_;
};

TEST_F(ReadInstallFileTest, FileBesideTheInstallerWinsAndResolvesAgainstItsFolder) {
  root_.AddFile(L"Kit\\Install.xml", kSupportAndNoDowngrade);
  root_.AddFile(L"Install.xml", kMediaOnly);
  AddFolder(L"Kit\\Extra");
  AddFolder(L"Extra");
  AddFolder(L"Kit\\Media");
  AddFolder(L"Media");

  EXPECT_TRUE(vo::ReadInstallFile());
  const InstallSession& session = Session();
  EXPECT_EQ(session.SupportFolders, VoStringArray({kit_ + L"Support\\", kit_ + L"Extra\\"}));
  EXPECT_EQ(session.LibraryFolder, kit_ + L"Library\\");
  EXPECT_FALSE(session.AllowDowngrade);
  EXPECT_TRUE(session.ShippedMediaFolder.IsEmpty());  // "Missing" does not exist; the parent's file is not read
}

TEST_F(ReadInstallFileTest, ParentsFileResolvesAgainstTheParentFolder) {
  root_.AddFile(L"Install.xml", kSupportAndNoDowngrade);
  AddFolder(L"Kit\\Extra");
  AddFolder(L"Extra");

  EXPECT_TRUE(vo::ReadInstallFile());
  EXPECT_EQ(Session().SupportFolders, VoStringArray({kit_ + L"Support\\", root_.Path() + L"Extra\\"}));
  EXPECT_FALSE(Session().AllowDowngrade);
}

TEST_F(ReadInstallFileTest, RelativeFolderThatDoesNotExistIsLeftOut) {
  root_.AddFile(L"Install.xml", kMediaOnly);
  EXPECT_TRUE(vo::ReadInstallFile());
  EXPECT_TRUE(Session().ShippedMediaFolder.IsEmpty());

  Session() = InstallSession{};
  AddFolder(L"Media");
  EXPECT_TRUE(vo::ReadInstallFile());
  EXPECT_EQ(Session().ShippedMediaFolder, root_.Path() + L"Media\\");
}

TEST_F(ReadInstallFileTest, MissingOrBrokenFileKeepsTheDefaults) {
  EXPECT_TRUE(vo::ReadInstallFile());  // no file at all
  EXPECT_EQ(Session().SupportFolders, VoStringArray({kit_ + L"Support\\"}));
  EXPECT_EQ(Session().LibraryFolder, kit_ + L"Library\\");
  EXPECT_TRUE(Session().AllowDowngrade);

  // A broken file beside the installer is not replaced by the parent's.
  Session() = InstallSession{};
  root_.AddFile(L"Kit\\Install.xml", "<VoIC version=\"1\"><Settings><AllowDowngrade>0</AllowDowngrade></Settings>");
  root_.AddFile(L"Install.xml", kSupportAndNoDowngrade);
  EXPECT_TRUE(vo::ReadInstallFile());
  EXPECT_TRUE(Session().AllowDowngrade);
  EXPECT_EQ(Session().SupportFolders.GetCount(), 1u);
}

TEST_F(ReadInstallFileTest, FileSavedWithAByteOrderMarkIsRead) {
  root_.AddFile(L"Kit\\Install.xml", (std::string("\xEF\xBB\xBF") + kSupportAndNoDowngrade).c_str());
  EXPECT_TRUE(vo::ReadInstallFile());
  EXPECT_FALSE(Session().AllowDowngrade);
}

}  // namespace

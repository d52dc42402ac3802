#include "app/install_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

TEST(InstallFile, ResolvesFoldersAgainstTheFilesFolder) {
  struct Case {
    const wchar_t* base;
    const wchar_t* value;
    const wchar_t* folder;
  };
  const Case cases[] = {
      {L"C:\\Setup\\", L"..\\Extra", L"C:\\Extra\\"},
      {L"C:\\Setup\\", L"Extra\\\\", L"C:\\Setup\\Extra\\"},
      {L"C:\\Setup\\", L".\\A\\.\\B\\..\\C", L"C:\\Setup\\A\\C\\"},
      {L"C:\\Setup\\", L"..\\..\\..\\X", L"C:\\X\\"},  // nothing above the drive
      {L"C:\\Setup\\Kit\\..\\", L"Extra", L"C:\\Setup\\Extra\\"},
      {L"C:\\Setup\\", L"E:\\Media", L"E:\\Media\\"},
      {L"C:\\Setup\\", L"\\\\server\\share\\x", L"\\\\server\\share\\x\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.value).ToUtf8());
    EXPECT_EQ(vo::ResolveInstallFolder(c.base, c.value), c.folder);
  }
}

// The session after applying `xml` from "C:\Setup\", with the given
// folders existing and the installer's own support folder already listed.
struct Applied {
  bool read = false;
  InstallSession session;
  std::vector<VoString> asked;  // folders whose existence was asked, in order
};

Applied Apply(const wchar_t* xml, std::set<std::wstring> existing, bool allow_downgrade = true) {
  Applied applied;
  applied.session.SupportFolders.Add(VoString(L"C:\\Kit\\Support\\"));
  applied.session.AllowDowngrade = allow_downgrade;
  XmlDocument document{VoString(xml)};
  applied.read = vo::ApplyInstallDocument(
      document, L"C:\\Setup\\",
      [&](const VoString& folder) {
        applied.asked.push_back(folder);
        return existing.count(folder.Std()) != 0;
      },
      applied.session);
  return applied;
}

TEST(InstallFile, CountsOnlyAVoicRootOfVersionOneOrMore) {
  struct Case {
    const wchar_t* xml;
    bool read;
  };
  const Case cases[] = {
      {L"<vOiC version=\"1\"><Settings><AllowDowngrade>0</AllowDowngrade></Settings></vOiC>", true},
      {L"<VoIC version=\"1,5\"><settings><allowdowngrade>0</allowdowngrade></settings></VoIC>", true},
      {L"<VoIC version=\" +2\"><Settings><AllowDowngrade>0</AllowDowngrade></Settings></VoIC>", true},
      {L"<VoIC version=\"0.9\"><Settings><AllowDowngrade>0</AllowDowngrade></Settings></VoIC>", false},
      {L"<VoIC><Settings><AllowDowngrade>0</AllowDowngrade></Settings></VoIC>", false},
      {L"<VoIC version=\"x1\"><Settings><AllowDowngrade>0</AllowDowngrade></Settings></VoIC>", false},
      {L"<Install version=\"1\"><Settings><AllowDowngrade>0</AllowDowngrade></Settings></Install>", false},
      {L"<VoIC version=\"1\"><AllowDowngrade>0</AllowDowngrade></VoIC>", false},  // no Settings
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.xml).ToUtf8());
    const Applied applied = Apply(c.xml, {});
    EXPECT_EQ(applied.read, c.read);
    EXPECT_EQ(applied.session.AllowDowngrade, !c.read);
  }
}

TEST(InstallFile, AllowDowngradeIsAnIntegerAndEmptyKeepsTheDefault) {
  struct Case {
    const wchar_t* content;
    bool before;
    bool after;
  };
  const Case cases[] = {
      {L"<AllowDowngrade>0</AllowDowngrade>", true, false},
      {L"<AllowDowngrade> 12abc</AllowDowngrade>", false, true},
      {L"<AllowDowngrade>-3</AllowDowngrade>", false, true},
      {L"<AllowDowngrade>abc</AllowDowngrade>", true, false},
      {L"<AllowDowngrade></AllowDowngrade>", true, true},
      {L"<AllowDowngrade/>", false, false},
      {L"", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.content).ToUtf8());
    const std::wstring xml = std::wstring(L"<VoIC version=\"1.0\"><Settings>") + c.content + L"</Settings></VoIC>";
    EXPECT_EQ(Apply(xml.c_str(), {}, c.before).session.AllowDowngrade, c.after);
  }
}

TEST(InstallFile, FoldersCountOnlyWhenTheyExist) {
  const wchar_t* xml =
      L"<VoIC version=\"1\"><Settings><SupportFiles>..\\Extra</SupportFiles>"
      L"<BundledMedia>Media</BundledMedia></Settings></VoIC>";
  const Applied missing = Apply(xml, {});
  EXPECT_TRUE(missing.read);
  EXPECT_EQ(missing.session.SupportFolders, VoStringArray({VoString(L"C:\\Kit\\Support\\")}));
  EXPECT_TRUE(missing.session.ShippedMediaFolder.IsEmpty());
  // Read in the order SupportFiles, then BundledMedia.
  EXPECT_EQ(missing.asked, (std::vector<VoString>{VoString(L"C:\\Extra\\"), VoString(L"C:\\Setup\\Media\\")}));

  const Applied present = Apply(xml, {L"C:\\Extra\\", L"C:\\Setup\\Media\\"});
  EXPECT_EQ(present.session.SupportFolders, VoStringArray({VoString(L"C:\\Kit\\Support\\"), VoString(L"C:\\Extra\\")}));
  EXPECT_EQ(present.session.ShippedMediaFolder, L"C:\\Setup\\Media\\");
  EXPECT_TRUE(present.session.AllowDowngrade);
}

TEST(InstallFile, EmptyValuesAskNothingAndOnlyTheFirstSettingsCount) {
  const Applied empty = Apply(
      L"<VoIC version=\"1\"><Settings><SupportFiles/><BundledMedia></BundledMedia></Settings></VoIC>", {L"C:\\Setup\\"});
  EXPECT_TRUE(empty.asked.empty());
  EXPECT_EQ(empty.session.SupportFolders.GetCount(), 1u);

  const Applied twice = Apply(
      L"<VoIC version=\"1\"><Other><BundledMedia>Lost</BundledMedia></Other><Settings><AllowDowngrade>0</AllowDowngrade></Settings>"
      L"<Settings><BundledMedia>Media</BundledMedia></Settings></VoIC>",
      {L"C:\\Setup\\Media\\", L"C:\\Setup\\Lost\\"});
  EXPECT_FALSE(twice.session.AllowDowngrade);
  EXPECT_TRUE(twice.session.ShippedMediaFolder.IsEmpty());
  EXPECT_TRUE(twice.asked.empty());
}

}  // namespace

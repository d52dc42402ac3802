// The association writer against the prefix's real registry: extensions with
// their backups and restore, MIME entries, Explorer's per-user choice,
// protocols, disc handlers and Default Programs. Every test uses extensions,
// protocols and a product name of its own and removes them afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include "assoc/association_writer.h"
#include "assoc/shared_file_type_catalogue.h"
#include "support/fake_tools.h"
#include "foundation/win/known_folders.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "registry_text_values.h"

namespace {

constexpr wchar_t kStem[] = L"HalvoraAssocTest";
constexpr wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr wchar_t kMime[] = L"Mime\\Database\\Content Type\\";
constexpr wchar_t kClient[] = L"Software\\Clients\\Media\\HalvoraAssocTest";

constexpr char kCatalogue[] = R"(<KVFA version="1.0">
  <DescriptionTypes><Audio>Test Audio (voat)</Audio></DescriptionTypes>
  <KVTypes>voat;voau</KVTypes>
  <MimeAssociations><Audio Name="voat">audio/x-voat;audio/x-voat-b</Audio></MimeAssociations>
</KVFA>)";

class AssociationWriterTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    RemoveEverything();
    tools_.registry = &registry_;
    tools_.product.names[0] = kStem;
    tools_.product.names[1] = VoString(L"Halvora Assoc Test");
    tools_.product.own_extension = VoString(L"voown");
    data_.AddFile(VoString(L"Application Data\\Default Resources\\FileAssociations.xml"), kCatalogue);
    vo::ForgetSharedFileTypeCatalogue();
  }
  void TearDown() override {
    RemoveEverything();
    vo::ForgetSharedFileTypeCatalogue();
    RegistryTestArea::TearDown();
  }

  static void RemoveEverything() {
    for (const wchar_t* key : {L".voat", L".voau", L".voown", L"voattest", L"bluraydisc\\shell\\play"}) {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
      RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
    }
    for (const wchar_t* type : {L"audio/x-voat", L"audio/x-voat-b"}) {
      RegDeleteKeyW(HKEY_CLASSES_ROOT, (VoString(kMime) + type).c_str());
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, (VoString(kFileExts) + L".voat").c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, (VoString(kFileExts) + L".voat").c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClient);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kClient);
    HKEY registered = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\RegisteredApplications", 0, KEY_SET_VALUE, &registered) ==
        ERROR_SUCCESS) {
      RegDeleteValueW(registered, kStem);
      RegCloseKey(registered);
    }
  }

  // A text value, "<none>" when it is not there.
  static VoString Text(HKEY root, const VoString& key, const wchar_t* value) {
    const auto values = ReadTextValues(root, key);
    const auto found = values.find(VoString(value));
    return found == values.end() ? VoString(L"<none>") : found->second;
  }
  static void Set(HKEY root, const VoString& key, const wchar_t* value, const VoString& text) {
    RegSetKeyValueW(root, key.c_str(), value, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.Length() + 1) * sizeof(wchar_t)));
  }
  // In name order.
  static std::vector<VoString> ValueNames(HKEY root, const VoString& key) {
    std::vector<VoString> names;
    for (const auto& [name, text] : ReadTextValues(root, key)) names.push_back(name);
    return names;
  }

  FakeTools tools_;
  TempTestFolder data_{L"association-writer"};
  ProgramFolderOverride program_{data_.Path()};
};

TEST_F(AssociationWriterTest, AssociatingTwiceKeepsTheFirstBackupAndRestoreBringsItBack) {
  Set(HKEY_CLASSES_ROOT, L".voat", L"", L"OtherPlayer.voat");
  Set(HKEY_CLASSES_ROOT, L".voat", L"PerceivedType", L"audio");
  Set(HKEY_CLASSES_ROOT, L".voat", L"Content Type", L"audio/x-voat");
  Set(HKEY_CLASSES_ROOT, VoString(kMime) + L"audio/x-voat", L"Extension", L".other");
  {
    AssociationWriter writer;
    writer.AssociateExtension(VoString(L"voat"), true);
    writer.AssociateExtension(VoString(L".voat"), true);
  }
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voat", L""), L"HalvoraAssocTest.File");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voat", L"PerceivedType"), L"");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voat", L"HalvoraAssocTest.Default.BAK"), L"OtherPlayer.voat");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voat", L"HalvoraAssocTest.PerceivedType.BAK"), L"audio");
  // The value name's space is not part of the backup's name.
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voat", L"HalvoraAssocTest.ContentType.BAK"), L"audio/x-voat");
  // Both MIME types of the catalogue's entry, the first with its backup.
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, VoString(kMime) + L"audio/x-voat", L"Extension"), L".voat");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, VoString(kMime) + L"audio/x-voat", L"HalvoraAssocTest.Extension.BAK"), L".other");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, VoString(kMime) + L"audio/x-voat-b", L"Extension"), L".voat");

  AssociationWriter().AssociateExtension(VoString(L"voat"), false);
  EXPECT_EQ(ValueNames(HKEY_CLASSES_ROOT, L".voat"), (std::vector<VoString>{L"", L"Content Type", L"PerceivedType"}));
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voat", L""), L"OtherPlayer.voat");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voat", L"PerceivedType"), L"audio");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voat", L"Content Type"), L"audio/x-voat");
  EXPECT_EQ(ValueNames(HKEY_CLASSES_ROOT, VoString(kMime) + L"audio/x-voat"), (std::vector<VoString>{L"Extension"}));
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, VoString(kMime) + L"audio/x-voat", L"Extension"), L".other");
  EXPECT_TRUE(ValueNames(HKEY_CLASSES_ROOT, VoString(kMime) + L"audio/x-voat-b").empty());
}

TEST_F(AssociationWriterTest, RestoringWithoutABackupRemovesTheProductsValues) {
  AssociationWriter().AssociateExtension(VoString(L"voau"), true);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voau", L""), L"HalvoraAssocTest.File");
  AssociationWriter().AssociateExtension(VoString(L"voau"), false);
  EXPECT_TRUE(ValueNames(HKEY_CLASSES_ROOT, L".voau").empty());

  // Another program's association is not the product's to restore.
  Set(HKEY_CLASSES_ROOT, L".voau", L"", L"OtherPlayer.voau");
  AssociationWriter().AssociateExtension(VoString(L"voau"), false);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".voau", L""), L"OtherPlayer.voau");
}

TEST_F(AssociationWriterTest, DatIsNeverAssociated) {
  const VoString before = Text(HKEY_CLASSES_ROOT, L".dat", L"");
  AssociationWriter().AssociateExtension(VoString(L"dat"), true);
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L".dat", L""), before);
}

TEST_F(AssociationWriterTest, ExplorersChoiceIsTakenOnlyWhereItExists) {
  const VoString choice = VoString(kFileExts) + L".voat";
  AssociationWriter().AssociateExtension(VoString(L"voau"), true);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, VoString(kFileExts) + L".voau", L"Progid"), L"<none>");

  Set(HKEY_CURRENT_USER, choice, L"Progid", L"OtherPlayer.voat");
  AssociationWriter().AssociateExtension(VoString(L"voat"), true);
  EXPECT_EQ(Text(HKEY_CURRENT_USER, choice, L"Progid"), L"HalvoraAssocTest.File");
  EXPECT_EQ(Text(HKEY_CURRENT_USER, choice, L"HalvoraAssocTest.Progid.BAK"), L"OtherPlayer.voat");
  AssociationWriter().AssociateExtension(VoString(L"voat"), false);
  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, choice), (std::vector<VoString>{L"Progid"}));
  EXPECT_EQ(Text(HKEY_CURRENT_USER, choice, L"Progid"), L"OtherPlayer.voat");
}

TEST_F(AssociationWriterTest, ProtocolsAndDiscsRunTheLauncher) {
  const VoString launcher = vo::GetSystemFolder() + L"Halvora Launcher.exe";
  Set(HKEY_CLASSES_ROOT, L"bluraydisc\\shell\\play\\command", L"", L"OldPlayer.exe %1");
  {
    AssociationWriter writer;
    writer.RegisterProtocol(VoString(L"voattest://"), VoString(L"/Protocol"));
    writer.RegisterDiscHandler(VoString(L"bluraydisc"), true);
    writer.RegisterDiscHandler(VoString(L"bluraydisc"), true);
  }
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"voattest", L""), L"URL: voattest Protocol");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"voattest", L"URL Protocol"), L"");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"voattest\\shell\\open\\command", L""),
            L"\"" + launcher + L"\" /Protocol \"%L\"");
  const VoString play = L"bluraydisc\\shell\\play\\command";
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, play, L""), L"\"" + launcher + L"\" /Bluray \"%L\"");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, play, L"FileAssoc.BAK"), L"OldPlayer.exe %1");

  AssociationWriter().RegisterDiscHandler(VoString(L"bluraydisc"), false);
  EXPECT_EQ(ValueNames(HKEY_CLASSES_ROOT, play), (std::vector<VoString>{L""}));
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, play, L""), L"OldPlayer.exe %1");
}

TEST_F(AssociationWriterTest, DefaultProgramsListWhatTheWriterAssociated) {
  Set(HKEY_LOCAL_MACHINE, VoString(kClient) + L"\\Capabilities\\FileAssociations", L".gone", L"HalvoraAssocTest.File");
  {
    AssociationWriter writer;
    writer.AssociateExtension(VoString(L"voat"), true);
    writer.RegisterProtocol(VoString(L"voattest"), VoString(L"/Protocol"));
    writer.RegisterDefaultPrograms();
  }
  const VoString capabilities = VoString(kClient) + L"\\Capabilities";
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kClient, L""), kStem);
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, VoString(kClient) + L"\\shell\\open\\command", L""),
            L"\"" + vo::GetSystemFolder() + L"Halvora Launcher.exe\"");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, capabilities, L"ApplicationName"), L"Halvora Assoc Test");
  EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, capabilities + L"\\FileAssociations"),
            (std::vector<VoString>{L".voat", L".voown"}));
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, capabilities + L"\\FileAssociations", L".voat"), L"HalvoraAssocTest.File");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, capabilities + L"\\FileAssociations", L".voown"), L"HalvoraAssocTest.Mime");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, capabilities + L"\\URLAssociations", L"voattest"), L"voattest");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, capabilities + L"\\MimeAssociations", L"audio/x-voat-b"),
            L"HalvoraAssocTest.File");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, L"Software\\RegisteredApplications", kStem), capabilities);
}

}  // namespace

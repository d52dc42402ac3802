// Applying registry template lines to the real registry, below a test key of
// HKEY_CURRENT_USER, and reading the result back.

#include "assoc/apply_registry_template.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "app/session.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "support/fake_tools.h"

namespace {

class ApplyRegistryTemplateTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    Session() = InstallSession{};
    Session().InstallDirectory = L"C:\\Program Files\\Halvora";
  }
  void TearDown() override {
    Session() = InstallSession{};
    RegistryTestArea::TearDown();
  }

  // A template for the current user whose keys lie in the test's area.
  void Apply(std::initializer_list<const wchar_t*> entries) {
    std::vector<VoString> lines = {VoString(L"HKEY_CURRENT_USER")};
    for (const wchar_t* entry : entries) lines.push_back(area_ + L"\\" + entry);
    vo::ApplyRegistryTemplate(lines, L"Halvora23", L"C:\\Program Files\\Halvora\\launch.exe", L"launch.exe");
  }

  void WriteText(const wchar_t* key, const wchar_t* name, const wchar_t* text) {
    const VoString path = area_ + L"\\" + key;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, text,
                              static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  void WriteDword(const wchar_t* key, const wchar_t* name, DWORD number) {
    const VoString path = area_ + L"\\" + key;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name, REG_DWORD, &number, sizeof(number)),
              ERROR_SUCCESS);
  }

  // The value as written: its type, its size in bytes and its data.
  struct Stored {
    bool exists = false;
    DWORD type = 0;
    DWORD size = 0;
    std::wstring text;
    DWORD number = 0;
  };
  Stored Read(const wchar_t* key, const wchar_t* name) const {
    Stored stored;
    const VoString path = area_ + L"\\" + key;
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &stored.type, data, &size) !=
        ERROR_SUCCESS) {
      return stored;
    }
    stored.exists = true;
    stored.size = size;
    if (stored.type == REG_DWORD) {
      stored.number = *reinterpret_cast<const DWORD*>(data);
    } else {
      stored.text = data;
    }
    return stored;
  }
};

TEST_F(ApplyRegistryTemplateTest, WritesTextAndNumbersWithPlaceholdersFilledIn) {
  FakeTools tools;
  Apply({
      L"[PRODUCTWITHVERSION].File|Default|[PRODUCTNAME] file|STRING|MODIFY",
      L"[PRODUCTWITHVERSION].File\\shell\\open\\command|Default|\"[LAUNCHERPATH]\" /Play \"%L\"|STRING|MODIFY",
      L"Pack|EditFlags|65536|DWORD|MODIFY",
      L"Pack|Negative|-2|DWORD|MODIFY",
      L"Apps\\[LAUNCHERNAME]|Program|[EXEPATH]|STRING|MODIFY",
      L"Apps|Installer|[INSTALLDIR]PackageInstaller.exe|STRING|MODIFY",
      L"Apps|Empty||STRING|MODIFY",
  });
  const Stored file = Read(L"Halvora23.File", nullptr);
  EXPECT_EQ(file.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(file.text, L"Halvora file");
  EXPECT_EQ(file.size, (file.text.size() + 1) * sizeof(wchar_t));
  EXPECT_EQ(Read(L"Halvora23.File\\shell\\open\\command", nullptr).text,
            L"\"C:\\Program Files\\Halvora\\launch.exe\" /Play \"%L\"");

  const Stored flags = Read(L"Pack", L"EditFlags");
  EXPECT_EQ(flags.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(flags.size, 4u);
  EXPECT_EQ(flags.number, 65536u);
  EXPECT_EQ(Read(L"Pack", L"Negative").number, 0xFFFFFFFEu);

  EXPECT_EQ(Read(L"Apps\\launch.exe", L"Program").text, L"C:\\Program Files\\Halvora\\Halvora.exe");
  EXPECT_EQ(Read(L"Apps", L"Installer").text, L"C:\\Program Files\\Halvora\\PackageInstaller.exe");
  const Stored empty = Read(L"Apps", L"Empty");
  EXPECT_TRUE(empty.exists);
  EXPECT_EQ(empty.size, sizeof(wchar_t));
}

TEST_F(ApplyRegistryTemplateTest, ModifyOverwritesCreateKeepsWhatIsThere) {
  WriteText(L"K", L"Text", L"old");
  WriteText(L"K", L"EmptyText", L"");
  WriteText(L"K", L"TextNotNumber", L"7");
  WriteDword(L"K", L"Number", 5);
  WriteDword(L"K", L"Replaced", 5);
  WriteText(L"K", nullptr, L"old default");
  Apply({
      L"K|Text|new|STRING|CREATE",
      L"K|EmptyText|filled|STRING|CREATE",
      L"K|MissingText|created|STRING|CREATE",
      L"K|Number|9|DWORD|CREATE",
      L"K|TextNotNumber|9|DWORD|CREATE",
      L"K|MissingNumber|9|DWORD|CREATE",
      L"K|Replaced|9|DWORD|MODIFY",
      L"K|Default|new default|STRING|MODIFY",
  });
  EXPECT_EQ(Read(L"K", L"Text").text, L"old");
  EXPECT_EQ(Read(L"K", L"EmptyText").text, L"filled");
  EXPECT_EQ(Read(L"K", L"MissingText").text, L"created");
  EXPECT_EQ(Read(L"K", L"Number").number, 5u);
  // A text where a number belongs is no number yet.
  const Stored converted = Read(L"K", L"TextNotNumber");
  EXPECT_EQ(converted.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(converted.number, 9u);
  EXPECT_EQ(Read(L"K", L"MissingNumber").number, 9u);
  EXPECT_EQ(Read(L"K", L"Replaced").number, 9u);
  EXPECT_EQ(Read(L"K", nullptr).text, L"new default");
}

TEST_F(ApplyRegistryTemplateTest, DeleteRemovesNamedAndDefaultValues) {
  WriteText(L"K", L"Gone", L"x");
  WriteText(L"K", L"Stays", L"y");
  WriteText(L"K", nullptr, L"default");
  Apply({L"K|Gone||STRING|DELETE", L"K|Default||STRING|DELETE", L"K|NeverThere||DWORD|DELETE"});
  EXPECT_FALSE(Read(L"K", L"Gone").exists);
  EXPECT_FALSE(Read(L"K", nullptr).exists);
  EXPECT_EQ(Read(L"K", L"Stays").text, L"y");
}

TEST_F(ApplyRegistryTemplateTest, MalformedAndEmptyLinesWriteNothing) {
  Apply({
      L"Four|Name|x|STRING",
      L"Six|Name|x|STRING|MODIFY|",
      L"Ok|Name|x|STRING|MODIFY",
  });
  vo::ApplyRegistryTemplate({VoString(), VoString(L"HKEY_CURRENT_USER"), VoString()}, L"S", L"L", L"N");
  EXPECT_TRUE(Read(L"Ok", L"Name").exists);
  HKEY key = nullptr;
  for (const wchar_t* name : {L"Four", L"Six"}) {
    const VoString path = area_ + L"\\" + name;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << path.ToUtf8();
  }
}

TEST_F(ApplyRegistryTemplateTest, RootLinesSwitchTheRootForTheLinesAfterThem) {
  // Lines before any root line go below the classes root; the test's key
  // there must not appear, while the same key below the user root does.
  const VoString key = area_ + L"\\Rooted";
  const VoString line = key + L"|Name|x|STRING|MODIFY";
  vo::ApplyRegistryTemplate({VoString(L"hkey_current_user"), line}, L"S", L"L", L"N");
  const Stored stored = Read(L"Rooted", L"Name");
  EXPECT_EQ(stored.text, L"x");
  HKEY opened = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
}

TEST_F(ApplyRegistryTemplateTest, ArtIsLookedUpInTheProductsArtFolders) {
  FakeTools tools;
  TempTestFolder product(L"registry-template-art");
  ProgramFolderOverride program(product.Path());
  const VoString icon = product.AddFile(VoString(L"Application Data\\Default Art\\fileimage.ico"));
  Apply({L"Icon|Default|\"[CUSTOMART]fileimage.ico\",1|STRING|MODIFY",
         L"Icon|Missing|\"[CUSTOMART]nothing.ico\"|STRING|MODIFY"});
  EXPECT_EQ(Read(L"Icon", nullptr).text, L"\"" + icon.Std() + L"\",1");
  EXPECT_EQ(Read(L"Icon", L"Missing").text, L"\"\"");
}

}  // namespace

namespace {

// AutoPlay handlers are read from both registry views on 64-bit Windows.
// (Wine shares this key between its views, so here both reads would also
// succeed after one write; on Windows each view is its own.)
TEST(ApplyRegistryTemplateViews, AutoPlayLinesGoToBothViews) {
  constexpr const wchar_t* kHandler =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\Handlers\\VoTemplateViewTest";
  auto remove = [&] {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kHandler, view, 0);
  };
  auto read = [&](REGSAM view) {
    wchar_t data[64] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHandler, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return VoString();
    RegQueryValueExW(key, L"Action", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return VoString(data);
  };
  remove();
  Session() = InstallSession{};
  vo::ApplyRegistryTemplate({VoString(L"HKEY_LOCAL_MACHINE"),
                             VoString(L"[AUTOPLAYKEY]Handlers\\VoTemplateViewTest|Action|Play|STRING|MODIFY")},
                            L"Halvora23", L"C:\\launch.exe", L"launch.exe");
  EXPECT_EQ(read(KEY_WOW64_64KEY), L"Play");
  EXPECT_EQ(read(KEY_WOW64_32KEY), L"Play");
  remove();
}

}  // namespace

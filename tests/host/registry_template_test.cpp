#include "assoc/registry_template.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using vo::TemplateAction;
using vo::TemplateRoot;
using vo::TemplateValueType;

TEST(RegistryTemplateTest, RootLinesIgnoreCaseAndNothingElseIsARoot) {
  EXPECT_EQ(vo::ParseTemplateRootLine(L"HKEY_CLASSES_ROOT"), TemplateRoot::kClassesRoot);
  EXPECT_EQ(vo::ParseTemplateRootLine(L"hkey_current_user"), TemplateRoot::kCurrentUser);
  EXPECT_EQ(vo::ParseTemplateRootLine(L"HKEY_Local_Machine"), TemplateRoot::kLocalMachine);
  for (const wchar_t* line : {L"", L"HKEY_USERS", L" HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER|a|b|STRING|MODIFY"}) {
    EXPECT_FALSE(vo::ParseTemplateRootLine(line)) << VoString(line).ToUtf8();
  }
}

TEST(RegistryTemplateTest, EntryFieldsTypesAndActions) {
  struct Case {
    const wchar_t* line;
    const wchar_t* key;
    const wchar_t* name;
    TemplateValueType type;
    const wchar_t* text;
    uint32_t number;
    TemplateAction action;
  };
  const Case cases[] = {
      {L"A\\B|Default|x y|STRING|MODIFY", L"A\\B", L"", TemplateValueType::kString, L"x y", 0,
       TemplateAction::kModify},
      {L"K|Name|\"q\" /P \"%L\"|STRING|CREATE", L"K", L"Name", TemplateValueType::kString, L"\"q\" /P \"%L\"", 0,
       TemplateAction::kCreate},
      {L"K|Flags|65536|DWORD|MODIFY", L"K", L"Flags", TemplateValueType::kDword, L"", 65536,
       TemplateAction::kModify},
      {L"K|Flags|  -1|anything|DELETE", L"K", L"Flags", TemplateValueType::kDword, L"", 0xFFFFFFFFu,
       TemplateAction::kDelete},
      {L"K|Flags||DWORD|other", L"K", L"Flags", TemplateValueType::kDword, L"", 0, TemplateAction::kModify},
      // Words are compared exactly: only "Default" is the default value, only
      // "STRING" is text, only "DELETE"/"CREATE" are special actions.
      {L"K|default|v|string|delete", L"K", L"default", TemplateValueType::kDword, L"", 0,
       TemplateAction::kModify},
      {L"||||", L"", L"", TemplateValueType::kDword, L"", 0, TemplateAction::kModify},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.line).ToUtf8());
    auto entry = vo::ParseTemplateEntry(c.line);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->key_path.View(), std::wstring_view(c.key));
    EXPECT_EQ(entry->value_name.View(), std::wstring_view(c.name));
    EXPECT_EQ(entry->type, c.type);
    EXPECT_EQ(entry->text.View(), std::wstring_view(c.text));
    EXPECT_EQ(entry->number, c.number);
    EXPECT_EQ(entry->action, c.action);
  }
}

TEST(RegistryTemplateTest, OnlyFiveFieldsMakeAnEntry) {
  for (const wchar_t* line : {L"", L"K", L"K|Default|v|STRING", L"K|Default|v|STRING|MODIFY|", L"|||", L"|||||"}) {
    EXPECT_FALSE(vo::ParseTemplateEntry(line)) << VoString(line).ToUtf8();
  }
}

vo::TemplatePlaceholders SampleValues(std::vector<VoString>* art_asked = nullptr) {
  vo::TemplatePlaceholders values;
  values.install_dir = L"C:\\Program Files\\Halvora\\";
  values.system_dir = L"C:\\windows\\system32\\";
  values.current_dir = L"D:\\setup\\";
  values.product_name = L"Halvora";
  values.progid_stem = L"Halvora23";
  values.exe_path = L"C:\\Program Files\\Halvora\\halvora.exe";
  values.launcher_path = L"C:\\Program Files\\Halvora\\launch.exe";
  values.launcher_name = L"launch.exe";
  values.find_art = [art_asked](std::wstring_view name) {
    if (art_asked) art_asked->push_back(VoString(name));
    return name == L"missing.ico" ? VoString() : VoString(L"C:\\Art\\") + name;
  };
  return values;
}

TEST(RegistryTemplateTest, PlaceholdersAreReplacedEverywhere) {
  struct Case {
    const wchar_t* line;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"[PRODUCTWITHVERSION].File|Default|[PRODUCTNAME] file|STRING|MODIFY",
       L"Halvora23.File|Default|Halvora file|STRING|MODIFY"},
      {L"[AUTOPLAYKEY]Handlers\\X|Provider|[PRODUCTNAME] [PRODUCTNAME]|STRING|MODIFY",
       L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\Handlers\\X|Provider|"
       L"Halvora Halvora|STRING|MODIFY"},
      {L"[INSTALLDIR]|[SYSTEMDIR]|[CURRENTDIR]|[EXEPATH]|[LAUNCHERPATH][LAUNCHERNAME]",
       L"C:\\Program Files\\Halvora\\|C:\\windows\\system32\\|D:\\setup\\|C:\\Program Files\\Halvora\\halvora.exe|"
       L"C:\\Program Files\\Halvora\\launch.exe"
       L"launch.exe"},
      // The quotes around the art path stay.
      {L"K|DefaultIcon|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY",
       L"K|DefaultIcon|\"C:\\Art\\fileimage.ico\"|STRING|MODIFY"},
      // Without a closing quote the file name runs to the end of the line.
      {L"x[CUSTOMART]a.ico|STRING", L"xC:\\Art\\a.ico|STRING"},
      {L"\"[CUSTOMART]missing.ico\",1", L"\"\",1"},
      // Unknown or unfinished brackets are plain text.
      {L"[OTHER] [PRODUCTNAME [", L"[OTHER] [PRODUCTNAME ["},
  };
  const vo::TemplatePlaceholders values = SampleValues();
  for (const Case& c : cases) {
    EXPECT_EQ(vo::ReplaceTemplatePlaceholders(c.line, values).View(), std::wstring_view(c.expected))
        << VoString(c.line).ToUtf8();
  }
}

TEST(RegistryTemplateTest, ArtLookupGetsTheFileNameAfterThePlaceholder) {
  std::vector<VoString> asked;
  const vo::TemplatePlaceholders values = SampleValues(&asked);
  vo::ReplaceTemplatePlaceholders(L"\"[CUSTOMART]one.ico\" \"[CUSTOMART]two.ico\"", values);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].View(), L"one.ico");
  EXPECT_EQ(asked[1].View(), L"two.ico");
}

TEST(RegistryTemplateTest, ReplacedTextIsNotScannedAgain) {
  // A folder the user chose may contain bracketed text; it is kept as typed.
  vo::TemplatePlaceholders values = SampleValues();
  values.install_dir = L"C:\\[CUSTOMART]odd [PRODUCTNAME]\\";
  EXPECT_EQ(vo::ReplaceTemplatePlaceholders(L"\"[INSTALLDIR]x.exe\" /a", values).View(),
            L"\"C:\\[CUSTOMART]odd [PRODUCTNAME]\\x.exe\" /a");
}

TEST(RegistryTemplateTest, OnlyAutoPlayLinesNeedBothViews) {
  EXPECT_TRUE(vo::NeedsBothRegistryViews(L"[AUTOPLAYKEY]Handlers\\X|Action|a|STRING|MODIFY"));
  EXPECT_FALSE(vo::NeedsBothRegistryViews(L"[PRODUCTWITHVERSION].File|Default|x|STRING|MODIFY"));
  EXPECT_FALSE(vo::NeedsBothRegistryViews(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                          L"AutoplayHandlers\\Handlers\\X|Action|a|STRING|MODIFY"));
}

TEST(RegistryTemplateTest, BuiltInTemplateShape) {
  const std::vector<VoString>& lines = vo::BuiltInTemplate();
  ASSERT_EQ(lines.size(), 109u);
  // Root lines where the sections begin.
  std::vector<size_t> roots;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (vo::ParseTemplateRootLine(lines[i].View())) roots.push_back(i);
  }
  EXPECT_EQ(roots, (std::vector<size_t>{0, 42, 44, 91, 106}));
  EXPECT_EQ(lines[0].View(), L"HKEY_CLASSES_ROOT");
  EXPECT_EQ(lines[44].View(), L"HKEY_LOCAL_MACHINE");
  // Every other line is a five-field "MODIFY" entry of text or a number.
  for (size_t i = 0; i < lines.size(); ++i) {
    if (std::find(roots.begin(), roots.end(), i) != roots.end()) continue;
    SCOPED_TRACE(lines[i].ToUtf8());
    auto entry = vo::ParseTemplateEntry(lines[i].View());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->action, TemplateAction::kModify);
    EXPECT_TRUE(lines[i].View().ends_with(L"|STRING|MODIFY") || lines[i].View().ends_with(L"|DWORD|MODIFY"));
    EXPECT_EQ(vo::NeedsBothRegistryViews(lines[i].View()), i > 44 && i < 91);
  }
  EXPECT_EQ(lines[6].View(), L"[PRODUCTWITHVERSION].File\\DefaultIcon|Default|\"[CUSTOMART]fileimage.ico\"|STRING|MODIFY");
  EXPECT_EQ(lines[14].View(), L"[PRODUCTWITHVERSION].Pack|EditFlags|65536|DWORD|MODIFY");
  EXPECT_EQ(lines[16].View(),
            L"[PRODUCTWITHVERSION].Pack\\shell\\open\\command|Default|\"[INSTALLDIR]PackageInstaller.exe\" /Install "
            L"\"%L\"|STRING|MODIFY");
  EXPECT_EQ(lines[43].View(),
            L"Software\\Netscape\\Netscape Navigator\\User Trusted External Applications|[LAUNCHERPATH]|Yes|STRING|"
            L"MODIFY");
  EXPECT_EQ(lines[45].View(),
            L"[AUTOPLAYKEY]CancelAutoplay\\CLSID|21369263-6C67-4a4d-9202-B34D2A5CBC85||STRING|MODIFY");
  EXPECT_EQ(lines[108].View(),
            L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\[PRODUCTNAME]|ExePath|[EXEPATH]|STRING|MODIFY");
}

}  // namespace

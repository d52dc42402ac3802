// The product's settings by number: the table, presets from the product
// description, reading and writing the "Properties" store, and switching
// shell integration.

#include "engine/settings_helper.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "foundation/win/known_folders.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "support/fake_tools.h"

namespace {

class SettingsHelperTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    tools_.registry = &registry_;
  }

  // The stored type of a property, or REG_NONE.
  DWORD StoredType(const wchar_t* property) const {
    DWORD type = REG_NONE;
    RegGetValueW(HKEY_CURRENT_USER, StorePath(L"Properties").c_str(), property, RRF_RT_ANY, &type, nullptr, nullptr);
    return type;
  }

  FakeTools tools_;
};

TEST_F(SettingsHelperTest, TableHoldsSeventyFiveSettingsWithUniqueNamesAndKeys) {
  CSettingsHelper helper;
  std::set<std::wstring> properties, keys;
  for (int id = 0; id < CSettingsHelper::kSettingCount; ++id) {
    const VoString property = helper.PropertyName(id);
    ASSERT_FALSE(property.IsEmpty()) << id;
    EXPECT_TRUE(properties.insert(property.ToLower().Std()).second) << property.ToUtf8();
    const VoString key = helper.ConfigurationKey(id);
    if (!key.IsEmpty()) {
      EXPECT_TRUE(keys.insert(key.Std()).second) << key.ToUtf8();
    }
  }
  EXPECT_EQ(properties.size(), 75u);
  EXPECT_EQ(keys.size(), 55u);  // 20 settings have no preset
  for (int outside : {-1, 75, 1000}) {
    EXPECT_EQ(helper.PropertyName(outside), L"") << outside;
    EXPECT_EQ(helper.ConfigurationKey(outside), L"") << outside;
    EXPECT_EQ(helper.GetNumber(outside), 0) << outside;
    EXPECT_EQ(helper.GetText(outside), L"") << outside;
    EXPECT_FALSE(helper.SetNumber(outside, 1)) << outside;
    EXPECT_FALSE(helper.SetText(outside, VoString(L"x"))) << outside;
  }
}

TEST_F(SettingsHelperTest, RowsCarryTheirKeysPropertiesAndDefaults) {
  struct Row {
    int id;
    const wchar_t* key;
    const wchar_t* property;
    int number;
    const wchar_t* text;
  };
  const Row rows[] = {
      {1, L"MAKEDEFAULTPLAYER", L"General - Make Default Music Player", 1, L"1"},
      {3, L"MINIME_ALWAYSONTOP", L"Minime - Always On Top", 0, L"0"},
      {6, L"", L"General - Online Metadata Automatic Disc Lookup and Submit", 1, L"1"},
      {16, L"LIBCONVERSION_ENCODER", L"Library Server Conversion - Encoder", 3, L"3"},
      {20, L"", L"Tagging - Use Sidecar", 0, L"Video"},
      {23, L"JUMP_ON_PLAY_MODE_VIDEO", L"General - Jump On Play Mode Video", 3, L"3"},
      {25, L"DOUBLECLICKMOD", L"General - List Double Click Mode", 1, L"1"},
      {50, L"RIP_SOUNDFILE", L"Ripping - Complete Sound File", 0, L"chord.wav"},
      {51, L"BURN_SOUNDFILE", L"Burning - Complete Sound File", 0, L"chord.wav"},
      {55, L"BURN_WRITER_NAME", L"Burning - Writer Name", 0, L"0"},
      {62, L"LIBCONVERSION_ENABLE", L"Library Server Conversion - Convert audio files", 0, L"0"},
      {63, L"", L"Ripping - Show Quirb Multi Match", 1, L"1"},
      {71, L"", L"Ripping - Max Encoding Processes", 3, L"3"},
      {72, L"", L"Ripping - Max Combined Processes", 4, L"4"},
      {74, L"START_ALWAYS_LOAD_DEFAULT_LIBRARY", L"Startup - Always load default library", 0, L"0"},
  };
  CSettingsHelper helper;
  for (const Row& row : rows) {
    EXPECT_EQ(helper.ConfigurationKey(row.id), row.key) << row.id;
    EXPECT_EQ(helper.PropertyName(row.id), row.property) << row.id;
    EXPECT_EQ(helper.DefaultNumber(row.id), row.number) << row.id;
    EXPECT_EQ(helper.DefaultText(row.id), row.text) << row.id;
    // Nothing stored yet: reading gives the defaults.
    EXPECT_EQ(helper.GetNumber(row.id), row.number) << row.id;
    EXPECT_EQ(helper.GetText(row.id), row.text) << row.id;
  }
  EXPECT_EQ(helper.ConfigurationKey(0), L"MEDIALOCATION");
  EXPECT_FALSE(vo::GetMusicFolder().IsEmpty());
  EXPECT_EQ(helper.DefaultText(0), vo::GetMusicFolder());
}

TEST_F(SettingsHelperTest, PresetsOfTheProductDescriptionReplaceBuiltInDefaultsButNotStoredValues) {
  tools_.product.config[L"/*/DefaultSettings/MAKEDEFAULTPLAYER"] = VoString(L"0");
  tools_.product.config[L"/*/DefaultSettings/RIP_SOUNDFILE"] = VoString(L"ding.wav");
  tools_.product.config[L"/*/DefaultSettings/BURN_ISO_VERSION"] = VoString(L"2");
  // Keyless settings have no element to read, whatever the description holds.
  tools_.product.config[L"/*/DefaultSettings/"] = VoString(L"0");
  tools_.product.config[L"/*/DefaultSettings/General - Online Metadata Automatic Disc Lookup and Submit"] =
      VoString(L"0");
  CSettingsHelper helper;
  EXPECT_EQ(helper.DefaultNumber(1), 0);
  EXPECT_EQ(helper.GetNumber(1), 0);
  EXPECT_EQ(helper.DefaultText(50), L"ding.wav");
  EXPECT_EQ(helper.DefaultNumber(53), 2);
  EXPECT_EQ(helper.DefaultNumber(6), 1);
  EXPECT_EQ(helper.ReadConfigNumber(VoString(L"MAKEDEFAULTPLAYER"), 7), 0);
  EXPECT_EQ(helper.ReadConfigText(VoString(L"MISSING"), VoString(L"fallback")), L"fallback");

  ASSERT_TRUE(helper.SetNumber(1, 1));
  EXPECT_EQ(helper.GetNumber(1), 1);
  EXPECT_EQ(helper.DefaultNumber(1), 0);
  ASSERT_TRUE(helper.SetText(50, VoString(L"tada.wav")));
  EXPECT_EQ(helper.GetText(50), L"tada.wav");
}

TEST_F(SettingsHelperTest, NumbersAreStoredAsDwordsAndLogged) {
  {
    CSettingsHelper helper;
    ASSERT_TRUE(helper.SetNumber(44, 0));
    ASSERT_TRUE(helper.SetNumber(71, 6));
  }
  EXPECT_EQ(StoredType(L"Ripping - Auto Rip Mode"), static_cast<DWORD>(REG_DWORD));
  // A fresh helper reads what the last one wrote.
  CSettingsHelper helper;
  EXPECT_EQ(helper.GetNumber(44), 0);
  EXPECT_EQ(helper.GetNumber(71), 6);
  const auto lines = tools_.LogTexts(L"CSettingsHelper::Set");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].Find(L"Ripping - Auto Rip Mode"), VoString::npos) << lines[0].ToUtf8();
}

// The product's context menu handler, removed with the test together with
// the parent keys it had to create.
class ContextMenuHandler {
 public:
  explicit ContextMenuHandler(const VoString& name) : name_(name) {}
  ~ContextMenuHandler() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) RegDeleteTreeW(HKEY_CLASSES_ROOT, it->c_str());
  }
  bool Create() {
    VoString path;
    for (const wchar_t* part : {L"*", L"shellex", L"ContextMenuHandlers", name_.c_str()}) {
      path = path.IsEmpty() ? VoString(part) : path + L"\\" + part;
      HKEY key = nullptr;
      DWORD disposition = 0;
      if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, &disposition) !=
          ERROR_SUCCESS) {
        return false;
      }
      RegCloseKey(key);
      if (disposition == REG_CREATED_NEW_KEY) created_.push_back(path);
    }
    return true;
  }

 private:
  VoString name_;
  std::vector<VoString> created_;
};

std::string ReadAll(const VoString& path) {
  std::string text;
  if (FILE* f = _wfopen(path.c_str(), L"rb")) {
    char buffer[512];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), f)) > 0;) text.append(buffer, n);
    fclose(f);
  }
  return text;
}

TEST_F(SettingsHelperTest, ShellIntegrationRegistersOnlyWhenTheStateChanges) {
  struct Case {
    bool registered;
    int value;
    const char* arguments;  // of the package installer run, "" for none
  };
  const Case cases[] = {
      {false, 0, ""},
      {true, 1, ""},
      {false, 1, "/RegDLL "},
      {true, 0, "/UnRegDLL "},
  };
  tools_.product.names[1] = VoString(L"Halvora Settings Helper Test");
  TempTestFolder program(L"settings-helper-shell");
  ASSERT_TRUE(CopyFileW((vo::GetExecutableFolder() + L"exit_with.exe").c_str(),
                        (program.Path() + L"PackageInstaller.exe").c_str(), FALSE));
  ProgramFolderOverride folder(program.Path());
  const VoString argument_log = program.Path() + L"arguments.txt";
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", argument_log.c_str());

  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "registered " << c.registered << ", value " << c.value);
    ContextMenuHandler handler(tools_.product.names[1]);
    if (c.registered) {
      ASSERT_TRUE(handler.Create());
    }
    DeleteFileW(argument_log.c_str());
    FakeTools tools;
    tools.registry = &registry_;
    tools.product.names[1] = tools_.product.names[1];

    CSettingsHelper helper;
    EXPECT_EQ(helper.DefaultNumber(CSettingsHelper::kShellIntegration), c.registered ? 1 : 0);
    ASSERT_TRUE(helper.SetNumber(CSettingsHelper::kShellIntegration, c.value));
    EXPECT_EQ(helper.GetNumber(CSettingsHelper::kShellIntegration), c.value);

    const auto lines = tools.LogTexts(L"CSettingsHelper::Set");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], VoString(L"SETTINGS_ENABLESHELLINTEGRATION (") + (c.value ? L"1" : L"0") + L")");
    EXPECT_EQ(lines[2], VoString(L"bShellIntegration == ") + (c.registered ? L"1" : L"0"));
    std::string ran = ReadAll(argument_log);
    if (ran.rfind("\xEF\xBB\xBF", 0) == 0) ran.erase(0, 3);  // the stand-in writes UTF-8 with a mark
    if (*c.arguments) {
      ASSERT_EQ(lines.size(), 4u);
      EXPECT_EQ(lines[3], L"RunPackageInstaller == 1");
      const std::string expected = std::string(c.arguments) + program.Path().ToUtf8() + "Shell Extensions\r\n";
      EXPECT_EQ(ran, expected);
    } else {
      EXPECT_EQ(lines.size(), 3u);
      EXPECT_EQ(ran, "");
    }
  }
  SetEnvironmentVariableW(L"VO_TEST_ARGUMENT_LOG", nullptr);
}

}  // namespace

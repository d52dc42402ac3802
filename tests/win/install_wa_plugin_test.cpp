// Plug-in registration with test libraries of every kind, against the test's
// own settings area in the prefix's registry.

#include "plugins/install_wa_plugin.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "foundation/win/known_folders.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "support/fake_tools.h"

namespace {

class InstallWAPluginTest : public RegistryTestArea {
 protected:
  void SetUp() override {
    RegistryTestArea::SetUp();
    tools_.registry = &registry_;
  }

  static VoString Library(const wchar_t* kind) {
    return vo::GetExecutableFolder() + L"test_plugin_" + kind + L".dll";
  }
  // The text values of a store; its numbers are read with Number().
  std::map<VoString, VoString> Texts(const VoString& store) const {
    std::map<VoString, VoString> texts;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, StorePath(store.c_str()).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return texts;
    }
    for (DWORD i = 0;; ++i) {
      wchar_t name[256], data[1024] = {};
      DWORD name_length = 256, type = 0, size = sizeof(data) - sizeof(wchar_t);
      if (RegEnumValueW(key, i, name, &name_length, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
          ERROR_SUCCESS) {
        break;
      }
      if (type == REG_SZ) texts[VoString(name)] = VoString(data);
    }
    RegCloseKey(key);
    return texts;
  }
  DWORD Number(const VoString& store, const wchar_t* name) const {
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, StorePath(store.c_str()).c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS) {
      return 999;
    }
    return value;
  }
  std::vector<VoString> Subkeys(const wchar_t* store) const {
    std::vector<VoString> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, StorePath(store).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(name);
    }
    RegCloseKey(key);
    return names;
  }
  VoString Key(const wchar_t* store) const { return L"K" + StorePath(store); }

  FakeTools tools_;
};

TEST_F(InstallWAPluginTest, InputPluginsRegisterEveryTypeTheyDeclare) {
  const VoString own = Library(L"own_input");
  ASSERT_TRUE(CInstallWAPlugin::Install(own, true));
  const std::map<VoString, VoString> xyz = {{L"Path", own},
                                            {L"Plugin Description", L"Test Input Source"},
                                            {L"File Description", L"XYZ;Xyw"},
                                            {L"Name", L"test_plugin_own_input.dll"}};
  EXPECT_EQ(Texts(L"Plugins\\Input\\XYZ"), xyz);
  EXPECT_EQ(Number(L"Plugins\\Input\\Xyw", L"IVersion"), 4u);
  // The last recorded entry comes first.
  const std::map<VoString, VoString> record = {{L"0", Key(L"Plugins\\Input\\Xyw")}, {L"1", Key(L"Plugins\\Input\\XYZ")}};
  EXPECT_EQ(Texts(L"Plugins\\Uninstall\\Test Input Source"), record);

  const VoString winamp = Library(L"winamp_input");
  ASSERT_TRUE(CInstallWAPlugin::Install(winamp, true));
  for (const wchar_t* type : {L"wtA", L"wtB", L"wtc"}) {
    const auto values = Texts(VoString(L"Plugins\\Input\\") + type);
    EXPECT_EQ(values.count(L"Path") ? values.at(L"Path") : VoString(), winamp) << VoString(type).ToUtf8();
    EXPECT_EQ(values.count(L"File Description") ? values.at(L"File Description") : VoString(), L"wtA;wtB;wtc");
    EXPECT_EQ(values.count(L"Plugin Description") ? values.at(L"Plugin Description") : VoString(),
              L"Test Winamp Input v1.0");
  }
  EXPECT_TRUE(tools_.MessageBoxes().empty());
}

TEST_F(InstallWAPluginTest, DspVstAndGirderPluginsGetTheirOwnEntries) {
  ASSERT_TRUE(CInstallWAPlugin::Install(Library(L"dsp"), true));
  // Exporting the visualization entry too does not make it a visualization.
  ASSERT_TRUE(CInstallWAPlugin::Install(Library(L"dsp_and_vis"), true));
  ASSERT_TRUE(CInstallWAPlugin::Install(Library(L"vst"), true));
  ASSERT_TRUE(CInstallWAPlugin::Install(Library(L"girder"), true));

  EXPECT_EQ(Subkeys(L"Plugins\\DSP"), (std::vector<VoString>{L"Test DSP Effect", L"Test Reverb"}));
  const std::map<VoString, VoString> dsp = {{L"Path", Library(L"dsp_and_vis")}, {L"Description", L"Test DSP Effect"}};
  EXPECT_EQ(Texts(L"Plugins\\DSP\\Test DSP Effect"), dsp);
  EXPECT_EQ(Number(L"Plugins\\DSP\\Test DSP Effect", L"IVersion"), 1u);
  const std::map<VoString, VoString> vst = {{L"Path", Library(L"vst")}, {L"Description", L"Test Reverb (VST Plugin)"}};
  EXPECT_EQ(Texts(L"Plugins\\DSP\\Test Reverb"), vst);
  EXPECT_EQ(Texts(L"Plugins\\Uninstall\\Test Reverb"),
            (std::map<VoString, VoString>{{L"0", Key(L"Plugins\\DSP\\Test Reverb")}}));

  const VoString girder = L"Plugins\\RemoteControl\\Test Remote";
  const auto texts = Texts(girder);
  EXPECT_EQ(texts.at(L"Company"), L"Girder");
  EXPECT_EQ(texts.at(L"Version"), L"1.2");
  EXPECT_EQ(texts.at(L"Copyright"), L"Plugin Author");
  EXPECT_EQ(texts.at(L"Filename"), Library(L"girder"));
  EXPECT_FALSE(texts.at(L"URL").IsEmpty());
  EXPECT_EQ(Number(girder, L"GirderPlugin"), 1u);
  EXPECT_EQ(Number(girder, L"IVersion"), 2u);
  EXPECT_EQ(Number(girder, L"Configurable"), 1u);
}

TEST_F(InstallWAPluginTest, RefusalsWriteNothingAndSpeakOnlyWhenAsked) {
  TempTestFolder folder{L"install-wa-plugin"};
  const VoString not_a_library = folder.AddFile(VoString(L"in_text.dll"), "not a library");
  struct Case {
    VoString path;
    VoString told;
  };
  const Case cases[] = {
      {Library(L"own_input_v3"),
       L"The input plugin 'Test Input Source' is not the correct version.\r\n\r\nPlugin version: 3\r\nRequired "
       L"version: 4"},
      {Library(L"vis"), L"Winamp 2.x visualization plug-ins are not supported."},
      {Library(L"none"), L"Unsupported plugin type.  The plugin can not be installed."},
      {not_a_library, L"Cannot load plug-in.\r\n\r\n" + not_a_library},
  };
  size_t shown = 0;
  for (const Case& c : cases) {
    EXPECT_FALSE(CInstallWAPlugin::Install(c.path, true)) << c.path.ToUtf8();
    EXPECT_EQ(tools_.MessageBoxes().size(), shown);
    EXPECT_FALSE(CInstallWAPlugin::Install(c.path, false));
    const auto boxes = tools_.MessageBoxes();
    ASSERT_EQ(boxes.size(), ++shown);
    EXPECT_EQ(boxes.back().title, L"Information");
    EXPECT_EQ(boxes.back().text, c.told);
  }
  EXPECT_TRUE(Subkeys(L"Plugins").empty());
}

}  // namespace

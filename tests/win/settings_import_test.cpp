// Shipped settings files taken over into the settings area by the tools
// library's registry service.

#include "toolslib/settings_import.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "program_folder_fixture.h"
#include "registry_test_area.h"

namespace {

TEST(SettingsImport, FilesNameTheirStores) {
  struct Case {
    const wchar_t* file;
    bool settings;
    const wchar_t* store;
  };
  const Case cases[] = {
      {L"Properties.xml", true, L"Properties"},
      {L"Plugins\\System.XML", true, L"Plugins\\System"},
      {L"(root).xml", true, L""},
      {L".xml", false, L""},
      {L"Readme.txt", false, L""},
      {L"Properties.xml.bak", false, L""},
  };
  for (const Case& c : cases) {
    VoString store(L"unchanged");
    EXPECT_EQ(SettingsStoreOfFile(VoString(c.file), store), c.settings) << VoString(c.file).ToUtf8();
    if (c.settings) {
      EXPECT_EQ(store, c.store) << VoString(c.file).ToUtf8();
    }
  }
}

class SettingsImportTest : public RegistryTestArea {
 protected:
  std::wstring Get(const wchar_t* store, const wchar_t* name) const {
    wchar_t value[256] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    const VoString key = *store ? StorePath(store) : area_;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
      return L"<missing>";
    }
    return value;
  }
};

TEST_F(SettingsImportTest, PropertyFilesBecomeTextValuesOfTheirStores) {
  TempTestFolder shipped(L"settings-import");
  shipped.AddFile(L"Properties.xml",
                  "\xEF\xBB\xBF<XMLPH version=\"1.0\">\r\n<Item Name=\"Startup - Mode\">2</Item>\r\n"
                  "<Item Name=\"General - Music Location\">C:\\Music\\</Item>\r\n</XMLPH>");
  shipped.AddFile(L"Plugins\\Interface\\Remote.xml", "<XMLPH version=\"1.0\"><Item Name=\"\">on</Item></XMLPH>");
  shipped.AddFile(L"(Root).xml", "<XMLPH version=\"1.0\"><Item Name=\"Area Value\">1</Item></XMLPH>");
  shipped.AddFile(L"Wrong Version.xml", "<XMLPH version=\"2.0\"><Item Name=\"A\">1</Item></XMLPH>");
  shipped.AddFile(L"Broken.xml", "<XMLPH version=\"1.0\"><Item Name=\"A\">1</Ite");
  shipped.AddFile(L"Notes.txt", "<XMLPH version=\"1.0\"><Item Name=\"A\">1</Item></XMLPH>");
  RegSetKeyValueW(HKEY_CURRENT_USER, StorePath(L"Properties").c_str(), L"Startup - Mode", REG_SZ, L"0",
                  2 * sizeof(wchar_t));

  EXPECT_TRUE(registry_.ImportSettings(shipped.Path().c_str()));
  EXPECT_EQ(Get(L"Properties", L"Startup - Mode"), L"2");
  EXPECT_EQ(Get(L"Properties", L"General - Music Location"), L"C:\\Music\\");
  EXPECT_EQ(Get(L"Plugins\\Interface\\Remote", L""), L"on");
  EXPECT_EQ(Get(L"", L"Area Value"), L"1");
  for (const wchar_t* store : {L"Wrong Version", L"Broken", L"Notes.txt", L"Notes"}) {
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, StorePath(store).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS)
        << VoString(store).ToUtf8();
  }

  TempTestFolder empty(L"settings-import-empty");
  EXPECT_FALSE(registry_.ImportSettings(empty.Path().c_str()));
  EXPECT_FALSE(registry_.ImportSettings((empty.Path() + L"missing\\").c_str()));
  EXPECT_FALSE(registry_.ImportSettings(L""));
}

}  // namespace

// The Windows uninstall entry: its nine values, read back from the real
// registry of the prefix under a key name of the test's own.

#include "engine/uninstall_entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <map>

#include "app/session.h"
#include "program_folder_fixture.h"
#include "registry_text_values.h"
#include "support/fake_tools.h"

namespace {

constexpr const wchar_t* kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class UninstallEntryTest : public testing::Test {
 protected:
  void SetUp() override {
    Session() = InstallSession{};
    Session().EarlierUninstallKey = VoString(L"Halvora Entry Test ") + std::to_wstring(GetCurrentProcessId());
    Session().InstallDirectory = VoString(L"C:\\Program Files\\Halvora Test 23\\");
    key_path_ = VoString(kUninstall) + L"\\" + Session().EarlierUninstallKey.View();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_path_.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key_path_.c_str());
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_path_.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key_path_.c_str());
    Session() = InstallSession{};
  }

  std::map<VoString, VoString> ReadValues(const VoString& path) const {
    return ReadTextValues(HKEY_LOCAL_MACHINE, path);
  }

  FakeTools tools_;
  VoString key_path_;
};

TEST_F(UninstallEntryTest, WritesTheNineValues) {
  TempTestFolder product(L"uninstall-entry-art");
  ProgramFolderOverride program(product.Path());
  product.AddFile(VoString(L"Application Data\\Default Art\\application.ico"));
  const VoString custom = product.AddFile(VoString(L"Application Data\\Custom Art\\application.ico"));
  tools_.product.names[1] = VoString(L"Halvora 23 Deluxe");
  tools_.product.web_address = VoString(L"https://www.halvora.example/support");
  tools_.product.version_text = VoString(L"23.1.7.0");

  vo::WriteUninstallEntry();

  const std::map<VoString, VoString> expected = {
      {L"DisplayName", L"Halvora 23 Deluxe"},
      {L"HelpLink", L"https://www.halvora.example/support"},
      {L"URLUpdateInfo", L"https://www.halvora.example/support"},
      {L"URLInfoAbout", L"https://www.halvora.example/support"},
      {L"InstallLocation", L"C:\\Program Files\\Halvora Test 23\\"},
      {L"Publisher", L"Vortala, Inc."},
      {L"DisplayVersion", L"23.1.7.0"},
      {L"DisplayIcon", custom},
      // A bare path, spaces and all.
      {L"UninstallString", L"C:\\Program Files\\Halvora Test 23\\VoMediaUninstall.exe"},
  };
  EXPECT_EQ(ReadValues(key_path_), expected);
}

TEST_F(UninstallEntryTest, OverwritesValueByValueAndKeepsOthers) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t old_name[] = L"Halvora 22";
  const wchar_t size[] = L"12345";
  RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_name), sizeof old_name);
  RegSetValueExW(key, L"EstimatedSize", 0, REG_SZ, reinterpret_cast<const BYTE*>(size), sizeof size);
  RegCloseKey(key);
  // No art at all: the icon value is written all the same, empty.
  TempTestFolder product(L"uninstall-entry-no-art");
  ProgramFolderOverride program(product.Path());

  vo::WriteUninstallEntry();

  auto values = ReadValues(key_path_);
  ASSERT_EQ(values.size(), 10u);
  EXPECT_EQ(values[L"DisplayName"], L"Halvora 23");
  EXPECT_EQ(values[L"EstimatedSize"], L"12345");
  EXPECT_EQ(values[L"DisplayIcon"], L"");
}

TEST_F(UninstallEntryTest, DefaultArtIconWhenThereIsNoCustomOne) {
  TempTestFolder product(L"uninstall-entry-default-art");
  ProgramFolderOverride program(product.Path());
  const VoString icon = product.AddFile(VoString(L"Application Data\\Default Art\\application.ico"));
  vo::WriteUninstallEntry();
  auto values = ReadValues(key_path_);
  ASSERT_EQ(values.size(), 9u);
  EXPECT_EQ(values[L"DisplayIcon"], icon);
}

TEST_F(UninstallEntryTest, WithoutAKeyNameNothingLandsOnTheListItself) {
  Session().EarlierUninstallKey.Clear();
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstall, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  vo::WriteUninstallEntry();
  const auto values = ReadValues(VoString(kUninstall));
  EXPECT_EQ(values.count(VoString(L"UninstallString")), 0u);
  EXPECT_EQ(values.count(VoString(L"Publisher")), 0u);
}

}  // namespace

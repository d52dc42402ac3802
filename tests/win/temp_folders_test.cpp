// The product's temporary folder: the user's setting when it can be used,
// otherwise the system's temporary folder.
#include "foundation/win/temp_folders.h"

#include <gtest/gtest.h>

#include "foundation/text_file.h"
#include "foundation/win/file_system.h"
#include "program_folder_fixture.h"
#include "registry_test_area.h"
#include "support/fake_tools.h"

namespace {

class ProductTempFolderTest : public RegistryTestArea {};

TEST_F(ProductTempFolderTest, TheSettingWhenItCanBeUsed) {
  FakeTools tools;
  tools.registry = &registry_;
  TempTestFolder scratch(L"product-temp-folder");
  ASSERT_TRUE(vo::WriteFileBytes(scratch.Path() + L"file", "not a folder"));
  const VoString system = vo::GetTempFolder();
  ASSERT_FALSE(system.IsEmpty());
  EXPECT_TRUE(system.EndsWith(L'\\'));
  const struct {
    const wchar_t* what;
    VoString setting;  // empty: none stored
    VoString expected;
  } cases[] = {
      {L"none", L"", system},
      {L"a new folder, made", scratch.Path() + L"Made\\Deeper", scratch.Path() + L"Made\\Deeper\\"},
      {L"relative", L"Temp", system},
      {L"below a file", scratch.Path() + L"file\\Temp\\", system},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.what).ToUtf8());
    VoRegistryKeyPtr properties = vo::OpenStore(L"Properties", 1);
    ASSERT_TRUE(properties);
    if (c.setting.IsEmpty()) {
      properties->DeleteValue(L"File Location - Temp Location");
    } else {
      properties->WriteString(L"File Location - Temp Location", c.setting.c_str(), kVoValuePlain);
    }
    EXPECT_EQ(vo::GetProductTempFolder(), c.expected);
  }
  EXPECT_TRUE(vo::FolderExists(scratch.Path() + L"Made\\Deeper\\"));
}

}  // namespace

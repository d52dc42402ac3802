#include "tools/module_loading_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(ModuleLoadingRules, ToolsModuleNameCarriesThePointerSize) {
  EXPECT_EQ(vo::ToolsModuleFileName(64), L"VoTools64.dll");
  EXPECT_EQ(vo::ToolsModuleFileName(32), L"VoTools32.dll");
}

TEST(ModuleLoadingRules, FullPathOrBareName) {
  struct Case {
    const wchar_t* name;
    const wchar_t* folder;
    bool full;
    const wchar_t* load_path;
  } cases[] = {
      {L"C:\\Tools\\VoImage.dll", L"D:\\Kelvane", true, L"C:\\Tools\\VoImage.dll"},
      {L"\\\\server\\share\\VoImage.dll", L"D:\\Kelvane", true, L"\\\\server\\share\\VoImage.dll"},
      {L"\\VoImage.dll", L"D:\\Kelvane", true, L"\\VoImage.dll"},
      {L"VoImage.dll", L"D:\\Kelvane\\", false, L"D:\\Kelvane\\VoImage.dll"},
      {L"VoImage.dll", L"D:\\Kelvane", false, L"D:\\Kelvane\\VoImage.dll"},
      {L"VoImage.dll", L"", false, L"VoImage.dll"},
      // A drive-relative name and a colon elsewhere are not full paths.
      {L"C:VoImage.dll", L"D:\\Kelvane", false, L"D:\\Kelvane\\C:VoImage.dll"},
      {L"ab:\\VoImage.dll", L"D:\\Kelvane", false, L"D:\\Kelvane\\ab:\\VoImage.dll"},
      {L"C:", L"", false, L"C:"},
      {L"", L"", false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.name).ToUtf8());
    EXPECT_EQ(vo::IsFullModulePath(c.name), c.full);
    EXPECT_EQ(vo::ModuleLoadPath(c.name, c.folder), c.load_path);
  }
}

TEST(ModuleLoadingRules, CriticalErrorTextNamesModuleAndReason) {
  EXPECT_EQ(vo::CriticalErrorText(L"C:\\Kelvane\\VoTools64.dll", L"Failed to load VoTools"),
            L"The following module has failed to load:\r\nC:\\Kelvane\\VoTools64.dll\r\n\r\n"
            L"It has reported the following error:\r\n\r\nFailed to load VoTools\r\n\r\n"
            L"Please reinstall the latest version of the program.");
  // Percent signs in a path are text, not directives.
  EXPECT_EQ(vo::CriticalErrorText(L"C:\\100%s\\x.dll", L"%d").Find(L"C:\\100%s\\x.dll\r\n"), 42u);
}

}  // namespace

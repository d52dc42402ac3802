#include <gtest/gtest.h>

#include <string>

#include "foundation/path_rules.h"

namespace {

struct Case {
  const wchar_t* input;
  const wchar_t* expected;
};

TEST(PathRules, MakeValidFileName) {
  const Case cases[] = {
      {L"", L""},
      {L"plain name.txt", L"plain name.txt"},
      {L"a:b?c\td", L"a_b_c d"},
      {L"/*?\"<>|:", L"________"},
      {L"keep\\backslash", L"keep\\backslash"},
      {L"\x01\x1F\x20", L"   "},
      {L"\u00E9\u4E2D", L"\u00E9\u4E2D"},
  };
  for (const Case& c : cases) EXPECT_EQ(vo::MakeValidFileName(c.input), c.expected) << c.input;
}

TEST(PathRules, MakeValidPath) {
  const Case cases[] = {
      {L"C:", L"C:\\"},
      {L"C:Program Files", L"C:\\Program Files"},
      {L"  C:\\Dir\\  ", L"C:\\Dir\\"},
      {L"C:\\Dir \\Sub.\\ Name", L"C:\\Dir\\Sub\\Name"},
      {L"C:\\Dir .  \\x", L"C:\\Dir\\x"},
      {L"C:\\a:b\\c?d", L"C:\\a_b\\c_d"},
      {L"\\\\?\\C:\\Dir\\", L"\\\\?\\C:\\Dir\\"},
      {L"\\\\?\\c:", L"\\\\?\\c:\\"},
      {L"\\\\server\\share\\x", L"\\\\server\\share\\x"},
      {L"1:odd", L"1_odd"},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(vo::MakeValidPath(c.input), c.expected) << c.input;
}

TEST(PathRules, MakeValidPathShortensTheLastBaseName) {
  const std::wstring folder = L"C:\\" + std::wstring(200, L'd') + L"\\";
  struct LongCase {
    std::wstring input, expected;
  } cases[] = {
      // 257 characters (the folder is 204): the base name loses the five over 252.
      {folder + std::wstring(49, L'n') + L".txt", folder + std::wstring(44, L'n') + L".txt"},
      {folder + std::wstring(53, L'n'), folder + std::wstring(48, L'n')},
      {folder + std::wstring(48, L'n') + L".txt\\", folder + std::wstring(43, L'n') + L".txt\\"},
      // Not enough base name to take from: one character stays.
      {folder + L"n." + std::wstring(60, L'e'), folder + L"n." + std::wstring(60, L'e')},
      // The prefix does not count toward the length.
      {L"\\\\?\\" + folder + std::wstring(48, L'n'), L"\\\\?\\" + folder + std::wstring(48, L'n')},
  };
  for (const LongCase& c : cases) EXPECT_EQ(vo::MakeValidPath(c.input), VoString(c.expected)) << c.input.size();
}

TEST(PathRules, ExpandInstallDrive) {
  struct DriveCase {
    const wchar_t *path, *install, *expected;
  } cases[] = {
      {L"(Install Drive):\\Media", L"D:\\Programs\\Halvora\\", L"D:\\Media"},
      {L"(install drive):\\Media", L"e:\\x", L"e:\\Media"},
      {L"(Install Drive):\\Media", L"\\\\srv\\share\\app\\", L"\\\\srv\\share\\Media"},
      {L"C:\\(Install Drive):\\x", L"D:\\", L"C:\\(Install Drive):\\x"},
      {L"(Install Drive):\\x", L"", L"(Install Drive):\\x"},
  };
  for (const DriveCase& c : cases) EXPECT_EQ(vo::ExpandInstallDrive(c.path, c.install), c.expected) << c.path;
}

TEST(PathRules, MakeAbsolutePath) {
  struct AbsCase {
    const wchar_t *base, *path, *expected;
  } cases[] = {
      {L"C:\\Base\\", L"", L""},
      {L"", L"rel\\x", L"rel\\x"},
      {L"C:\\Base\\", L"\\\\srv\\share\\x", L"\\\\srv\\share\\x"},
      {L"C:\\Base\\", L"D:\\x", L"D:\\x"},
      {L"C:\\Base\\", L"http://host/a/../b", L"http://host/a/../b"},
      {L"C:\\Base\\", L"sub\\file.txt", L"C:\\Base\\sub\\file.txt"},
      {L"C:\\Base\\Install.xml", L"sub\\file.txt", L"C:\\Base\\sub\\file.txt"},
      {L"C:\\Base\\Folder", L"file.txt", L"C:\\Base\\Folder\\file.txt"},
      {L"C:\\Base\\Sub\\", L"\\Other\\x", L"C:\\Other\\x"},
      {L"C:\\A\\B\\C\\", L"..\\..\\x", L"C:\\A\\x"},
      {L"C:\\A\\", L".\\x\\.\\y\\", L"C:\\A\\x\\y\\"},
      {L"C:\\A\\", L"..\\..\\..\\x", L"C:\\x"},
      {L"\\\\srv\\share\\dir\\", L"..\\..\\x", L"\\\\srv\\share\\x"},
      {L"rel\\", L"..\\..\\x", L"..\\x"},
      {L"C:", L"x", L"C:\\x"},
  };
  for (const AbsCase& c : cases) EXPECT_EQ(vo::MakeAbsolutePath(c.base, c.path), c.expected) << c.base << " + " << c.path;
}

TEST(PathRules, NextUniqueName) {
  const Case cases[] = {
      {L"C:\\Dir\\file.txt", L"C:\\Dir\\file (1).txt"},
      {L"C:\\Dir\\file (1).txt", L"C:\\Dir\\file (2).txt"},
      {L"C:\\Dir\\file (9).txt", L"C:\\Dir\\file (10).txt"},
      {L"C:\\Dir\\file (0).txt", L"C:\\Dir\\file (0) (1).txt"},
      {L"C:\\Dir\\file (9999)", L"C:\\Dir\\file (10000)"},
      {L"C:\\Dir\\file (10000)", L"C:\\Dir\\file (10000) (1)"},
      {L"C:\\Dir.d\\file", L"C:\\Dir.d\\file (1)"},
      {L"C:\\Dir\\.config", L"C:\\Dir\\.config (1)"},
      {L"C:\\Dir\\archive.tar.gz", L"C:\\Dir\\archive.tar (1).gz"},
      {L"C:\\Dir\\Folder\\", L"C:\\Dir\\Folder (1)\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(vo::NextUniqueName(c.input), c.expected) << c.input;
}

}  // namespace

#include "foundation/path_text.h"

#include <gtest/gtest.h>

namespace {

TEST(WithTrailingBackslash, ExactlyOneAtTheEnd) {
  struct Case { const wchar_t* path; const wchar_t* want; } cases[] = {
      {L"", L""},
      {L"C:", L"C:\\"},
      {L"C:\\Program Files", L"C:\\Program Files\\"},
      {L"C:\\Program Files\\", L"C:\\Program Files\\"},
      {L"C:\\Temp\\\\\\", L"C:\\Temp\\"},
      {L"\\", L"\\"},
      {L"\\\\", L"\\\\"},          // a network prefix stays whole
      {L"\\\\\\", L"\\"},
      {L"\\\\server\\share", L"\\\\server\\share\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(vo::WithTrailingBackslash(c.path), c.want) << VoString(c.path).ToUtf8();
}

TEST(NextNumberedName, CountsUpOrStartsAtOne) {
  struct Case { const wchar_t* name; const wchar_t* want; } cases[] = {
      {L"Name", L"Name (1)"},
      {L"Name (1)", L"Name (2)"},
      {L"Name (9)", L"Name (10)"},
      {L"Name (9999)", L"Name (10000)"},
      {L"Name(4)", L"Name(5)"},               // no space before: none after
      {L"Name_(4)", L"Name_(5)"},
      {L"(7)", L"(8)"},
      {L"Name (0)", L"Name (0) (1)"},         // no leading zero, 1-4 digits
      {L"Name (01)", L"Name (01) (1)"},
      {L"Name (12345)", L"Name (12345) (1)"},
      {L"Name ()", L"Name () (1)"},
      {L"Name (1a)", L"Name (1a) (1)"},
      {L"Name 3)", L"Name 3) (1)"},
      {L"Name (\u0661)", L"Name (\u0661) (1)"},  // ASCII digits only
      {L"", L" (1)"},
  };
  for (const auto& c : cases) EXPECT_EQ(vo::NextNumberedName(c.name), c.want) << VoString(c.name).ToUtf8();
}

}  // namespace

TEST(PathText, FolderAndFileNameParts) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* name;
  };
  const Case cases[] = {
      {L"C:\\Program Files\\Halvora\\Halvora.exe", L"C:\\Program Files\\Halvora\\", L"Halvora.exe"},
      {L"C:\\Halvora\\", L"C:\\Halvora\\", L""},
      {L"Halvora.exe", L"", L"Halvora.exe"},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vo::FolderOf(c.path), c.folder) << VoString(c.path).ToUtf8();
    EXPECT_EQ(vo::FileNameOf(c.path), c.name) << VoString(c.path).ToUtf8();
  }
}

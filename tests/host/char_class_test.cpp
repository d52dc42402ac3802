#include "foundation/char_class.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>
#include <string>

namespace {

// The cached classes of 0-255 follow the C locale once they are rebuilt.
TEST(CharClass, RebuiltTablesFollowTheLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const wchar_t e_acute = 0xE9;
  vo::RebuildCharacterTables();
  const bool before = vo::IsAlphaChar(e_acute);
  EXPECT_EQ(before, std::iswalpha(e_acute) != 0);

  const char* other = std::setlocale(LC_ALL, before ? "C" : "C.UTF-8");
  if (!other) other = std::setlocale(LC_ALL, before ? "C" : "English_United States.1252");
  if (!other || (std::iswalpha(e_acute) != 0) == before) {
    std::setlocale(LC_ALL, previous.c_str());
    vo::RebuildCharacterTables();
    GTEST_SKIP() << "no second locale that classifies U+00E9 differently";
  }
  EXPECT_EQ(vo::IsAlphaChar(e_acute), before);  // still the cached answer
  vo::RebuildCharacterTables();
  EXPECT_EQ(vo::IsAlphaChar(e_acute), !before);
  EXPECT_EQ(vo::ToLowerChar(0xC9), static_cast<wchar_t>(std::towlower(0xC9)));

  std::setlocale(LC_ALL, previous.c_str());
  vo::RebuildCharacterTables();
  EXPECT_EQ(vo::IsAlphaChar(e_acute), before);
}

}  // namespace

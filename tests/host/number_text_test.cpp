#include "foundation/number_text.h"
#include "foundation/string_format.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseInt, ReadsSignsDigitBlocksAndClamps) {
  struct Case { const wchar_t* text; int want; } cases[] = {
      {L" -12abc", -12},
      {L"99999999999", 2147483647},
      {L"-99999999999", -2147483647},
      {L"2147483647", 2147483647},
      {L"+7", 7},
      {L"", 0},
      {L"abc", 0},
      {L"\u0661\u0662", 12},          // Arabic-Indic
      {L"\uFF14\uFF12", 42},          // full-width
      {L"\u0E53\u0030", 30},          // Thai three, then ASCII zero
      {L"\u1819x", 9},                // Mongolian nine
  };
  for (const auto& c : cases) EXPECT_EQ(vo::ParseInt(c.text), c.want) << c.text;
}

TEST(ParseDouble, AcceptsBothSeparatorsFirstOnly) {
  EXPECT_DOUBLE_EQ(vo::ParseDouble(L"1,5"), 1.5);
  EXPECT_DOUBLE_EQ(vo::ParseDouble(L"1.5"), 1.5);
  EXPECT_DOUBLE_EQ(vo::ParseDouble(L"1.5.7"), 1.5);
  EXPECT_DOUBLE_EQ(vo::ParseDouble(L"  +-2.25"), -2.25);
  EXPECT_DOUBLE_EQ(vo::ParseDouble(L"\u20123"), -3.0);
  EXPECT_DOUBLE_EQ(vo::ParseDouble(L".5"), 0.5);
  EXPECT_DOUBLE_EQ(vo::ParseDouble(L"x"), 0.0);
}

TEST(ParseHex, SignPrefixAndDigits) {
  EXPECT_EQ(vo::ParseHex(L" ff"), 0xFFu);
  EXPECT_EQ(vo::ParseHex(L"0x1A", true), 0x1Au);
  EXPECT_EQ(vo::ParseHex(L"0x1A", false), 0u);  // the x stops the digits
  EXPECT_EQ(vo::ParseHex(L"-1"), ~uint64_t{0});
}

TEST(FormatNumbers, ShortestAndFixed) {
  EXPECT_EQ(vo::FormatDouble(0.5), L"0.5");
  EXPECT_EQ(vo::FormatDouble(2.0), L"2");
  EXPECT_EQ(vo::FormatDouble(0.1), L"0.1");
  EXPECT_EQ(vo::FormatDouble(1.0, 1), L"1.0");
  EXPECT_EQ(vo::FormatDouble(1.0 / 3, 40), L"0.3333333333333333");  // at most 16 decimals
  EXPECT_EQ(vo::FormatInt(-42), L"-42");
  EXPECT_EQ(vo::FormatVersion(23, 1, 0, 7), L"23.1.0.7");
  EXPECT_EQ(vo::FormatVersion(6, 0, 2), L"6.0.2");
}

TEST(VoFormat, DirectivesTheProgramUses) {
  EXPECT_EQ(VoFormat(L"%s|%s", L"a", VoString(L"b")), L"a|b");
  EXPECT_EQ(VoFormat(L"%02d:%02d", 5, 12), L"05:12");
  EXPECT_EQ(VoFormat(L"%.1f %.0f", 1.75, 3.25), L"1.8 3");
  EXPECT_EQ(VoFormat(L"%x %X", 255u, 255), L"ff FF");
  EXPECT_EQ(VoFormat(L"%d%%", -3), L"-3%");
  EXPECT_EQ(VoFormat(L"%-4s|%4s", L"ab", L"cd"), L"ab  |  cd");
  EXPECT_EQ(VoFormat(L"%p", reinterpret_cast<const void*>(0x1F)),
            sizeof(void*) == 8 ? L"000000000000001F" : L"0000001F");
  // Missing or mismatched arguments never read garbage.
  EXPECT_EQ(VoFormat(L"%s and %d", L"x"), L"x and 0");
  EXPECT_EQ(VoFormat(L"%s", 12), L"12");
  EXPECT_EQ(VoFormat(L"%q %d", 4), L"%q 4");
}

}  // namespace

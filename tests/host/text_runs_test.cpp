#include "foundation/text_runs.h"

#include <gtest/gtest.h>

namespace {

using TakeFn = VoString (*)(std::wstring_view, size_t&);

TEST(TextRuns, TakeTheLongestRunAndAdvance) {
  struct Case {
    const char* kind;
    TakeFn take;
    const wchar_t* text;
    size_t from;
    const wchar_t* run;
  } cases[] = {
      {"space", vo::TakeSpaceRun, L" \t\r\nx ", 0, L" \t\r\n"},
      {"space", vo::TakeSpaceRun, L"x ", 0, L""},
      {"alpha", vo::TakeAlphaRun, L"abc12", 0, L"abc"},
      {"alpha", vo::TakeAlphaRun, L"ab cd", 3, L"cd"},
      {"alpha", vo::TakeAlphaRun, L"don't", 0, L"don"},
      {"alpha", vo::TakeAlphaRun, L"ab", 5, L""},
      {"word", vo::TakeWordRun, L"don't stop", 0, L"don't"},
      {"word", vo::TakeWordRun, L"'tis", 0, L""},              // apostrophe may not open a word
      {"word", vo::TakeWordRun, L"it's'", 0, L"it's"},         // nor end one
      {"word", vo::TakeWordRun, L"can''t", 0, L"can"},
      {"word", vo::TakeWordRun, L"well-known.", 0, L"well-known"},
      {"word", vo::TakeWordRun, L"x\u2012ray", 0, L"x\u2012ray"},
      {"word", vo::TakeWordRun, L"-abc", 0, L"-abc"},          // a hyphen before a letter may
      {"word", vo::TakeWordRun, L"end- of", 0, L"end"},
      {"word", vo::TakeWordRun, L"a--b", 0, L"a"},
      {"word", vo::TakeWordRun, L"a'1", 0, L"a"},
      {"digit", vo::TakeDigitRun, L"123abc", 0, L"123"},
      {"digit", vo::TakeDigitRun, L"v10", 1, L"10"},
      {"digit", vo::TakeDigitRun, L"\u0661\u06622x", 0, L"\u0661\u06622"},  // the digits ParseInt reads
      {"digit", vo::TakeDigitRun, L"-1", 0, L""},
  };
  for (const auto& c : cases) {
    const std::wstring_view text(c.text);
    size_t pos = c.from;
    EXPECT_EQ(c.take(text, pos), c.run) << c.kind << " in \"" << VoString(c.text).ToUtf8() << "\"";
    const size_t start = std::min(c.from, text.size());
    EXPECT_EQ(pos, start + std::wstring_view(c.run).size()) << c.kind << " in \"" << VoString(c.text).ToUtf8() << "\"";
  }
}

TEST(TextRuns, SuccessiveRunsSplitAText) {
  const std::wstring_view text = L"Version 23 isn't out";
  size_t pos = 0;
  EXPECT_EQ(vo::TakeWordRun(text, pos), L"Version");
  EXPECT_EQ(vo::TakeSpaceRun(text, pos), L" ");
  EXPECT_EQ(vo::TakeDigitRun(text, pos), L"23");
  vo::TakeSpaceRun(text, pos);
  EXPECT_EQ(vo::TakeWordRun(text, pos), L"isn't");
  vo::TakeSpaceRun(text, pos);
  EXPECT_EQ(vo::TakeWordRun(text, pos), L"out");
  EXPECT_EQ(pos, text.size());
}

}  // namespace

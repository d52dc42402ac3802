#include "foundation/markup_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EscapeMarkup, OptionsChooseWhatIsEscaped) {
  // Control characters spelled out, so no escape sequence runs into the next.
  const std::wstring controls = {1, 2, L'\t', L'\n', L'\r', 11, 12, 31, L' '};
  struct Case { std::wstring text; unsigned options; std::wstring want; } cases[] = {
      {L"a<b>&c", 0, L"a&lt;b&gt;&amp;c"},
      {L"\"'", 0, L"\"'"},
      {L"\"'", vo::kEscapeQuote, L"&quot;'"},
      {L"\"'", vo::kEscapeApostrophe, L"\"&apos;"},
      {L"\"'", vo::kEscapeQuote | vo::kEscapeApostrophe, L"&quot;&apos;"},
      {controls, 0, controls},
      {controls, vo::kControlAsQuestion, controls},  // only together with kEscapeControl
      {controls, vo::kEscapeControl, L"&#x1;&#x2;\t\n\r&#xb;&#xc;&#x1f; "},
      {controls, vo::kEscapeControl | vo::kControlAsQuestion, L"&#x1;?\t\n\r??? "},
      {L"", vo::kEscapeQuote, L""},
  };
  for (const auto& c : cases) EXPECT_EQ(vo::EscapeMarkup(c.text, c.options), c.want) << c.options;
}

TEST(UnescapeMarkupForDisplay, ReferencesAndWhatIsLeftAlone) {
  struct Case { const wchar_t* text; const wchar_t* want; } cases[] = {
      {L"&lt;b&gt; &amp; &quot;", L"<b> & \""},
      {L"&#65;&#x42;&#X43;", L"ABC"},
      {L"&#x20AC;&#8364;", L"\u20AC\u20AC"},
      {L"&#65601;", L"A"},                              // one 16-bit unit: 65601 - 65536
      {L"&#x00000000041;", L"A"},
      {L"&nbsp;&ndash;&mdash;&rsquo;&apos;", L" --''"},  // the display substitutes
      {L"&eacute;&Eacute;&yuml;&THORN;", L"\u00E9\u00C9\u00FF\u00DE"},
      {L"&hellip;&ldquo;&rdquo;&frac12;", L"\u2026\u201C\u201D\u00BD"},
      {L"&EACUTE;", L"&EACUTE;"},                       // names are case-sensitive
      {L"&euro;", L"&euro;"},                           // not in the table
      {L"&nbspx;&nbsp", L"&nbspx;&nbsp"},
      {L"&#0;&#65536;", L"&#0;&#65536;"},               // no U+0000 in a display text
      {L"&#;&#x;&#65&#x4G;", L"&#;&#x;&#65&#x4G;"},
      {L"& amp;&;", L"& amp;&;"},
      {L"&&lt;&", L"&<&"},
      {L"&amp;lt;", L"&lt;"},                           // resolved once, not twice
      {L"tom &amp jerry &amp; co", L"tom &amp jerry & co"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vo::UnescapeMarkupForDisplay(c.text), c.want) << VoString(c.text).ToUtf8();
  }
}

TEST(UnescapeMarkupForDisplay, UndoesEscaping) {
  const std::wstring text = L"<a href=\"x\">Tom's & Jerry's</a>";
  EXPECT_EQ(vo::UnescapeMarkupForDisplay(vo::EscapeMarkup(text, vo::kEscapeQuote | vo::kEscapeApostrophe)), text);
}

}  // namespace

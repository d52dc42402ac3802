#include <gtest/gtest.h>

#include <string>

#include "foundation/text_decoding.h"

namespace {

using std::string_literals::operator""s;

VoString Decode(const std::string& bytes, int mode) {
  VoString text = L"unchanged";
  EXPECT_TRUE(vo::DecodeText(bytes, mode, text)) << mode;
  return text;
}

// Wide literals spell surrogate pairs out: VoString holds 16-bit units in
// both builds.

TEST(TextDecoding, DetectsTheEncoding) {
  using E = vo::DetectedEncoding;
  struct Case {
    std::string bytes;
    E encoding;
    size_t mark;
  } cases[] = {
      {"\xFF\xFE" "A\0"s, E::kUtf16LittleEndian, 2},
      {"\xFE\xFF\0A"s, E::kUtf16BigEndian, 2},
      {"\xEF\xBB\xBF" "abc", E::kUtf8, 3},
      {"A\0B\0"s, E::kUtf16LittleEndian, 0},
      {"A\0\0\0B\0\0\0"s, E::kUtf32, 0},
      // Only the first zero decides: two zeros are not a run of three.
      {"A\0\0B"s, E::kUtf16LittleEndian, 0},
      // Zeros at the end are padding, not a sign of wide units.
      {"plain\0\0\0"s, E::kAnsi, 0},
      {"caf\xC3\xA9", E::kUtf8, 0},
      {"\xE2\x82\xAC and \xF0\x9F\x98\x80", E::kUtf8, 0},
      {"ascii only", E::kAnsi, 0},
      {"caf\xE9", E::kAnsi, 0},
      // One malformed sequence outweighs a valid one.
      {"\xC3\xA9 \xC3", E::kAnsi, 0},
      {"\xC0\xAF", E::kAnsi, 0},          // overlong
      {"\xED\xA0\x80", E::kAnsi, 0},      // a surrogate
      {"\xF4\x90\x80\x80", E::kAnsi, 0},  // above U+10FFFF
      {"", E::kAnsi, 0},
  };
  for (const Case& c : cases) {
    const vo::TextDetection d = vo::DetectTextEncoding(c.bytes);
    EXPECT_EQ(d.encoding, c.encoding) << testing::PrintToString(c.bytes);
    EXPECT_EQ(d.mark_length, c.mark) << testing::PrintToString(c.bytes);
  }
}

TEST(TextDecoding, DecodesEachMode) {
  struct Case {
    std::string bytes;
    int mode;
    std::wstring text;
  } cases[] = {
      {"\xEF\xBB\xBF" "a\xC3\xA9", vo::kTextDetect, L"a\u00E9"},
      {"\xFF\xFE" "A\0\xAC\x20"s, vo::kTextDetect, L"A\u20AC"},
      {"\xFE\xFF\0A\x20\xAC"s, vo::kTextDetect, L"A\u20AC"},
      {"A\0B\0\0\0"s, vo::kTextDetect, L"AB"},
      {"A\0\0\0\x00\xF6\x01\0"s, vo::kTextDetect, L"A\xD83D\xDE00"},
      {"a\xE2\x82\xAC", vo::kTextDetect, L"a\u20AC"},
      {"plain\0\0"s, vo::kTextDetect, L"plain"},
      {"\xEF\xBB\xBF" "x", vo::kTextUtf8, L"\uFEFFx"},
      {"\xEF\xBB\xBF" "x", vo::kTextUtf8NoMark, L"x"},
      {"x\xEF\xBB\xBF", vo::kTextUtf8NoMark, L"x\uFEFF"},
      {"\xFF\xFE" "A\0"s, vo::kTextUtf16, L"\uFEFFA"},
      {"A\0B"s, vo::kTextUtf16, L"A"},
      {"A\0\0\0\xFF\xFF\x11\0\x00\xD8\0\0"s, vo::kTextUtf32, L"A\uFFFD\uFFFD"},
      {"ascii", vo::kTextAnsi, L"ascii"},
      {"", vo::kTextDetect, L""},
  };
  for (const Case& c : cases) EXPECT_EQ(Decode(c.bytes, c.mode), VoString(c.text)) << testing::PrintToString(c.bytes);
}

TEST(TextDecoding, UnknownModesFailAndLeaveTheText) {
  for (int mode : {4, 7, -1}) {
    VoString text = L"kept";
    EXPECT_FALSE(vo::DecodeText("abc", mode, text)) << mode;
    EXPECT_EQ(text, L"kept");
  }
  std::string bytes = "kept";
  for (int mode : {0, 4, 5, 6}) {
    EXPECT_FALSE(vo::EncodeText(L"x", mode, bytes)) << mode;
    EXPECT_EQ(bytes, "kept");
  }
}

TEST(TextDecoding, EncodesEachMode) {
  struct Case {
    std::wstring text;
    int mode;
    std::string bytes;
  } cases[] = {
      {L"ab", vo::kTextAnsi, "ab"},
      {L"a\u20AC", vo::kTextUtf8, "a\xE2\x82\xAC"},
      {L"A\u20AC", vo::kTextUtf16, "\xFF\xFE" "A\0\xAC\x20"s},
      {L"", vo::kTextUtf16, "\xFF\xFE"},
      {L"", vo::kTextUtf8, ""},
  };
  for (const Case& c : cases) {
    std::string bytes;
    EXPECT_TRUE(vo::EncodeText(c.text, c.mode, bytes));
    EXPECT_EQ(bytes, c.bytes) << c.mode;
  }
}

TEST(TextDecoding, WrittenTextsReadBackThroughDetection) {
  const std::wstring texts[] = {L"plain", L"\u00E9t\u00E9 \u4E2D\u6587 \xD83D\xDE00", L"\uFEFFmarked"};
  for (const std::wstring& text : texts) {
    for (int mode : {vo::kTextUtf8, vo::kTextUtf16}) {
      std::string bytes;
      ASSERT_TRUE(vo::EncodeText(text, mode, bytes));
      // Detection takes a leading UTF-8 mark for the file's own and drops
      // it; UTF-16 writes its own mark before the text's.
      const bool mark_dropped = mode == vo::kTextUtf8 && text[0] == 0xFEFF;
      EXPECT_EQ(Decode(bytes, vo::kTextDetect), VoString(mark_dropped ? text.substr(1) : text)) << mode;
    }
  }
}

}  // namespace

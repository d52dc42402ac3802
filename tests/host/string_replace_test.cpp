#include "foundation/string_replace.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Hit {
  size_t pattern, position;
  bool operator==(const Hit&) const = default;
};

std::vector<Hit> Plain(const std::vector<VoStringReplaceHit>& hits) {
  std::vector<Hit> out;
  for (const auto& h : hits) out.push_back({h.pattern, h.position});
  return out;
}

TEST(ReplaceAll, EarliestMatchWinsAndScanningResumesAfterIt) {
  struct Case {
    const wchar_t* text;
    std::vector<VoString> patterns, replacements;
    unsigned flags;
    const wchar_t* want;
    std::vector<Hit> hits;
  } cases[] = {
      {L"ABab", {L"ab"}, {L"x"}, vo::kReplaceIgnoreCase, L"xx", {{0, 0}, {0, 2}}},
      {L"ABab", {L"ab"}, {L"x"}, 0, L"ABx", {{0, 2}}},
      {L"abcd", {L"bc", L"abc"}, {L"1", L"2"}, 0, L"2d", {{1, 0}}},           // earlier start beats index
      {L"abc", {L"ab", L"abc"}, {L"1", L"2"}, 0, L"1c", {{0, 0}}},            // same start: lower index
      {L"abc", {L"abc", L"ab"}, {L"1", L"2"}, 0, L"1", {{0, 0}}},
      {L"aaaaa", {L"aa"}, {L"b"}, 0, L"bba", {{0, 0}, {0, 2}}},               // hits do not overlap
      {L"ab ba", {L"a", L"b"}, {L"b", L"a"}, 0, L"ba ab", {{0, 0}, {1, 1}, {1, 3}, {0, 4}}},  // one pass
      {L"a", {L"a"}, {L"aa"}, 0, L"aa", {{0, 0}}},                            // replacement not rescanned
      {L"x-y", {L"-"}, {L""}, 0, L"xy", {{0, 1}}},
      {L"abc", {L"b", L""}, {L"1", L"2"}, 0, L"abc", {}},                     // an empty pattern: nothing
      {L"abc", {}, {}, 0, L"abc", {}},
      {L"abc", {L"z"}, {L"1"}, 0, L"abc", {}},
      {L"", {L"a"}, {L"1"}, 0, L"", {}},
  };
  for (const auto& c : cases) {
    VoString text(c.text);
    std::vector<VoStringReplaceHit> hits;
    EXPECT_EQ(vo::ReplaceAll(text, c.patterns, c.replacements, c.flags, &hits), c.hits.size()) << c.text;
    EXPECT_EQ(text, c.want) << c.text;
    EXPECT_EQ(Plain(hits), c.hits) << c.text;
  }
}

TEST(ReplaceAll, ListsOfDifferentLengthChangeNothing) {
  VoString text(L"abc");
  const std::vector<VoString> patterns{L"a", L"b"}, replacements{L"1"};
  EXPECT_EQ(vo::ReplaceAll(text, patterns, replacements), 0u);
  EXPECT_EQ(text, L"abc");
}

TEST(ReplaceAll, SinglePattern) {
  VoString text(L"Path\\To\\File");
  EXPECT_EQ(vo::ReplaceAll(text, VoString(L"\\"), VoString(L"/")), 2u);
  EXPECT_EQ(text, L"Path/To/File");
}

// The scan keeps each pattern's next match and refreshes only those that fell
// behind; compare it with the plain definition on many small random inputs.
std::vector<Hit> DefinitionHits(const std::wstring& text, const std::vector<VoString>& patterns) {
  std::vector<Hit> hits;
  for (size_t pos = 0; pos < text.size();) {
    bool found = false;
    for (size_t at = pos; at < text.size() && !found; ++at) {
      for (size_t i = 0; i < patterns.size(); ++i) {
        if (text.compare(at, patterns[i].Length(), patterns[i].Std()) == 0) {
          hits.push_back({i, at});
          pos = at + patterns[i].Length();
          found = true;
          break;
        }
      }
    }
    if (!found) break;
  }
  return hits;
}

TEST(FindReplaceHits, AgreesWithTheDefinitionOnRandomTexts) {
  std::mt19937 random(12345);
  auto word = [&](size_t max_length) {
    std::wstring w(1 + random() % max_length, L'a');
    for (auto& c : w) c = static_cast<wchar_t>(L'a' + random() % 3);
    return w;
  };
  for (int round = 0; round < 2000; ++round) {
    const std::wstring text = word(40);
    std::vector<VoString> patterns;
    for (size_t n = 1 + random() % 4; n > 0; --n) patterns.emplace_back(word(3));
    ASSERT_EQ(Plain(vo::FindReplaceHits(text, patterns)), DefinitionHits(text, patterns)) << text;
  }
}

}  // namespace

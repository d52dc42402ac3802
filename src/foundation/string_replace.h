#pragma once
// Find and replace of several patterns in one scan: at each step the earliest
// match of any pattern wins (the lower pattern index on a tie), scanning goes
// on after it, and all hits are replaced together at the end.

#include <cstddef>
#include <span>
#include <vector>

#include "vo_string.h"

struct VoStringReplaceHit {
  size_t pattern = 0;   // index into the patterns
  size_t position = 0;  // code-unit index in the original text
};

namespace vo {

enum ReplaceFlags : unsigned { kReplaceIgnoreCase = 1 };

// Lists the non-overlapping hits of `patterns` in `text`. Nothing is found
// when there are no patterns or any pattern is empty.
std::vector<VoStringReplaceHit> FindReplaceHits(std::wstring_view text, std::span<const VoString> patterns,
                                                unsigned flags = 0);

// Replaces every hit of patterns[i] by replacements[i] and returns the number
// of hits. Nothing happens (0) when a pattern is empty or the two lists differ
// in length. `hits`, when given, receives the hits in text order.
size_t ReplaceAll(VoString& text, std::span<const VoString> patterns, std::span<const VoString> replacements,
                  unsigned flags = 0, std::vector<VoStringReplaceHit>* hits = nullptr);

// The single-pattern case.
size_t ReplaceAll(VoString& text, const VoString& pattern, const VoString& replacement, unsigned flags = 0);

}  // namespace vo

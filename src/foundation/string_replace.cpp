#include "string_replace.h"

#include "text_search.h"

namespace vo {
namespace {

size_t FindFrom(std::wstring_view text, std::wstring_view what, size_t from, bool ignore_case) {
  if (from > text.size()) return VoString::npos;
  return ignore_case ? FindTextNoCase(text, what, from) : text.find(what, from);
}

}  // namespace

std::vector<VoStringReplaceHit> FindReplaceHits(std::wstring_view text, std::span<const VoString> patterns,
                                                unsigned flags) {
  std::vector<VoStringReplaceHit> hits;
  if (patterns.empty()) return hits;
  for (const auto& p : patterns) {
    if (p.IsEmpty()) return hits;
  }
  const bool ignore_case = (flags & kReplaceIgnoreCase) != 0;

  // The next match of each pattern at or after the scan position. A match
  // found earlier stays valid while it lies at or after the position, so only
  // the patterns that fell behind are searched again.
  std::vector<size_t> next(patterns.size());
  for (size_t i = 0; i < patterns.size(); ++i) next[i] = FindFrom(text, patterns[i], 0, ignore_case);

  size_t pos = 0;
  for (;;) {
    size_t best = VoString::npos;
    size_t best_index = 0;
    for (size_t i = 0; i < next.size(); ++i) {
      if (next[i] < best) {
        best = next[i];
        best_index = i;
      }
    }
    if (best == VoString::npos) break;
    hits.push_back({best_index, best});
    pos = best + patterns[best_index].Length();
    for (size_t i = 0; i < next.size(); ++i) {
      if (next[i] != VoString::npos && next[i] < pos) next[i] = FindFrom(text, patterns[i], pos, ignore_case);
    }
  }
  return hits;
}

size_t ReplaceAll(VoString& text, std::span<const VoString> patterns, std::span<const VoString> replacements,
                  unsigned flags, std::vector<VoStringReplaceHit>* hits_out) {
  if (hits_out) hits_out->clear();
  if (patterns.size() != replacements.size()) return 0;
  std::vector<VoStringReplaceHit> hits = FindReplaceHits(text, patterns, flags);
  if (hits.empty()) return 0;

  const std::wstring_view source = text.View();
  VoString out;
  out.Reserve(source.size());
  size_t copied = 0;
  for (const auto& hit : hits) {
    out += source.substr(copied, hit.position - copied);
    out += replacements[hit.pattern].View();
    copied = hit.position + patterns[hit.pattern].Length();
  }
  out += source.substr(copied);
  text = std::move(out);

  const size_t count = hits.size();
  if (hits_out) *hits_out = std::move(hits);
  return count;
}

size_t ReplaceAll(VoString& text, const VoString& pattern, const VoString& replacement, unsigned flags) {
  return ReplaceAll(text, std::span<const VoString>(&pattern, 1), std::span<const VoString>(&replacement, 1), flags);
}

}  // namespace vo

#include "text_search.h"

#include <atomic>

#include "char_class.h"
#include "vo_string.h"

namespace vo {
namespace {

size_t BuiltInFindNoCase(std::wstring_view text, std::wstring_view what, size_t from) {
  if (what.empty()) return from <= text.size() ? from : VoString::npos;
  if (what.size() > text.size()) return VoString::npos;
  const wchar_t first = ToLowerChar(what[0]);
  for (size_t i = from; i + what.size() <= text.size(); ++i) {
    if (ToLowerChar(text[i]) != first) continue;
    if (CompareNoCase(text.substr(i, what.size()), what) == 0) return i;
  }
  return VoString::npos;
}

int BuiltInCompareForSort(std::wstring_view a, std::wstring_view b, unsigned options) {
  if (options & kSortIgnoreCase) return CompareNoCase(a, b);
  return VoString(a).Compare(b);
}

std::atomic<FindNoCaseFn> g_find{nullptr};
std::atomic<CompareForSortFn> g_compare{nullptr};

}  // namespace

void RouteTextSearch(FindNoCaseFn find, CompareForSortFn compare) {
  g_find = find;
  g_compare = compare;
}

size_t FindTextNoCase(std::wstring_view text, std::wstring_view what, size_t from) {
  if (auto fn = g_find.load()) return fn(text, what, from);
  return BuiltInFindNoCase(text, what, from);
}

size_t FindTextNoCaseBuiltIn(std::wstring_view text, std::wstring_view what, size_t from) {
  return BuiltInFindNoCase(text, what, from);
}

int CompareForSort(std::wstring_view a, std::wstring_view b, unsigned options) {
  if (auto fn = g_compare.load()) return fn(a, b, options);
  return BuiltInCompareForSort(a, b, options);
}

}  // namespace vo

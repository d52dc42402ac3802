#pragma once
// Case-insensitive search and the string comparison used for sorting. Both
// are answered by the tools library's text utilities once it is loaded; until
// then (and in the portable tests) the core's own case folding answers them.

#include <cstddef>
#include <string_view>

namespace vo {

using FindNoCaseFn = size_t (*)(std::wstring_view text, std::wstring_view what, size_t from);
using CompareForSortFn = int (*)(std::wstring_view a, std::wstring_view b, unsigned options);

// Sort comparison options.
enum SortOptions : unsigned { kSortIgnoreCase = 1 };

// Installs the tools library's routines; null restores the built-in ones.
void RouteTextSearch(FindNoCaseFn find, CompareForSortFn compare);

size_t FindTextNoCase(std::wstring_view text, std::wstring_view what, size_t from = 0);
// The core's own search, with its own case folding, whatever is routed.
size_t FindTextNoCaseBuiltIn(std::wstring_view text, std::wstring_view what, size_t from = 0);
int CompareForSort(std::wstring_view a, std::wstring_view b, unsigned options);

}  // namespace vo

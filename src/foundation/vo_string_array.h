#pragma once
// An ordered array of texts.

#include <string_view>

#include "quick_sort.h"
#include "text_search.h"
#include "vo_array.h"
#include "vo_string.h"

class VoStringArray : public VoArray<VoString> {
 public:
  using VoArray<VoString>::VoArray;

  // Index of the first element equal to `text` at or after `from`, or npos.
  size_t Find(std::wstring_view text, size_t from = 0) const;
  size_t FindNoCase(std::wstring_view text, size_t from = 0) const;

  VoString Join(std::wstring_view separator) const;

  // Splits at every occurrence of `separator`, keeping empty parts between
  // separators ("a,,b" gives three). An empty text gives no elements; an
  // empty separator gives the whole text as one.
  static VoStringArray Split(std::wstring_view text, std::wstring_view separator);

  // Sorts with the program's sort comparison (vo::CompareForSort) and its
  // options, e.g. vo::kSortIgnoreCase.
  void Sort(unsigned options = 0, const vo::QuickSortOptions& threads = {});
};

#pragma once
// The text of an initialization file, answering (section, key) lookups the
// way GetPrivateProfileStringW does, for the tests and fuzzers of readers
// that take such a lookup: section and key names compare without regard to
// case, the first section and the first key of a name count, names and
// values are trimmed, one pair of enclosing quotes is removed, lines
// starting with ";" are comments, and a value is cut to a length.

#include <string_view>
#include <utility>
#include <vector>

#include "foundation/vo_string.h"

class IniText {
 public:
  explicit IniText(std::wstring_view text);

  // Empty when the section or key is missing.
  VoString Get(std::wstring_view section, std::wstring_view key, size_t max_length) const;

 private:
  struct Section {
    VoString name;
    std::vector<std::pair<VoString, VoString>> values;
  };
  std::vector<Section> sections_;
};

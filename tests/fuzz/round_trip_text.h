#pragma once
// What the fuzzers of written forms may expect to read back unchanged.

#include <string_view>

#include "foundation/property_map.h"

// The XML writer turns control characters into "?", so such texts cannot come back.
inline bool WritesBackExactly(std::wstring_view text) {
  for (wchar_t c : text) {
    const auto u = static_cast<unsigned>(c);
    if (u < 32 && u != 1 && u != 9 && u != 10 && u != 13) return false;
  }
  return true;
}

inline bool WritesBackExactly(const VoPropertyMap& map) {
  bool exact = true;
  map.ForEach([&](const VoString& k, const VoString& v) {
    exact = exact && WritesBackExactly(k.View()) && WritesBackExactly(v.View());
  });
  return exact;
}

#include "vo_string_map.h"

#include "char_class.h"

uint32_t VoStringNoCaseTraits::Hash(std::wstring_view key) {
  uint32_t hash = 0;
  for (const wchar_t c : key) hash = hash * 65599u + (static_cast<uint32_t>(vo::ToLowerChar(c)) & 0xFFFFu);
  return hash;
}

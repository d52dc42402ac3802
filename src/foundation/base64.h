#pragma once
// Base64 with the standard alphabet and "=" as the fill character.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "vo_string.h"

namespace vo {

VoString EncodeBase64(const void* data, size_t size);
inline VoString EncodeBase64(std::string_view bytes) { return EncodeBase64(bytes.data(), bytes.size()); }
inline VoString EncodeBase64(const std::vector<uint8_t>& bytes) { return EncodeBase64(bytes.data(), bytes.size()); }

// Line breaks (CR, LF) are skipped, any other character outside the alphabet
// counts as 0, and the first "=" ends the data. A last group of a single
// character carries no whole byte and is dropped.
std::vector<uint8_t> DecodeBase64(std::wstring_view text);

}  // namespace vo

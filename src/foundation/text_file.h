#pragma once
// Reading and writing whole text files in the encodings of text_decoding.h.
// Paths are opened by their UTF-16 name on Windows.

#include <string>

#include "text_decoding.h"
#include "vo_string.h"

namespace vo {

bool ReadFileBytes(const VoString& path, std::string& bytes);

// An empty name reads as an empty text. Resources on the network ("://")
// are not read here and fail.
bool ReadTextFile(const VoString& path, int mode, VoString& text);

// Modes 1 (ANSI) and 2 (UTF-8) without a mark, 3 (UTF-16 with FF FE). True
// only when every byte reached the file.
bool WriteTextFile(const VoString& path, std::wstring_view text, int mode);

}  // namespace vo

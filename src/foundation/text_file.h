#pragma once
// Reading and writing whole text files in the encodings of text_decoding.h.
// Paths are opened by their UTF-16 name on Windows.

#include <string>

#include "text_decoding.h"
#include "vo_string.h"

namespace vo {

bool ReadFileBytes(const VoString& path, std::string& bytes);
// Creates or replaces the file; true only when every byte reached it.
bool WriteFileBytes(const VoString& path, std::string_view bytes);

// An empty name reads as an empty text. Goes through the text resource
// reader when one is set (the file loader, which also reads URLs), else
// through ReadLocalTextFile.
bool ReadTextFile(const VoString& path, int mode, VoString& text);
// Reads from disk only: resources on the network ("://") fail.
bool ReadLocalTextFile(const VoString& path, int mode, VoString& text);

// The reader of text resources of this process; null restores the local
// one. Returns the previous reader.
using TextResourceReader = bool (*)(const VoString& resource, int mode, VoString& text);
TextResourceReader SetTextResourceReader(TextResourceReader reader);

// Modes 1 (ANSI) and 2 (UTF-8) without a mark, 3 (UTF-16 with FF FE). True
// only when every byte reached the file.
bool WriteTextFile(const VoString& path, std::wstring_view text, int mode);

}  // namespace vo

#pragma once
// The system's ANSI code page, the one conversion in the text rules that
// depends on the platform. Windows converts through the active code page;
// the native build reads and writes Latin-1.

#include <string>
#include <string_view>

#include "vo_string.h"

namespace vo {

VoString AnsiToText(std::string_view bytes);
// Characters without a form in the code page become "?".
std::string TextToAnsi(std::wstring_view text);

}  // namespace vo

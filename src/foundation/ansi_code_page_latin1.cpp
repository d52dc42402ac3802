// The native build's stand-in for the ANSI code page: Latin-1, where each
// byte is the code point of the same value. Windows builds use the system's
// code page instead (win/core/ansi_code_page.cpp).
#ifndef _WIN32

#include "ansi_code_page.h"

namespace vo {

VoString AnsiToText(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return VoString(std::move(out));
}

std::string TextToAnsi(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out.push_back(static_cast<unsigned>(c) < 256 ? static_cast<char>(c) : '?');
  return out;
}

}  // namespace vo

#endif

// The ANSI code page of the running system. Built into the portable core's
// library for Windows so every user of the text rules gets it.
#include <windows.h>

#include "foundation/ansi_code_page.h"

namespace vo {

VoString AnsiToText(std::string_view bytes) {
  if (bytes.empty()) return VoString();
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return VoString();
  std::wstring out(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, out.data(), needed);
  return VoString(std::move(out));
}

std::string TextToAnsi(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
  return out;
}

}  // namespace vo

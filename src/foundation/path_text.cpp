#include "path_text.h"

#include "string_format.h"

namespace vo {

VoString WithTrailingBackslash(std::wstring_view path) {
  if (path.empty() || path == L"\\\\") return VoString(path);
  size_t end = path.size();
  while (end > 0 && path[end - 1] == L'\\') --end;
  VoString out(path.substr(0, end));
  out += L'\\';
  return out;
}

VoString NextNumberedName(std::wstring_view name) {
  // Digits are ASCII only: the suffix is written with ASCII digits, and a
  // name that merely looks numbered in another script is not one of ours.
  if (name.size() >= 3 && name.back() == L')') {
    const size_t close = name.size() - 1;
    size_t open = close;
    while (open > 0 && name[open - 1] >= L'0' && name[open - 1] <= L'9') --open;
    const size_t digits = close - open;
    if (open > 0 && name[open - 1] == L'(' && digits >= 1 && digits <= 4 && name[open] != L'0') {
      int number = 0;
      for (size_t i = open; i < close; ++i) number = number * 10 + (name[i] - L'0');
      return VoFormat(L"%s(%d)", name.substr(0, open - 1), number + 1);
    }
  }
  return VoFormat(L"%s (1)", name);
}

VoString FolderOf(std::wstring_view path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring_view::npos ? VoString() : VoString(path.substr(0, slash + 1));
}

VoString FileNameOf(std::wstring_view path) {
  const size_t slash = path.rfind(L'\\');
  return VoString(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

}  // namespace vo

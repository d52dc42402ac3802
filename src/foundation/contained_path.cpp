#include "contained_path.h"

namespace vo {
namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

bool IsForbiddenCharacter(wchar_t c) {
  return c < 32 || c == L':' || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*';
}

bool IsOnlyDotsAndBlanks(std::wstring_view step) {
  return step.find_first_not_of(L". ") == std::wstring_view::npos;
}

// Windows opens a device for these names whatever extension follows them.
bool IsDeviceName(std::wstring_view step) {
  std::wstring_view base = step.substr(0, step.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (EqualsNoCase(base, device)) return true;
  }
  if (base.size() == 4 && (StartsWithNoCase(base, L"COM") || StartsWithNoCase(base, L"LPT"))) {
    return base[3] >= L'1' && base[3] <= L'9';
  }
  return false;
}

}  // namespace

bool SplitContainedPath(std::wstring_view relative, VoStringArray& names) {
  names.Clear();
  if (relative.empty() || IsSeparator(relative.front())) return false;
  VoStringArray steps;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = start;
    while (end < relative.size() && !IsSeparator(relative[end])) ++end;
    const std::wstring_view step = relative.substr(start, end - start);
    start = end + 1;
    if (step.empty() || step == L".") continue;
    for (wchar_t c : step) {
      if (IsForbiddenCharacter(c)) return false;
    }
    if (IsOnlyDotsAndBlanks(step) || IsDeviceName(step)) return false;
    steps.Add(VoString(step));
  }
  if (steps.IsEmpty()) return false;
  names = std::move(steps);
  return true;
}

bool StaysInsideFolder(std::wstring_view relative) {
  VoStringArray names;
  return SplitContainedPath(relative, names);
}

}  // namespace vo

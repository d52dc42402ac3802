#include "text_runs.h"

#include "char_class.h"
#include "number_text.h"

namespace vo {
namespace {

template <typename Belongs>
VoString TakeRun(std::wstring_view text, size_t& pos, Belongs belongs) {
  const size_t start = pos < text.size() ? pos : text.size();
  size_t end = start;
  while (end < text.size() && belongs(text, start, end)) ++end;
  pos = end;
  return VoString(text.substr(start, end - start));
}

bool LetterAt(std::wstring_view text, size_t i) { return i < text.size() && IsAlphaChar(text[i]); }

}  // namespace

VoString TakeSpaceRun(std::wstring_view text, size_t& pos) {
  return TakeRun(text, pos, [](std::wstring_view t, size_t, size_t i) { return IsSpaceChar(t[i]); });
}

VoString TakeAlphaRun(std::wstring_view text, size_t& pos) {
  return TakeRun(text, pos, [](std::wstring_view t, size_t, size_t i) { return IsAlphaChar(t[i]); });
}

VoString TakeWordRun(std::wstring_view text, size_t& pos) {
  return TakeRun(text, pos, [](std::wstring_view t, size_t start, size_t i) {
    const wchar_t c = t[i];
    if (IsAlphaChar(c)) return true;
    if (c == L'\'') return i > start && LetterAt(t, i + 1);
    if (c == L'-' || c == 0x2012) return LetterAt(t, i + 1);
    return false;
  });
}

VoString TakeDigitRun(std::wstring_view text, size_t& pos) {
  return TakeRun(text, pos, [](std::wstring_view t, size_t, size_t i) { return DecimalDigitValue(t[i]) >= 0; });
}

}  // namespace vo

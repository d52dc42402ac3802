#include "xml_text.h"

#include "markup_escape.h"

namespace vo {
namespace {

struct NamedReference {
  std::wstring_view name;  // with its semicolon
  wchar_t value;
};
constexpr NamedReference kNamed[] = {
    {L"lt;", L'<'}, {L"amp;", L'&'}, {L"gt;", L'>'}, {L"apos;", L'\''}, {L"quot;", L'"'},
};

// Reads a reference whose "&" stands at `amp`. Returns the characters it
// spans (0 when it is not one) and its value.
size_t ReadReference(std::wstring_view t, size_t amp, wchar_t& value) {
  const std::wstring_view rest = t.substr(amp + 1);
  if (rest.empty()) return 0;
  if (rest[0] != L'#') {
    for (const auto& ref : kNamed) {
      if (rest.substr(0, ref.name.size()) == ref.name) {
        value = ref.value;
        return ref.name.size() + 1;
      }
    }
    return 0;
  }
  const bool hex = rest.size() > 1 && rest[1] == L'x';
  size_t i = hex ? 2 : 1;
  uint32_t v = 0;
  size_t digits = 0;
  for (; i < rest.size() && digits <= 7; ++i, ++digits) {
    const wchar_t c = rest[i];
    int d;
    if (c >= L'0' && c <= L'9') d = c - L'0';
    else if (hex && c >= L'a' && c <= L'f') d = c - L'a' + 10;
    else if (hex && c >= L'A' && c <= L'F') d = c - L'A' + 10;
    else break;
    v = v * (hex ? 16 : 10) + static_cast<uint32_t>(d);
  }
  if (digits == 0 || digits > 7 || i >= rest.size() || rest[i] != L';') return 0;
  v &= 0xFFFF;  // one 16-bit code unit
  if (v == 0) return 0;
  value = static_cast<wchar_t>(v);
  return i + 2;
}

}  // namespace

void AppendUnescapedXml(VoString& out, std::wstring_view t) {
  size_t copied = 0;
  for (size_t amp = t.find(L'&'); amp != std::wstring_view::npos; amp = t.find(L'&', amp + 1)) {
    wchar_t value;
    const size_t span = ReadReference(t, amp, value);
    if (!span) continue;
    out += t.substr(copied, amp - copied);
    out += value;
    copied = amp + span;
    amp = copied - 1;
  }
  out += t.substr(copied);
}

VoString UnescapeXml(std::wstring_view text) {
  VoString out;
  out.Reserve(text.size());
  AppendUnescapedXml(out, text);
  return out;
}

}  // namespace vo

namespace vo {

VoString EscapeXml(std::wstring_view text, bool attribute) {
  unsigned options = kEscapeControl | kControlAsQuestion;
  if (attribute) options |= kEscapeQuote | kEscapeApostrophe;
  return EscapeMarkup(text, options);
}

}  // namespace vo

#include "markup_escape.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace vo {
namespace {

bool IsSpecialControl(wchar_t c) {
  const auto u = static_cast<uint32_t>(c);
  return u <= 8 || u == 11 || u == 12 || (u >= 14 && u <= 31);
}

void AppendHexReference(VoString& out, uint32_t value) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  wchar_t digits[8];
  int n = 0;
  do {
    digits[n++] = kHex[value & 15];
    value >>= 4;
  } while (value != 0 && n < 8);
  out += L"&#x";
  while (n > 0) out += digits[--n];
  out += L';';
}

struct NamedReference {
  std::wstring_view name;
  char16_t unit;
};

// Sorted by name in code-unit order for the binary search below.
constexpr NamedReference kNamedReferences[] = {
    {L"AElig", 0xC6},  {L"Aacute", 0xC1}, {L"Acirc", 0xC2},  {L"Agrave", 0xC0}, {L"Aring", 0xC5},
    {L"Atilde", 0xC3}, {L"Auml", 0xC4},   {L"Ccedil", 0xC7}, {L"ETH", 0xD0},    {L"Eacute", 0xC9},
    {L"Ecirc", 0xCA},  {L"Egrave", 0xC8}, {L"Euml", 0xCB},   {L"Iacute", 0xCD}, {L"Icirc", 0xCE},
    {L"Igrave", 0xCC}, {L"Iuml", 0xCF},   {L"Ntilde", 0xD1}, {L"Oacute", 0xD3}, {L"Ocirc", 0xD4},
    {L"Ograve", 0xD2}, {L"Oslash", 0xD8}, {L"Otilde", 0xD5}, {L"Ouml", 0xD6},   {L"THORN", 0xDE},
    {L"Uacute", 0xDA}, {L"Ucirc", 0xDB},  {L"Ugrave", 0xD9}, {L"Uuml", 0xDC},   {L"Yacute", 0xDD},
    {L"aacute", 0xE1}, {L"acirc", 0xE2},  {L"acute", 0xB4},  {L"aelig", 0xE6},  {L"agrave", 0xE0},
    {L"amp", 0x26},    {L"apos", 0x27},   {L"aring", 0xE5},  {L"atilde", 0xE3}, {L"auml", 0xE4},
    {L"brvbar", 0xA6}, {L"ccedil", 0xE7}, {L"cedil", 0xB8},  {L"cent", 0xA2},   {L"copy", 0xA9},
    {L"curren", 0xA4}, {L"deg", 0xB0},    {L"divide", 0xF7}, {L"eacute", 0xE9}, {L"ecirc", 0xEA},
    {L"egrave", 0xE8}, {L"eth", 0xF0},    {L"euml", 0xEB},   {L"frac12", 0xBD}, {L"frac14", 0xBC},
    {L"frac34", 0xBE}, {L"gt", 0x3E},     {L"hellip", 0x2026}, {L"iacute", 0xED}, {L"icirc", 0xEE},
    {L"iexcl", 0xA1},  {L"igrave", 0xEC}, {L"iquest", 0xBF}, {L"iuml", 0xEF},   {L"laquo", 0xAB},
    {L"ldquo", 0x201C}, {L"lt", 0x3C},    {L"macr", 0xAF},   {L"mdash", 0x2D},  {L"micro", 0xB5},
    {L"middot", 0xB7}, {L"nbsp", 0x20},   {L"ndash", 0x2D},  {L"not", 0xAC},    {L"ntilde", 0xF1},
    {L"oacute", 0xF3}, {L"ocirc", 0xF4},  {L"ograve", 0xF2}, {L"ordf", 0xAA},   {L"ordm", 0xBA},
    {L"oslash", 0xF8}, {L"otilde", 0xF5}, {L"ouml", 0xF6},   {L"para", 0xB6},   {L"plusmn", 0xB1},
    {L"pound", 0xA3},  {L"quot", 0x22},   {L"raquo", 0xBB},  {L"rdquo", 0x201D}, {L"reg", 0xAE},
    {L"rsquo", 0x27},  {L"sect", 0xA7},   {L"shy", 0xAD},    {L"sup1", 0xB9},   {L"sup2", 0xB2},
    {L"sup3", 0xB3},   {L"szlig", 0xDF},  {L"thorn", 0xFE},  {L"times", 0xD7},  {L"uacute", 0xFA},
    {L"ucirc", 0xFB},  {L"ugrave", 0xF9}, {L"uml", 0xA8},    {L"uuml", 0xFC},   {L"yacute", 0xFD},
    {L"yen", 0xA5},    {L"yuml", 0xFF},
};

constexpr bool NameBefore(const NamedReference& a, std::wstring_view name) { return a.name < name; }

static_assert(std::is_sorted(std::begin(kNamedReferences), std::end(kNamedReferences),
                             [](const NamedReference& a, const NamedReference& b) { return a.name < b.name; }),
              "the named references must stay sorted for the binary search");

constexpr size_t kLongestName = 6;

bool LookUpName(std::wstring_view name, wchar_t& unit) {
  const auto it = std::lower_bound(std::begin(kNamedReferences), std::end(kNamedReferences), name, NameBefore);
  if (it == std::end(kNamedReferences) || it->name != name) return false;
  unit = static_cast<wchar_t>(it->unit);
  return true;
}

int DigitValue(wchar_t c, bool hex) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (hex && c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (hex && c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Reads the reference that starts with "&" at `amp`; on success gives the
// unit and the index after its ";".
bool ReadReference(std::wstring_view t, size_t amp, wchar_t& unit, size_t& end) {
  size_t i = amp + 1;
  if (i < t.size() && t[i] == L'#') {
    ++i;
    const bool hex = i < t.size() && (t[i] == L'x' || t[i] == L'X');
    if (hex) ++i;
    const size_t digits_start = i;
    uint32_t value = 0;  // kept modulo 65536 while reading, so no digit count overflows it
    for (int d; i < t.size() && (d = DigitValue(t[i], hex)) >= 0; ++i) {
      value = (value * (hex ? 16 : 10) + static_cast<uint32_t>(d)) & 0xFFFF;
    }
    // A reference to U+0000 would cut the display text short.
    if (i == digits_start || i >= t.size() || t[i] != L';' || value == 0) return false;
    unit = static_cast<wchar_t>(value);
    end = i + 1;
    return true;
  }
  const size_t semicolon = t.find(L';', i);
  if (semicolon == std::wstring_view::npos || semicolon == i || semicolon - i > kLongestName) return false;
  if (!LookUpName(t.substr(i, semicolon - i), unit)) return false;
  end = semicolon + 1;
  return true;
}

}  // namespace

void AppendEscapedMarkup(VoString& out, std::wstring_view text, unsigned options) {
  size_t copied = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    const wchar_t* replacement = nullptr;
    bool control = false;
    switch (c) {
      case L'&': replacement = L"&amp;"; break;
      case L'<': replacement = L"&lt;"; break;
      case L'>': replacement = L"&gt;"; break;
      case L'"': if (options & kEscapeQuote) replacement = L"&quot;"; break;
      case L'\'': if (options & kEscapeApostrophe) replacement = L"&apos;"; break;
      default: control = (options & kEscapeControl) && IsSpecialControl(c); break;
    }
    if (!replacement && !control) continue;
    out += text.substr(copied, i - copied);
    copied = i + 1;
    if (replacement) {
      out += replacement;
    } else if ((options & kControlAsQuestion) && c != 1) {
      out += L'?';
    } else {
      AppendHexReference(out, static_cast<uint32_t>(c));
    }
  }
  out += text.substr(copied);
}

VoString EscapeMarkup(std::wstring_view text, unsigned options) {
  VoString out;
  out.Reserve(text.size());
  AppendEscapedMarkup(out, text, options);
  return out;
}

VoString UnescapeMarkupForDisplay(std::wstring_view text) {
  VoString out;
  out.Reserve(text.size());
  size_t copied = 0;
  for (size_t amp = text.find(L'&'); amp != std::wstring_view::npos; amp = text.find(L'&', amp + 1)) {
    wchar_t unit;
    size_t end;
    if (!ReadReference(text, amp, unit, end)) continue;
    out += text.substr(copied, amp - copied);
    out += unit;
    copied = end;
    amp = end - 1;
  }
  out += text.substr(copied);
  return out;
}

}  // namespace vo

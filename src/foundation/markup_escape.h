#pragma once
// Escaping of text for markup and unescaping of markup for display.

#include <string_view>

#include "vo_string.h"

namespace vo {

// "&", "<" and ">" are always escaped; the options add the rest.
enum MarkupEscapeOptions : unsigned {
  kEscapeQuote = 1,          // " -> &quot;
  kEscapeApostrophe = 2,     // ' -> &apos;
  kEscapeControl = 4,        // control characters 0-8, 11, 12, 14-31 ...
  kControlAsQuestion = 8,    // ... become "?" (U+0001 still a reference), else "&#x..;"
};

VoString EscapeMarkup(std::wstring_view text, unsigned options);
void AppendEscapedMarkup(VoString& out, std::wstring_view text, unsigned options);

// Resolves numeric references ("&#65;", "&#x41;", the value taken modulo
// 65536 as one code unit) and the HTML Latin-1 named references, where
// "nbsp" gives a plain space, "ndash" and "mdash" a hyphen-minus and "rsquo"
// an apostrophe. Names are case-sensitive. Anything unrecognised, and a
// reference to U+0000, is copied unchanged.
VoString UnescapeMarkupForDisplay(std::wstring_view text);

}  // namespace vo

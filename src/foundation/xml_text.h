#pragma once
// Character references of XML text: the five predefined names and numeric
// references, as the document reads element text and attribute values.

#include <string_view>

#include "vo_string.h"

namespace vo {

// "&lt;" "&amp;" "&gt;" "&apos;" "&quot;", "&#65;" and "&#x41;" (at most 7
// digits, value taken modulo 65536). Anything else, and a reference to 0, is
// copied unchanged.
VoString UnescapeXml(std::wstring_view text);
void AppendUnescapedXml(VoString& out, std::wstring_view text);

}  // namespace vo

namespace vo {

// Escaping for the writer: "&", "<" and ">" always; in attribute values also
// both quotes; control characters become "?" (U+0001 a character reference).
VoString EscapeXml(std::wstring_view text, bool attribute);

}  // namespace vo

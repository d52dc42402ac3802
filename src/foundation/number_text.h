#pragma once
// Numbers read from and written to text: settings, versions, XML references.

#include <cstdint>
#include <string_view>

#include "vo_string.h"

namespace vo {

// Value 0-9 of a decimal digit (ASCII or one of the Unicode digit blocks that
// the product accepts), or -1.
int DecimalDigitValue(wchar_t c);

// Skips white space, takes an optional sign and decimal digits; stops at the
// first other character. Magnitudes above 2147483647 clamp to it (sign kept).
// `consumed`, when given, receives the index after the last character read.
int ParseInt(std::wstring_view text, size_t* consumed = nullptr);

// Optional white space and sign, an optional "0x" when `allow_prefix`, then
// hexadecimal digits. Overflow wraps like the 64-bit unsigned arithmetic.
uint64_t ParseHex(std::wstring_view text, bool allow_prefix = false, size_t* consumed = nullptr);

// Leading spaces and "+" skipped, "-" or U+2012 negates; "." and "," both
// separate the decimals (only the first counts).
double ParseDouble(std::wstring_view text, size_t* consumed = nullptr);

// The decimal separator of the current locale, read once: the middle
// character of 1.2 printed with "%.1f", "." unless that is "." or ",".
wchar_t DecimalSeparator();

VoString FormatInt(int64_t value);
// Shortest text that reads back as the same value (no trailing zeros) when
// `decimals` is negative, else exactly that many decimals (at most 16).
VoString FormatDouble(double value, int decimals = -1);

VoString FormatVersion(int a, int b, int c, int d);
VoString FormatVersion(int a, int b, int c);

}  // namespace vo

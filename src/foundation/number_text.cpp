#include "number_text.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <string>

#include "char_class.h"
#include "string_format.h"

namespace vo {
namespace {

// First code point of each block of ten decimal digits besides ASCII.
constexpr unsigned kDigitBlocks[] = {0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6,
                                     0x0B66, 0x0C66, 0x0CE6, 0x0D66, 0x0E50, 0x0ED0,
                                     0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};

size_t SkipSpace(std::wstring_view t, size_t i) {
  while (i < t.size() && IsSpaceChar(t[i])) ++i;
  return i;
}

int HexDigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

int DecimalDigitValue(wchar_t c) {
  const unsigned u = static_cast<unsigned>(c);
  if (u >= L'0' && u <= L'9') return static_cast<int>(u - L'0');
  if (u < 0x0660) return -1;
  for (unsigned start : kDigitBlocks) {
    if (u >= start && u < start + 10) return static_cast<int>(u - start);
  }
  return -1;
}

int ParseInt(std::wstring_view t, size_t* consumed) {
  size_t i = SkipSpace(t, 0);
  bool negative = false;
  if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) negative = t[i++] == L'-';
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  int64_t magnitude = 0;
  for (int d; i < t.size() && (d = DecimalDigitValue(t[i])) >= 0; ++i) {
    magnitude = magnitude * 10 + d;
    if (magnitude > kMax) magnitude = kMax;  // stays clamped for the rest of the digits
  }
  if (consumed) *consumed = i;
  return static_cast<int>(negative ? -magnitude : magnitude);
}

uint64_t ParseHex(std::wstring_view t, bool allow_prefix, size_t* consumed) {
  size_t i = SkipSpace(t, 0);
  bool negative = false;
  if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) negative = t[i++] == L'-';
  if (allow_prefix && i + 1 < t.size() && t[i] == L'0' && (t[i + 1] == L'x' || t[i + 1] == L'X')) i += 2;
  uint64_t value = 0;
  for (int d; i < t.size() && (d = HexDigitValue(t[i])) >= 0; ++i) value = value * 16 + static_cast<unsigned>(d);
  if (consumed) *consumed = i;
  return negative ? 0 - value : value;
}

double ParseDouble(std::wstring_view t, size_t* consumed) {
  size_t i = 0;
  while (i < t.size() && (IsSpaceChar(t[i]) || t[i] == L'+')) ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == L'-' || t[i] == 0x2012)) { negative = true; ++i; }
  std::string digits;
  bool separator_seen = false;
  for (; i < t.size(); ++i) {
    const int d = DecimalDigitValue(t[i]);
    if (d >= 0) {
      digits.push_back(static_cast<char>('0' + d));
    } else if ((t[i] == L'.' || t[i] == L',') && !separator_seen) {
      separator_seen = true;
      digits.push_back('.');
    } else {
      break;
    }
  }
  if (consumed) *consumed = i;
  double value = 0;
  if (!digits.empty() && digits != ".") {
    if (digits.front() == '.') digits.insert(digits.begin(), '0');
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
  }
  return negative ? -value : value;
}

wchar_t DecimalSeparator() {
  static const wchar_t separator = [] {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.1f", 1.2);
    return buffer[1] == ',' ? L',' : L'.';
  }();
  return separator;
}

VoString FormatInt(int64_t value) {
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return VoString(std::wstring(buffer, end));
}

VoString FormatDouble(double value, int decimals) {
  char buffer[400];
  std::to_chars_result r;
  if (decimals < 0) {
    r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  } else {
    r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals > 16 ? 16 : decimals);
  }
  if (r.ec != std::errc()) return VoString(L"0");
  std::wstring out(buffer, r.ptr);
  for (auto& c : out) {
    if (c == L'.') c = DecimalSeparator();
  }
  return VoString(std::move(out));
}

VoString FormatVersion(int a, int b, int c, int d) { return VoFormat(L"%d.%d.%d.%d", a, b, c, d); }
VoString FormatVersion(int a, int b, int c) { return VoFormat(L"%d.%d.%d", a, b, c); }

}  // namespace vo

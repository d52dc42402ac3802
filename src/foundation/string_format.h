#pragma once
// printf-style formatting into a VoString. Arguments are typed, so a
// directive that does not fit its argument converts it rather than reading
// garbage: "%s" of a number writes the number, "%d" of a text writes 0.
// Directives: %s %c %d %i %u %x %X %o %p %f %e %g %%, with flags "-+ 0#",
// width, precision and the length modifiers l ll h I64 z (ignored).

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "vo_string.h"

struct VoFormatArg {
  enum Kind { kInt, kUInt, kDouble, kPointer, kText, kChar } kind;
  int64_t i = 0;
  uint64_t u = 0;
  double d = 0;
  const void* p = nullptr;
  std::wstring_view s;

  template <typename T>
  VoFormatArg(T v) requires(std::is_integral_v<T> && !std::is_same_v<T, wchar_t> && std::is_signed_v<T>)
      : kind(kInt), i(v) {}
  template <typename T>
  VoFormatArg(T v) requires(std::is_integral_v<T> && !std::is_same_v<T, wchar_t> && std::is_unsigned_v<T>)
      : kind(kUInt), u(v) {}
  template <typename T>
  VoFormatArg(T v) requires(std::is_enum_v<T>) : kind(kInt), i(static_cast<int64_t>(v)) {}
  VoFormatArg(wchar_t c) : kind(kChar), u(static_cast<uint16_t>(c)) {}
  VoFormatArg(double v) : kind(kDouble), d(v) {}
  VoFormatArg(float v) : kind(kDouble), d(v) {}
  VoFormatArg(const wchar_t* text) : kind(kText), s(text ? text : L"") {}
  VoFormatArg(wchar_t* text) : kind(kText), s(text ? text : L"") {}
  VoFormatArg(const VoString& text) : kind(kText), s(text.View()) {}
  VoFormatArg(const std::wstring& text) : kind(kText), s(text) {}
  VoFormatArg(std::wstring_view text) : kind(kText), s(text) {}
  VoFormatArg(const void* ptr) : kind(kPointer), p(ptr) {}
  VoFormatArg(std::nullptr_t) : kind(kPointer), p(nullptr) {}
};

// Formats with a format text known only at run time (a localised message).
VoString VoFormatList(std::wstring_view format, std::initializer_list<VoFormatArg> args);

template <typename... Args>
VoString VoFormat(std::wstring_view format, const Args&... args) {
  return VoFormatList(format, {VoFormatArg(args)...});
}

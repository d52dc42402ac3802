#pragma once
// VoString: a text of UTF-16 code units held in wchar_t, with value semantics.
// On Windows wchar_t is the 16-bit unit itself; in the native build each
// wchar_t still carries one 16-bit unit (texts converted from UTF-8 hold
// surrogate pairs), so both builds count lengths and positions alike.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

class VoString {
 public:
  static constexpr size_t npos = std::wstring::npos;

  VoString() = default;
  VoString(const wchar_t* text) : s_(text ? text : L"") {}
  VoString(const wchar_t* text, size_t count) : s_(text, count) {}
  VoString(std::wstring_view text) : s_(text) {}
  VoString(std::wstring text) : s_(std::move(text)) {}
  VoString(size_t count, wchar_t c) : s_(count, c) {}

  // UTF-8 <-> UTF-16; invalid UTF-8 bytes become U+FFFD.
  static VoString FromUtf8(std::string_view utf8);
  std::string ToUtf8() const;

  size_t Length() const { return s_.size(); }
  bool IsEmpty() const { return s_.empty(); }
  const wchar_t* c_str() const { return s_.c_str(); }
  wchar_t operator[](size_t i) const { return s_[i]; }
  wchar_t At(size_t i) const { return i < s_.size() ? s_[i] : L'\0'; }
  std::wstring_view View() const { return s_; }
  const std::wstring& Std() const { return s_; }
  std::wstring& Std() { return s_; }
  operator std::wstring_view() const { return s_; }

  VoString& operator+=(std::wstring_view more) { s_.append(more); return *this; }
  VoString& operator+=(wchar_t c) { s_.push_back(c); return *this; }
  VoString& Append(const wchar_t* text, size_t count) { s_.append(text, count); return *this; }
  void Clear() { s_.clear(); }
  void Truncate(size_t length) { if (length < s_.size()) s_.resize(length); }
  void Insert(size_t pos, std::wstring_view text) { s_.insert(pos, text); }
  void Erase(size_t pos, size_t count = npos) { s_.erase(pos, count); }
  void Reserve(size_t n) { s_.reserve(n); }

  VoString Mid(size_t pos, size_t count = npos) const;
  VoString Left(size_t count) const { return Mid(0, count); }
  VoString Right(size_t count) const;

  // Positions are code-unit indices; npos when not found.
  size_t Find(std::wstring_view what, size_t from = 0) const;
  size_t Find(wchar_t c, size_t from = 0) const { return s_.find(c, from); }
  size_t FindLast(wchar_t c) const { return s_.rfind(c); }
  size_t FindNoCase(std::wstring_view what, size_t from = 0) const;

  int Compare(std::wstring_view other) const;
  int CompareNoCase(std::wstring_view other) const;
  int CompareNoCase(std::wstring_view other, size_t length) const;
  bool EqualsNoCase(std::wstring_view other) const { return CompareNoCase(other) == 0; }
  bool StartsWithNoCase(std::wstring_view prefix) const;
  bool EndsWith(wchar_t c) const { return !s_.empty() && s_.back() == c; }

  VoString ToLower() const;
  VoString Trimmed() const;  // white space of the current locale removed at both ends

  // Test frameworks print values through this (as UTF-8).
  friend void PrintTo(const VoString& s, std::ostream* os);

  friend bool operator==(const VoString& a, const VoString& b) { return a.s_ == b.s_; }
  friend bool operator==(const VoString& a, const wchar_t* b) { return a.s_ == (b ? b : L""); }
  friend bool operator<(const VoString& a, const VoString& b) { return a.s_ < b.s_; }
  friend VoString operator+(VoString a, std::wstring_view b) { a += b; return a; }
  friend VoString operator+(VoString a, wchar_t b) { a += b; return a; }
  friend VoString operator+(const wchar_t* a, const VoString& b) { return VoString(a) + b.View(); }

 private:
  std::wstring s_;
};

namespace vo {

// Case-insensitive comparison of code units after lower-casing each one; the
// result is the difference of the first differing lower-cased units.
int CompareNoCase(std::wstring_view a, std::wstring_view b);
int CompareNoCase(std::wstring_view a, std::wstring_view b, size_t length);
inline bool EqualsNoCase(std::wstring_view a, std::wstring_view b) { return CompareNoCase(a, b) == 0; }
inline bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text, prefix, prefix.size()) == 0;
}

}  // namespace vo

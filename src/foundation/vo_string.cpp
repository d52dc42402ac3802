#include "vo_string.h"

#include <algorithm>
#include <ostream>

#include "char_class.h"
#include "text_search.h"

namespace vo {

int CompareNoCase(std::wstring_view a, std::wstring_view b, size_t length) {
  const size_t n = std::min({a.size(), b.size(), length});
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<int>(ToLowerChar(a[i])) - static_cast<int>(ToLowerChar(b[i]));
    if (d != 0) return d;
  }
  if (n == length) return 0;
  // One side ended before the length: the missing unit counts as 0.
  const int ca = n < a.size() ? ToLowerChar(a[n]) : 0;
  const int cb = n < b.size() ? ToLowerChar(b[n]) : 0;
  return ca - cb;
}

int CompareNoCase(std::wstring_view a, std::wstring_view b) { return CompareNoCase(a, b, VoString::npos); }

}  // namespace vo

VoString VoString::Mid(size_t pos, size_t count) const {
  if (pos >= s_.size()) return VoString();
  return VoString(s_.substr(pos, count));
}

VoString VoString::Right(size_t count) const {
  if (count >= s_.size()) return *this;
  return VoString(s_.substr(s_.size() - count));
}

size_t VoString::Find(std::wstring_view what, size_t from) const { return s_.find(what, from); }

size_t VoString::FindNoCase(std::wstring_view what, size_t from) const {
  return vo::FindTextNoCase(s_, what, from);
}

int VoString::Compare(std::wstring_view other) const {
  // Code-unit order; on the native build units are compared as 16-bit values too.
  const size_t n = std::min(s_.size(), other.size());
  for (size_t i = 0; i < n; ++i) {
    if (s_[i] != other[i]) return static_cast<int>(s_[i]) - static_cast<int>(other[i]);
  }
  return s_.size() < other.size() ? -1 : (s_.size() > other.size() ? 1 : 0);
}

int VoString::CompareNoCase(std::wstring_view other) const { return vo::CompareNoCase(s_, other); }

int VoString::CompareNoCase(std::wstring_view other, size_t length) const {
  return vo::CompareNoCase(s_, other, length);
}

bool VoString::StartsWithNoCase(std::wstring_view prefix) const {
  return vo::StartsWithNoCase(s_, prefix);
}

VoString VoString::ToLower() const {
  VoString out(*this);
  for (auto& c : out.s_) c = vo::ToLowerChar(c);
  return out;
}

VoString VoString::Trimmed() const {
  size_t b = 0, e = s_.size();
  while (b < e && vo::IsSpaceChar(s_[b])) ++b;
  while (e > b && vo::IsSpaceChar(s_[e - 1])) --e;
  return VoString(s_.substr(b, e - b));
}

VoString VoString::FromUtf8(std::string_view in) {
  std::wstring out;
  out.reserve(in.size());
  size_t i = 0;
  const size_t n = in.size();
  auto cont = [&](size_t k) { return k < n && (static_cast<unsigned char>(in[k]) & 0xC0) == 0x80; };
  while (i < n) {
    const unsigned char b = static_cast<unsigned char>(in[i]);
    unsigned cp;
    size_t len;
    if (b < 0x80) { cp = b; len = 1; }
    else if (b >= 0xC2 && b < 0xE0 && cont(i + 1)) {
      cp = ((b & 0x1Fu) << 6) | (in[i + 1] & 0x3F); len = 2;
    } else if (b >= 0xE0 && b < 0xF0 && cont(i + 1) && cont(i + 2)) {
      cp = ((b & 0x0Fu) << 12) | ((in[i + 1] & 0x3Fu) << 6) | (in[i + 2] & 0x3F); len = 3;
      if (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000)) { cp = 0xFFFD; }
    } else if (b >= 0xF0 && b < 0xF5 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      cp = ((b & 0x07u) << 18) | ((in[i + 1] & 0x3Fu) << 12) | ((in[i + 2] & 0x3Fu) << 6) | (in[i + 3] & 0x3F);
      len = 4;
      if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
    } else { cp = 0xFFFD; len = 1; }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
  return VoString(std::move(out));
}

std::string VoString::ToUtf8() const {
  std::string out;
  out.reserve(s_.size());
  for (size_t i = 0; i < s_.size(); ++i) {
    unsigned cp = static_cast<unsigned>(s_[i]) & 0xFFFF;
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s_.size()) {
      const unsigned lo = static_cast<unsigned>(s_[i + 1]) & 0xFFFF;
      if (lo >= 0xDC00 && lo < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
        ++i;
      }
    }
    if (cp >= 0xD800 && cp < 0xE000) cp = 0xFFFD;  // lone surrogate
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

void PrintTo(const VoString& s, std::ostream* os) { *os << '"' << s.ToUtf8() << '"'; }

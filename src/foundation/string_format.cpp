#include "string_format.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cwctype>
#include <cstdio>
#include <string>

#include "number_text.h"

namespace {

struct Spec {
  bool left = false, plus = false, space = false, zero = false, alt = false;
  int width = 0;
  int precision = -1;
};

void Pad(std::wstring& out, std::wstring_view body, const Spec& spec, bool numeric) {
  const size_t width = spec.width > 0 ? static_cast<size_t>(spec.width) : 0;
  if (body.size() >= width) { out.append(body); return; }
  const size_t fill = width - body.size();
  if (spec.left) {
    out.append(body);
    out.append(fill, L' ');
  } else if (spec.zero && numeric) {
    // Zeros go after a sign.
    size_t sign = (!body.empty() && (body[0] == L'-' || body[0] == L'+' || body[0] == L' ')) ? 1 : 0;
    out.append(body.substr(0, sign));
    out.append(fill, L'0');
    out.append(body.substr(sign));
  } else {
    out.append(fill, L' ');
    out.append(body);
  }
}

std::wstring Widen(const char* b, const char* e) { return std::wstring(b, e); }

std::wstring IntegerText(uint64_t magnitude, bool negative, int base, bool upper, const Spec& spec) {
  char buffer[72];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude, base).ptr;
  std::wstring digits = Widen(buffer, end);
  if (upper) {
    for (auto& c : digits) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  }
  if (spec.precision >= 0) {
    if (spec.precision == 0 && magnitude == 0) digits.clear();
    if (digits.size() < static_cast<size_t>(spec.precision)) digits.insert(0, spec.precision - digits.size(), L'0');
  }
  if (negative) digits.insert(0, 1, L'-');
  else if (spec.plus && base == 10) digits.insert(0, 1, L'+');
  else if (spec.space && base == 10) digits.insert(0, 1, L' ');
  return digits;
}

std::wstring FloatText(double value, wchar_t conv, const Spec& spec) {
  char format[8] = {'%', '.', '*', static_cast<char>(conv), 0};
  char buffer[512];
  const int precision = spec.precision < 0 ? 6 : (spec.precision > 100 ? 100 : spec.precision);
  int n = std::snprintf(buffer, sizeof buffer, format, precision, value);
  if (n < 0) n = 0;
  if (n >= static_cast<int>(sizeof buffer)) n = sizeof buffer - 1;
  std::wstring text(buffer, buffer + n);
  for (auto& c : text) {
    // The C runtime writes its own locale's separator; the product's separator rule decides.
    if (c == L'.' || c == L',') c = vo::DecimalSeparator();
  }
  if (value >= 0 && spec.plus) text.insert(0, 1, L'+');
  else if (value >= 0 && spec.space) text.insert(0, 1, L' ');
  return text;
}

}  // namespace

VoString VoFormatList(std::wstring_view f, std::initializer_list<VoFormatArg> list) {
  std::wstring out;
  out.reserve(f.size() + 16 * list.size());
  const VoFormatArg* arg = list.begin();
  const VoFormatArg* const args_end = list.end();
  size_t i = 0;
  while (i < f.size()) {
    const wchar_t c = f[i++];
    if (c != L'%') { out.push_back(c); continue; }
    if (i >= f.size()) { out.push_back(L'%'); break; }
    if (f[i] == L'%') { out.push_back(L'%'); ++i; continue; }

    const size_t directive_start = i - 1;
    Spec spec;
    for (; i < f.size(); ++i) {
      const wchar_t fl = f[i];
      if (fl == L'-') spec.left = true;
      else if (fl == L'+') spec.plus = true;
      else if (fl == L' ') spec.space = true;
      else if (fl == L'0') spec.zero = true;
      else if (fl == L'#') spec.alt = true;
      else break;
    }
    for (; i < f.size() && f[i] >= L'0' && f[i] <= L'9'; ++i) spec.width = std::min(spec.width * 10 + (f[i] - L'0'), 4096);
    if (i < f.size() && f[i] == L'.') {
      spec.precision = 0;
      for (++i; i < f.size() && f[i] >= L'0' && f[i] <= L'9'; ++i)
        spec.precision = std::min(spec.precision * 10 + (f[i] - L'0'), 4096);
    }
    // Length modifiers carry no meaning for typed arguments.
    while (i < f.size() && (f[i] == L'l' || f[i] == L'h' || f[i] == L'z' || f[i] == L'I' || f[i] == L'6' ||
                            f[i] == L'4' || f[i] == L'L' || f[i] == L'j' || f[i] == L't'))
      ++i;
    if (i >= f.size()) { out.append(f.substr(directive_start)); break; }
    const wchar_t conv = f[i++];
    const VoFormatArg* a = arg < args_end ? arg++ : nullptr;

    auto as_signed = [&](int64_t& v) -> bool {
      if (!a) return false;
      switch (a->kind) {
        case VoFormatArg::kInt: v = a->i; return true;
        case VoFormatArg::kUInt: case VoFormatArg::kChar: v = static_cast<int64_t>(a->u); return true;
        case VoFormatArg::kDouble: v = static_cast<int64_t>(a->d); return true;
        case VoFormatArg::kPointer: v = static_cast<int64_t>(reinterpret_cast<uintptr_t>(a->p)); return true;
        case VoFormatArg::kText: v = 0; return true;
      }
      return false;
    };
    auto as_unsigned = [&]() -> uint64_t {
      if (!a) return 0;
      switch (a->kind) {
        case VoFormatArg::kInt: return static_cast<uint64_t>(a->i) & 0xFFFFFFFFull;  // as the 32-bit int it was
        case VoFormatArg::kUInt: case VoFormatArg::kChar: return a->u;
        case VoFormatArg::kDouble: return static_cast<uint64_t>(a->d);
        case VoFormatArg::kPointer: return reinterpret_cast<uintptr_t>(a->p);
        case VoFormatArg::kText: return 0;
      }
      return 0;
    };

    switch (conv) {
      case L'd': case L'i': {
        int64_t v = 0;
        as_signed(v);
        const bool negative = v < 0;
        const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        Pad(out, IntegerText(magnitude, negative, 10, false, spec), spec, spec.precision < 0);
        break;
      }
      case L'u': case L'x': case L'X': case L'o': {
        uint64_t v = as_unsigned();
        if (a && a->kind == VoFormatArg::kInt && a->i < INT32_MIN) v = static_cast<uint64_t>(a->i);
        const int base = conv == L'u' ? 10 : (conv == L'o' ? 8 : 16);
        std::wstring body = IntegerText(v, false, base, conv == L'X', spec);
        if (spec.alt && v != 0 && base == 16) body.insert(0, conv == L'X' ? L"0X" : L"0x");
        Pad(out, body, spec, spec.precision < 0);
        break;
      }
      case L'p': {
        // As the Windows runtime writes it: upper-case hex, zero-padded to pointer width.
        const uint64_t v = a ? (a->kind == VoFormatArg::kPointer ? reinterpret_cast<uintptr_t>(a->p) : as_unsigned()) : 0;
        Spec p = spec;
        p.precision = static_cast<int>(sizeof(void*) * 2);
        Pad(out, IntegerText(v, false, 16, true, p), spec, false);
        break;
      }
      case L'f': case L'F': case L'e': case L'E': case L'g': case L'G': {
        double v = 0;
        if (a) {
          if (a->kind == VoFormatArg::kDouble) v = a->d;
          else if (a->kind == VoFormatArg::kInt) v = static_cast<double>(a->i);
          else if (a->kind == VoFormatArg::kUInt || a->kind == VoFormatArg::kChar) v = static_cast<double>(a->u);
        }
        Pad(out, FloatText(v, conv, spec), spec, true);
        break;
      }
      case L's': case L'S': {
        std::wstring_view text;
        std::wstring number;
        if (a && a->kind == VoFormatArg::kText) text = a->s;
        else if (a && a->kind == VoFormatArg::kChar) { number.assign(1, static_cast<wchar_t>(a->u)); text = number; }
        else if (a && a->kind == VoFormatArg::kDouble) { number = vo::FormatDouble(a->d).Std(); text = number; }
        else if (a) { int64_t v = 0; as_signed(v); number = vo::FormatInt(a->kind == VoFormatArg::kUInt ? static_cast<int64_t>(a->u) : v).Std(); text = number; }
        if (spec.precision >= 0 && text.size() > static_cast<size_t>(spec.precision)) text = text.substr(0, spec.precision);
        Pad(out, text, spec, false);
        break;
      }
      case L'c': case L'C': {
        wchar_t ch = 0;
        if (a && a->kind == VoFormatArg::kText) ch = a->s.empty() ? 0 : a->s[0];
        else if (a) { int64_t v = 0; as_signed(v); ch = static_cast<wchar_t>(v); }
        Pad(out, std::wstring_view(&ch, ch ? 1 : 0), spec, false);
        break;
      }
      default:
        // Unknown directive: written as it stands, its argument not used.
        if (a) --arg;
        out.append(f.substr(directive_start, i - directive_start));
        break;
    }
  }
  return VoString(std::move(out));
}

#include "char_class.h"

#include <cwctype>

namespace vo {
namespace {

enum : unsigned char { kDigit = 1, kAlpha = 2, kSpace = 4 };

struct Latin1Table {
  unsigned char classes[256];
  wchar_t lower[256];
  Latin1Table() {
    for (int c = 0; c < 256; ++c) {
      const auto wc = static_cast<wint_t>(c);
      classes[c] = static_cast<unsigned char>((std::iswdigit(wc) ? kDigit : 0) |
                                              (std::iswalpha(wc) ? kAlpha : 0) |
                                              (std::iswspace(wc) ? kSpace : 0));
      lower[c] = static_cast<wchar_t>(std::towlower(wc));
    }
  }
};

Latin1Table& Table() {
  static Latin1Table table;  // thread-safe one-time build
  return table;
}

}  // namespace

bool IsDigitChar(wchar_t c) {
  if (static_cast<unsigned>(c) < 256) return Table().classes[c] & kDigit;
  return std::iswdigit(static_cast<wint_t>(c)) != 0;
}

bool IsAlphaChar(wchar_t c) {
  if (static_cast<unsigned>(c) < 256) return Table().classes[c] & kAlpha;
  return std::iswalpha(static_cast<wint_t>(c)) != 0;
}

bool IsSpaceChar(wchar_t c) {
  if (static_cast<unsigned>(c) < 256) return Table().classes[c] & kSpace;
  return std::iswspace(static_cast<wint_t>(c)) != 0;
}

wchar_t ToLowerChar(wchar_t c) {
  if (static_cast<unsigned>(c) < 256) return Table().lower[c];
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

void RebuildCharacterTables() { Table() = Latin1Table(); }

}  // namespace vo

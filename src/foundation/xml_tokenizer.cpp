#include "xml_tokenizer.h"

namespace {

constexpr const wchar_t* kUnterminated = L"%s at offset %d unterminated";
constexpr const wchar_t* kIncorrect = L"Incorrect %s at offset %d";

struct Reader {
  const wchar_t* t;
  uint32_t end;

  wchar_t At(uint32_t i) const { return i < end ? t[i] : L'\0'; }

  // Position just after the first occurrence of `marker` at or after `from`,
  // or 0 when the whole marker does not stand in the range.
  uint32_t After(uint32_t from, std::wstring_view marker) const {
    if (marker.size() > end) return 0;
    const uint32_t last = end - static_cast<uint32_t>(marker.size());
    for (uint32_t i = from; i <= last; ++i) {
      if (t[i] == L'\0') return 0;
      if (t[i] != marker[0]) continue;
      uint32_t k = 1;
      while (k < marker.size() && t[i + k] == marker[k]) ++k;
      if (k == marker.size()) return i + k;
    }
    return 0;
  }

  uint32_t AfterChar(uint32_t from, wchar_t c) const {
    for (uint32_t i = from; i < end; ++i) {
      if (t[i] == c) return i + 1;
      if (t[i] == L'\0') return 0;
    }
    return 0;
  }
};

XmlToken Bad(uint32_t start, const wchar_t* format, const wchar_t* subject) {
  XmlToken tok;
  tok.kind = kXmlBadNode;
  tok.start = start;
  tok.fault_format = format;
  tok.fault_subject = subject;
  return tok;
}

// A faulty node is skipped up to the next closing bracket.
XmlToken SkipBad(const Reader& r, uint32_t start, const wchar_t* format, const wchar_t* subject) {
  const uint32_t stop = r.AfterChar(start + 1, L'>');
  if (!stop) return Bad(start, kUnterminated, L"tag");
  XmlToken tok = Bad(start, format, subject);
  tok.length = stop - start;
  return tok;
}

XmlToken Finish(int kind, uint32_t start, uint32_t stop) {
  XmlToken tok;
  tok.kind = kind;
  tok.start = start;
  tok.length = stop - start;
  return tok;
}

uint32_t NameEnd(const Reader& r, uint32_t from) {
  while (from < r.end && !IsXmlNameEnd(r.t[from])) ++from;
  return from;
}

XmlToken ReadDocumentType(const Reader& r, uint32_t start) {
  uint32_t i = start + 2;
  while (true) {
    const wchar_t c = r.At(i);
    if (c == L'\0') return Bad(start, kUnterminated, L"Doctype");
    if (c == L'>') return Finish(kXmlDocumentType, start, i + 1);
    if (c != L'<') { ++i; continue; }
    // A nested declaration of the internal subset.
    uint32_t stop = 0;
    const wchar_t next = r.At(i + 1);
    if (next == L'?') {
      stop = r.After(i + 2, L"?>");
    } else if (next == L'!' && r.At(i + 2) == L'-' && r.At(i + 3) == L'-') {
      stop = r.After(i + 4, L"-->");
    } else if (next == L'!') {
      const wchar_t kind = r.At(i + 2);
      if (kind != L'E' && kind != L'A' && kind != L'N') {
        const uint32_t skip = r.AfterChar(start + 1, L'>');
        XmlToken tok = Bad(start, kIncorrect, L"! tag");
        if (!skip) return Bad(start, kUnterminated, L"Doctype");
        tok.length = skip - start;
        return tok;
      }
      stop = r.AfterChar(i + 2, L'>');
    } else {
      stop = r.AfterChar(i + 1, L'>');
    }
    if (!stop) return Bad(start, kUnterminated, L"Doctype");
    i = stop;
  }
}

XmlToken ReadDeclaration(const Reader& r, uint32_t start) {
  const wchar_t c = r.At(start + 2);
  if (c == L'-') {
    if (r.At(start + 3) != L'-') return SkipBad(r, start, kIncorrect, L"comment tag");
    const uint32_t stop = r.After(start + 4, L"-->");
    if (!stop) return Bad(start, kUnterminated, L"Comment");
    return Finish(kXmlComment, start, stop);
  }
  if (c == L'[') {
    if (r.At(start + 3) != L'C') return SkipBad(r, start, kIncorrect, L"tag");
    const uint32_t stop = r.After(start + 9, L"]]>");
    if (!stop) return Bad(start, kUnterminated, L"CDATA Section");
    return Finish(kXmlCData, start, stop);
  }
  if (c == L'D') return ReadDocumentType(r, start);
  if (c == L'E' || c == L'A' || c == L'N') return SkipBad(r, start, nullptr, nullptr);
  return SkipBad(r, start, kIncorrect, L"! tag");
}

XmlToken ReadStartTag(const Reader& r, uint32_t start) {
  XmlToken tok;
  tok.kind = kXmlElement;
  tok.start = start;
  tok.name_start = start + 1;
  uint32_t i = NameEnd(r, start + 1);
  tok.name_length = i - tok.name_start;
  wchar_t quote = 0;
  for (; i < r.end; ++i) {
    const wchar_t c = r.t[i];
    if (c == L'\0') break;
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == L'"' || c == L'\'') {
      quote = c;
    } else if (c == L'>') {
      tok.length = i + 1 - start;
      tok.empty_element = r.t[i - 1] == L'/';
      return tok;
    }
  }
  return Bad(start, kUnterminated, L"Element tag");
}

XmlToken ReadEndTag(const Reader& r, uint32_t start) {
  const uint32_t stop = r.AfterChar(start + 2, L'>');
  if (!stop) return Bad(start, kUnterminated, L"Element end tag");
  XmlToken tok = Finish(kXmlEndTag, start, stop);
  tok.name_start = start + 2;
  tok.name_length = NameEnd(r, start + 2) - tok.name_start;
  return tok;
}

XmlToken ReadText(const Reader& r, uint32_t start) {
  uint32_t i = start;
  while (i < r.end) {
    const wchar_t c = r.t[i];
    if (IsXmlSpace(c)) { ++i; continue; }
    if (c == L'<' || c == L'\0') return Finish(kXmlWhitespace, start, i);
    break;
  }
  if (i >= r.end) return Finish(kXmlWhitespace, start, i);
  for (; i < r.end; ++i) {
    const wchar_t c = r.t[i];
    if (c == L'<' || c == L'\0') break;
    if (c == L'>') { ++i; break; }  // a stray closing bracket ends this text node
  }
  return Finish(kXmlText, start, i);
}

}  // namespace

XmlToken ReadXmlNode(std::wstring_view text, uint32_t pos, uint32_t end) {
  if (end > text.size()) end = static_cast<uint32_t>(text.size());
  const Reader r{text.data(), end};
  if (pos >= end || text[pos] == L'\0') {
    XmlToken tok;
    tok.start = pos;
    return tok;
  }
  if (text[pos] != L'<') return ReadText(r, pos);
  const wchar_t c = r.At(pos + 1);
  if (c == L'!') return ReadDeclaration(r, pos);
  if (c == L'/') return ReadEndTag(r, pos);
  if (c == L'?') {
    const uint32_t stop = r.After(pos + 2, L"?>");
    if (!stop) return Bad(pos, kUnterminated, L"Processing instruction");
    XmlToken tok = Finish(kXmlProcessingInstruction, pos, stop);
    tok.name_start = pos + 2;
    tok.name_length = NameEnd(r, pos + 2) - tok.name_start;
    if (tok.name_start + tok.name_length > stop - 2) tok.name_length = stop - 2 - tok.name_start;
    return tok;
  }
  if (c == L':' || c == L'_' || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c > L'z') {
    return ReadStartTag(r, pos);
  }
  return SkipBad(r, pos, kIncorrect, L"tag name character");
}

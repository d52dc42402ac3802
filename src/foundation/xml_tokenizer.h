#pragma once
// Reads one XML node at a time from a wide text without copying it. Only the
// element tree is indexed by the document; every other node kind is found by
// reading the text again with this tokenizer when it is needed.

#include <cstdint>
#include <string_view>

enum XmlNodeKind : int {
  kXmlEndOfText = -2,
  kXmlBadNode = -1,
  kXmlEndTag = 0,
  kXmlElement = 1,
  kXmlText = 2,
  kXmlWhitespace = 4,
  kXmlCData = 8,
  kXmlProcessingInstruction = 16,
  kXmlComment = 32,
  kXmlDocumentType = 64,
  kXmlLoneEndTag = 128,
};

struct XmlToken {
  int kind = kXmlEndOfText;
  uint32_t start = 0;
  uint32_t length = 0;
  uint32_t name_start = 0;  // tag name of start and end tags, target of a processing instruction
  uint32_t name_length = 0;
  bool empty_element = false;
  // Fault of a bad node: the message format and its subject ("%s at offset %d
  // unterminated" or "Incorrect %s at offset %d"); the offset is `start`.
  const wchar_t* fault_format = nullptr;
  const wchar_t* fault_subject = nullptr;
};

// Reads the node that begins at `pos`. `end` is the end of the readable
// range; a NUL also ends the text.
XmlToken ReadXmlNode(std::wstring_view text, uint32_t pos, uint32_t end);

// XML white space, the only white space between tags and attributes.
inline bool IsXmlSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// True for the characters that end a tag name.
inline bool IsXmlNameEnd(wchar_t c) {
  return IsXmlSpace(c) || c == L'/' || c == L'>' || c == L'\0';
}

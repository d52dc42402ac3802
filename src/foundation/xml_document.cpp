#include "xml_document.h"

#include <vector>

#include "string_format.h"
#include "text_file.h"
#include "xml_text.h"

XmlDocument::XmlDocument() : parse_error_(L"Empty document") { table_.Reset(8); table_.Add(); }

XmlDocument::XmlDocument(VoString text) : XmlDocument() { SetDocumentText(std::move(text)); }

bool XmlDocument::SetDocumentText(VoString text) {
  text_ = std::move(text);
  // A new text starts a new report: an earlier fault (or the "Empty document"
  // of a new document) says nothing about this text.
  parse_error_.Clear();
  return Parse();
}

bool XmlDocument::LoadFile(const VoString& path) {
  VoString text;
  if (!vo::ReadTextFile(path, vo::kTextUtf8, text)) return false;
  text_ = std::move(text);
  parse_error_.Clear();
  return Parse();
}

bool XmlDocument::IsWellFormed() const {
  if (table_[0].Has(ElementRecord::kDocumentIllFormed)) return false;
  const uint32_t root = table_[0].first_child;
  return root != 0 && table_[root].next_sibling == 0;
}

std::wstring_view XmlDocument::GetTagName(uint32_t element) const {
  if (element == 0 || element >= table_.Count()) return {};
  const ElementRecord& r = table_[element];
  const std::wstring_view t = text_.View();
  uint32_t i = r.start + 1;
  const uint32_t end = r.start + r.start_tag_length;
  while (i < end && !IsXmlNameEnd(t[i])) ++i;
  return t.substr(r.start + 1, i - r.start - 1);
}

void XmlDocument::SetFirstFault(const VoString& message) {
  if (parse_error_.IsEmpty()) parse_error_ = message;
}

void XmlDocument::FlagIllFormed() {
  table_[0].Set(ElementRecord::kDocumentIllFormed);
  const uint32_t last = table_.Count() - 1;
  if (last != 0) table_[last].Set(ElementRecord::kIllFormedData);
}

void XmlDocument::LinkLastChild(uint32_t parent, uint32_t element) {
  ElementRecord& e = table_[element];
  e.parent = parent;
  ElementRecord& p = table_[parent];
  if (p.first_child == 0) {
    p.first_child = element;
    e.previous_sibling = element;
    e.Set(ElementRecord::kFirstChild);
    return;
  }
  ElementRecord& first = table_[p.first_child];
  const uint32_t last = first.previous_sibling;
  table_[last].next_sibling = element;
  e.previous_sibling = last;
  first.previous_sibling = element;
}

// The children of an element without end tag follow it as siblings.
void XmlDocument::MoveChildrenUp(uint32_t element) {
  ElementRecord& e = table_[element];
  const uint32_t first = e.first_child;
  if (first == 0) return;
  const uint32_t last = table_[first].previous_sibling;
  for (uint32_t c = first; c != 0; c = table_[c].next_sibling) table_[c].parent = e.parent;
  table_[first].Unset(ElementRecord::kFirstChild);
  const uint32_t after = e.next_sibling;
  e.next_sibling = first;
  table_[first].previous_sibling = element;
  table_[last].next_sibling = after;
  if (after != 0) {
    table_[after].previous_sibling = last;
  } else {
    table_[table_[e.parent].first_child].previous_sibling = last;
  }
  e.first_child = 0;
}

void XmlDocument::NotEnded(uint32_t element) {
  ElementRecord& e = table_[element];
  e.Set(ElementRecord::kNotEnded);
  e.length = e.start_tag_length;
  MoveChildrenUp(element);
  table_[0].Set(ElementRecord::kDocumentIllFormed);
}

bool XmlDocument::Parse() {
  const std::wstring_view t = text_.View();
  const auto size = static_cast<uint32_t>(t.size());
  table_.Reset(size / 64 + 8);
  table_.Add();
  table_[0].length = size;

  std::vector<uint32_t> open;
  open.reserve(6);
  bool moved_children = false;
  uint32_t pos = 0;
  while (true) {
    const XmlToken tok = ReadXmlNode(t, pos, size);
    if (tok.kind == kXmlEndOfText) break;
    if (tok.kind == kXmlElement) {
      const uint32_t e = table_.Add();
      ElementRecord& r = table_[e];
      r.start = tok.start;
      r.start_tag_length = tok.length;
      r.SetLevel(static_cast<uint32_t>(open.size()));
      LinkLastChild(open.empty() ? 0 : open.back(), e);
      if (tok.empty_element) {
        r.length = tok.length;
      } else {
        if (open.size() == open.capacity()) open.reserve(open.capacity() * 2 + 6);
        open.push_back(e);
      }
    } else if (tok.kind == kXmlEndTag) {
      const std::wstring_view name = t.substr(tok.name_start, tok.name_length);
      size_t k = open.size();
      while (k > 0 && !vo::EqualsNoCase(GetTagName(open[k - 1]), name)) --k;
      if (k == 0) {
        FlagIllFormed();
        SetFirstFault(VoFormat(L"No start tag for end tag '%s' at offset %d", name, tok.start));
      } else {
        ElementRecord& r = table_[open[k - 1]];
        r.length = tok.start + tok.length - r.start;
        r.end_tag_length = tok.length;
        if (k < open.size()) {
          const uint32_t innermost = open.back();
          SetFirstFault(VoFormat(L"End tag '%s' at offset %d does not match start tag '%s' at offset %d", name,
                                 tok.start + 1, GetTagName(innermost), table_[innermost].start));
          // Outermost first, so every child moves up only once.
          for (size_t j = k; j < open.size(); ++j) NotEnded(open[j]);
          moved_children = true;
        }
        open.resize(k - 1);
      }
    } else if (tok.kind == kXmlBadNode) {
      FlagIllFormed();
      if (tok.fault_format) SetFirstFault(VoFormat(tok.fault_format, tok.fault_subject, tok.start));
    }
    if (tok.length == 0) break;  // an unterminated node runs to the end of the text
    pos = tok.start + tok.length;
  }
  if (!open.empty()) {
    const uint32_t innermost = open.back();
    SetFirstFault(VoFormat(L"Element '%s' at offset %d not ended", GetTagName(innermost), table_[innermost].start));
    for (uint32_t e : open) NotEnded(e);
    moved_children = true;
  }
  if (moved_children) {
    // Parents always precede their children in the table.
    for (uint32_t i = 1; i < table_.Count(); ++i) {
      const uint32_t p = table_[i].parent;
      table_[i].SetLevel(p == 0 ? 0 : table_[p].Level() + 1);
    }
  }

  const uint32_t root = table_[0].first_child;
  if (size == 0) parse_error_ = L"Empty document";
  else if (root == 0) parse_error_ = L"No root element";
  else if (table_[root].next_sibling != 0) parse_error_ = L"Root element has sibling";
  ResetCursor();
  return IsWellFormed();
}

void XmlDocument::ResetCursor() {
  parent_ = current_ = child_ = 0;
  node_ = Node{};
}

bool XmlDocument::FindElement(std::wstring_view name) {
  const uint32_t found = SearchPath(name, parent_, current_, current_);
  if (found == 0) return false;
  node_ = Node{};
  current_ = found;
  parent_ = table_[found].parent;
  child_ = 0;
  return true;
}

bool XmlDocument::FindChildElement(std::wstring_view name, bool restart) {
  if (restart) child_ = 0;
  if (current_ == 0 && !FindElement()) return false;
  const uint32_t found = SearchPath(name, current_, child_, child_);
  if (found == 0) return false;
  node_ = Node{};
  child_ = found;
  current_ = table_[found].parent;
  parent_ = table_[current_].parent;
  return true;
}

bool XmlDocument::EnterElement() {
  if (current_ == 0) return false;
  node_ = Node{};
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  return true;
}

bool XmlDocument::LeaveElement() {
  if (parent_ == 0) return false;
  node_ = Node{};
  child_ = current_;
  current_ = parent_;
  parent_ = table_[parent_].parent;
  return true;
}

bool XmlDocument::FindNode(int kinds) {
  const uint32_t owner = current_ ? current_ : parent_;
  const ElementRecord& o = table_[owner];
  uint32_t content_start = 0, content_end = table_[0].length;
  if (owner != 0) {
    content_start = o.start + o.start_tag_length;
    content_end = o.End() - o.end_tag_length;
    if (o.length == o.start_tag_length) content_end = content_start;  // empty or not ended
  }
  uint32_t pos = node_.kind ? node_.start + node_.length : content_start;
  uint32_t child = o.first_child;
  const std::wstring_view t = text_.View();
  while (pos < content_end) {
    while (child != 0 && table_[child].start < pos) child = table_[child].next_sibling;
    if (child != 0 && table_[child].start == pos) {
      pos = table_[child].End();  // whole child elements are not nodes of this level
      continue;
    }
    const XmlToken tok = ReadXmlNode(t, pos, content_end);
    if (tok.kind == kXmlEndOfText || tok.length == 0) break;
    const int kind = tok.kind == kXmlEndTag ? kXmlLoneEndTag : tok.kind;
    if (kind > 0 && (kind & kinds) && kind != kXmlElement) {
      node_ = Node{kind, tok.start, tok.length};
      return true;
    }
    pos = tok.start + tok.length;
  }
  return false;
}

// Finds an attribute in the tag text [tag_start, tag_end), after the tag name.
bool XmlDocument::FindAttribute(uint32_t tag_start, uint32_t tag_end, std::wstring_view name, Attribute& out) const {
  const std::wstring_view t = text_.View();
  uint32_t i = tag_start + 1;
  if (i < tag_end && t[i] == L'?') ++i;
  while (i < tag_end && !IsXmlNameEnd(t[i])) ++i;
  while (i < tag_end) {
    while (i < tag_end && IsXmlSpace(t[i])) ++i;
    if (i >= tag_end || t[i] == L'>' || (t[i] == L'/' && i + 1 < tag_end && t[i + 1] == L'>') ||
        (t[i] == L'?' && i + 1 < tag_end && t[i + 1] == L'>')) {
      break;
    }
    Attribute a;
    a.name_start = i;
    while (i < tag_end && !IsXmlSpace(t[i]) && t[i] != L'=' && t[i] != L'>' &&
           !(t[i] == L'/' && i + 1 < tag_end && t[i + 1] == L'>')) {
      ++i;
    }
    a.name_length = i - a.name_start;
    uint32_t j = i;
    while (j < tag_end && IsXmlSpace(t[j])) ++j;
    if (j < tag_end && t[j] == L'=') {
      ++j;
      while (j < tag_end && IsXmlSpace(t[j])) ++j;
      a.has_value = true;
      if (j < tag_end && (t[j] == L'"' || t[j] == L'\'')) {
        const wchar_t quote = t[j];
        a.value_start = j + 1;
        uint32_t k = a.value_start;
        while (k < tag_end && t[k] != quote) ++k;
        a.value_length = k - a.value_start;
        a.end = k < tag_end ? k + 1 : k;
      } else {
        a.value_start = j;
        uint32_t k = j;
        while (k < tag_end && !IsXmlSpace(t[k]) && t[k] != L'>') ++k;
        a.value_length = k - j;
        a.end = k;
      }
      i = a.end;
    } else {
      a.end = i;
    }
    if (a.name_length == 0 && !a.has_value) { ++i; continue; }  // stray character
    if (a.name_length > 0 && vo::EqualsNoCase(t.substr(a.name_start, a.name_length), name)) {
      out = a;
      return true;
    }
  }
  return false;
}

VoString XmlDocument::GetAttribute(std::wstring_view name) const {
  uint32_t start, end;
  if (node_.kind == kXmlProcessingInstruction) {
    start = node_.start;
    end = node_.start + node_.length - 1;
  } else if (current_ != 0) {
    start = table_[current_].start;
    end = start + table_[current_].start_tag_length;
  } else {
    return VoString();
  }
  Attribute a;
  if (!FindAttribute(start, end, name, a)) return VoString();
  if (!a.has_value) return VoString(View(a.name_start, a.name_length));
  return vo::UnescapeXml(View(a.value_start, a.value_length));
}

VoString XmlDocument::ContentText(uint32_t content_start, uint32_t content_end) const {
  const std::wstring_view content = View(content_start, content_end - content_start);
  if (content.find(L'<') == std::wstring_view::npos) return vo::UnescapeXml(content);
  VoString out;
  const std::wstring_view t = text_.View();
  uint32_t pos = content_start;
  while (pos < content_end) {
    const XmlToken tok = ReadXmlNode(t, pos, content_end);
    if (tok.kind == kXmlEndOfText || tok.length == 0) break;
    if (tok.kind == kXmlText) vo::AppendUnescapedXml(out, View(tok.start, tok.length));
    else if (tok.kind == kXmlCData) out += View(tok.start + 9, tok.length - 12);
    pos = tok.start + tok.length;
  }
  return out;
}

VoString XmlDocument::GetElementText() const {
  if (current_ == 0) return VoString();
  const ElementRecord& r = table_[current_];
  if (r.first_child != 0 || r.length == r.start_tag_length) return VoString();
  return ContentText(r.start + r.start_tag_length, r.End() - r.end_tag_length);
}

VoString XmlDocument::GetChildText(std::wstring_view name) {
  VoString text;
  if (FindChildElement(name, true)) {
    const uint32_t saved = current_;
    current_ = child_;
    text = GetElementText();
    current_ = saved;
  }
  child_ = 0;
  return text;
}

VoString XmlDocument::FindSiblingText(std::wstring_view name) {
  current_ = 0;
  child_ = 0;
  node_ = Node{};
  if (!FindElement(name)) return VoString();
  return GetElementText();
}

VoString XmlDocument::GetNodeName() const {
  const std::wstring_view t = text_.View();
  switch (node_.kind) {
    case 0:
      return VoString(GetTagName(current_));
    case kXmlText:
    case kXmlWhitespace:
      return VoString(L"#text");
    case kXmlCData:
      return VoString(L"#cdata-section");
    case kXmlComment:
      return VoString(L"#comment");
    case kXmlProcessingInstruction:
    case kXmlLoneEndTag: {
      const uint32_t from = node_.start + 2;
      const uint32_t end = node_.start + node_.length;
      uint32_t i = from;
      while (i < end && !IsXmlNameEnd(t[i]) && t[i] != L'?') ++i;
      return VoString(t.substr(from, i - from));
    }
    case kXmlDocumentType: {
      const uint32_t end = node_.start + node_.length;
      uint32_t i = node_.start + 2;
      while (i < end && !IsXmlSpace(t[i]) && t[i] != L'>' && t[i] != L'[') ++i;  // the keyword
      while (i < end && IsXmlSpace(t[i])) ++i;
      const uint32_t from = i;
      while (i < end && !IsXmlSpace(t[i]) && t[i] != L'>' && t[i] != L'[') ++i;
      return VoString(t.substr(from, i - from));
    }
    default:
      return VoString();
  }
}

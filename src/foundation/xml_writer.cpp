// The writer of XmlDocument: inserts elements and attributes directly into
// the text and moves the index along with it.

#include "xml_document.h"
#include "xml_text.h"

void XmlDocument::ShiftAfterEdit(uint32_t edit_pos, uint32_t owner, int64_t delta) {
  const auto d = static_cast<uint32_t>(delta);  // wraps for shrinking edits
  for (uint32_t i = 1; i < table_.Count(); ++i) {
    if (table_[i].start >= edit_pos) table_[i].start += d;
  }
  for (uint32_t e = owner; e != 0; e = table_[e].parent) table_[e].length += d;
  table_[0].length = static_cast<uint32_t>(text_.Length());
  modified_ = true;
}

bool XmlDocument::AppendElement(std::wstring_view name, std::wstring_view text) {
  if (name.empty()) return false;
  const uint32_t level_parent = current_ != 0 ? table_[current_].parent : parent_;
  ElementRecord& parent = table_[level_parent];
  const uint32_t previous =
      current_ != 0 ? current_ : (parent.first_child != 0 ? table_[parent.first_child].previous_sibling : 0);

  VoString element;
  element += L'<';
  element += name;
  const VoString escaped = vo::EscapeXml(text, false);
  if (escaped.IsEmpty()) {
    element += L"/>";
  } else {
    element += L'>';
    element += escaped;
    element += L"</";
    element += name;
    element += L'>';
  }
  const auto element_length = static_cast<uint32_t>(element.Length());
  const auto end_tag_length = escaped.IsEmpty() ? 0u : static_cast<uint32_t>(name.size() + 3);
  const uint32_t start_tag_length = element_length - end_tag_length - static_cast<uint32_t>(escaped.Length());
  element += L"\r\n";

  uint32_t pos;
  uint32_t element_start;
  if (previous != 0 || level_parent == 0) {
    pos = previous != 0 ? table_[previous].End() : static_cast<uint32_t>(text_.Length());
    // After the line break of the previous element, when a tag or the end follows.
    uint32_t q = pos;
    while (q < text_.Length() && IsXmlSpace(text_[q])) ++q;
    if (q == text_.Length() || text_[q] == L'<') pos = q;
    element_start = pos;
    text_.Insert(pos, element.View());
    ShiftAfterEdit(pos, level_parent, element.Length());
  } else if (parent.Has(ElementRecord::kNotEnded)) {
    return false;  // no end tag to insert before
  } else if (parent.length == parent.start_tag_length) {
    // An empty element "<P/>" becomes "<P>\r\n<new/>\r\n</P>".
    const std::wstring_view parent_name = GetTagName(level_parent);
    const uint32_t slash = parent.start + parent.start_tag_length - 2;
    VoString replacement(L">\r\n");
    replacement += element;
    replacement += L"</";
    replacement += parent_name;
    replacement += L'>';
    text_.Erase(slash, 2);
    text_.Insert(slash, replacement.View());
    element_start = slash + 3;
    const int64_t delta = static_cast<int64_t>(replacement.Length()) - 2;
    ShiftAfterEdit(slash + 1, level_parent, delta);
    parent.start_tag_length -= 1;
    parent.end_tag_length = static_cast<uint32_t>(parent_name.size() + 3);
  } else {
    pos = parent.End() - parent.end_tag_length;
    VoString insert = element;
    if (pos == parent.start + parent.start_tag_length) insert.Insert(0, L"\r\n");  // empty content
    element_start = pos + static_cast<uint32_t>(insert.Length() - element.Length());
    text_.Insert(pos, insert.View());
    ShiftAfterEdit(pos, level_parent, insert.Length());
  }

  const uint32_t e = table_.Add();
  ElementRecord& r = table_[e];
  r.start = element_start;
  r.length = element_length;
  r.start_tag_length = start_tag_length;
  r.end_tag_length = end_tag_length;
  r.SetLevel(level_parent == 0 ? 0 : table_[level_parent].Level() + 1);
  if (previous == 0) {
    LinkLastChild(level_parent, e);
  } else {
    r.parent = level_parent;
    const uint32_t next = table_[previous].next_sibling;
    r.previous_sibling = previous;
    r.next_sibling = next;
    table_[previous].next_sibling = e;
    if (next != 0) table_[next].previous_sibling = e;
    else table_[table_[level_parent].first_child].previous_sibling = e;
  }
  node_ = Node{};
  parent_ = level_parent;
  current_ = e;
  child_ = 0;
  return true;
}

bool XmlDocument::SetAttribute(uint32_t element, std::wstring_view name, std::wstring_view value) {
  if (element == 0 || element >= table_.Count() || name.empty()) return false;
  ElementRecord& r = table_[element];
  const uint32_t tag_end = r.start + r.start_tag_length;
  VoString quoted(L"\"");
  quoted += vo::EscapeXml(value, true);
  quoted += L'"';

  uint32_t at, removed;
  VoString insert;
  Attribute a;
  if (FindAttribute(r.start, tag_end, name, a)) {
    if (a.has_value) {
      const bool was_quoted = a.value_start > 0 && (text_[a.value_start - 1] == L'"' || text_[a.value_start - 1] == L'\'');
      at = was_quoted ? a.value_start - 1 : a.value_start;
      removed = a.end - at;
      insert = quoted;
    } else {
      at = a.name_start + a.name_length;
      removed = 0;
      insert = L"=" + quoted;
    }
  } else {
    // After the tag name or the last attribute, before white space, "/>" or ">".
    at = tag_end - 1;
    if (at > r.start && text_[at - 1] == L'/') --at;
    while (at > r.start + 1 && IsXmlSpace(text_[at - 1])) --at;
    removed = 0;
    insert = VoString(L" ") + name + L"=" + quoted;
  }
  text_.Erase(at, removed);
  text_.Insert(at, insert.View());
  const int64_t delta = static_cast<int64_t>(insert.Length()) - removed;
  ShiftAfterEdit(at, element, delta);
  r.start_tag_length += static_cast<uint32_t>(delta);
  return true;
}

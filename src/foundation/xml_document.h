#pragma once
// XmlDocument: one XML document held as a single wide text plus an index of
// its elements, with cursor navigation, a few read operations and a writer
// that edits the text in place. Not a validating parser: it tolerates faults,
// reports the first one in GetParseError() and still builds what tree it can.
// Element and attribute names compare without regard to case.

#include <cstdint>
#include <string_view>

#include "vo_string.h"
#include "xml_element_table.h"
#include "xml_tokenizer.h"

class XmlDocument {
 public:
  XmlDocument();
  explicit XmlDocument(VoString text);

  // Replaces the text and parses it; true when the document is well formed.
  bool SetDocumentText(VoString text);
  // Reads a UTF-8 file (a byte-order mark stays as a leading U+FEFF). A file
  // that cannot be read leaves the document untouched and returns false.
  bool LoadFile(const VoString& path);

  const VoString& GetDocumentText() const { return text_; }
  const VoString& GetParseError() const { return parse_error_; }
  bool IsWellFormed() const;
  bool IsModified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  // Navigation. `name` may also be a path ("/*/Product/InstallToPath",
  // "//Item", "Item[2]", "Type[@Ext]", "Type[Icon]"); empty matches any element.
  bool FindElement(std::wstring_view name = {});
  bool FindChildElement(std::wstring_view name = {}, bool restart = false);
  bool EnterElement();
  bool LeaveElement();
  void ResetCursor();
  // Finds the next node of one of the `kinds` (a mask of XmlNodeKind values)
  // in the content of the current element, or of the current parent when
  // there is no current element; it becomes the current node.
  bool FindNode(int kinds);

  VoString GetAttribute(std::wstring_view name) const;
  VoString GetElementText() const;
  VoString GetChildText(std::wstring_view name);
  VoString FindSiblingText(std::wstring_view name);
  VoString GetNodeName() const;

  // Writer: edits the text and keeps the index in step with it.
  bool AppendElement(std::wstring_view name, std::wstring_view text);
  bool SetAttribute(uint32_t element, std::wstring_view name, std::wstring_view value);

  uint32_t GetCurrentParent() const { return parent_; }
  uint32_t GetCurrentElement() const { return current_; }
  uint32_t GetCurrentChild() const { return child_; }
  int GetCurrentNodeKind() const { return node_.kind; }
  uint32_t GetElementCount() const { return table_.Count(); }
  const ElementRecord& GetRecord(uint32_t index) const { return table_[index]; }
  std::wstring_view GetTagName(uint32_t element) const;

 private:
  struct Node {
    int kind = 0;  // 0: no current node
    uint32_t start = 0;
    uint32_t length = 0;
  };
  struct Attribute {
    uint32_t name_start = 0, name_length = 0;
    uint32_t value_start = 0, value_length = 0;  // without quotes
    uint32_t end = 0;                             // after the value and its quotes
    bool has_value = false;
  };
  class AttributeReader;

  bool Parse();
  void NotEnded(uint32_t element);
  void MoveChildrenUp(uint32_t element);
  void LinkLastChild(uint32_t parent, uint32_t element);
  void SetFirstFault(const VoString& message);
  void FlagIllFormed();
  std::wstring_view View(uint32_t start, uint32_t length) const { return text_.View().substr(start, length); }

  // Path search; see FindElement.
  uint32_t SearchPath(std::wstring_view path, uint32_t level_parent, uint32_t after, uint32_t origin) const;
  bool NameMatches(std::wstring_view path, uint32_t element) const;
  bool HasChildNamed(uint32_t element, std::wstring_view name) const;
  uint32_t NextInDocumentOrder(uint32_t element) const;
  uint32_t NextDescending(uint32_t element) const;

  bool FindAttribute(uint32_t tag_start, uint32_t tag_end, std::wstring_view name, Attribute& out) const;
  VoString ContentText(uint32_t content_start, uint32_t content_end) const;

  void ShiftAfterEdit(uint32_t edit_pos, uint32_t owner, int64_t delta);
  uint32_t InsertionPoint() const;

  VoString text_;
  VoString parse_error_;
  XmlElementTable table_;
  bool modified_ = false;
  uint32_t parent_ = 0, current_ = 0, child_ = 0;
  Node node_;
};

// Parses arbitrary UTF-8 as an XML document, then navigates, reads and
// writes it; the writer's result must still parse into the same shape.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/xml_document.h"

namespace {

void Walk(XmlDocument& doc, int depth) {
  if (depth > 64) return;
  while (doc.FindElement()) {
    (void)doc.GetNodeName();
    (void)doc.GetAttribute(L"Name");
    (void)doc.GetElementText();
    (void)doc.GetChildText(L"Item");
    if (doc.EnterElement()) {
      Walk(doc, depth + 1);
      doc.LeaveElement();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The first line, when short, doubles as a path to search for.
  const size_t line = bytes.find('\n');
  const VoString path = line != std::string_view::npos && line < 64 ? VoString::FromUtf8(bytes.substr(0, line)) : VoString();

  XmlDocument doc(VoString::FromUtf8(bytes));
  Walk(doc, 0);
  doc.ResetCursor();
  if (!path.IsEmpty()) {
    for (int i = 0; i < 4 && doc.FindElement(path.View()); ++i) (void)doc.GetElementText();
    doc.ResetCursor();
    for (int i = 0; i < 4 && doc.FindChildElement(path.View()); ++i) (void)doc.GetAttribute(path.View());
  }
  doc.ResetCursor();
  for (int kinds = 0; doc.FindNode(0xFF) && kinds < 1000; ++kinds) {
    (void)doc.GetNodeName();
    (void)doc.GetAttribute(L"version");
  }

  // Write into the document and check that the index followed the text.
  doc.ResetCursor();
  if (doc.FindElement() && doc.EnterElement()) {
    const uint32_t count = doc.GetElementCount();
    if (doc.AppendElement(L"Item", path.View())) {
      doc.SetAttribute(doc.GetCurrentElement(), L"Name", path.View());
      if (doc.GetElementCount() != count + 1) __builtin_trap();
      const VoString written = doc.GetChildText(L"Item");
      (void)written;
    }
  }
  const ElementRecord& whole = doc.GetRecord(0);
  if (whole.length != doc.GetDocumentText().Length()) __builtin_trap();
  for (uint32_t i = 1; i < doc.GetElementCount(); ++i) {
    const ElementRecord& r = doc.GetRecord(i);
    if (r.start + r.length > whole.length || r.start_tag_length > r.length) __builtin_trap();
  }
  return 0;
}

#include "app/skin_selection.h"

#include <cmath>

#include "foundation/number_text.h"
#include "foundation/vo_string_array.h"
#include "foundation/xml_document.h"

namespace vo {

bool IsValidSkinFolder(const VoString& folder, std::wstring_view styles) {
  if (folder.IsEmpty()) return false;
  XmlDocument document;
  if (!document.LoadFile(folder + L"main.xml") || !document.IsWellFormed()) return false;
  document.ResetCursor();
  if (!document.FindElement()) return false;
  if (std::fabs(ParseDouble(document.GetAttribute(L"version").View()) - 3.0) >= 0.01) return false;

  const VoString style = document.GetAttribute(L"style");
  VoStringArray known_styles = VoStringArray::Split(styles, L";");
  if (known_styles.GetCount() == 0) known_styles.Add(VoString());
  bool style_known = false;
  for (const VoString& known : known_styles) {
    if (EqualsNoCase(known.View(), style.View())) style_known = true;
  }
  if (!style_known) return false;
  document.ResetCursor();
  return document.FindElement(L"//MAINFRAME");
}

VoString ChooseSkinFolder(const VoString& base, const VoString& configured, const VoString& current_skin,
                          std::wstring_view styles) {
  VoString name = configured;
  VoStringArray pieces = VoStringArray::Split(current_skin.View(), L"\\");
  if (pieces.GetCount() > 0 && pieces[pieces.GetCount() - 1].IsEmpty()) pieces.RemoveAt(pieces.GetCount() - 1);
  if (pieces.GetCount() >= 2) {
    const VoString& last = pieces[pieces.GetCount() - 1];
    if (IsValidSkinFolder(base + last.View() + L"\\", styles)) name = last;
  }
  return name.IsEmpty() ? base : base + name.View();
}

}  // namespace vo

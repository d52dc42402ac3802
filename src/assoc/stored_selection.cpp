#include "assoc/stored_selection.h"

#include "assoc/association_writer.h"
#include "assoc/progid_rules.h"
#include "assoc/shared_file_type_catalogue.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr wchar_t kSelectionValue[] = L"File Associations - Selected Media Types";

void AddExtensionsOf(const VoString& entry, VoStringArray& extensions) {
  for (const VoString& extension : SelectionEntryExtensions(entry.View())) {
    if (extensions.Find(extension.View()) == VoStringArray::npos) extensions.Add(extension);
  }
}

// Every extension the catalogue knows: those its descriptions name and
// those of the engine lists.
VoStringArray CatalogueExtensions() {
  const FileTypeCatalogue& catalogue = SharedFileTypeCatalogue();
  VoStringArray extensions;
  for (int list : {kAllDescriptions, kMainEngineTypes, kImageEngineTypes, kDirectShowTypes, kRealPlayerTypes,
                   kQuickTimeTypes, kOtherTypes}) {
    for (const VoString& entry : catalogue.List(list)) AddExtensionsOf(entry, extensions);
  }
  return extensions;
}

}  // namespace

bool ReadStoredSelection(VoStringArray& extensions) {
  extensions.Clear();
  VoString text(L"NONE");
  if (VoRegistryKeyPtr properties = OpenStore(L"Properties", 0)) properties->ReadString(kSelectionValue, L"NONE", text);
  if (text == L"NONE") return false;
  for (const VoString& entry : VoStringArray::Split(text.View(), L";")) AddExtensionsOf(entry, extensions);
  return true;
}

StoredSelectionOutcome RegisterStoredSelection() {
  StoredSelectionOutcome outcome;
  VoStringArray selected;
  outcome.stored = ReadStoredSelection(selected);
  if (!outcome.stored) {
    Log(L"RegFileAssociations", VoString(L"No stored selection of file types"));
    return outcome;
  }
  AssociationWriter writer;
  writer.SetNotify(true);
  for (const VoString& extension : CatalogueExtensions()) {
    if (selected.Find(extension.View()) != VoStringArray::npos) continue;
    writer.AssociateExtension(extension, false);
    outcome.released.Add(extension);
  }
  for (const VoString& extension : selected) {
    // ".dat" is never the product's.
    if (extension == L"dat") continue;
    writer.AssociateExtension(extension, true);
    outcome.associated.Add(extension);
  }
  writer.RegisterDefaultPrograms();
  writer.Finish();
  Log(L"RegFileAssociations", VoString(L"Associated: ") + outcome.associated.Join(L";").View());
  return outcome;
}

}  // namespace vo

#pragma once
// The file types the user chose on the association page, stored in the
// product's settings, turned into associations.

#include "foundation/vo_string_array.h"

namespace vo {

struct StoredSelectionOutcome {
  bool stored = false;       // a selection was found ("NONE" means none)
  VoStringArray associated;  // extensions, without "."
  VoStringArray released;    // catalogue extensions not selected
};

// The extensions a stored selection names; nothing when "NONE" or missing.
bool ReadStoredSelection(VoStringArray& extensions);

// Associates exactly the selected types: each selected extension becomes the
// product's, every other extension of the catalogue gets back what it had
// before the product took it (the writer only touches the product's own
// associations), then Default Programs and the shell hear of it.
StoredSelectionOutcome RegisterStoredSelection();

}  // namespace vo

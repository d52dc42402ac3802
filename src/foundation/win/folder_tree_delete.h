#pragma once
// Deleting a folder with everything in it.

#include "foundation/vo_string.h"

namespace vo {

// Deletes the files (read-only ones too) and sub-folders below `folder`,
// then the folder. Goes on past what cannot be deleted; true when the folder
// is gone (also when there was none).
bool DeleteFolderTree(const VoString& folder);

}  // namespace vo

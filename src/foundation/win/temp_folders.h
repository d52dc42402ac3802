#pragma once
// Temporary folders: the system's and the product's own, which the user may
// have moved in the product's settings.

#include "foundation/vo_string.h"

namespace vo {

// The system's temporary folder (GetTempPathW).
VoString GetTempFolder();

// The folder named by the "Properties" setting "File Location - Temp
// Location" when it exists or can be created, otherwise the system's.
VoString GetProductTempFolder();

}  // namespace vo

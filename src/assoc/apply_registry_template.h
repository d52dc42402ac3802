#pragma once
// Writes a registry template (see registry_template.h) to the registry.

#include <vector>

#include "foundation/vo_string.h"

namespace vo {

// Interprets `lines` in order. A line that cannot be applied (a key that
// cannot be created, a value that cannot be written) is skipped silently.
void ApplyRegistryTemplate(const std::vector<VoString>& lines, const VoString& progid_stem,
                           const VoString& launcher_path, const VoString& launcher_name);

}  // namespace vo

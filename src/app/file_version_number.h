#pragma once
// A file's version as a 64-bit number, for comparing program versions.

#include <cstdint>

#include "foundation/vo_string.h"

namespace vo {

// The four-part file version of `path`; 0 when the file is missing or has
// no version block.
uint64_t ReadFileVersionNumber(const VoString& path);

}  // namespace vo

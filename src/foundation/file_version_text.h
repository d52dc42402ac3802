#pragma once
// The text of a file's version from the two 32-bit halves of its fixed
// version information.

#include <cstdint>

#include "vo_string.h"

namespace vo {

// "a.b.c.d" (or "a.b.c" without the fourth part): the most significant
// half's high and low word, then the least significant half's.
VoString FileVersionText(uint32_t most_significant, uint32_t least_significant, bool four_parts = true);

}  // namespace vo

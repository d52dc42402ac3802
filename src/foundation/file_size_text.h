#pragma once
// File sizes as people read them: "512 bytes", "1.5 KB", "150 MB".

#include <cstdint>

#include "vo_string.h"

namespace vo {

VoString FormatFileSize(int64_t bytes);

}  // namespace vo

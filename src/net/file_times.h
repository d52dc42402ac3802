#pragma once
// File times and the dates of HTTP headers, in seconds since 1970 (UTC).

#include <cstdint>

#include "foundation/vo_string.h"

namespace vo {

// "Last-Modified" and the other header dates in their usual forms; false
// when the text is not one.
bool ParseHttpTime(const VoString& text, int64_t& seconds);

// A file's last-write time; false when it cannot be read.
bool FileModifiedTime(const VoString& path, int64_t& seconds);
bool SetFileModifiedTime(const VoString& path, int64_t seconds);

}  // namespace vo

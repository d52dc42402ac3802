#pragma once
// Relative paths that come from files others supply (archive entries, package
// descriptions) and must stay inside the folder they are joined to.

#include <string_view>

#include "vo_string.h"
#include "vo_string_array.h"

namespace vo {

// Splits `relative` at "/" and "\" into the names of its folders and file,
// dropping empty and "." steps. False (and `names` empty) when the path
// could lead anywhere but below the folder it is joined to: it is empty or
// names nothing, starts with a separator, holds a ":" (a drive or an
// alternate data stream), has a step of only dots and blanks (Windows reads
// ".. " as ".."), a character no Windows file name may hold, or a device
// name ("NUL", "com1.txt"), which would open the device instead.
bool SplitContainedPath(std::wstring_view relative, VoStringArray& names);

// Whether `relative` passes SplitContainedPath.
bool StaysInsideFolder(std::wstring_view relative);

}  // namespace vo

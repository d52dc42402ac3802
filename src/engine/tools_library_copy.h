#pragma once
// Copying the tools library into the install folder (its 64-bit build into
// "x64\" on 64-bit Windows), asking the user to retry while a file is in use.

#include "engine/copy_environment.h"
#include "foundation/vo_string_array.h"

namespace vo {

// The library's seven files: the tools module and its six siblings.
VoStringArray ToolsLibraryFileNames();

// Whether `path` names one of the seven files anywhere in it, in any case.
bool MentionsToolsLibraryFile(const VoString& path);

// Copies the library's files present in the distribution. On a failure the
// user may retry from the first file or cancel; a cancel shows the critical
// error and returns false.
bool CopyToolsLibrary(const CopyEnvironment& environment);

}  // namespace vo

#pragma once
// The decisions of loading the tools library's modules, kept free of the
// platform so they are tested natively too.

#include <string_view>

#include "foundation/vo_string.h"

namespace vo {

// The tools module's file name for a build with pointers of `pointer_bits`
// bits: "VoTools64.dll" for 64-bit Windows.
VoString ToolsModuleFileName(int pointer_bits);

// A name with ":\" at position 1, or a leading backslash, is a full path.
bool IsFullModulePath(std::wstring_view name);

// The file to load for `name`: a full path as it is, a bare name inside the
// tools folder, or the bare name for the default search when there is no
// tools folder.
VoString ModuleLoadPath(std::wstring_view name, std::wstring_view tools_folder);

// The "Critical Error" text for a module that failed to load.
VoString CriticalErrorText(std::wstring_view module_path, std::wstring_view reason);

}  // namespace vo

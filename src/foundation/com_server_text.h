#pragma once
// Text rules for registering COM servers.

#include <string_view>

#include "vo_string.h"

namespace vo {

// Whether the file can hold a COM server: its path contains ".dll", ".ocx"
// or ".ax", in any case.
bool IsRegistrableFile(std::wstring_view path);

// The parameters for RegSvr32: silent, "/u " when unregistering, the quoted path.
VoString RegSvr32Parameters(std::wstring_view path, bool unregister);

}  // namespace vo

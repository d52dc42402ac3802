#pragma once
// Text rules for paths and file names that need no file system.

#include <string_view>

#include "vo_string.h"

namespace vo {

// Exactly one trailing backslash: added when missing, several reduced to one.
// An empty text stays empty, and "\\" alone (the start of a network path) is
// left as it is.
VoString WithTrailingBackslash(std::wstring_view path);

// The folder part of a path, up to and with its last backslash; empty when
// there is no backslash.
VoString FolderOf(std::wstring_view path);
// What follows the last backslash; the whole text when there is none.
VoString FileNameOf(std::wstring_view path);

// The next name in the series "Name", "Name (1)", "Name (2)", ...: a name
// ending in "(" + 1-4 digits without a leading zero + ")" gets that number
// plus one, keeping what stood before the parenthesis ("Name(4)" gives
// "Name(5)"); any other name gets " (1)". Apply it to a base name without
// its extension.
VoString NextNumberedName(std::wstring_view name);

}  // namespace vo

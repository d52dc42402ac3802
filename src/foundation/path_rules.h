#pragma once
// Path cleaning and resolution rules that need no file system. Paths use
// backslashes; a folder path carries one trailing backslash.

#include <string_view>

#include "vo_string.h"

namespace vo {

// Control characters become spaces and : / * ? " < > | become underscores;
// a backslash is kept, so the rule also serves whole paths.
VoString MakeValidFileName(std::wstring_view name);

// Cleans a typed or configured path: keeps a "\\?\" prefix, trims, drops
// spaces and dots before or spaces after a backslash, cleans the characters
// (keeping a drive's colon), makes "X:" and "X:name" rooted and shortens the
// last component's base name when the path is longer than 252 characters.
VoString MakeValidPath(std::wstring_view path);

// Replaces a leading "(Install Drive):" with the drive of `install_folder`.
VoString ExpandInstallDrive(std::wstring_view path, std::wstring_view install_folder);

// Resolves `path` against `base` (a folder, or a file whose folder counts).
// Rooted paths, network paths and URLs stay as they are.
VoString MakeAbsolutePath(std::wstring_view base, std::wstring_view path);

// The next candidate of a unique name: the numbered-name step applied to the
// path without its extension ("a.txt" -> "a (1).txt" -> "a (2).txt").
VoString NextUniqueName(std::wstring_view path);

// True for "scheme://..." resources, which are read over the network.
bool IsUrl(std::wstring_view resource);

}  // namespace vo

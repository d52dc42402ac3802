#pragma once
// Where the product's resources are looked for: the folders of each lookup
// kind, in order, and the file names tried for one resource name.

#include <string_view>

#include "vo_string_array.h"

namespace vo {

// Lookup kinds: resources (0 custom then default, 1 default, 2 custom), art
// (3, 4, 5 likewise) and web pages (6, 7, 8 likewise).
constexpr int kResourceKindCount = 9;

// The folder names, relative to the product's data folder, in search order;
// empty for an unknown kind.
VoStringArray ResourceFolders(int kind);

// The file names to try for `name`: a name without an extension is tried as
// a picture with ".png", ".jpg", ".gif" and ".tif". With a `variant`, the
// "name - variant" forms come before the plain ones.
VoStringArray ResourceFileCandidates(std::wstring_view name, std::wstring_view variant = {});

}  // namespace vo

#pragma once
// Finding the product's resources, art and web pages on disk.

#include <string_view>

#include "foundation/vo_string.h"

namespace vo {

// The file for `name` in the folders of lookup `kind` (see
// resource_search.h) under the product's shared data folder, or empty. A
// name beginning "image:" is a picture of the current skin.
VoString FindResourceFile(int kind, std::wstring_view name, std::wstring_view variant = {});

}  // namespace vo

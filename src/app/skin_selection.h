#pragma once
// Which skin the installer's windows draw with: the standard view's skin
// that the configuration names, unless the product's own current choice is
// a valid skin of the standard view.

#include <string_view>

#include "foundation/vo_string.h"

namespace vo {

// A folder whose "main.xml" is a version 3 skin of one of `styles` (";"
// separated; an empty list is the one empty style) with a "MAINFRAME".
bool IsValidSkinFolder(const VoString& folder, std::wstring_view styles);

// The folder to hand to the skin service. `base` is the standard view's
// skins folder, `configured` the configured skin name, `current_skin` the
// product's stored skin folder (empty when there is none or it is invalid).
VoString ChooseSkinFolder(const VoString& base, const VoString& configured, const VoString& current_skin,
                          std::wstring_view styles);

}  // namespace vo

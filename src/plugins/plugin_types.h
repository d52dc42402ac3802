#pragma once
// Reading back the plug-ins the product knows from its registry area:
// "Plugins\<kind>" in the settings, and the older product family's
// "SOFTWARE\V. Ortala\Kelvane\Plugins\<kind>" (per user, then per machine).

#include "foundation/vo_array.h"
#include "foundation/vo_string.h"

namespace vo {

struct RegisteredPluginType {
  VoString Type;  // the entry's key name: the file type for input plug-ins
  VoString Name;  // "Name", or the description when there is none
  VoString Path;  // the plug-in library
};

// The entries of `kind` ("Input", "DSP", ...) whose registration can be read
// (a library path is stored), the product's own first, then the older
// family's entries that carry an "IVersion".
VoArray<RegisteredPluginType> ReadPluginTypes(const wchar_t* kind);

}  // namespace vo

// The disc module; nothing to set up yet.
#include "toolslib/sibling_module.h"

VO_MODULE_EXPORT int VoDiscInitialize() { return 1; }
VO_MODULE_EXPORT void VoDiscUninitialize() {}

// The player module. No player interface exists yet, so the loader releases it.
#include "toolslib/sibling_module.h"

VO_MODULE_EXPORT void* GetVoPlayerDLL() { return nullptr; }

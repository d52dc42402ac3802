// The image module. No image interface exists yet, so the loader releases it.
#include "toolslib/sibling_module.h"

VO_MODULE_EXPORT void* GetVoImageAppDLL() { return nullptr; }

// The television module. No television interface exists yet, so the loader
// releases it.
#include "toolslib/sibling_module.h"

VO_MODULE_EXPORT void* GetVoTelevisionDLL() { return nullptr; }

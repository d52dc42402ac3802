// The reader module. It has nothing to set up yet; the readers come with the
// download work and answer null until then.
#include "toolslib/sibling_module.h"

VO_MODULE_EXPORT int VoReaderInitialize() { return 1; }
VO_MODULE_EXPORT void VoReaderUninitialize() {}
VO_MODULE_EXPORT void* CreateInternetReaderDLL() { return nullptr; }
VO_MODULE_EXPORT void* CreateGenericReaderDLL() { return nullptr; }

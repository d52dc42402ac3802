// The reader module: reader objects for local files and URLs.
#include <new>

#include "toolslib/resource_reader.h"
#include "toolslib/sibling_module.h"

VO_MODULE_EXPORT int VoReaderInitialize() { return 1; }
VO_MODULE_EXPORT void VoReaderUninitialize() {}
VO_MODULE_EXPORT IVoReader* CreateInternetReaderDLL() { return new (std::nothrow) VoResourceReader(true); }
VO_MODULE_EXPORT IVoReader* CreateGenericReaderDLL() { return new (std::nothrow) VoResourceReader(false); }

#pragma once
// Reader objects of the tools library's reader module ("VoReader.dll"),
// loaded through the module table on first use.

#include <memory>

#include "tools/vo_reader_interface.h"

using VoReaderPtr = std::unique_ptr<IVoReader, VoReaderRelease>;

namespace vo {

// "CreateGenericReaderDLL": local files and URLs. Empty when the module or
// its entry point is missing.
VoReaderPtr CreateGenericReader();
// "CreateInternetReaderDLL": URLs only.
VoReaderPtr CreateInternetReader();

}  // namespace vo

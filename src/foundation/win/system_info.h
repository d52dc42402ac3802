#pragma once
// Facts about the system the installer runs on.

#include <cstdint>

#include "foundation/os_version.h"

namespace vo {

// The true Windows version, whatever compatibility mode the process runs in.
VoOsVersion GetOsVersion();

// Whether this process may write the machine's part of the registry: a value
// written under the product's key must read back and both the value and its
// key must be deletable again.
bool HasAdminRights();

// Whether this process runs on 64-bit Windows: always in a 64-bit build,
// and in a 32-bit build when the system runs it under WOW64.
bool IsWindows64Bit();

// The processor feature word (see processor_features.h), computed once.
uint32_t GetProcessorFeatures();

}  // namespace vo

#pragma once
// Loading of libraries into a slot that owns them.

#include <windows.h>

namespace vo {

// With this flag a failed load is logged; it is not passed to the system.
constexpr DWORD kLogLoadFailure = 0x80000000u;

// Frees what `slot` held, then loads `name` (when not empty) with
// LoadLibraryExW and the flags. Returns whether the slot holds a library.
bool VoLoadLibrary(HMODULE& slot, const wchar_t* name, DWORD flags = 0);

}  // namespace vo

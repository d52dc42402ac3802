#include "foundation/win/library_loader.h"

#include "foundation/string_format.h"
#include "tools/vo_tools.h"

namespace vo {

bool VoLoadLibrary(HMODULE& slot, const wchar_t* name, DWORD flags) {
  if (slot) {
    FreeLibrary(slot);
    slot = nullptr;
  }
  if (!name || !*name) return false;
  slot = LoadLibraryExW(name, nullptr, flags & ~kLogLoadFailure);
  if (!slot && (flags & kLogLoadFailure)) {
    Log(L"VoLoadLibrary", VoFormat(L"Loading %s failed, error: %d", name, GetLastError()));
  }
  return slot != nullptr;
}

}  // namespace vo

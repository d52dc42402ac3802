#include "foundation/win/temp_folders.h"

#include <windows.h>

#include "foundation/path_text.h"
#include "foundation/win/file_system.h"
#include "tools/vo_tools.h"

namespace vo {

VoString GetTempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  if (length == 0 || length > MAX_PATH) return {};
  return WithTrailingBackslash(path);
}

VoString GetProductTempFolder() {
  VoString chosen;
  if (VoRegistryKeyPtr properties = OpenStore(L"Properties", 0)) {
    properties->ReadString(L"File Location - Temp Location", L"", chosen);
  }
  chosen = WithTrailingBackslash(chosen.Trimmed().View());
  // Only a full path: a relative one would land wherever the program runs.
  const bool rooted = (chosen.At(1) == L':' && chosen.At(2) == L'\\') || chosen.StartsWithNoCase(L"\\\\");
  if (rooted && CreateFolderTree(chosen, false) && FolderExists(chosen)) return chosen;
  return GetTempFolder();
}

}  // namespace vo

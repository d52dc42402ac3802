#include "foundation/win/resource_lookup.h"

#include <windows.h>

#include "foundation/resource_search.h"
#include "foundation/win/known_folders.h"
#include "tools/vo_tools.h"

namespace vo {

namespace {

constexpr std::wstring_view kSkinImagePrefix = L"image:";

bool IsFile(const VoString& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

VoString FindResourceFile(int kind, std::wstring_view name, std::wstring_view variant) {
  if (VoString(name).StartsWithNoCase(kSkinImagePrefix)) {
    IVoTools* tools = VoTools();
    IVoSkinService* skins = tools ? tools->Skins() : nullptr;
    VoString path;
    const VoString image(name.substr(kSkinImagePrefix.size()));
    return skins && skins->FindImage(image.c_str(), path) ? path : VoString();
  }
  const VoString data = GetSharedDataFolder();
  if (data.IsEmpty()) return {};
  const VoStringArray folders = ResourceFolders(kind);
  const VoStringArray names = ResourceFileCandidates(name, variant);
  for (size_t f = 0; f < folders.GetCount(); ++f) {
    for (size_t n = 0; n < names.GetCount(); ++n) {
      const VoString path = data + folders[f].View() + L"\\" + names[n].View();
      if (IsFile(path)) return path;
    }
  }
  return {};
}

}  // namespace vo

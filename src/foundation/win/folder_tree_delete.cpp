#include "foundation/win/folder_tree_delete.h"

#include <windows.h>

#include "foundation/path_text.h"
#include "foundation/win/file_finder.h"
#include "foundation/win/file_system.h"

namespace vo {

namespace {

void DeleteContent(const VoString& folder) {
  VoFileFinder finder;
  if (!finder.Open(folder)) return;
  while (finder.Next()) {
    // A junction is removed as a link; what it points to is not ours.
    const bool link = (finder.Attributes() & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (finder.IsFolder()) {
      if (!link) DeleteContent(finder.Path());
      SetFileAttributesW(finder.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
      RemoveDirectoryW(finder.Path().c_str());
    } else {
      ForceDeleteFile(finder.Path());
    }
  }
}

}  // namespace

bool DeleteFolderTree(const VoString& folder) {
  if (folder.IsEmpty()) return false;
  const VoString path = WithTrailingBackslash(folder.View());
  if (!FolderExists(path)) return !FileExists(path.Left(path.Length() - 1));
  DeleteContent(path);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
  return !FolderExists(path);
}

}  // namespace vo

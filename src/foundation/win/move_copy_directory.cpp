#include "foundation/win/move_copy_directory.h"

#include <windows.h>

#include <set>

#include "foundation/path_text.h"
#include "foundation/win/file_finder.h"
#include "foundation/win/file_system.h"

namespace {

struct NoCaseLess {
  bool operator()(const VoString& a, const VoString& b) const { return vo::CompareNoCase(a.View(), b.View()) < 0; }
};

}  // namespace

bool VoMoveCopyDirectory::AddFolder(const VoString& source, const VoString& destination, bool recurse) {
  VoArray<CItem> collected;
  if (!Collect(vo::WithTrailingBackslash(source.View()), vo::WithTrailingBackslash(destination.View()), recurse,
               collected)) {
    return false;
  }
  for (CItem& item : collected) items_.Add(std::move(item));
  return true;
}

bool VoMoveCopyDirectory::Collect(const VoString& source, const VoString& destination, bool recurse,
                                  VoArray<CItem>& out) {
  out.Add(CItem{kFolder, source, destination, false});
  VoFileFinder finder;
  if (!finder.Open(source)) {
    // An empty drive root lists nothing at all; anything else is unreadable.
    return GetLastError() == ERROR_FILE_NOT_FOUND && vo::FolderExists(source);
  }
  VoArray<VoString> folders;
  while (finder.Next()) {
    if (finder.IsFolder()) {
      if (recurse) folders.Add(VoString(finder.Name()));
    } else {
      out.Add(CItem{kFile, finder.Path(), destination + finder.Name(), false});
    }
  }
  for (const VoString& name : folders) {
    if (!Collect(source + name.View() + L'\\', destination + name.View() + L'\\', true, out)) return false;
  }
  return true;
}

bool VoMoveCopyDirectory::Execute(bool move) {
  if (executed_) return false;
  executed_ = true;
  bool all_done = true;
  for (CItem& item : items_) {
    if (item.kind != kFolder) continue;
    item.done = vo::CreateFolderTree(item.destination, false);
    all_done = all_done && item.done;
  }
  for (CItem& item : items_) {
    if (item.kind != kFile) continue;
    item.done = CopyFileW(item.source.c_str(), item.destination.c_str(), FALSE) != FALSE;
    all_done = all_done && item.done;
  }
  if (move) RemoveCopiedSources();
  return all_done;
}

void VoMoveCopyDirectory::RemoveCopiedSources() {
  // A source that is also a destination (a folder moved into itself) holds
  // copied data and must stay.
  std::set<VoString, NoCaseLess> destinations;
  for (const CItem& item : items_) destinations.insert(item.destination);
  // Last to first: a folder's files and sub-folders go before the folder.
  for (size_t i = items_.GetCount(); i-- > 0;) {
    const CItem& item = items_[i];
    if (!item.done || destinations.count(item.source) != 0) continue;
    if (item.kind == kFolder) {
      RemoveDirectoryW(item.source.c_str());
    } else {
      vo::ForceDeleteFile(item.source);
    }
  }
}

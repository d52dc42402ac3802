#pragma once
// Files and folders on disk: existence, sizes, deletion, folder trees and
// folder tests, unique names and the safe replacement of a file.

#include <cstdint>

#include "foundation/vo_string.h"

namespace vo {

bool FileExists(const VoString& path);    // a file, not a folder
bool FolderExists(const VoString& path);  // a folder, not a file

// Size in bytes of a local file, or -1 when there is none. A URL is asked
// for its length over the network, -1 when that is not known.
int64_t FileSize(const VoString& path_or_url);
int64_t RemoteFileSize(const VoString& url);
// How RemoteFileSize asks a server (the file loader's HEAD request); null
// leaves URLs without a known size. Returns the previous query.
using RemoteFileSizeQuery = int64_t (*)(const VoString& url);
RemoteFileSizeQuery SetRemoteFileSizeQuery(RemoteFileSizeQuery query);

// Clears read-only and similar attributes first; an empty path does nothing.
bool ForceDeleteFile(const VoString& path);

// Creates the missing folders of `path` from the top down; with
// `verify_writable` the folder must also accept new files.
bool CreateFolderTree(const VoString& path, bool verify_writable);

// Whether files can be created in the folder.
bool IsFolderWritable(const VoString& folder);

// Whether the folder holds anything but "Thumbs.db" files. With `recurse`
// sub-folders are looked into (an unreadable one counts as content);
// without it a sub-folder counts only with `stop_at_subfolder`. A folder
// that cannot be listed gives `answer_if_unreadable`.
bool IsFolderEmpty(const VoString& folder, bool answer_if_unreadable, bool recurse, bool stop_at_subfolder);

// A leading "(Install Drive):" becomes the drive of the installed
// product's program folder from the process information record.
VoString ExpandInstallDrive(const VoString& path);

// `path` itself when nothing of that name exists, otherwise the first free
// name of the series "name (1).ext", "name (2).ext", ...
VoString MakeUniqueName(const VoString& path);

}  // namespace vo

class VoFileSystem {
 public:
  // Puts `new_file` in the place of `target` so that the target is never
  // lost: the old file is moved aside first and brought back when the new
  // one cannot take its place. On failure the new file is deleted.
  static bool SafeReplaceFile(const VoString& target, const VoString& new_file);
};

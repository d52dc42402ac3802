#pragma once
// What the install configuration file ("Install.xml") sets in the session,
// decided from its loaded document. Reading the file and asking the disk
// whether folders exist are left to the caller.

#include <functional>
#include <string_view>

#include "app/session.h"
#include "foundation/vo_string.h"
#include "foundation/xml_document.h"

namespace vo {

// Whether a folder exists on disk.
using FolderExistsFunction = std::function<bool(const VoString& folder)>;

// The folder named by a "SupportFiles" or "BundledMedia" value: absolute
// values ("\\server\..." or "X:\...") as they are, others relative to
// `base_folder` with "." and ".." applied; one trailing backslash.
VoString ResolveInstallFolder(std::wstring_view base_folder, std::wstring_view value);

// Reads the "VoIC" root (version 1.0 or more) and its first "Settings"
// element: an existing "SupportFiles" folder is appended to SupportFolders,
// a non-empty "AllowDowngrade" sets AllowDowngrade (not 0), an existing
// "BundledMedia" folder becomes ShippedMediaFolder. `file_folder` is the
// folder of the file the document came from. Anything missing or wrong
// leaves the session as it was; returns true when the settings were read.
bool ApplyInstallDocument(XmlDocument& document, std::wstring_view file_folder,
                          const FolderExistsFunction& folder_exists, InstallSession& session);

}  // namespace vo

#pragma once
// The first three steps of the copy phase: clearing what earlier versions
// left in the install folder and the settings area, putting the library and
// settings that ship with the installer in place, and carrying over the
// settings and library of earlier major versions.

#include "engine/install_page.h"
#include "foundation/vo_string.h"
#include "foundation/vo_string_array.h"
#include "tools/vo_tools.h"

namespace vo {

// Where the product family keeps its settings areas below
// HKEY_CURRENT_USER; each version's area is this + "Halvora <major>".
inline constexpr const wchar_t* kProductFamilySettingsKey = L"Software\\V. Ortala\\";

// The steps without a page, and with one: the page variant shows the step's
// status line and moves the progress bar from 0 to 1 around the work.
void CleanInstallFolder();
void CleanInstallFolder(IInstallPage& page);
// False when there was nothing to do (an update of a normal installation).
bool LoadDefaultLibrary();
bool LoadDefaultLibrary(IInstallPage& page);
// Fills the names ("Halvora 20") of the versions migrated and their install
// folders that differ from this one; true when anything was migrated.
bool UpgradeFromPreviousVersions(VoStringArray& version_names, VoStringArray& earlier_folders);
bool UpgradeFromPreviousVersions(IInstallPage& page, VoStringArray& version_names, VoStringArray& earlier_folders);
// The same below another family key (with its trailing backslash), so the
// migration can run on areas other than the product's own.
bool UpgradeFromPreviousVersions(VoStringArray& version_names, VoStringArray& earlier_folders,
                                 const VoString& family_key);

// Deletes a file an earlier version left. A file that cannot be deleted now
// is queued in the session for deletion after the restart. With
// `unregister_first`, a COM server is unregistered before. False when the
// file still exists (queued).
bool DeleteObsoleteFile(const VoString& path, bool unregister_first);

// A text replacement applied to the text values a tree copy carries over.
struct RegistryTextReplacement {
  VoString find;
  VoString replace;
};

// Copies the values of the source key that the destination does not have
// yet (text values with the replacements applied, case-insensitively), then
// does the same for each subkey whose name is not in `excluded_subkeys`
// (those are left out with everything below them). False when the source
// key does not exist or the destination cannot be created.
bool CopyRegistryTree(VoRegistryRoot source_root, const VoString& source_path, VoRegistryRoot destination_root,
                      const VoString& destination_path, const std::vector<RegistryTextReplacement>& replacements,
                      const VoStringArray& excluded_subkeys);

// Moves a store of the settings area to another name ("Handheld" to
// "Portable Devices\Conversion"): subkeys first, then the values, replacing
// what the destination held; the old key is deleted. False when there was
// no such store.
bool MoveSettingsStore(const VoString& from, const VoString& to);

}  // namespace vo

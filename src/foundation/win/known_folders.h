#pragma once
// Folders the installer needs to know. Every folder comes with exactly one
// trailing backslash; a folder that cannot be found is empty.

#include "foundation/vo_string.h"

enum class SkinView { kMiniView, kStandardView, kPanorel };

namespace vo {

// The file of the running program (not a folder).
VoString GetProgramFile();
VoString GetExecutableFolder();
// The installed product's program folder, as the process information record holds it.
VoString GetProgramFolder();
// "Application Data\" under the program folder: the product's shared data.
VoString GetSharedDataFolder();
VoString GetSystemFolder();
VoString GetFontsFolder();
// From the registry's "ProgramFilesDir", else "C:\Program Files\".
VoString GetProgramFilesFolder();
VoString GetMusicFolder();
// "Skins\" under the program folder.
VoString GetSkinFolder();
// "Mini View", "Standard View" or "Panorel" under the skin folder.
VoString GetSkinViewFolder(SkinView view);

}  // namespace vo

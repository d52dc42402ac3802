#pragma once
// Shipped settings taken over into the settings area: files of property XML
// text below a folder, one file per store (the format is described at
// IVoRegistry::ImportSettings).

#include "tools/vo_tools.h"

// The store a settings file fills, from its path relative to the imported
// folder: "Plugins\System.xml" gives "Plugins\System", "(Root).xml" the
// area itself (an empty name). False for a file that is not "*.xml".
bool SettingsStoreOfFile(const VoString& relative_path, VoString& store);

// Imports every settings file below `folder` through `registry`'s stores.
bool ImportSettingsFolder(IVoRegistry& registry, const VoString& folder);
